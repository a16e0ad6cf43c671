// SPDX-License-Identifier: MIT
// The parts of Sarnick's feed document before the days: the feed's error, the account, the
// connections, the reset day, the traffic types and the off-peak hours.
#include "FeedDocument.h"

#include "DailyTotals.h"
#include "Dates.h"
#include "FeedReplyCheck.h"
#include "NodeValues.h"
#include "RunTimeError.h"
#include "Sarnick/Identifiers.h"

#include <QDateTime>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace Sarnick {

namespace {

const QString CRLF = u"\r\n"_s;
constexpr int32_t Overflow = 6;

// The nearest whole number (halves to even) within the given range, or the overflow error.
double wholeNumber(double value, double lowest, double highest)
{
    const double whole = roundHalfEven(value);
    if (!std::isfinite(whole) || whole < lowest || whole > highest)
        throw RunTimeError(Overflow, u"Overflow"_s);
    return whole;
}

int16_t toInteger(double value)
{
    return int16_t(wholeNumber(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

bool isPeakClass(const QString& classification)
{
    return classification == u"peak" || classification == u"anytime" || classification == u"usage";
}

} // namespace

void FeedDocument::raise(const QString& procedure, const QString& text, int16_t level) const
{
    raisePlain(QLatin1StringView(Title) + u'.' + procedure + u": "_s + text, level);
}

void FeedDocument::raisePlain(const QString& text, int16_t level) const
{
    if (m_status)
        m_status(text, level);
}

bool FeedDocument::readParts()
{
    if (feedError())
        return false;
    const bool accountNamed = readAccount();
    readConnections();
    readAnniversary();
    readOffpeakHours(readTrafficTypes());
    if (tooManyMissing(accountNamed)) {
        m.szLastError = u"Error retrieving data: invalid XML data"_s;
        m.szLastErrorDetail = u"Sarnick.RetrieveData: error parsing XML data:"_s + CRLF +
                              u"invalid XML data retrieved - too many parameters missing"_s;
        return false;
    }
    return true;
}

bool FeedDocument::feedError()
{
    const XmlNode error = m_document.selectSingleNode(u"/qo_feed/error"_s);
    if (error.isNull())
        return false;
    const QString text = error.text();
    bool known = false;
    const ReplyFailure failure = FeedErrorFailure(text, known);
    if (known)
        raiseRetrieve(u"error description found in XML: "_s + text, 6);
    m.szLastError = failure.szLastError;
    m.szLastErrorDetail = failure.szLastErrorDetail;
    return true;
}

bool FeedDocument::readAccount()
{
    const XmlNode product = m_document.selectSingleNode(u"/qo_feed/account_info/product"_s);
    if (product.isNull()) {
        raiseRetrieve(u"failed to find product name in XML"_s, 2);
    } else {
        m.szProductName = product.text();
        raiseRetrieve(u"product name: "_s + m.szProductName, 6);
    }
    const XmlNode plan = m_document.selectSingleNode(u"/qo_feed/account_info/plan"_s);
    if (plan.isNull()) {
        raiseRetrieve(u"failed to find plan name in XML"_s, 2);
    } else {
        m.szPlanName = plan.text();
        raiseRetrieve(u"plan name: "_s + m.szPlanName, 6);
    }
    return !product.isNull() || !plan.isNull();
}

void FeedDocument::readConnections()
{
    m.szIP = u"unknown"_s;
    m.szLastConnect = u"unknown"_s;
    const XmlNodeList addresses = m_document.selectNodes(u"/qo_feed/connections/ip"_s);
    if (addresses.isEmpty()) {
        raiseRetrieve(u"failed to find connection time and IP address in XML"_s, 2);
        return;
    }
    const QString count = QString::number(addresses.size());
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const QString address = addresses[i].text();
        const QString since = GetAttributeValue(addresses[i], u"on_since"_s);
        if (since.isEmpty()) {
            raiseRetrieve(u"failed to find connect time attribute in XML for IP "_s + address, 2);
            continue;
        }
        if (addresses.size() > 1)
            raiseRetrieve(u"found connection details "_s + QString::number(i + 1) + u'/' + count + u": "_s + address +
                              u" with connect time "_s + since,
                          6);
        if (m.szIP == u"unknown") {
            m.szIP = address;
            m.szLastConnect = since;
            continue;
        }
        LocalDateTime candidate;
        LocalDateTime current;
        QString ignored;
        if (!myCDate(since, candidate, ignored) || !myCDate(m.szLastConnect, current, ignored)) {
            raiseRetrieve(u"invalid date: "_s + since + u" / "_s + m.szLastConnect, 2);
            continue;
        }
        // The connection that started last wins; on equal times the first stays.
        if (current.secondsTo(candidate) >= 1) {
            m.szIP = address;
            m.szLastConnect = candidate.toString();
        }
    }

    // The feed gives the start in UTC; the instant is shown in local time, whatever the offset
    // was on that day.
    LocalDateTime utc;
    QString ignored;
    if (myCDate(m.szLastConnect, utc, ignored)) {
        m.szLastConnect = LocalDateTime::fromUtc(QDateTime(utc.date(), utc.time(), Qt::UTC)).toString();
    } else {
        raiseRetrieve(u"failed to apply timezone offset to last connect time: "_s + m.szLastConnect, 2);
    }
    raiseRetrieve(u"current IP address: "_s + m.szIP, 6);
    raiseRetrieve(u"last connect time: "_s + m.szLastConnect, 6);
}

void FeedDocument::readAnniversary()
{
    const XmlNode anniversary = m_document.selectSingleNode(u"/qo_feed/volume_usage/quota_reset/anniversary"_s);
    if (anniversary.isNull()) {
        raiseRetrieve(u"failed to find anniversary date in XML"_s, 2);
        return;
    }
    const QString text = anniversary.text();
    const std::optional<double> day = readNumericText(text);
    if (!day) {
        raiseRetrieve(u"non-numeric anniversary date found: "_s + text, 2);
        return;
    }
    try {
        m.intAnniversaryDate = toInteger(*day);
        raiseRetrieve(u"anniversary date: "_s + QString::number(m.intAnniversaryDate), 6);
    } catch (const RunTimeError& error) {
        // Reported, and the retrieval goes on without the day.
        m.szLastError = u"Retrieve error: extracting anniversary date"_s;
        m.szLastErrorDetail = u"Sarnick.RetrieveData: error while processing XML data:"_s + CRLF +
                              u"failed to extract anniversary date:"_s + CRLF + error.text();
    }
}

bool FeedDocument::readTrafficTypes()
{
    const XmlNodeList types = m_document.selectNodes(u"/qo_feed/volume_usage/expected_traffic_types/type"_s);
    if (types.isEmpty())
        raiseRetrieve(u"failed to find expected traffic types in XML"_s, 2);
    bool offpeakNamed = false;
    for (qsizetype i = 0; i < types.size(); ++i) {
        try {
            if (readTrafficType(types[i], i))
                offpeakNamed = true;
        } catch (const RunTimeError& error) {
            reportQuotaDataError(error);
        }
    }
    return offpeakNamed;
}

void FeedDocument::reportQuotaDataError(const RunTimeError& error) const
{
    raisePlain(u"Error while extracting quota data from XML data: "_s + error.text(), 2);
}

double FeedDocument::quotaOrNone(const QString& allocationText) const
{
    const std::optional<double> allocation = readNumericText(allocationText);
    if (!allocation)
        return 0;
    try {
        return wholeNumber(*allocation, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    } catch (const RunTimeError& error) {
        // A quota beyond any quota, as a plan without a limit may send: the class has no quota,
        // and keeps its name, shaping and hours.
        reportQuotaDataError(error);
        return 0;
    }
}

bool FeedDocument::readTrafficType(const XmlNode& type, qsizetype index)
{
    if (!type.hasChildNodes()) {
        raiseRetrieve(u"failed to find details in <type> #"_s + QString::number(index) + u" node in XML"_s, 2);
        return false;
    }
    const XmlNodeList details = type.childNodes();
    const QString classification = GetAttributeValue(type, u"classification"_s);
    const QString name = CleanClassificationName(GetNodeValue(details, u"name"_s));
    const double quota = quotaOrNone(GetNodeValue(details, u"quota_allocation"_s));
    const QString quotaText = QString::number(qint64(quota));
    const QString shaped = GetNodeValue(details, u"is_shaped"_s);
    const QString speed = GetAttributeValue(GetNamedNode(details, u"is_shaped"_s), u"speed"_s);
    const int16_t shapeStatus = shaped == u"true" ? 1 : 0;

    if (isPeakClass(classification)) {
        m.arrayDailyHeaders[1] = name;
        m.sngQuotaPeak = float(quota);
        m.intPeakShapeStatus = shapeStatus;
        m.szShapingSpeed = speed == u"0" ? QString() : speed;
        raiseRetrieve(u"peak name: "_s + name, 6);
        raiseRetrieve(u"peak quota: "_s + quotaText + u" MB"_s, 6);
        raiseRetrieve(u"peak shaping status: "_s + shaped, 6);
        if (shapeStatus == 1)
            raiseRetrieve(u"peak shaping speed:  "_s + speed, 6);
    } else if (classification == u"offpeak") {
        m.arrayDailyHeaders[2] = name;
        m.sngQuotaOffpeak = float(quota);
        m.intOffpeakShapeStatus = shapeStatus;
        // A class that is not shaped keeps the peak's speed.
        if (speed != u"0")
            m.szShapingSpeed = speed;
        raiseRetrieve(u"offpeak name: "_s + name, 6);
        raiseRetrieve(u"offpeak quota: "_s + quotaText + u" MB"_s, 6);
        raiseRetrieve(u"offpeak shaping status: "_s + shaped, 6);
        if (shapeStatus == 1)
            raiseRetrieve(u"offpeak shaping speed:  "_s + speed, 6);
        return true;
    } else if (classification == u"freezone") {
        m.arrayDailyHeaders[3] = name;
        raiseRetrieve(u"freezone name: "_s + name, 6);
        raiseRetrieve(u"freezone shaping status: "_s + (shaped.isEmpty() ? u"N/A"_s : shaped), 6);
    } else if (classification == u"uploads") {
        m.arrayDailyHeaders[5] = u"Uploads"_s;
        raiseRetrieve(u"uploads name: "_s + name, 6);
    }
    return false;
}

void FeedDocument::readOffpeakHours(bool offpeakNamed)
{
    m.intPeakStart = -1;
    m.intPeakEnd = -1;
    // Off-peak begins where the peak period ends, and ends where it begins. The class's title counts
    // only when this document gave it: an object used again still holds the last document's.
    if ((offpeakNamed && !m.arrayDailyHeaders[2].isEmpty()) || m.sngQuotaOffpeak != 0) {
        readOffpeakHour(u"/qo_feed/volume_usage/offpeak_start"_s, u"start"_s, m.intPeakEnd);
        readOffpeakHour(u"/qo_feed/volume_usage/offpeak_end"_s, u"end"_s, m.intPeakStart);
    } else {
        raiseRetrieve(u"skipping check for offpeak start time"_s, 6);
    }
    if (m.intPeakEnd == -1) {
        m.intPeakEnd = 2;
        raiseRetrieve(u"using default offpeak start time: 02:00"_s, 6);
    }
    if (m.intPeakStart == -1) {
        m.intPeakStart = 12;
        raiseRetrieve(u"using default offpeak end time: 12:00"_s, 6);
    }
}

void FeedDocument::readOffpeakHour(const QString& xpath, const QString& which, int16_t& hour)
{
    const XmlNode node = m_document.selectSingleNode(xpath);
    if (node.isNull()) {
        raiseRetrieve(u"failed to find offpeak "_s + which + u" time in XML"_s, 2);
        return;
    }
    // The hour is the first two characters of a time of day such as "23:00".
    const QString digits = node.text().left(2);
    if (const std::optional<double> value = readNumericText(digits)) {
        hour = toInteger(*value);
        raiseRetrieve(u"found offpeak "_s + which + u" time in XML: "_s + digits, 6);
    } else {
        raiseRetrieve(u"non-numeric offpeak "_s + which + u" time: "_s + digits, 2);
    }
}

bool FeedDocument::tooManyMissing(bool accountNamed) const
{
    // The names count only when this document gave them: a call does not clear them, so an object
    // used again still holds the last document's.
    const bool names = accountNamed && (!m.szPlanName.isEmpty() || !m.szProductName.isEmpty());
    return m.sngQuotaPeak == 0 && m.sngQuotaOffpeak == 0 && m.szIP == u"unknown" && m.szLastConnect == u"unknown" &&
           m.intAnniversaryDate == 0 && !names;
}

} // namespace Sarnick
