// SPDX-License-Identifier: MIT
#include "MonthEnd.h"

#include "BillingMonth.h"
#include "SQLAccess.h"
#include "SqlValues.h"

#include <algorithm>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace {
// The day found by a query of one value over the given days, when it parses.
std::optional<LocalDateTime> storedDay(SQLAccess& sql, LiteConnection& conn, const QString& query,
                                       std::initializer_list<LocalDateTime> days, const DateMessageSink& dateSink)
{
    LiteRow params;
    for (const LocalDateTime& day : days)
        params.append(SqlValues::dateParam(day));
    LiteResult row;
    QString err;
    if (sql.ExecuteSQL(conn, query, err, &row, params) != 0)
        return std::nullopt;
    const QString text = SqlValues::firstValue(row).toText();
    LocalDateTime day;
    QString dateErr;
    if (text.isEmpty() || !myCDate(text, day, dateErr, dateSink))
        return std::nullopt;
    return day;
}

// The account's reset day as the last store kept it: 0 (none given) to 31. A failed query or a
// value out of that range counts as none kept.
std::optional<int16_t> keptResetDay(SQLAccess& sql, LiteConnection& conn)
{
    LiteResult row;
    QString err;
    if (sql.ExecuteSQL(conn, u"select Value from Config where id=?"_s, err, &row,
                       {LiteValue::text(MonthEnd::resetDayKey())}) != 0)
        return std::nullopt;
    bool number = false;
    const int day = SqlValues::firstValue(row).toText().toInt(&number);
    if (!number || day < 0 || day > 31)
        return std::nullopt;
    return int16_t(day);
}
} // namespace

MonthEnd MonthEnd::find(SQLAccess& sql, LiteConnection& conn, const LocalDateTime& firstDay,
                        const DateMessageSink& dateSink)
{
    MonthEnd result;
    result.next = storedDay(sql, conn, u"select min(AnniversaryDate) from MonthlyData where AnniversaryDate > ?"_s,
                            {firstDay}, dateSink);
    // The days a later month has not taken, up to the latest end this first day allows. The newest
    // month has none to go by: the reset day kept gives its bounds.
    std::optional<LocalDateTime> lastStored;
    if (result.next) {
        const LocalDateTime latestEnd = BillingMonth::from(firstDay, BillingMonth::latestResetDay(firstDay)).next;
        lastStored = storedDay(sql, conn, u"select max(Date) from DailyData where Date >= ? and Date < ?"_s,
                               {firstDay, std::min(*result.next, latestEnd)}, dateSink);
    }
    result.resetDay = BillingMonth::storedResetDay(firstDay, keptResetDay(sql, conn), result.next, lastStored);
    const LocalDateTime boundsEnd = BillingMonth::from(firstDay, result.resetDay).next;
    result.tooFar = result.next && *result.next > boundsEnd;
    result.end = result.usesNext() ? *result.next : boundsEnd;
    return result;
}
