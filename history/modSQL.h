// SPDX-License-Identifier: MIT
#pragma once

#include "HistoryContext.h"
#include "LocalDateTime.h"
#include "MainRoutines.h"
#include "MonthQueries.h"
#include "MonthReader.h"
#include "MonthStore.h"
#include "SQLAccess.h"
#include "SchemaUpgrade.h"
#include "StoredTotals.h"
#include "qoMonth.h"

#include <QList>
#include <QString>

#include <array>

class LogFrontEnd;
struct AppInfo;
struct RunState;
struct Settings;

// The history database of the current account: one SQLite file per user name in the data
// folder. Every routine opens its own connection and closes it before it returns, so nothing is
// held between refreshes; every routine reports failure as False with an error text.
// CheckSQLDatabase must have run for the current user name before the others.
class modSQL
{
public:
    modSQL(const AppInfo& app, const Settings& settings, const RunState& run, LogFrontEnd& log);
    modSQL(const modSQL&) = delete;
    modSQL& operator=(const modSQL&) = delete;

    bool CheckSQLDatabase(QString& szErr) { return m_schema.CheckSQLDatabase(szErr); }
    bool qoMonth2SQL(const qoMonth& month, bool bHistorical, QString& szErr)
    {
        return m_store.qoMonth2SQL(month, bHistorical, szErr);
    }
    bool SQL2qoMonth(const LocalDateTime& date, qoMonth& month, QString& szErr)
    {
        return m_reader.SQL2qoMonth(date, month, szErr);
    }
    bool SQLGetMonths(QList<LocalDateTime>& months, QString& szErr) { return m_queries.SQLGetMonths(months, szErr); }
    bool SQLGetLastUpdate(LocalDateTime& lastUpdate, QString& szErr)
    {
        return m_queries.SQLGetLastUpdate(lastUpdate, szErr);
    }
    bool SQLGetLastUpdateForMonth(const LocalDateTime& firstDay, LocalDateTime& lastUpdate, QString& szErr)
    {
        return m_queries.SQLGetLastUpdateForMonth(firstDay, lastUpdate, szErr);
    }
    bool SQLGetBackfilledMonth(LocalDateTime& firstDay, QString& szErr)
    {
        return m_queries.SQLGetBackfilledMonth(firstDay, szErr);
    }
    bool SQLGetMonthlyTotals(MonthlyTotals& totals, QString& szErr)
    {
        return m_totals.SQLGetMonthlyTotals(totals, szErr);
    }
    bool SQLGetHistoricalHeaders(std::array<QString, DailyHeader::Count>& headers, QString& szErr)
    {
        return m_totals.SQLGetHistoricalHeaders(headers, szErr);
    }

    // The file CheckSQLDatabase settled on; empty before it ran or when the user name gave none.
    const QString& DatabaseFile() const { return m_ctx.DatabaseFile; }
    // The month list for the main window's history list (MainRoutines::SQLGetMonths).
    StoredMonthsReader storedMonthsReader();

private:
    HistoryContext m_ctx;
    SQLAccess m_sql;
    SchemaUpgrade m_schema;
    MonthStore m_store;
    MonthReader m_reader;
    MonthQueries m_queries;
    StoredTotals m_totals;
};
