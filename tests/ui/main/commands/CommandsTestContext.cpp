// SPDX-License-Identifier: MIT
#include "CommandsTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

CommandsTestContext::CommandsTestContext(const QString& name) : ctx(name) {}

void CommandsTestContext::storeMonth(const LocalDateTime& firstDay, const QString& lastUpdate, bool historical)
{
    ctx.openDatabase();
    qoMonth month;
    month.AnniversaryDate = firstDay;
    month.LastUpdate = lastUpdate;
    month.PeakQuota = 20000;
    month.DailyHeaders = {u"Date"_s, u"Peak"_s, u"OffPeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s};
    for (int day = 0; day < 3; ++day) {
        month.DailyDates.append(firstDay.addDays(day));
        month.DailyPeak.append(100);
        month.DailyOffpeak.append(50);
        month.DailyFreezone.append(0);
        month.DailyTotals.append(150);
        month.DailyUploads.append(10);
    }
    QString error;
    ASSERT_TRUE(ctx.history.qoMonth2SQL(month, historical, error)) << error.toStdString();
}

QStringList CommandsTestContext::refreshes() const
{
    QStringList found;
    for (const QString& line : ctx.logAt(5)) {
        if (line.startsWith(u"RefreshData("_s))
            found.append(line);
    }
    return found;
}
