// SPDX-License-Identifier: MIT
#include "StoredTotals.h"

#include "HistoryContext.h"
#include "LogFrontEnd.h"
#include "MonthEnd.h"
#include "MonthQueries.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "SQLAccess.h"
#include "SqlValues.h"
#include "TextRoutines.h"

using namespace Qt::StringLiterals;
using namespace SqlValues;

bool StoredTotals::SQLGetMonthTotals(const LocalDateTime& firstDay, MonthTotal& totals, QString& szErr)
{
    const QString header = u"SQLGetMonthTotals: "_s;
    const QString first = firstDay.toDateString();
    m_ctx.log.LogMessage(u"calling SQLGetMonthTotals for profile "_s + QString::number(m_ctx.run.ProfileNumber) +
                             u" for month with anniversary date: "_s + first,
                         12);
    const QString file = m_ctx.DatabaseFile;
    LiteConnection conn;
    QString openErr;
    if (!m_sql.OpenSQLDatabase(file, conn, openErr)) {
        szErr = header + u"failed to open database \""_s + file + u"\": "_s + crlf + openErr;
        return false;
    }
    try {
        m_ctx.log.LogMessage(header + u"retrieving data for month starting "_s + first, 12);
        const MonthEnd end = MonthEnd::find(m_sql, conn, firstDay, m_ctx.log.dateSink());
        if (end.tooFar)
            m_ctx.log.LogMessage(header + u"next anniversary date too far away, ignoring it"_s, 6);
        if (!end.usesNext())
            m_ctx.log.LogMessage(header + u"no anniversary date after "_s + first + u", assuming calendar month"_s, 6);
        m_ctx.log.LogMessage(
            header + u"anniversary date: "_s + first + u", next anniversary date: "_s + end.end.toDateString(), 12);

        LiteResult row;
        QString err;
        if (m_sql.ExecuteSQL(conn,
                             u"select sum(d.Peak),sum(d.OffPeak),sum(d.Freezone),sum(d.Upload), "
                             u"m.PeakQuota,m.OffpeakQuota from DailyData d, MonthlyData m where d.date>=? and "
                             u"d.date<? and m.anniversarydate=?"_s,
                             err, &row, {dateParam(firstDay), dateParam(end.end), dateParam(firstDay)}) != 0) {
            szErr = header + u"failed to retrieve totals from DailyData table:"_s + crlf + err;
            return false;
        }
        if (!row) {
            szErr = header + u"database read failed:"_s + crlf + u"[-1] no totals retrieved from DailyData table"_s;
            return false;
        }
        MonthTotal read;
        read.Peak = requiredSingle(column(row, 0));
        read.Offpeak = requiredSingle(column(row, 1));
        read.Freezone = requiredSingle(column(row, 2));
        read.Uploads = singleOrZero(column(row, 3));
        read.PeakQuota = singleOrZero(column(row, 4));
        read.OffpeakQuota = singleOrZero(column(row, 5));
        conn.Close();
        totals = read;
        return true;
    } catch (const RunTimeError& error) {
        szErr = header + u"database read failed:"_s + crlf + error.text();
    } catch (const LiteError& error) {
        szErr = header + u"database read failed:"_s + crlf + SQLAccess::errorText(error);
    }
    return false;
}

bool StoredTotals::SQLGetMonthlyTotals(MonthlyTotals& totals, QString& szErr)
{
    QList<LocalDateTime> months;
    QString err;
    if (!m_queries.SQLGetMonths(months, err)) {
        szErr = u"SQLGetMonthlyTotals: failed to read data:"_s + crlf + err;
        return false;
    }
    m_ctx.log.LogMessage(u"SQLGetMonthlyTotals: retrieved "_s + FormatPlural(int32_t(months.size()), u"month"_s), 6);
    MonthlyTotals read;
    read.Dates.resize(months.size());
    read.Totals.resize(months.size());
    for (qsizetype i = 0; i < months.size(); ++i) {
        MonthTotal month;
        if (SQLGetMonthTotals(months.at(i), month, err)) {
            read.Dates[i] = months.at(i);
            read.Totals[i] = month;
        } else {
            m_ctx.log.LogMessage(u"SQLGetMonthlyTotals: failed to read data for month "_s + QString::number(i) +
                                     u" ("_s + months.at(i).toDateString() + u"):"_s + crlf + err,
                                 3);
        }
    }
    totals = read;
    return true;
}

bool StoredTotals::SQLGetHistoricalHeaders(std::array<QString, DailyHeader::Count>& headers, QString& szErr)
{
    const QString header = u"SQLGetHistoricalHeaders: "_s;
    m_ctx.log.LogMessage(u"calling SQLGetHistoricalHeaders for profile "_s + QString::number(m_ctx.run.ProfileNumber),
                         3);
    const QString file = m_ctx.DatabaseFile;
    LiteConnection conn;
    QString openErr;
    if (!m_sql.OpenSQLDatabase(file, conn, openErr)) {
        szErr = header + u"failed to open database \""_s + file + u"\": "_s + crlf + openErr;
        return false;
    }
    try {
        const QString readError = header + u"database read error:"_s + crlf;
        const QString quotaError = readError + u"[-1] failed to query MonthlyData for offpeak quota values"_s;
        const struct
        {
            QString sql;
            QString emptyError;
        } counts[] = {{u"select count(*) from MonthlyData where OffpeakQuota = 0"_s, quotaError},
                      {u"select count(*) from MonthlyData where OffpeakQuota > 0"_s, quotaError},
                      {u"select count(*) from DailyData where Upload > 0"_s,
                       readError + u"[-1] failed to query DailyData for upload values"_s}};
        int64_t found[3] = {};
        for (int i = 0; i < 3; ++i) {
            LiteResult result;
            if (m_sql.ExecuteSQL(conn, counts[i].sql, szErr, &result) != 0)
                return false;
            if (firstValue(result).isNull()) {
                szErr = counts[i].emptyError;
                return false;
            }
            found[i] = firstValue(result).toInteger();
        }
        const bool anytimeMonths = found[0] > 0;
        const bool peakOffpeakMonths = found[1] > 0;
        headers[DailyHeader::Date] = u"Date"_s;
        headers[DailyHeader::Freezone] = u"Freezone"_s;
        headers[DailyHeader::Total] = u"Total"_s;
        if (anytimeMonths) {
            headers[DailyHeader::Peak] = peakOffpeakMonths ? u"Anytime / Peak"_s : u"Anytime"_s;
            headers[DailyHeader::Offpeak] = peakOffpeakMonths ? u"Offpeak"_s : QString();
        } else {
            headers[DailyHeader::Peak] = u"Peak"_s;
            headers[DailyHeader::Offpeak] = u"Offpeak"_s;
        }
        headers[DailyHeader::Uploads] = found[2] > 0 ? u"Uploads"_s : QString();
        conn.Close();
        return true;
    } catch (const RunTimeError& error) {
        szErr = header + u"failed to retrieve data:"_s + crlf + error.text();
    } catch (const LiteError& error) {
        szErr = header + u"failed to retrieve data:"_s + crlf + SQLAccess::errorText(error);
    }
    return false;
}
