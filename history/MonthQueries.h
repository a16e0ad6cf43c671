// SPDX-License-Identifier: MIT
#pragma once

#include "LiteValue.h"
#include "LocalDateTime.h"

#include <QList>
#include <QString>

class SQLAccess;
struct HistoryContext;

// The stored months and their last-update times.
class MonthQueries
{
public:
    MonthQueries(HistoryContext& context, SQLAccess& sql) : m_ctx(context), m_sql(sql) {}

    // The stored first days, newest first. Values that are no date are logged and left out;
    // False when no month remains.
    bool SQLGetMonths(QList<LocalDateTime>& months, QString& szErr);
    // The LastUpdate of the newest month. An empty table fails with a text holding
    // "no value found".
    bool SQLGetLastUpdate(LocalDateTime& lastUpdate, QString& szErr);
    // The LastUpdate of the month stored under exactly that first day; a month not stored fails
    // with a text holding "no value found", which the back-fill takes as "never updated".
    bool SQLGetLastUpdateForMonth(const LocalDateTime& firstDay, LocalDateTime& lastUpdate, QString& szErr);
    // The first day of the month the last back-fill stored, unless it was stored as the current
    // month since; none fails with a text holding "no value found".
    bool SQLGetBackfilledMonth(LocalDateTime& firstDay, QString& szErr);

    // The id of the Config row that SQLGetBackfilledMonth reads.
    static QString backfilledMonthKey() { return QStringLiteral("BackfilledMonth"); }

private:
    bool readDate(const QString& name, const QString& table, const QString& sql, const LiteRow& params,
                  LocalDateTime& date, QString& szErr);

    HistoryContext& m_ctx;
    SQLAccess& m_sql;
};
