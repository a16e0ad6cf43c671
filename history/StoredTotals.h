// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"
#include "qoMonth.h"

#include <QList>
#include <QString>

#include <array>

class MonthQueries;
class SQLAccess;
struct HistoryContext;

// One stored month's sums and quotas, in MB.
struct MonthTotal
{
    float Peak = 0;
    float Offpeak = 0;
    float Freezone = 0;
    float Uploads = 0; // days without a figure count as 0
    float PeakQuota = 0;
    float OffpeakQuota = 0;

    friend bool operator==(const MonthTotal&, const MonthTotal&) = default;
};

// Every stored month's totals, index for index in month-list order (newest first); a month
// that could not be read keeps zeros.
struct MonthlyTotals
{
    QList<LocalDateTime> Dates;
    QList<MonthTotal> Totals;
};

// The totals of the stored months and the column titles that fit all of them, for the monthly
// chart.
class StoredTotals
{
public:
    StoredTotals(HistoryContext& context, SQLAccess& sql, MonthQueries& queries)
        : m_ctx(context), m_sql(sql), m_queries(queries)
    {}

    // The sums of the month stored under firstDay, over the days MonthEnd gives it.
    bool SQLGetMonthTotals(const LocalDateTime& firstDay, MonthTotal& totals, QString& szErr);
    // False only when the month list cannot be read.
    bool SQLGetMonthlyTotals(MonthlyTotals& totals, QString& szErr);
    // Titles 0 to 5 for a chart of all stored months: anytime, peak and off-peak, uploads.
    bool SQLGetHistoricalHeaders(std::array<QString, DailyHeader::Count>& headers, QString& szErr);

private:
    HistoryContext& m_ctx;
    SQLAccess& m_sql;
    MonthQueries& m_queries;
};
