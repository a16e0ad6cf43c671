// SPDX-License-Identifier: MIT
#include "UsageReply.h"

#include "DailyTotals.h"
#include "Dates.h"
#include "JsonDictionary.h"
#include "RunTimeError.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int32_t OverflowError = 6;
const QString Unknown = u"unknown"_s;

bool isPeakClass(const QString& classification)
{
    return classification == u"peak"_s || classification == u"anytime"_s || classification == u"usage"_s;
}

// A numeric text or number as the 16-bit whole number the provider means (halves to even).
int16_t smallWholeNumber(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= std::numeric_limits<int16_t>::min() && rounded <= std::numeric_limits<int16_t>::max()))
        throw RunTimeError(OverflowError, u"Overflow"_s);
    return int16_t(rounded);
}

// The date text parsed, or nullopt without any message.
std::optional<LocalDateTime> readDate(const QString& text)
{
    LocalDateTime when;
    QString ignored;
    if (!myCDate(text, when, ignored, {}))
        return std::nullopt;
    return when;
}

} // namespace

void UsageReply::raise(const QString& text, int16_t level) const
{
    if (m_status)
        m_status(u"Pelborne.RetrieveData: "_s + text, level);
}

void UsageReply::readProductAndPlan(const JsonValue& root)
{
    const JsonValue& info = root[u"response"_s][u"account_info"_s];
    const QString product = info[u"product"_s].toText();
    if (!product.isEmpty()) {
        m.szProductName = product;
        raise(u"product name: "_s + product, 6);
    } else {
        raise(u"failed to find product name in JSON"_s, 2);
    }
    const QString plan = info[u"plan"_s].toText();
    if (!plan.isEmpty()) {
        m.szPlanName = plan;
        raise(u"plan name: "_s + plan, 6);
    } else {
        raise(u"failed to find plan name in JSON"_s, 2);
    }
}

std::optional<LocalDateTime> UsageReply::utcToLocal(const QString& utcText)
{
    const std::optional<LocalDateTime> utc = readDate(utcText);
    if (!utc)
        return std::nullopt;
    // The instant itself is converted, so the offset is the one in force at that moment.
    return LocalDateTime::fromUtc(QDateTime(utc->date(), utc->time(), QTimeZone::utc()));
}

void UsageReply::readConnections(const JsonValue& root)
{
    m.szIP = Unknown;
    m.szLastConnect = Unknown;
    const JsonValue& connections = root[u"response"_s][u"connections"_s];
    const qsizetype count = connections.count();
    qsizetype i = 0;
    for (const JsonDictionary::Entry& entry : *connections.dictionary()) {
        const QString ip = entry.value[u"ip"_s].toText();
        const QString onSince = entry.value[u"on_since"_s].toText();
        if (count > 1) {
            raise(u"found connection details "_s + QString::number(i + 1) + u'/' + QString::number(count) + u": "_s +
                      ip + u" with connect time "_s + onSince,
                  6);
        }
        ++i;
        const std::optional<LocalDateTime> since = readDate(onSince);
        if (m.szIP == Unknown) {
            m.szIP = ip;
            m.szLastConnect = since ? since->toString() : onSince;
            continue;
        }
        const std::optional<LocalDateTime> chosen = readDate(m.szLastConnect);
        if (!since || !chosen) {
            raise(u"invalid date: "_s + onSince + u" / "_s + m.szLastConnect, 2);
            continue;
        }
        // Equal times keep the earlier entry.
        if (chosen->secondsTo(*since) > 0) {
            m.szIP = ip;
            m.szLastConnect = since->toString();
        }
    }

    if (m.szLastConnect == Unknown) {
        raise(u"failed to find connection time and IP address in JSON"_s, 2);
        return;
    }
    if (const std::optional<LocalDateTime> local = utcToLocal(m.szLastConnect))
        m.szLastConnect = local->toString();
    else
        raise(u"failed to apply timezone offset to last connect time: "_s + m.szLastConnect, 2);
    raise(u"current IP address: "_s + m.szIP, 6);
    raise(u"last connect time: "_s + m.szLastConnect, 6);
}

void UsageReply::readAnniversary(const JsonValue& root)
{
    const QString text = root[u"response"_s][u"quota_reset"_s][u"anniversary"_s].toText();
    if (text.isEmpty()) {
        raise(u"failed to find anniversary date in JSON"_s, 2);
        return;
    }
    const std::optional<double> day = readNumericText(text);
    if (!day) {
        raise(u"non-numeric anniversary date found: "_s + text, 2);
        return;
    }
    m.intAnniversaryDate = smallWholeNumber(*day);
    raise(u"anniversary date: "_s + text, 6);
}

int32_t UsageReply::quotaMegabytes(const JsonValue& allocation)
{
    double bytes = 0;
    if (allocation.isNumber()) {
        bytes = allocation.number();
    } else {
        const std::optional<double> number = readNumericText(allocation.toText());
        if (!number)
            return 0;
        bytes = *number;
    }
    // Whole megabytes, cut toward zero as dropping the last six digits of a whole number does;
    // counts that a double holds exactly are divided as integers.
    double megabytes = 0;
    if (std::trunc(bytes) == bytes && std::fabs(bytes) < 9.0e15)
        megabytes = double(int64_t(bytes) / 1'000'000);
    else
        megabytes = std::trunc(bytes / 1'000'000.0);
    if (!(megabytes >= std::numeric_limits<int32_t>::min() && megabytes <= std::numeric_limits<int32_t>::max()))
        throw RunTimeError(OverflowError, u"Overflow"_s);
    return int32_t(megabytes);
}

bool UsageReply::isShaped(const JsonValue& flag)
{
    switch (flag.kind()) {
    case JsonValue::Kind::Boolean:
        return flag.boolean();
    case JsonValue::Kind::Number:
        return flag.number() == 1.0;
    case JsonValue::Kind::Text:
        return flag.text() == u"1"_s || flag.text().compare(u"true"_s, Qt::CaseInsensitive) == 0;
    default:
        return false;
    }
}

void UsageReply::readTrafficTypes(const JsonValue& root)
{
    const JsonValue& types = root[u"response"_s][u"usage"_s][u"traffic_types"_s];
    if (types.count() == 0) {
        raise(u"failed to find expected traffic types in JSON"_s, 2);
        return;
    }
    for (const JsonDictionary::Entry& entry : *types.dictionary()) {
        try {
            readTrafficType(entry.value);
        } catch (const RunTimeError& e) {
            reportQuotaDataError(e);
        }
    }
}

void UsageReply::reportQuotaDataError(const RunTimeError& error) const
{
    if (m_status)
        m_status(u"Error while extracting quota data from JSON data: "_s + error.text(), 2);
}

int32_t UsageReply::quotaOrNone(const JsonValue& allocation) const
{
    try {
        return quotaMegabytes(allocation);
    } catch (const RunTimeError& e) {
        // An allocation beyond any quota, as a plan without a limit may send: the class has no
        // quota, and keeps its name, shaping and hours.
        reportQuotaDataError(e);
        return 0;
    }
}

void UsageReply::readTrafficType(const JsonValue& entry)
{
    const QString classification = entry[u"classification"_s].toText();
    const QString name = CleanClassificationName(entry[u"name"_s].toText());
    const JsonValue& shapedFlag = entry[u"is_shaped"_s];
    const QString shapedText = shapedFlag.toText();
    const QString speed = entry[u"shaping_speed"_s].toText();
    const int32_t quota = quotaOrNone(entry[u"allocation"_s]);

    if (isPeakClass(classification)) {
        m.arrayDailyHeaders[1] = name;
        m.sngQuotaPeak = float(quota);
        m.intPeakShapeStatus = isShaped(shapedFlag) ? 1 : 0;
        m.szShapingSpeed = speed == u"0"_s ? QString() : speed;
        raise(u"peak name: "_s + name, 6);
        raise(u"peak quota: "_s + QString::number(quota) + u" MB"_s, 6);
        raise(u"peak shaping status: "_s + shapedText, 6);
        if (m.intPeakShapeStatus == 1)
            raise(u"peak shaping speed:  "_s + speed, 6);
    } else if (classification == u"offpeak"_s) {
        m.arrayDailyHeaders[2] = name;
        m.sngQuotaOffpeak = float(quota);
        m.intOffpeakShapeStatus = isShaped(shapedFlag) ? 1 : 0;
        if (speed != u"0"_s)
            m.szShapingSpeed = speed;
        raise(u"offpeak name: "_s + name, 6);
        raise(u"offpeak quota: "_s + QString::number(quota) + u" MB"_s, 6);
        raise(u"offpeak shaping status: "_s + shapedText, 6);
        if (m.intOffpeakShapeStatus == 1)
            raise(u"offpeak shaping speed:  "_s + speed, 6);
    } else if (classification == u"freezone"_s) {
        m.arrayDailyHeaders[3] = name;
        raise(u"freezone name: "_s + name, 6);
        raise(u"freezone shaping status: "_s + (shapedText.isEmpty() ? u"N/A"_s : shapedText), 6);
    } else if (classification == u"uploads"_s) {
        m.arrayDailyHeaders[5] = u"Uploads"_s;
        raise(u"uploads name: "_s + name, 6);
    }
}

std::optional<int16_t> UsageReply::readHour(const JsonValue& root, const QString& key, const QString& what)
{
    const QString text = root[u"response"_s][key].toText();
    if (text.isEmpty()) {
        raise(u"failed to find offpeak "_s + what + u" time in JSON"_s, 2);
        return std::nullopt;
    }
    const QString hour = text.left(2);
    const std::optional<double> number = readNumericText(hour);
    if (!number) {
        raise(u"non-numeric offpeak "_s + what + u" time: "_s + hour, 2);
        return std::nullopt;
    }
    const int16_t value = smallWholeNumber(*number);
    raise(u"found offpeak "_s + what + u" time in JSON: "_s + hour, 6);
    return value;
}

void UsageReply::readOffpeakHours(const JsonValue& root)
{
    m.intPeakStart = -1;
    m.intPeakEnd = -1;
    if (m.arrayDailyHeaders[2].isEmpty() && m.sngQuotaOffpeak == 0) {
        raise(u"skipping check for offpeak start time"_s, 6);
        return;
    }
    // Off-peak starting is peak ending.
    if (const std::optional<int16_t> start = readHour(root, u"offpeak_start"_s, u"start"_s))
        m.intPeakEnd = *start;
    if (const std::optional<int16_t> end = readHour(root, u"offpeak_end"_s, u"end"_s))
        m.intPeakStart = *end;
    if (m.intPeakEnd == -1) {
        m.intPeakEnd = 2;
        raise(u"using default offpeak start time: 02:00"_s, 6);
    }
    if (m.intPeakStart == -1) {
        m.intPeakStart = 12;
        raise(u"using default offpeak end time: 12:00"_s, 6);
    }
}

bool UsageReply::plausible() const
{
    const bool nothing = m.sngQuotaPeak == 0 && m.sngQuotaOffpeak == 0 && m.sngUsedPeak == 0 && m.sngUsedOffpeak == 0 &&
                         m.szIP == Unknown && m.szLastConnect == Unknown && m.intAnniversaryDate == 0 &&
                         m.szPlanName.isEmpty() && m.szProductName.isEmpty();
    return !nothing;
}
