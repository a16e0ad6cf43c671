// SPDX-License-Identifier: MIT
#include "MonthEnd.h"

#include "BillingMonth.h"
#include "SQLAccess.h"
#include "SqlValues.h"

using namespace Qt::StringLiterals;

namespace {
// The first day found by a query of one value, when it parses.
std::optional<LocalDateTime> storedFirstDay(SQLAccess& sql, LiteConnection& conn, const QString& query,
                                            const LocalDateTime& firstDay, const DateMessageSink& dateSink)
{
    LiteResult row;
    QString err;
    if (sql.ExecuteSQL(conn, query, err, &row, {SqlValues::dateParam(firstDay)}) != 0)
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
    result.next = storedFirstDay(sql, conn, u"select min(AnniversaryDate) from MonthlyData where AnniversaryDate > ?"_s,
                                 firstDay, dateSink);
    result.resetDay = BillingMonth::storedResetDay(firstDay, keptResetDay(sql, conn), result.next);
    const LocalDateTime boundsEnd = BillingMonth::from(firstDay, result.resetDay).next;
    result.tooFar = result.next && *result.next > boundsEnd;
    result.end = result.usesNext() ? *result.next : boundsEnd;
    return result;
}
