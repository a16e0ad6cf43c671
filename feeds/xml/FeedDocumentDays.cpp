// SPDX-License-Identifier: MIT
// The days of Sarnick's feed document into the daily arrays, and the month's figures from them.
#include "FeedDocument.h"

#include "DailyTotals.h"
#include "Dates.h"
#include "NodeValues.h"
#include "RunTimeError.h"
#include "Sarnick/Identifiers.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace Sarnick {

namespace {

const QString CRLF = u"\r\n"_s;
constexpr int32_t ObjectNotSet = 91;
constexpr int32_t Overflow = 6;
constexpr double BytesPerMegabyte = 1000000.0;

RunTimeError typeMismatch()
{
    return RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
}

LocalDateTime dayOf(const QString& period)
{
    LocalDateTime day;
    QString ignored;
    if (!myCDate(period, day, ignored))
        throw typeMismatch();
    return day;
}

// A day's byte count in megabytes; an empty text counts 0, a sign or letters do not read.
float megabytesOf(const QString& bytesText)
{
    const std::optional<double> bytes = readNumericText(u'0' + bytesText);
    if (!bytes)
        throw typeMismatch();
    if (!std::isfinite(*bytes) || std::fabs(*bytes) > double(std::numeric_limits<float>::max()))
        throw RunTimeError(Overflow, u"Overflow"_s);
    return float(double(float(*bytes)) / BytesPerMegabyte);
}

} // namespace

bool FeedDocument::ParseDailyData()
{
    const QString procedure = u"ParseDailyData"_s;
    raise(procedure, u"processing daily data"_s, 6);
    try {
        const XmlNodeList days = m_document.selectNodes(u"/qo_feed/volume_usage/volume_usage/day_hour"_s);
        if (days.isEmpty())
            throw RunTimeError(ObjectNotSet, u"Object variable or With block variable not set"_s);
        const qsizetype count = days.size();
        const qsizetype valuesOfFirstDay = days.first().childNodes().size();

        m.arrayDailyDates = QList<LocalDateTime>(count);
        m.arrayDailyPeak = QList<float>(count, 0.0f);
        m.arrayDailyOffPeak = QList<float>(count, 0.0f);
        m.arrayDailyFreezone = QList<float>(count, 0.0f);
        m.arrayDailyTotals = QList<float>(count, 0.0f);
        m.arrayDailyUploads = QList<float>(count, 0.0f);
        // A feed with one value per day has nothing to add up per day.
        if (valuesOfFirstDay != 1)
            m.arrayDailyHeaders[4] = u"Total"_s;
        m.arrayDailyHeaders[0] = u"Date"_s;

        for (qsizetype i = 0; i < count; ++i) {
            (*m.arrayDailyDates)[i] = dayOf(GetAttributeValue(days[i], u"period"_s));
            for (const XmlNode& value : days[i].childNodes()) {
                if (!value.isElement())
                    throw typeMismatch();
                const QString type = GetAttributeValue(value, u"type"_s);
                const float megabytes = megabytesOf(value.text());
                // A later value of the same class on the same day replaces the earlier one.
                if (type == u"peak" || type == u"anytime" || type == u"usage")
                    (*m.arrayDailyPeak)[i] = megabytes;
                else if (type == u"offpeak")
                    (*m.arrayDailyOffPeak)[i] = megabytes;
                else if (type == u"freezone")
                    (*m.arrayDailyFreezone)[i] = megabytes;
                else if (type == u"uploads")
                    (*m.arrayDailyUploads)[i] = megabytes;
            }
        }

        raise(procedure, u"calculating daily totals"_s, 6);
        CalculateTotals(m, QLatin1StringView(Title), m_status);
        for (QString& header : m.arrayDailyHeaders) {
            if (!header.isEmpty())
                header[0] = header[0].toUpper();
        }
        raise(procedure, u"calculating daily averages, durations"_s, 6);
        ApplyMonthTotals(m);

        LocalDateTime lastUpdate;
        QString ignored;
        if (m.intAnniversaryDate > 0 && !myCDate(m.szLastUpdate, lastUpdate, ignored))
            raise(procedure, u"invalid last refresh date: "_s + m.szLastUpdate, 3);
        return true;
    } catch (const RunTimeError& error) {
        m.szLastErrorDetail = u"Sarnick.ParseDailyData: error while parsing data:"_s + CRLF + error.text();
        m.szLastError = u"Parse error: ["_s + QString::number(error.number()) + u"] error while parsing data"_s;
    }
    return false;
}

} // namespace Sarnick
