// SPDX-License-Identifier: MIT
#pragma once

#include "LiteValue.h"

#include <QString>

class LiteConnection;
class LocalDateTime;
class SQLAccess;
struct HistoryContext;
struct qoMonth;

// Rebuilds a month record from the current account's database: the stored fields, the class
// names as column titles, the daily series and the month's totals. The month calculations fill
// the derived fields afterwards.
class MonthReader
{
public:
    MonthReader(HistoryContext& context, SQLAccess& sql) : m_ctx(context), m_sql(sql) {}

    // date: the zero date asks for the newest stored month; any other date for a month that
    // begins from that date up to one month later: the one beginning exactly on it when stored,
    // else the newest. The caller's record changes only when the whole read succeeds.
    bool SQL2qoMonth(const LocalDateTime& date, qoMonth& month, QString& szErr);

private:
    // The stored first day of the month asked for; false with szErr when there is none.
    bool findFirstDay(LiteConnection& conn, const LocalDateTime& date, LocalDateTime& firstDay, QString& szErr);
    bool readStatusAndMonth(LiteConnection& conn, qoMonth& month, QString& szErr);
    bool readClassNames(LiteConnection& conn, bool historical, qoMonth& month, QString& szErr);
    bool readDays(LiteConnection& conn, const LocalDateTime& end, qoMonth& month, QString& szErr);
    bool readTotals(LiteConnection& conn, const LocalDateTime& end, qoMonth& month, QString& szErr);
    void log(const QString& text, int level);

    HistoryContext& m_ctx;
    SQLAccess& m_sql;
};
