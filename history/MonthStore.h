// SPDX-License-Identifier: MIT
#pragma once

#include "LiteValue.h"

#include <QString>

class LiteConnection;
class SQLAccess;
class SchemaUpgrade;
struct HistoryContext;
struct qoMonth;

// Writes one month record into the current account's database: the connection status, the
// month row, the class names and reset day and one row per day, replacing what was stored under
// the same keys.
class MonthStore
{
public:
    MonthStore(HistoryContext& context, SQLAccess& sql, SchemaUpgrade& schema)
        : m_ctx(context), m_sql(sql), m_schema(schema)
    {}

    // bHistorical: a back-filled earlier month, which leaves the Status row, the class names and
    // the reset day (they describe the current month) alone and skips the compaction. All writes
    // are one transaction: any failure rolls it back and returns False, so the next refresh
    // retries and no half-stored month remains.
    bool qoMonth2SQL(const qoMonth& month, bool bHistorical, QString& szErr);

private:
    void storeMonth(LiteConnection& conn, const qoMonth& month, bool bHistorical);
    // Runs a statement; a failure is logged and ends the store with the header's text.
    void run(LiteConnection& conn, const QString& sql, const LiteRow& params, const QString& failureHeader);

    HistoryContext& m_ctx;
    SQLAccess& m_sql;
    SchemaUpgrade& m_schema;
};
