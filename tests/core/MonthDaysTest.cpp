// SPDX-License-Identifier: MIT
#include "MonthDays.h"
#include "BillingMonth.h"
#include "StoredFigures.h"
#include "qoMonth.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

LocalDateTime day(int month, int dayOfMonth)
{
    return *LocalDateTime::fromParts(2024, month, dayOfMonth);
}

// A month that resets on the 31st and opens on the 31st of January ends before the 29th of
// February (the reset date of a leap February), as the store reads it back; a day before it goes
// too.
TEST(MonthDays, KeepTheLastEntryOfADateAndOnlyTheMonthsDates)
{
    qoMonth month;
    month.DailyDates = {day(1, 28), day(1, 31), day(2, 3),  day(2, 3), day(2, 3),
                        day(2, 28), day(2, 29), day(2, 29), day(3, 1)};
    month.DailyPeak = {256, 1, 2, 4, 8, 16, 32, 64, 128};
    month.DailyOffpeak = {1, 0.5f, 0, 0, 0.25f, 0, 1, 1, 1};
    month.DailyFreezone = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    month.DailyTotals = {257, 1.5f, 2, 4, 8.25f, 16, 33, 65, 129};
    month.DailyUploads = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    month.PeakQuota = 20;
    month.OffPeakQuota = 0.5f;
    month.TotalPeak = 511;
    month.TotalOffpeak = 4.75f;
    const BillingMonth bounds = BillingMonth::startingIn(31, day(1, 5));

    EXPECT_EQ(MonthDays::keepOneMonth(month, bounds),
              QStringList({u"dropping 2024-01-28, which lies outside the month from 2024-01-31 to 2024-02-28"_s,
                           u"date 2024-02-03 listed more than once, keeping its last entry"_s,
                           u"dropping 2024-02-29, which lies outside the month from 2024-01-31 to 2024-02-28"_s,
                           u"dropping 2024-03-01, which lies outside the month from 2024-01-31 to 2024-02-28"_s}));
    EXPECT_EQ(month.DailyDates, QList<LocalDateTime>({day(1, 31), day(2, 3), day(2, 28)}));
    EXPECT_EQ(month.DailyPeak, QList<float>({1, 8, 16}));
    EXPECT_EQ(month.DailyOffpeak, QList<float>({0.5f, 0.25f, 0}));
    EXPECT_EQ(month.DailyTotals, QList<float>({1.5f, 8.25f, 16}));
    EXPECT_EQ(month.DailyUploads, QList<float>({1, 1, 1}));
    // The totals come from the days kept, as the converter works them out.
    StoredFigures::keepAsStored(month);
    EXPECT_EQ(month.TotalPeak, 25);
    EXPECT_EQ(month.TotalOffpeak, 0.75f);
    EXPECT_EQ(month.PeakQuotaLeft, 0);
    EXPECT_EQ(month.PercentPeak, 125);
    EXPECT_EQ(month.OffpeakQuotaLeft, 0);

    // A whole month is left as it came, its totals too.
    const qoMonth whole = month;
    month.TotalPeak = 99;
    EXPECT_TRUE(MonthDays::keepOneMonth(month, bounds).isEmpty());
    EXPECT_EQ(month.DailyDates, whole.DailyDates);
    EXPECT_EQ(month.TotalPeak, 99);
}

} // namespace
