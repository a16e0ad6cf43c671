// SPDX-License-Identifier: MIT
#include "MonthReader.h"

#include "HistoryContext.h"
#include "LogFrontEnd.h"
#include "MonthEnd.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "SQLAccess.h"
#include "SqlValues.h"
#include "TextRoutines.h"
#include "qoMonth.h"

using namespace Qt::StringLiterals;
using namespace SqlValues;

namespace {
const QString header = u"SQL2qoMonth: "_s;
// Spelled out: a namespace-scope text must not depend on another file's.
const QString readFailed = u"SQL2qoMonth: database read failed:\r\n"_s;
} // namespace

void MonthReader::log(const QString& text, int level)
{
    m_ctx.log.LogMessage(text, int16_t(level));
}

bool MonthReader::SQL2qoMonth(const LocalDateTime& date, qoMonth& month, QString& szErr)
{
    const bool newest = date == LocalDateTime();
    log(u"calling SQL2qoMonth for profile "_s + QString::number(m_ctx.run.ProfileNumber) +
            (newest ? u" (most recent month)"_s
                    : u" for month: "_s + monthYear(date) + u" ("_s + date.toDateString() + u')'),
        3);

    const QString file = m_ctx.DatabaseFile;
    LiteConnection conn;
    QString openErr;
    if (!m_sql.OpenSQLDatabase(file, conn, openErr)) {
        szErr = header + u"failed to open database \""_s + file + u"\": "_s + crlf + openErr;
        return false;
    }
    try {
        qoMonth read;
        if (!findFirstDay(conn, date, read.AnniversaryDate, szErr))
            return false;
        log(header + u"retrieving data for month starting "_s + read.AnniversaryDate.toDateString(), 6);
        if (!readStatusAndMonth(conn, read, szErr))
            return false;
        if (!readClassNames(conn, !newest, read, szErr))
            return false;

        const LocalDateTime& firstDay = read.AnniversaryDate;
        const MonthEnd end = MonthEnd::find(m_sql, conn, firstDay, m_ctx.log.dateSink());
        if (end.next) {
            log(header + u"found next anniversary date in database: "_s + end.next->toDateString(), 6);
            if (end.tooFar)
                log(header + u"next anniversary date too far away, ignoring it"_s, 6);
        }
        if (!end.usesNext())
            log(header + u"assuming calendar month"_s, 6);
        log(header + u"anniversary date: "_s + firstDay.toDateString() + u", next anniversary date: "_s +
                end.end.toDateString(),
            6);

        if (!readDays(conn, end.end, read, szErr) || !readTotals(conn, end.end, read, szErr))
            return false;
        read.ResetDay = end.resetDay;

        // Titles the totals call for.
        auto& titles = read.DailyHeaders;
        if (read.TotalFreezone > 0)
            titles[DailyHeader::Freezone] = u"Freezone"_s;
        if (read.OffPeakQuota > 0) {
            titles[DailyHeader::Peak] = u"Peak"_s;
            titles[DailyHeader::Offpeak] = u"Offpeak"_s;
        } else if (read.TotalPeak > 0 && read.PeakQuota > 0) {
            titles[DailyHeader::Peak] = u"Anytime"_s;
        }
        if (!(read.TotalFreezone <= 0 && read.TotalOffpeak <= 0))
            titles[DailyHeader::Total] = u"Total"_s;

        conn.Close();
        month = read;
        return true;
    } catch (const RunTimeError& error) {
        szErr = readFailed + error.text();
    } catch (const LiteError& error) {
        szErr = readFailed + SQLAccess::errorText(error);
    }
    return false;
}

bool MonthReader::findFirstDay(LiteConnection& conn, const LocalDateTime& date, LocalDateTime& firstDay, QString& szErr)
{
    const bool newest = date == LocalDateTime();
    LiteResult result;
    QString err;
    int32_t code = 0;
    if (newest) {
        code = m_sql.ExecuteSQL(conn, u"select max(AnniversaryDate) from MonthlyData"_s, err, &result);
    } else {
        log(header + u"finding anniversary date for "_s + monthYear(date), 6);
        // Two months may begin within the window: the exact first day wins, else the newest.
        code = m_sql.ExecuteSQL(conn,
                                u"select AnniversaryDate from MonthlyData where AnniversaryDate>=? and "
                                u"AnniversaryDate<? order by AnniversaryDate=? desc, AnniversaryDate desc"_s,
                                err, &result, {dateParam(date), dateParam(date.addMonths(1)), dateParam(date)});
    }
    // A failed query leaves no first day; the month row is then not found further on.
    if (code != 0)
        return true;

    const QString text = firstValue(result).toText();
    QString dateErr;
    const bool parsed = !text.isEmpty() && myCDate(text, firstDay, dateErr, m_ctx.log.dateSink());
    if (newest)
        log(header + u"last anniversary date: "_s + firstDay.toDateString() + u" ("_s + text + u')', 6);
    if (parsed)
        return true;
    if (text.isEmpty())
        szErr = readFailed + (newest ? u"[-1] no data found in MonthlyData table"_s
                                     : u"[-1] no data returned from MonthlyData table"_s);
    else
        szErr = header + u"database read failed from MonthlyData table:"_s + crlf + text;
    return false;
}

bool MonthReader::readStatusAndMonth(LiteConnection& conn, qoMonth& month, QString& szErr)
{
    LiteResult status;
    QString err;
    if (m_sql.ExecuteSQL(conn, u"select IP, ConnectTime, PeakStatus, OffpeakStatus from Status"_s, err, &status) != 0) {
        szErr = header + u"database read failed from Status table:"_s + crlf + err;
        return false;
    }
    if (!status) {
        szErr = readFailed + u"[-1] no data found in Status table"_s;
        return false;
    }
    month.IP = column(status, 0).toText();
    month.LastConnect = column(status, 1).toText();
    month.PeakShapeStatus = integer16(column(status, 2), 0);
    month.OffpeakShapeStatus = integer16(column(status, 3), 0);

    LiteResult row;
    if (m_sql.ExecuteSQL(conn,
                         u"select LastUpdate,PeakQuota,OffpeakQuota,PlanType,PeakStart,PeakEnd,ShapingSpeed,PlanName,"
                         u"ProductName from MonthlyData where anniversarydate=?"_s,
                         err, &row, {dateParam(month.AnniversaryDate)}) != 0) {
        szErr = header + u"database read failed from MonthlyData table:"_s + crlf + err;
        return false;
    }
    if (!row) {
        szErr = readFailed + u"[-1] no data found in MonthlyData table"_s;
        return false;
    }
    month.LastUpdate = column(row, 0).toText();
    month.PeakQuota = singleOrZero(column(row, 1));
    month.OffPeakQuota = singleOrZero(column(row, 2));
    month.PlanType = integer16(column(row, 3), 0);
    month.PeakStart = integer16(column(row, 4), 12);
    month.PeakEnd = integer16(column(row, 5), 2);
    month.ShapingSpeed = column(row, 6).toText();
    month.PlanName = column(row, 7).toText();
    month.ProductName = column(row, 8).toText();
    return true;
}

bool MonthReader::readClassNames(LiteConnection& conn, bool historical, qoMonth& month, QString& szErr)
{
    auto& titles = month.DailyHeaders;
    titles[DailyHeader::Date] = u"Date"_s;
    LiteResult result;
    QString err;
    if (m_sql.ExecuteSQL(conn, u"select Value from Config where id='PeakLabel'"_s, err, &result) == 0) {
        if (!result) {
            szErr = readFailed + u"[-1] failed to read PeakLabel from Config table"_s;
            return false;
        }
        titles[DailyHeader::Peak] = firstValue(result).toText();
    }
    result.reset();
    if (m_sql.ExecuteSQL(conn, u"select Value from Config where id='OffPeakLabel'"_s, err, &result) == 0)
        titles[DailyHeader::Offpeak] = firstValue(result).toText();

    // The stored names are the current plan's; an earlier month may have had the other kind.
    if (historical) {
        if (month.OffPeakQuota > 0 && titles[DailyHeader::Offpeak].isEmpty()) {
            log(header + u"over-riding column headers for historical plan with peak+offpeak quota"_s, 6);
            titles[DailyHeader::Peak] = u"Peak"_s;
            titles[DailyHeader::Offpeak] = u"Offpeak"_s;
        } else if (month.OffPeakQuota == 0 && !titles[DailyHeader::Offpeak].isEmpty()) {
            log(header + u"over-riding column headers for historical plan with anytime quota"_s, 6);
            titles[DailyHeader::Peak] = u"Non-free"_s;
            titles[DailyHeader::Offpeak].clear();
        }
    }

    result.reset();
    if (m_sql.ExecuteSQL(conn, u"select Value from Config where id='FreezoneLabel'"_s, err, &result) == 0)
        titles[DailyHeader::Freezone] = firstValue(result).toText();
    if (!titles[DailyHeader::Freezone].isEmpty() && titles[DailyHeader::Freezone].toUpper() != u"TOTAL"_s)
        titles[DailyHeader::Total] = u"Total"_s;
    return true;
}

bool MonthReader::readDays(LiteConnection& conn, const LocalDateTime& end, qoMonth& month, QString& szErr)
{
    LiteStatement rows;
    QString err;
    if (m_sql.RetrieveSQL(conn,
                          u"select Date,Peak,OffPeak,Freezone,Peak+OffPeak+Freezone,Upload from DailyData where "
                          u"date>=? and date<? order by date asc"_s,
                          rows, err, {dateParam(month.AnniversaryDate), dateParam(end)}) != 0) {
        szErr = header + u"database read failed from DailyData table:"_s + crlf + err;
        return false;
    }
    while (rows.Step()) {
        if (month.DailyDates.isEmpty())
            month.DailyHeaders[DailyHeader::Uploads] = rows.ColumnValue(5).isNull() ? QString() : u"Uploads"_s;
        const QString text = rows.ColumnValue(0).toText();
        LocalDateTime day;
        QString dateErr;
        if (!myCDate(text, day, dateErr, m_ctx.log.dateSink()))
            log(header + u"failed to convert date '"_s + text + u'\'', 3);
        month.DailyDates.append(day);
        month.DailyPeak.append(requiredSingle(rows.ColumnValue(1)));
        month.DailyOffpeak.append(requiredSingle(rows.ColumnValue(2)));
        month.DailyFreezone.append(requiredSingle(rows.ColumnValue(3)));
        month.DailyTotals.append(requiredSum(rows.ColumnValue(4)));
        month.DailyUploads.append(singleOrZero(rows.ColumnValue(5)));
    }
    rows.Close();
    if (month.DailyDates.isEmpty()) {
        szErr = readFailed + u"[-1] no daily data retrieved from DailyData table"_s;
        return false;
    }
    log(header + u"retrieved daily data for "_s + FormatPlural(int32_t(month.DailyDates.size()), u"day"_s), 6);
    return true;
}

bool MonthReader::readTotals(LiteConnection& conn, const LocalDateTime& end, qoMonth& month, QString& szErr)
{
    LiteResult totals;
    QString err;
    if (m_sql.ExecuteSQL(conn,
                         u"select sum(Peak),sum(OffPeak),sum(Freezone),sum(Peak+OffPeak+Freezone) from DailyData "
                         u"where date>=? and date<?"_s,
                         err, &totals, {dateParam(month.AnniversaryDate), dateParam(end)}) != 0) {
        szErr = header + u"failed to retrieve totals from DailyData table:"_s + crlf + err;
        return false;
    }
    if (!totals) {
        szErr = readFailed + u"[-1] no totals retrieved from DailyData table"_s;
        return false;
    }
    month.TotalPeak = requiredSum(column(totals, 0));
    month.TotalOffpeak = requiredSum(column(totals, 1));
    month.TotalFreezone = requiredSum(column(totals, 2));
    return true;
}
