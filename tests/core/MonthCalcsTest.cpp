// SPDX-License-Identifier: MIT
#include "MonthCalcs.h"
#include "CoreTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
constexpr double hundredth = 0.005;

LocalDateTime at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return *LocalDateTime::fromParts(year, month, day, hour, minute);
}

class MonthCalcsTest : public ::testing::Test
{
protected:
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    MonthCalcs calcs{core.app, core.registry, core.log, core.settings, core.run, core.clock};
    QString szErr;

    void SetUp() override { core.clock.set(at(2008, 3, 20, 11, 0)); }

    // The month of the worked example: 15 March 2008, separate quotas, updated 20 March 10:30.
    static qoMonth separateQuotas()
    {
        qoMonth month;
        month.AnniversaryDate = at(2008, 3, 15);
        month.LastUpdate = u"2008-03-20 10:30:00"_s;
        month.PeakStart = 12;
        month.PeakEnd = 2;
        month.PeakQuota = 20000;
        month.OffPeakQuota = 20000;
        month.TotalPeak = 5000;
        month.TotalOffpeak = 3000;
        month.TotalFreezone = 600;
        month.DailyHeaders = {u"Date"_s, u"Peak"_s, u"Offpeak"_s, u"Freezone"_s, u"Total"_s, QString()};
        return month;
    }

    static qoMonth anytimeQuota()
    {
        qoMonth month = separateQuotas();
        month.OffPeakQuota = 0;
        return month;
    }
};
} // namespace

TEST_F(MonthCalcsTest, WorkedExampleWithSeparateQuotas)
{
    qoMonth month = separateQuotas();
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_TRUE(szErr.isEmpty());

    EXPECT_NEAR(month.ElapsedPeak, 16.58986, 1e-4);
    EXPECT_NEAR(month.ElapsedOffpeak, 18.87097, 1e-4);
    EXPECT_EQ(month.PeakQuotaLeft, 15000);
    EXPECT_EQ(month.PercentPeak, 25);
    EXPECT_EQ(month.OffpeakQuotaLeft, 17000);
    EXPECT_EQ(month.PercentOffPeak, 15);
    EXPECT_NEAR(month.AvgPeak, 972.22, hundredth);
    EXPECT_NEAR(month.AvgRemainingPeak, 580.11, hundredth);
    EXPECT_NEAR(month.AvgOffpeak, 512.82, hundredth);
    EXPECT_NEAR(month.AvgRemainingOffpeak, 675.94, hundredth);
    EXPECT_NEAR(month.AvgFreezone, 109.16, hundredth);
    EXPECT_EQ(month.TotalPeak, 5000);

    EXPECT_EQ(
        core.logTexts(),
        (QStringList{u"calling qoMonthCalcs to calculate averages, percentages, remaining, and elapsed times"_s,
                     u"qoMonthCalcs: peak time starts at 12:00"_s, u"qoMonthCalcs: peak time ends at 2:00"_s,
                     u"qoMonthCalcs: performing calcs for current month"_s,
                     u"qoMonthCalcs: currently in offpeak period (hour=10)"_s,
                     u"qoMonthCalcs: peak quota usage: 25.00%"_s, u"qoMonthCalcs: peak elapsed time: 16.59%"_s,
                     u"qoMonthCalcs: offpeak quota usage: 15.00%"_s, u"qoMonthCalcs: offpeak elapsed time: 18.87%"_s}));
    EXPECT_EQ(core.logLines().at(0).level, 3);
}

TEST_F(MonthCalcsTest, WorkedExampleWithOneAnytimeQuota)
{
    qoMonth month = anytimeQuota();
    month.AvgOffpeak = 7; // no elapsed off-peak time: kept
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));

    EXPECT_EQ(month.TotalPeak, 8000);
    EXPECT_EQ(month.TotalOffpeak, 3000);
    EXPECT_EQ(month.PeakQuotaLeft, 12000);
    EXPECT_EQ(month.PercentPeak, 40);
    EXPECT_NEAR(month.ElapsedPeak, 17.54032, 1e-4);
    EXPECT_EQ(month.ElapsedOffpeak, 0);
    EXPECT_NEAR(month.AvgPeak, 1471.26, hundredth);
    EXPECT_NEAR(month.AvgRemainingPeak, 469.44, hundredth);
    EXPECT_NEAR(month.AvgFreezone, 110.34, hundredth);
    EXPECT_EQ(month.AvgOffpeak, 7);
    EXPECT_EQ(month.AvgRemainingOffpeak, 0);
    EXPECT_EQ(month.PercentOffPeak, 0);

    const QStringList lines = core.logTexts();
    EXPECT_TRUE(lines.contains(u"qoMonthCalcs: combining quota and glimratime/offpeak totals"_s));
    EXPECT_TRUE(lines.contains(u"qoMonthCalcs: quota usage: 40.00%"_s));
    EXPECT_TRUE(lines.contains(u"qoMonthCalcs: elapsed time: 17.54%"_s));
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(u"peak time"_s));
        EXPECT_FALSE(line.contains(u"offpeak quota usage"_s));
    }
}

TEST_F(MonthCalcsTest, CombinedQuotaNeedsAnOffpeakClassAndAddsAgainOnEachRun)
{
    qoMonth month = anytimeQuota();
    month.DailyHeaders[DailyHeader::Offpeak].clear();
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(month.TotalPeak, 5000);

    month = anytimeQuota();
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(month.TotalPeak, 11000);

    month = separateQuotas();
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(month.TotalPeak, 5000);
}

TEST_F(MonthCalcsTest, PastMonthCountsAsFullyElapsed)
{
    qoMonth month = separateQuotas();
    month.AnniversaryDate = at(2008, 1, 15);
    month.LastUpdate = u"not a date"_s;
    month.AvgRemainingPeak = 55;
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));

    EXPECT_TRUE(szErr.isEmpty());
    EXPECT_EQ(month.ElapsedPeak, 100);
    EXPECT_EQ(month.ElapsedOffpeak, 100);
    EXPECT_EQ(month.AvgRemainingPeak, 0);
    EXPECT_EQ(month.AvgRemainingOffpeak, 0);
    EXPECT_NEAR(month.AvgPeak, 5000.0 / 31, 1e-3);
    EXPECT_NEAR(month.AvgOffpeak, 3000.0 / 31, 1e-3);
    EXPECT_NEAR(month.AvgFreezone, 600.0 / 31, 1e-3);
    EXPECT_TRUE(core.logTexts().contains(u"qoMonthCalcs: performing calcs for historical month"_s));
}

TEST_F(MonthCalcsTest, MonthEndsTheMomentTheNextOneStarts)
{
    qoMonth month = anytimeQuota();
    core.clock.set(at(2008, 4, 15));
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(month.ElapsedPeak, 100);

    month = anytimeQuota();
    core.clock.set(at(2008, 4, 15).addSeconds(-1));
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_NEAR(month.ElapsedPeak, 17.54032, 1e-4);
}

TEST_F(MonthCalcsTest, AnniversaryOnTheThirtyFirst)
{
    qoMonth month = anytimeQuota();
    month.AnniversaryDate = at(2008, 1, 31);
    month.LastUpdate = u"2008-02-10 00:00:00"_s;
    core.clock.set(at(2008, 2, 10, 1, 0));
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    // Up to 29 February: 29 days, 10 of them gone.
    EXPECT_NEAR(month.ElapsedPeak, 10.0 / 29 * 100, 1e-4);
    EXPECT_NEAR(month.AvgPeak, 8000 / (29 * month.ElapsedPeak / 100.0), 1e-2);

    month = anytimeQuota();
    month.AnniversaryDate = at(2009, 1, 31);
    month.LastUpdate = u"2009-02-10 00:00:00"_s;
    core.clock.set(at(2009, 2, 10, 1, 0));
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_NEAR(month.ElapsedPeak, 10.0 / 28 * 100, 1e-4);
}

TEST_F(MonthCalcsTest, NoQuotaLeavesLeftAndPercentButStillClamps)
{
    qoMonth month = separateQuotas();
    month.PeakQuota = 0;
    month.OffPeakQuota = 0;
    month.PeakQuotaLeft = 123;
    month.PercentPeak = 45;
    month.OffpeakQuotaLeft = 0;
    month.PercentOffPeak = 0;
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));

    EXPECT_EQ(month.PeakQuotaLeft, 123);
    EXPECT_EQ(month.PercentPeak, 45);
    EXPECT_EQ(month.TotalPeak, 5000);
    EXPECT_NEAR(month.ElapsedPeak, 16.58986, 1e-4);
    EXPECT_NEAR(month.ElapsedOffpeak, 18.87097, 1e-4);
    EXPECT_NEAR(month.AvgRemainingPeak, 123 / ((1 - 0.1658986) * 31), hundredth);
    EXPECT_EQ(month.AvgRemainingOffpeak, 0);
    // Without two quotas the shares add up to 100, not 200.
    EXPECT_NEAR(month.AvgFreezone, 600 / ((18.87097 + 16.58986) * 31 / 100), hundredth);
    EXPECT_TRUE(core.logTexts().contains(u"qoMonthCalcs: quota usage: 45.00%"_s));

    // Half an hour before the month ends the allowance per remaining day passes the untouched
    // quota left, and is cut to it.
    month.LastUpdate = u"2008-04-14 23:30:00"_s;
    core.clock.set(at(2008, 4, 14, 23, 45));
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_NEAR(month.ElapsedPeak, 1560600.0 / 1562400 * 100, 1e-4);
    EXPECT_EQ(month.AvgRemainingPeak, 123);
}

TEST_F(MonthCalcsTest, PeakAllDayWhenStartEqualsEnd)
{
    qoMonth month = separateQuotas();
    month.PeakStart = 12;
    month.PeakEnd = 12;
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(month.ElapsedOffpeak, 0);
    EXPECT_NEAR(month.ElapsedPeak, 17.54032, 1e-4);
    EXPECT_TRUE(core.logTexts().contains(u"qoMonthCalcs: currently in first peak period (hour=10)"_s));

    month = separateQuotas();
    month.PeakStart = 0;
    month.PeakEnd = 0;
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_NEAR(month.ElapsedPeak, 17.54032, 1e-4);
    EXPECT_TRUE(core.logTexts().contains(u"qoMonthCalcs: currently in second peak period (hour=10)"_s));
}

TEST_F(MonthCalcsTest, SecondPeakPeriodAfterPeakStart)
{
    qoMonth month = separateQuotas();
    month.LastUpdate = u"2008-03-20 13:00:00"_s;
    core.clock.set(at(2008, 3, 20, 13, 30));
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    // Before the day 252000 peak and 180000 off-peak seconds; today 2 + 1 peak hours, 10 off-peak.
    EXPECT_NEAR(month.ElapsedPeak, (252000.0 + 3 * 3600) / 1562400 * 100, 1e-4);
    EXPECT_NEAR(month.ElapsedOffpeak, (180000.0 + 10 * 3600) / 1116000 * 100, 1e-4);
    EXPECT_TRUE(core.logTexts().contains(u"qoMonthCalcs: currently in second peak period (hour=13)"_s));
}

TEST_F(MonthCalcsTest, ElapsedAtOrPastTheEndLeavesNoAllowance)
{
    qoMonth month = anytimeQuota();
    month.LastUpdate = u"2008-04-15 00:00:00"_s;
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(month.ElapsedPeak, 100);
    EXPECT_EQ(month.AvgRemainingPeak, 0);

    month = anytimeQuota();
    month.LastUpdate = u"2008-04-20 00:00:00"_s;
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(month.ElapsedPeak, 100);
    EXPECT_EQ(month.AvgRemainingPeak, 0);
}

TEST_F(MonthCalcsTest, UnreadableLastUpdateCountsUpToNow)
{
    qoMonth month = anytimeQuota();
    month.LastUpdate = u"unknown"_s;
    core.clock.set(at(2008, 3, 20, 10, 30));
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(szErr, u"myCDate: invalid length string 'unknown'"_s);
    EXPECT_NEAR(month.ElapsedPeak, 17.54032, 1e-4);
    const QList<CoreTestContext::LogLine> lines = core.logLines();
    bool found = false;
    for (const CoreTestContext::LogLine& line : lines) {
        if (line.text == u"qoMonthCalcs: failed to find last update time, defaulting to NOW for elapsed time calcs"_s) {
            EXPECT_EQ(line.level, 3);
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(MonthCalcsTest, ProfileOverridesReplaceThePeakHours)
{
    core.run.ProfileNumber = 2;
    core.setDword(core.app.profileKey(2), u"PeakStartTime"_s, 14);
    core.setDword(core.app.profileKey(2), u"PeakEndTime"_s, 0);
    core.setDword(core.app.configKey(), u"PeakEndTime"_s, 5); // another profile's key: not read
    qoMonth month = separateQuotas();
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));

    EXPECT_EQ(month.PeakStart, 14);
    EXPECT_EQ(month.PeakEnd, 0);
    const QList<CoreTestContext::LogLine> lines = core.logLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.at(1).text, u"qoMonthCalcs: found PeakStartTime registry setting: 14"_s);
    EXPECT_EQ(lines.at(1).level, 4);
    EXPECT_EQ(lines.at(2).text, u"qoMonthCalcs: found PeakEndTime registry setting: 0"_s);
    EXPECT_TRUE(core.logTexts().contains(u"qoMonthCalcs: currently in offpeak period (hour=10)"_s));
    // 14 peak hours from 14:00 to midnight plus 10 off-peak hours until 14:00.
    EXPECT_NEAR(month.ElapsedPeak, (5 * 10 * 3600.0) / (10 * 2678400.0 / 24) * 100, 1e-4);
}

TEST_F(MonthCalcsTest, OverridesOutsideTheDayAreIgnored)
{
    core.setDword(core.app.configKey(), u"PeakStartTime"_s, 24);
    core.setDword(core.app.configKey(), u"PeakEndTime"_s, 40000);
    qoMonth month = separateQuotas();
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));

    EXPECT_EQ(month.PeakStart, 12);
    EXPECT_EQ(month.PeakEnd, 2);
    EXPECT_NEAR(month.ElapsedPeak, 16.58986, 1e-4);
    const QStringList lines = core.logTexts();
    EXPECT_TRUE(lines.contains(
        u"qoMonthCalcs: ignoring PeakStartTime registry setting 24, as it is not an hour from 0 to 23"_s));
    EXPECT_TRUE(lines.contains(
        u"qoMonthCalcs: ignoring PeakEndTime registry setting 40000, as it is not an hour from 0 to 23"_s));
}

TEST_F(MonthCalcsTest, AnEmptyPeakWindowFailsTheCalculation)
{
    qoMonth month = separateQuotas();
    month.PeakStart = 30; // a record from elsewhere with hours outside the day
    month.PeakEnd = 6;
    month.AvgPeak = 1;
    EXPECT_FALSE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(szErr, u"qoMonthCalcs failed: [11] Division by zero"_s);
    EXPECT_EQ(month.PeakQuotaLeft, 15000); // written before the failure
    EXPECT_EQ(month.AvgPeak, 1);           // not reached
}

TEST_F(MonthCalcsTest, SecondsBeyondThirtyTwoBitsFailTheCalculation)
{
    qoMonth month = separateQuotas();
    month.LastUpdate = u"2099-01-01 00:00:00"_s;
    EXPECT_FALSE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_EQ(szErr, u"qoMonthCalcs failed: [6] Overflow"_s);
}

TEST_F(MonthCalcsTest, SummaryUsesTheThousandsSeparatorOption)
{
    qoMonth month = anytimeQuota();
    month.PeakQuota = 100;
    month.TotalPeak = 1234.5f;
    month.DailyHeaders[DailyHeader::Offpeak].clear();
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_TRUE(core.logTexts().contains(u"qoMonthCalcs: quota usage: 1,234.50%"_s));

    core.settings.OptionFlags &= ~int32_t(OptionFlag::CommaSeparators);
    ASSERT_TRUE(calcs.qoMonthCalcs(month, szErr));
    EXPECT_TRUE(core.logTexts().contains(u"qoMonthCalcs: quota usage: 1234.50%"_s));
}
