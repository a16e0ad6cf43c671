// SPDX-License-Identifier: MIT
#include "MonthDisplay.h"
#include "CoreTestContext.h"
#include "MainRoutines.h"
#include "qoMonth.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
LocalDateTime at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return *LocalDateTime::fromParts(year, month, day, hour, minute);
}

// A current month with separate peak and off-peak quotas.
qoMonth twoQuotaMonth()
{
    qoMonth month;
    month.AnniversaryDate = at(2008, 3, 15);
    month.LastUpdate = u"2008-03-20 10:45:00"_s;
    month.IP = u"203.0.113.9"_s;
    month.LastConnect = u"2008-03-18 09:15:00"_s;
    month.ShapingSpeed = u"256"_s;
    month.PlanName = u"Home 40"_s;
    month.ProductName = u"Broadband"_s;
    month.PeakQuota = 20000;
    month.TotalPeak = 4321.5f;
    month.PeakQuotaLeft = 15678.5f;
    month.AvgPeak = 864.3f;
    month.AvgRemainingPeak = 603.02f;
    month.PercentPeak = 21.6f;
    month.ElapsedPeak = 17.2f;
    month.OffPeakQuota = 40000;
    month.TotalOffpeak = 1000;
    month.OffpeakQuotaLeft = 39000;
    month.AvgOffpeak = 200;
    month.AvgRemainingOffpeak = 1500;
    month.PercentOffPeak = 2.5f;
    month.ElapsedOffpeak = 17.2f;
    month.TotalFreezone = 12.25f;
    month.AvgFreezone = 2.45f;
    month.DailyHeaders = {u"Date"_s, u"Peak"_s, u"Off-Peak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s};
    month.PeakStart = 8;
    month.PeakEnd = 2;
    return month;
}

class MonthDisplayTest : public ::testing::Test
{
protected:
    MonthDisplayTest()
    {
        core.settings.Username = u"fred@quolla.example"_s;
        core.settings.OptionFlags = Settings::DefaultOptions; // thousands separators on
    }

    bool show(const qoMonth& month, bool historical = false)
    {
        error.clear();
        return display.qoMonth2Form(month, historical, error);
    }
    QString text(const QString& control, int index = -1) const
    {
        return core.window.controlTexts.value(RecordingWindowSeam::keyOf({control, index}), u"(unset)"_s);
    }
    QString toolTip(const QString& control) const { return core.window.controlToolTips.value(control, u"(unset)"_s); }
    bool visible(const QString& control, int index) const
    {
        return core.window.controlVisible.value(RecordingWindowSeam::keyOf({control, index}), true);
    }

    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    MainRoutines routines{core.app, core.settings, core.run, core.window, core.log, {}};
    MonthDisplay display{core.settings, core.window, core.log, routines, core.clock};
    QString error;
};
} // namespace

TEST_F(MonthDisplayTest, CurrentMonthWithTwoQuotas)
{
    ASSERT_TRUE(show(twoQuotaMonth())) << error.toStdString();
    EXPECT_EQ(text(u"txtUsername"_s), u"fred"_s);
    EXPECT_EQ(toolTip(u"txtUsername"_s), u"product: Broadband; plan: Home 40"_s);
    EXPECT_EQ(text(u"txtLastRefresh"_s), u"2008-03-20 10:45:00"_s);
    EXPECT_EQ(text(u"txtIP"_s), u"203.0.113.9"_s);
    EXPECT_EQ(text(u"txtLastConnect"_s), u"2008-03-18 09:15:00"_s);
    EXPECT_EQ(text(u"txtUptime"_s), u"2 days, 1:30"_s);
    EXPECT_EQ(text(u"txtAnniversaryDate"_s), u"15th"_s);
    // Now is 2008-03-20 11:00; the next reset is 2008-04-15 00:00.
    EXPECT_EQ(text(u"txtTimeToReset"_s), u"25 days, 13:00"_s);
    EXPECT_EQ(text(u"frameDownloadSummary"_s), u"Summary for March 2008"_s);
    EXPECT_EQ(text(u"frameAccountStatus"_s), u"Account Status for March 2008"_s);
    EXPECT_EQ(text(u"txtUnlimited"_s),
              u"You have a limited account, and will be shaped to 256k once quota is reached"_s);

    EXPECT_EQ(text(u"txtQuota"_s, 0), u"20,000.00"_s);
    EXPECT_EQ(text(u"txtQuota"_s, 1), u"n/a"_s);
    EXPECT_EQ(text(u"txtQuota"_s, 2), u"40,000.00"_s);
    EXPECT_EQ(text(u"txtTotal"_s, 0), u"4,321.50"_s);
    EXPECT_EQ(text(u"txtAverage"_s, 0), u"864.30"_s);
    EXPECT_EQ(text(u"txtRemaining"_s, 0), u"15,678.50"_s);
    EXPECT_EQ(text(u"txtAvgRemaining"_s, 0), u"603.02"_s);
    EXPECT_EQ(text(u"txtTotal"_s, 2), u"1,000.00"_s);
    EXPECT_EQ(text(u"txtAverage"_s, 2), u"200.00"_s);
    EXPECT_EQ(text(u"txtRemaining"_s, 2), u"39,000.00"_s);
    EXPECT_EQ(text(u"txtAvgRemaining"_s, 2), u"1,500.00"_s);
    EXPECT_EQ(text(u"txtTotal"_s, 1), u"12.25"_s);
    EXPECT_EQ(text(u"txtAverage"_s, 1), u"2.45"_s);
    EXPECT_EQ(text(u"txtRemaining"_s, 1), u"(unset)"_s);
    for (int column : {0, 1, 2})
        EXPECT_EQ(text(u"txtToday"_s, column), u"0.00"_s);

    EXPECT_EQ(text(u"lblTitle"_s, 0), u"Peak"_s);
    EXPECT_EQ(text(u"lblTitle"_s, 1), u"Freezone"_s);
    EXPECT_EQ(text(u"lblTitle"_s, 2), u"Off-Peak"_s);
    EXPECT_TRUE(visible(u"txtQuota"_s, 2));
    EXPECT_TRUE(visible(u"txtQuota"_s, 1));
    EXPECT_EQ(text(u"lblPeakShapeTitle"_s), u"Peak status:"_s);
    EXPECT_EQ(text(u"lblOffPeakShapeTitle"_s), u"Off-Peak status:"_s);
    EXPECT_EQ(toolTip(u"lblPeakShapeTitle"_s), u"Peak period is 08:00 to 02:00"_s);
    EXPECT_EQ(toolTip(u"lblOffPeakShapeTitle"_s), u"Off-Peak period is 02:00 to 08:00"_s);

    EXPECT_EQ(text(u"txtStatus"_s), u"Unshaped"_s);
    EXPECT_EQ(core.window.controlColours.value(u"txtStatus"_s), ShapingColour::Unshaped);
    EXPECT_EQ(core.window.trayPicture, u"warn_ok"_s);

    // The window draws in this order: reset, tray, bars, grid, and the graph only when open.
    const QStringList& calls = core.window.calls;
    EXPECT_EQ(calls.first(), u"InitValueDisplay"_s);
    EXPECT_LT(calls.indexOf(u"ModifyTrayIcon"_s), calls.indexOf(u"UpdateProgressBar"_s));
    EXPECT_LT(calls.indexOf(u"UpdateProgressBar"_s), calls.indexOf(u"ParseArrays"_s));
    EXPECT_FALSE(calls.contains(u"RefreshTeeGraph"_s));
}

TEST_F(MonthDisplayTest, OneCombinedQuotaShowsOneQuotaColumn)
{
    qoMonth month = twoQuotaMonth();
    month.PeakQuota = 1000;
    month.OffPeakQuota = 0;
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtQuota"_s, 0), u"1,000.00"_s);
    EXPECT_EQ(text(u"txtQuota"_s, 2), u"n/a"_s);
    EXPECT_FALSE(visible(u"txtQuota"_s, 2));
    EXPECT_FALSE(visible(u"lblOffPeakShapeTitle"_s, -1));
    // The off-peak title of the month is not used; the column keeps the default.
    EXPECT_EQ(text(u"lblTitle"_s, 2), u"(unset)"_s);
    EXPECT_EQ(text(u"lblOffPeakShapeTitle"_s), u"Offpeak status:"_s);
    EXPECT_EQ(toolTip(u"lblPeakShapeTitle"_s), QString());
    EXPECT_EQ(toolTip(u"lblOffPeakShapeTitle"_s), QString());
    for (const QString& row : {u"txtTotal"_s, u"txtAverage"_s, u"txtRemaining"_s, u"txtAvgRemaining"_s})
        EXPECT_EQ(text(row, 2), u"n/a"_s) << row.toStdString();
}

TEST_F(MonthDisplayTest, PlanTypeTwoIsUnlimitedButShaped)
{
    qoMonth month = twoQuotaMonth();
    month.PlanType = 2;
    month.PeakQuota = 5000;
    month.OffPeakQuota = 0;
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtQuota"_s, 0), u"~5,000.00"_s);
    EXPECT_EQ(text(u"txtUnlimited"_s),
              u"~ You have an unlimited account, but you may be shaped once quota is reached"_s);

    core.settings.OptionFlags &= ~int32_t(OptionFlag::CommaSeparators);
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtQuota"_s, 0), u"~5000.00"_s);

    // The tilde also marks the off-peak quota of such a plan.
    month.OffPeakQuota = 3000;
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtQuota"_s, 2), u"~3000.00"_s);
}

TEST_F(MonthDisplayTest, AnUnlimitedClass)
{
    qoMonth month = twoQuotaMonth();
    month.PeakQuota = 0;
    month.OffPeakQuota = 0;
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtQuota"_s, 0), u"unlimited"_s);
    EXPECT_EQ(text(u"txtRemaining"_s, 0), u"unlimited"_s);
    EXPECT_EQ(text(u"txtAvgRemaining"_s, 0), u"unlimited"_s);
    EXPECT_EQ(text(u"txtQuota"_s, 2), u"unknown"_s);
    EXPECT_EQ(text(u"txtUnlimited"_s), QString());
    EXPECT_EQ(core.window.trayPicture, u"ok_ok"_s);
    // Not a combined quota, so a titled off-peak column stays.
    EXPECT_TRUE(visible(u"txtQuota"_s, 2));
}

TEST_F(MonthDisplayTest, PlanSentences)
{
    qoMonth month = twoQuotaMonth();
    month.PlanType = 3;
    EXPECT_EQ(MonthDisplay::PlanSentence(month),
              u"You have a limited account, and will be charged for usage over quota"_s);
    month.PlanType = 0;
    month.ShapingSpeed.clear();
    EXPECT_EQ(MonthDisplay::PlanSentence(month),
              u"You have a limited account, and will be shaped once quota is reached"_s);
    month.PeakQuota = -1;
    EXPECT_EQ(MonthDisplay::PlanSentence(month), QString());
}

TEST_F(MonthDisplayTest, ShapingStatesAreColoured)
{
    qoMonth month = twoQuotaMonth();
    month.PeakShapeStatus = -1;
    month.OffpeakShapeStatus = 3;
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtStatus"_s), u"Possible shaping (tier 1)"_s);
    EXPECT_EQ(core.window.controlColours.value(u"txtStatus"_s), ShapingColour::Shaped);
    EXPECT_EQ(text(u"txtBStatus"_s), u"Shaped to 3k"_s);
    EXPECT_EQ(core.window.controlColours.value(u"txtBStatus"_s), ShapingColour::Shaped);
}

TEST_F(MonthDisplayTest, AHistoricalMonthLeavesConnectionResetShapingAndTray)
{
    core.window.trayPicture = u"ok_ok"_s;
    qoMonth month = twoQuotaMonth();
    month.PercentPeak = 150;
    ASSERT_TRUE(show(month, true));
    for (const QString& box : {u"txtLastRefresh"_s, u"txtIP"_s, u"txtLastConnect"_s, u"txtAnniversaryDate"_s,
                               u"txtTimeToReset"_s, u"txtUptime"_s, u"txtStatus"_s, u"txtBStatus"_s})
        EXPECT_EQ(text(box), u"(unset)"_s) << box.toStdString();
    EXPECT_FALSE(core.window.calls.contains(u"ModifyTrayIcon"_s));
    EXPECT_EQ(core.window.trayPicture, u"ok_ok"_s);
    // The summary is still shown.
    EXPECT_EQ(text(u"txtTotal"_s, 0), u"4,321.50"_s);
    EXPECT_EQ(text(u"txtUsername"_s), u"fred"_s);
}

TEST_F(MonthDisplayTest, ResetDayAtTheEndOfAMonth)
{
    core.clock.set(at(2024, 2, 10, 12, 0));
    qoMonth month = twoQuotaMonth();
    month.AnniversaryDate = at(2024, 1, 31);
    month.LastUpdate = u"2024-02-10 11:00:00"_s;
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtAnniversaryDate"_s), u"31st"_s);
    // To 29 February, the last day of a leap February.
    EXPECT_EQ(text(u"txtTimeToReset"_s), u"18 days, 12:00"_s);

    // The countdown ends where the month shown ends, also when the computer's clock is not yet in it
    // (the provider ahead) or has left it (the provider behind: the reset is due, not a month away).
    qoMonth unknownDay;
    unknownDay.AnniversaryDate = at(2024, 1, 31);
    EXPECT_EQ(MonthDisplay::NextResetDate(unknownDay, at(2024, 3, 5)), at(2024, 3, 5));
    EXPECT_EQ(MonthDisplay::NextResetDate(unknownDay, at(2024, 1, 30, 22)), at(2024, 2, 29));
    qoMonth resetDay = unknownDay;
    resetDay.ResetDay = 31;
    EXPECT_EQ(MonthDisplay::NextResetDate(resetDay, at(2024, 3, 5)), at(2024, 3, 5));
    resetDay.AnniversaryDate = at(2024, 2, 29);
    EXPECT_EQ(MonthDisplay::NextResetDate(resetDay, at(2024, 3, 5)), at(2024, 3, 31));
    core.clock.set(at(2024, 4, 1, 0, 30));
    ASSERT_TRUE(show(resetDay));
    EXPECT_EQ(text(u"txtTimeToReset"_s), u"0 days, 0:00"_s);
    month.AnniversaryDate = at(2024, 2, 29);
    month.ResetDay = 31;
    month.LastUpdate = u"2024-03-10 11:00:00"_s;
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtAnniversaryDate"_s), u"31st"_s);
}

TEST_F(MonthDisplayTest, MissingAnniversaryAndUnknownConnection)
{
    qoMonth month = twoQuotaMonth();
    month.AnniversaryDate = LocalDateTime();
    month.LastConnect = u"unknown"_s;
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"txtAnniversaryDate"_s), u"unknown"_s);
    EXPECT_EQ(text(u"txtTimeToReset"_s), u"unknown"_s);
    EXPECT_EQ(text(u"txtUptime"_s), u"unknown"_s);
    EXPECT_TRUE(core.logTexts().contains(u"qoMonth2Form: no anniversary date found"_s));
}

TEST_F(MonthDisplayTest, NoFreezoneOrOffpeakClass)
{
    qoMonth month = twoQuotaMonth();
    month.OffPeakQuota = 0;
    month.PeakQuota = 0;
    month.DailyHeaders = {u"Date"_s, u"Anytime"_s, QString(), QString(), u"Total"_s, u"Uploads"_s};
    ASSERT_TRUE(show(month));
    EXPECT_EQ(text(u"lblTitle"_s, 0), u"Anytime"_s);
    EXPECT_FALSE(visible(u"txtTotal"_s, 1));
    EXPECT_FALSE(visible(u"txtTotal"_s, 2));
    EXPECT_EQ(text(u"lblPeakShapeTitle"_s), u"Anytime status:"_s);
}

TEST_F(MonthDisplayTest, TheGraphIsRedrawnWhenOpen)
{
    core.window.graphWindowLoaded = true;
    const qoMonth month = twoQuotaMonth();
    ASSERT_TRUE(show(month));
    ASSERT_EQ(core.window.graphedMonths.size(), 1);
    EXPECT_EQ(core.window.graphedMonths.first(), month);
    EXPECT_GT(core.window.calls.lastIndexOf(u"RefreshTeeGraph"_s), core.window.calls.lastIndexOf(u"ParseArrays"_s));
}

TEST_F(MonthDisplayTest, AFailedGridFillStopsAfterTheBars)
{
    core.window.graphWindowLoaded = true;
    core.window.parseArraysResult = false;
    core.window.parseArraysError = u"ParseArrays: Error setting grid format:\r\n[9] Subscript out of range"_s;
    EXPECT_FALSE(show(twoQuotaMonth()));
    EXPECT_EQ(error, core.window.parseArraysError);
    EXPECT_EQ(core.window.trayPicture, u"warn_ok"_s);
    EXPECT_TRUE(core.window.calls.contains(u"UpdateProgressBar"_s));
    EXPECT_FALSE(core.window.calls.contains(u"RefreshTeeGraph"_s));
}

TEST_F(MonthDisplayTest, AFailingWindowIsReported)
{
    core.window.failingCall = u"setControlTextColour"_s;
    EXPECT_FALSE(show(twoQuotaMonth()));
    EXPECT_EQ(error, u"qoMonth2Form failed: [91] Object variable or With block variable not set"_s);
    // What was written before the failure stays.
    EXPECT_EQ(text(u"txtQuota"_s, 0), u"20,000.00"_s);
}

TEST(MonthDisplayTray, PictureKeyNamesBothStates)
{
    qoMonth month;
    EXPECT_EQ(MonthDisplay::TrayPictureKey(month), u"ok_ok"_s);
    month.PeakQuota = 100;
    month.PercentPeak = 101;
    month.OffPeakQuota = 100;
    month.PercentOffPeak = 50;
    month.ElapsedOffpeak = 40;
    EXPECT_EQ(MonthDisplay::TrayPictureKey(month), u"over_warn"_s);
}
