// SPDX-License-Identifier: MIT
#include "qoMonth.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
qoMonth filledMonth()
{
    qoMonth month;
    month.LastUpdate = u"2008-03-20 10:30:00"_s;
    month.AnniversaryDate = *LocalDateTime::fromParts(2008, 3, 15);
    month.PlanType = 2;
    month.PeakQuota = 20000;
    month.TotalPeak = 5000;
    month.DailyHeaders = {u"Date"_s, u"Peak"_s, u"Offpeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s};
    month.DailyDates = {*LocalDateTime::fromParts(2008, 3, 15), *LocalDateTime::fromParts(2008, 3, 16)};
    month.DailyPeak = {100, 200};
    month.DailyOffpeak = {10, 20};
    month.DailyFreezone = {1, 2};
    month.DailyTotals = {111, 222};
    month.DailyUploads = {-1, 5};
    month.PeakStart = 12;
    month.PeakEnd = 2;
    return month;
}
} // namespace

TEST(qoMonth, FreshRecordHoldsNothing)
{
    const qoMonth month;
    EXPECT_TRUE(month.LastUpdate.isEmpty());
    EXPECT_EQ(month.AnniversaryDate, LocalDateTime());
    EXPECT_EQ(month.PlanType, 0);
    EXPECT_EQ(month.PeakQuota, 0.0f);
    EXPECT_EQ(month.ElapsedOffpeak, 0.0f);
    EXPECT_EQ(month.PeakStart, 0);
    for (const QString& header : month.DailyHeaders)
        EXPECT_TRUE(header.isEmpty());
    EXPECT_TRUE(month.DailyDates.isEmpty());
    EXPECT_TRUE(month.DailyUploads.isEmpty());
}

TEST(qoMonth, CopyIsIndependentOfItsSource)
{
    qoMonth current = filledMonth();
    qoMonth copy = current;
    EXPECT_EQ(copy, current);

    copy.DailyPeak[0] = 999;
    copy.DailyDates.append(*LocalDateTime::fromParts(2008, 3, 17));
    copy.DailyHeaders[2].clear();
    copy.LastUpdate += u'!';

    EXPECT_EQ(current, filledMonth());
    EXPECT_NE(copy, current);
}

TEST(qoMonth, AssignmentReplacesEveryFieldOfTheTarget)
{
    qoMonth target = filledMonth();
    target = qoMonth();
    EXPECT_EQ(target, qoMonth());
}
