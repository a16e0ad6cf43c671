// SPDX-License-Identifier: MIT
#include "DailyUsage.h"

#include "DailyTotals.h"
#include "Dates.h"
#include "JsonDictionary.h"
#include "RunTimeError.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int32_t OverflowError = 6;
constexpr double BytesPerMegabyte = 1'000'000.0;

// A day's byte count as megabytes, converted to single precision first as the figures always were.
float megabytes(const JsonValue& value)
{
    bool ok = false;
    const double bytes = value.toNumber(&ok);
    if (!ok)
        throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
    if (std::fabs(bytes) > double(std::numeric_limits<float>::max()))
        throw RunTimeError(OverflowError, u"Overflow"_s);
    return float(double(float(bytes)) / BytesPerMegabyte);
}

// "yyyymmdd" (text or number) as the date it names.
LocalDateTime dayOf(const JsonValue& period)
{
    const QString text = period.toText();
    const QString dateText = text.left(4) + u'-' + text.mid(4, 2) + u'-' + text.mid(6, 2);
    LocalDateTime day;
    QString ignored;
    if (!myCDate(dateText, day, ignored, {}))
        throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
    return day;
}

} // namespace

QString TidyHeader(const QString& header)
{
    QString tidy = header;
    const QString tail = tidy.right(6).toUpper();
    if (tidy.size() >= 6 && (tail == u" USAGE"_s || tail == u"_USAGE"_s))
        tidy.chop(6);
    if (!tidy.isEmpty())
        tidy[0] = tidy.at(0).toUpper();
    return tidy;
}

bool ParseDailyData(UsageDataState& m, const JsonValue& data, const StatusSink& status)
{
    const auto raise = [&status](const QString& text, int16_t level) {
        if (status)
            status(u"Pelborne.ParseDailyData: "_s + text, level);
    };
    try {
        raise(u"processing daily data"_s, 6);
        const qsizetype days = data.count();
        // An empty month fails here: it has no first day.
        const qsizetype firstDayTypes = data[0][u"types"_s].count();

        m.arrayDailyDates = QList<LocalDateTime>(days);
        m.arrayDailyPeak = QList<float>(days, 0.0f);
        m.arrayDailyOffPeak = QList<float>(days, 0.0f);
        m.arrayDailyFreezone = QList<float>(days, 0.0f);
        m.arrayDailyUploads = QList<float>(days, 0.0f);
        m.arrayDailyTotals = QList<float>(days, 0.0f);

        if (firstDayTypes != 1)
            m.arrayDailyHeaders[4] = u"Total"_s;
        m.arrayDailyHeaders[0] = u"Date"_s;

        qsizetype d = 0;
        for (const JsonDictionary::Entry& record : *data.dictionary()) {
            (*m.arrayDailyDates)[d] = dayOf(record.value[u"period"_s]);
            const qsizetype day = d++;
            // Each day lists its own classes: a class missing on one day is 0 there.
            const JsonValue& types = record.value[u"types"_s];
            if (types.count() == 0)
                continue;
            for (const JsonDictionary::Entry& entry : *types.dictionary()) {
                const QString type = entry.value[u"type"_s].toText();
                const float amount = megabytes(entry.value[u"value"_s]);
                if (type == u"peak"_s || type == u"anytime"_s || type == u"usage"_s)
                    (*m.arrayDailyPeak)[day] = amount;
                else if (type == u"offpeak"_s)
                    (*m.arrayDailyOffPeak)[day] = amount;
                else if (type == u"freezone"_s)
                    (*m.arrayDailyFreezone)[day] = amount;
                else if (type == u"uploads"_s)
                    (*m.arrayDailyUploads)[day] = amount;
            }
        }

        raise(u"calculating daily totals"_s, 6);
        CalculateTotals(m, u"Pelborne"_s, status);
        m.sngUsedPeak = m.arrayTotals[1];
        m.sngUsedOffpeak = m.arrayTotals[2];
        m.sngUsedFreezone = m.arrayTotals[3];

        for (QString& header : m.arrayDailyHeaders) {
            if (!header.isEmpty())
                header = TidyHeader(header);
        }

        raise(u"calculating daily averages, durations"_s, 6);
        ApplyMonthTotals(m);

        LocalDateTime lastUpdate;
        QString ignored;
        if (m.intAnniversaryDate > 0 && !myCDate(m.szLastUpdate, lastUpdate, ignored, {}))
            raise(u"invalid last refresh date: "_s + m.szLastUpdate, 3);
        return true;
    } catch (const RunTimeError& e) {
        m.szLastErrorDetail = u"Pelborne.ParseDailyData: error while parsing data:\r\n"_s + e.text();
        m.szLastError = u"Parse error: ["_s + QString::number(e.number()) + u"] error while parsing data"_s;
        return false;
    }
}
