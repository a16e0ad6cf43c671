// SPDX-License-Identifier: MIT
#include "MonthQueries.h"

#include "HistoryContext.h"
#include "LogFrontEnd.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "SQLAccess.h"
#include "SqlValues.h"

using namespace Qt::StringLiterals;
using namespace SqlValues;

bool MonthQueries::SQLGetMonths(QList<LocalDateTime>& months, QString& szErr)
{
    m_ctx.log.LogMessage(u"calling SQLGetMonths for profile "_s + QString::number(m_ctx.run.ProfileNumber), 3);
    const QString file = m_ctx.DatabaseFile;
    LiteConnection conn;
    QString openErr;
    if (!m_sql.OpenSQLDatabase(file, conn, openErr)) {
        szErr = u"SQLGetMonths: failed to open database \""_s + file + u"\": "_s + crlf + openErr;
        return false;
    }
    try {
        LiteStatement rows;
        if (m_sql.RetrieveSQL(conn, u"select AnniversaryDate from MonthlyData order by AnniversaryDate desc"_s, rows,
                              szErr) != 0)
            return false;
        QList<LocalDateTime> found;
        while (rows.Step()) {
            const QString text = rows.ColumnValue(0).toText();
            LocalDateTime date;
            QString dateErr;
            if (myCDate(text, date, dateErr, m_ctx.log.dateSink()))
                found.append(date);
            else
                m_ctx.log.LogMessage(u"SQLGetMonths: invalid anniversary date found in MonthlyData table: "_s + text,
                                     1);
        }
        rows.Close();
        if (found.isEmpty()) {
            szErr = u"SQLGetMonths: database read error:"_s + crlf + u"[-1] no data found in MonthlyData table"_s;
            return false;
        }
        conn.Close();
        months = found;
        return true;
    } catch (const RunTimeError& error) {
        szErr = u"SQLGetMonths: failed to retrieve data:"_s + crlf + error.text();
    } catch (const LiteError& error) {
        szErr = u"SQLGetMonths: failed to retrieve data:"_s + crlf + SQLAccess::errorText(error);
    }
    return false;
}

bool MonthQueries::SQLGetLastUpdate(LocalDateTime& lastUpdate, QString& szErr)
{
    m_ctx.log.LogMessage(u"calling SQLGetLastUpdate for profile "_s + QString::number(m_ctx.run.ProfileNumber), 3);
    return readDate(
        u"SQLGetLastUpdate"_s, u"MonthlyData"_s,
        u"select LastUpdate from MonthlyData where AnniversaryDate=(select max(AnniversaryDate) from MonthlyData)"_s,
        {}, lastUpdate, szErr);
}

bool MonthQueries::SQLGetLastUpdateForMonth(const LocalDateTime& firstDay, LocalDateTime& lastUpdate, QString& szErr)
{
    m_ctx.log.LogMessage(u"calling SQLGetLastUpdateForMonth for profile "_s + QString::number(m_ctx.run.ProfileNumber) +
                             u" for "_s + firstDay.toDateString(),
                         3);
    return readDate(u"SQLGetLastUpdateForMonth"_s, u"MonthlyData"_s,
                    u"select LastUpdate from MonthlyData where AnniversaryDate=?"_s, {dateParam(firstDay)}, lastUpdate,
                    szErr);
}

bool MonthQueries::SQLGetBackfilledMonth(LocalDateTime& firstDay, QString& szErr)
{
    return readDate(u"SQLGetBackfilledMonth"_s, u"Config"_s, u"select Value from Config where id=?"_s,
                    {LiteValue::text(backfilledMonthKey())}, firstDay, szErr);
}

bool MonthQueries::readDate(const QString& name, const QString& table, const QString& sql, const LiteRow& params,
                            LocalDateTime& date, QString& szErr)
{
    const QString file = m_ctx.DatabaseFile;
    LiteConnection conn;
    QString openErr;
    if (!m_sql.OpenSQLDatabase(file, conn, openErr)) {
        szErr = name + u": failed to open database \""_s + file + u"\": "_s + crlf + openErr;
        return false;
    }
    try {
        LiteResult result;
        if (m_sql.ExecuteSQL(conn, sql, szErr, &result, params) != 0)
            return false;
        const QString text = firstValue(result).toText();
        const QString readError = name + u": database read error:"_s + crlf;
        if (text.isEmpty()) {
            szErr = readError + u"[-1] no value found in "_s + table + u" table"_s;
            return false;
        }
        LocalDateTime parsed;
        QString dateErr;
        if (!myCDate(text, parsed, dateErr, m_ctx.log.dateSink())) {
            szErr = readError + u"[-1] invalid date retrieved: "_s + text;
            return false;
        }
        conn.Close();
        date = parsed;
        return true;
    } catch (const RunTimeError& error) {
        szErr = name + u": error retrieving data:"_s + crlf + error.text();
    } catch (const LiteError& error) {
        szErr = name + u": error retrieving data:"_s + crlf + SQLAccess::errorText(error);
    }
    return false;
}
