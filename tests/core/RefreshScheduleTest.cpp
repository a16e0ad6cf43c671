// SPDX-License-Identifier: MIT
#include "RefreshSchedule.h"
#include "CoreTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class RefreshScheduleTest : public ::testing::Test
{
protected:
    LocalDateTime now() const { return core.clock.now(); }
    QString minutesAgo(int minutes) const { return now().addMinutes(-minutes).toString(); }
    void schedule(const QString& lastUpdate, const LocalDateTime& base)
    {
        refresh.SetNextRefreshDate(lastUpdate, base);
    }
    bool logged(const QString& text, int level) const
    {
        for (const CoreTestContext::LogLine& line : core.logLines()) {
            if (line.text == text && line.level == level)
                return true;
        }
        return false;
    }

    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    RefreshSchedule refresh{core.settings, core.run, core.window, core.log, core.clock};
};
} // namespace

TEST_F(RefreshScheduleTest, NowBaseAddsTheInterval)
{
    core.settings.Interval = 120;
    schedule(minutesAgo(10), RefreshSchedule::nowBase());
    EXPECT_EQ(core.run.NextRefreshDate, now().addMinutes(120));
    EXPECT_TRUE(logged(u"SetNextRefreshDate: next refresh date: 2008-03-20 13:00:00"_s, 4));
}

TEST_F(RefreshScheduleTest, NeverSoonerThanFifteenMinutesAfterTheLastUpdate)
{
    core.settings.Interval = 15;
    const LocalDateTime lastUpdate = now().addMinutes(-5);
    // The start-up path: a base one minute before the last update.
    schedule(lastUpdate.toString(), lastUpdate.addMinutes(-1));
    EXPECT_EQ(core.run.NextRefreshDate, lastUpdate.addMinutes(15));
    EXPECT_TRUE(logged(u"SetNextRefreshDate: increasing next refresh rate to 15 minutes since last refresh"_s, 6));
}

TEST_F(RefreshScheduleTest, FifteenMinuteBoundariesAreEnough)
{
    core.settings.Interval = 15;
    // Exactly 15 minute boundaries from the last update to base + interval: no change.
    const LocalDateTime lastUpdate = now();
    schedule(lastUpdate.toString(), RefreshSchedule::nowBase());
    EXPECT_EQ(core.run.NextRefreshDate, now().addMinutes(15));
    EXPECT_FALSE(logged(u"SetNextRefreshDate: increasing next refresh rate to 15 minutes since last refresh"_s, 6));
}

TEST_F(RefreshScheduleTest, APastBaseMakesTheRefreshDueNow)
{
    core.settings.Interval = 120;
    schedule(minutesAgo(300), now().addMinutes(-200));
    EXPECT_EQ(core.run.NextRefreshDate, now());
    EXPECT_TRUE(logged(u"SetNextRefreshDate: next refresh date is historical, adjusting to NOW"_s, 6));
}

TEST_F(RefreshScheduleTest, UnderTwoSecondsAheadCountsAsDue)
{
    core.settings.Interval = 15;
    schedule(QString(), now().addMinutes(-15).addSeconds(1));
    EXPECT_EQ(core.run.NextRefreshDate, now());
    schedule(QString(), now().addMinutes(-15).addSeconds(2));
    EXPECT_EQ(core.run.NextRefreshDate, now().addSeconds(2));
}

TEST_F(RefreshScheduleTest, AFailedFetchRetriesFifteenMinutesAhead)
{
    core.settings.Interval = 120;
    schedule(minutesAgo(60), now().addMinutes(15 - 120));
    EXPECT_EQ(core.run.NextRefreshDate, now().addMinutes(15));
}

TEST_F(RefreshScheduleTest, AFutureLastUpdateIsLeftOut)
{
    core.settings.Interval = 120;
    // The clock was set back by three months: the update seems to lie ahead.
    const QString future = now().addMonths(3).toString();
    schedule(future, RefreshSchedule::nowBase());
    EXPECT_EQ(core.run.NextRefreshDate, now().addMinutes(120));
    EXPECT_TRUE(logged(u"SetNextRefreshDate: last refresh date is in the future, ignoring it: "_s + future, 3));

    // A failed fetch with a future update still retries in 15 minutes.
    schedule(future, now().addMinutes(15 - 120));
    EXPECT_EQ(core.run.NextRefreshDate, now().addMinutes(15));
}

TEST_F(RefreshScheduleTest, AnUnreadableLastUpdateIsLeftOut)
{
    core.settings.Interval = 15;
    schedule(u"unknown"_s, RefreshSchedule::nowBase());
    EXPECT_EQ(core.run.NextRefreshDate, now().addMinutes(15));
    schedule(QString(), RefreshSchedule::nowBase());
    EXPECT_EQ(core.run.NextRefreshDate, now().addMinutes(15));
}

TEST_F(RefreshScheduleTest, StatusCountsWholeMinutesAhead)
{
    core.settings.OptionFlags = Settings::DefaultOptions; // AutoRefresh on
    core.run.NextRefreshDate = now().addSeconds(30);
    refresh.UpdateRefreshStatus();
    EXPECT_EQ(core.window.statusToolTip, u"auto refresh in < 1 minute"_s);
    EXPECT_EQ(core.window.statusPicture, u"timer_enabled"_s);

    core.run.NextRefreshDate = now().addMinutes(1);
    refresh.UpdateRefreshStatus();
    EXPECT_EQ(core.window.statusToolTip, u"auto refresh in 1 minute"_s);

    core.run.NextRefreshDate = now().addMinutes(5);
    refresh.UpdateRefreshStatus();
    EXPECT_EQ(core.window.statusToolTip, u"auto refresh in 5 minutes"_s);

    // A due refresh that has not yet run.
    core.run.NextRefreshDate = now().addMinutes(-3);
    refresh.UpdateRefreshStatus();
    EXPECT_EQ(core.window.statusToolTip, u"auto refresh in < 1 minute"_s);
}

TEST_F(RefreshScheduleTest, StatusWhileRefreshingKeepsThePicture)
{
    core.window.statusPicture = u"timer_enabled"_s;
    core.run.RefreshInProgress = true;
    refresh.UpdateRefreshStatus();
    EXPECT_EQ(core.window.statusToolTip, u"refreshing data..."_s);
    EXPECT_FALSE(core.window.calls.contains(u"setStatusPicture"_s));
}

TEST_F(RefreshScheduleTest, StatusWhenDisabled)
{
    core.run.NextRefreshDate = now().addMinutes(5);
    core.settings.OptionFlags = Settings::DefaultOptions & ~int32_t(OptionFlag::AutoRefresh);
    refresh.UpdateRefreshStatus();
    EXPECT_EQ(core.window.statusToolTip, u"auto refresh disabled"_s);
    EXPECT_EQ(core.window.statusPicture, u"timer_disabled"_s);

    // /NOAUTO wins over the option.
    core.settings.OptionFlags = Settings::DefaultOptions;
    core.run.CmdLineFlags = CmdLineFlag::NoAuto;
    refresh.UpdateRefreshStatus();
    EXPECT_EQ(core.window.statusToolTip, u"auto refresh disabled"_s);
}

TEST_F(RefreshScheduleTest, AFailingStatusBarIsLogged)
{
    core.window.failingCall = u"setStatusToolTip"_s;
    refresh.UpdateRefreshStatus();
    EXPECT_TRUE(logged(u"Error while updating refresh icon: [91] Object variable or With block variable not set"_s, 1));
}
