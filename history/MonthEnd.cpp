// SPDX-License-Identifier: MIT
#include "MonthEnd.h"

#include "SQLAccess.h"
#include "SqlValues.h"

using namespace Qt::StringLiterals;

MonthEnd MonthEnd::find(SQLAccess& sql, LiteConnection& conn, const LocalDateTime& firstDay,
                        const DateMessageSink& dateSink)
{
    MonthEnd result;
    const LocalDateTime calendarEnd = firstDay.addMonths(1);
    LiteResult row;
    QString err;
    if (sql.ExecuteSQL(conn, u"select min(AnniversaryDate) from MonthlyData where AnniversaryDate > ?"_s, err, &row,
                       {SqlValues::dateParam(firstDay)}) == 0) {
        const QString text = SqlValues::firstValue(row).toText();
        LocalDateTime next;
        QString dateErr;
        if (!text.isEmpty() && myCDate(text, next, dateErr, dateSink)) {
            result.next = next;
            result.tooFar = next > calendarEnd;
        }
    }
    result.end = result.usesNext() ? *result.next : calendarEnd;
    return result;
}
