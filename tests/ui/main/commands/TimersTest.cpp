// SPDX-License-Identifier: MIT
#include "CommandsTestContext.h"

#include "RegistryHive.h"

#include <gtest/gtest.h>

#include <utility>

using namespace Qt::StringLiterals;

namespace {
LocalDateTime at(int hour, int minute, int second)
{
    return *LocalDateTime::fromParts(2008, 3, 20, hour, minute, second);
}

QString currentTestName()
{
    return QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

class RefreshTimerTest : public ::testing::Test
{
protected:
    RefreshTimerTest() { t.core.run.NextRefreshDate = at(10, 0, 45); }

    CommandsTestContext t{currentTestName()};
};

TEST_F(RefreshTimerTest, DueFromTheStartOfTheClockMinuteOfTheRefreshTime)
{
    t.core.clock.set(at(10, 0, 5));
    t.commands.tmrRefresh_Timer();

    EXPECT_TRUE(t.logged(u"tmrRefresh: time to do an auto-refresh"_s, 6));
    EXPECT_EQ(t.refreshes(), QStringList{u"RefreshData(fromcache=False,quiet=False,manual=False)"_s});
    EXPECT_FALSE(t.core.run.RefreshInProgress);
}

TEST_F(RefreshTimerTest, OneSecondBeforeTheMinuteCountsAsOneMinuteToGo)
{
    t.core.clock.set(at(9, 59, 59));
    t.commands.tmrRefresh_Timer();

    EXPECT_TRUE(t.refreshes().isEmpty());
    EXPECT_TRUE(t.logged(u"auto refresh in 1 minute"_s, 6));
    EXPECT_EQ(t.core.window.statusToolTip, u"auto refresh in 1 minute"_s);
    EXPECT_EQ(t.core.window.statusPicture, u"timer_enabled"_s);
}

TEST_F(RefreshTimerTest, CountdownGoesToTheStatusBarInDebugMode)
{
    t.core.run.CmdLineDebug = true;
    t.core.clock.set(at(9, 54, 50));
    t.commands.tmrRefresh_Timer();

    EXPECT_TRUE(t.logged(u"auto refresh in 6 minutes"_s, 2));
    EXPECT_TRUE(t.core.window.statusText.endsWith(u"auto refresh in 6 minutes"_s));
}

TEST_F(RefreshTimerTest, NothingWhileARefreshRuns)
{
    t.core.run.RefreshInProgress = true;
    t.core.clock.set(at(10, 2, 0));
    t.commands.tmrRefresh_Timer();

    EXPECT_TRUE(t.logged(u"tmrRefresh: refresh still in progress, doing nothing"_s, 6));
    EXPECT_TRUE(t.refreshes().isEmpty());
    EXPECT_EQ(t.core.window.statusToolTip, u"refreshing data..."_s);

    // Not yet due: no countdown either, while the refresh runs.
    t.core.clock.set(at(9, 50, 0));
    t.commands.tmrRefresh_Timer();
    for (const QString& line : t.logTexts())
        EXPECT_FALSE(line.startsWith(u"auto refresh in"_s)) << line.toStdString();
}

// With /NOAUTO or the option off a tick only updates the refresh status, due or not.
class RefreshTimerOffTest : public RefreshTimerTest, public ::testing::WithParamInterface<bool>
{
protected:
    void switchOff()
    {
        if (GetParam())
            t.core.run.CmdLineFlags |= CmdLineFlag::NoAuto;
        else
            t.core.settings.OptionFlags &= ~int32_t(OptionFlag::AutoRefresh);
    }
};

TEST_P(RefreshTimerOffTest, OnlyTheStatusIsUpdated)
{
    switchOff();
    t.core.clock.set(at(10, 5, 0));
    t.commands.tmrRefresh_Timer();
    t.core.clock.set(at(9, 0, 0));
    t.commands.tmrRefresh_Timer();

    EXPECT_TRUE(t.refreshes().isEmpty());
    EXPECT_EQ(t.core.window.statusToolTip, u"auto refresh disabled"_s);
    EXPECT_EQ(t.core.window.statusPicture, u"timer_disabled"_s);
    for (const QString& line : t.logTexts()) {
        EXPECT_FALSE(line.startsWith(u"auto refresh in"_s)) << line.toStdString();
        EXPECT_FALSE(line.startsWith(u"tmrRefresh:"_s)) << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(NoAutoOrOptionOff, RefreshTimerOffTest, ::testing::Values(true, false));

TEST_F(RefreshTimerTest, QuietWhileTheWindowIsInTheTray)
{
    t.core.window.mainWindowVisible = false;
    t.core.clock.set(at(10, 1, 0));
    t.commands.tmrRefresh_Timer();
    EXPECT_EQ(t.refreshes(), QStringList{u"RefreshData(fromcache=False,quiet=True,manual=False)"_s});
}

TEST_F(RefreshTimerTest, QuietOptionAppliesWhileTheWindowIsShown)
{
    t.core.settings.OptionFlags |= int32_t(OptionFlag::QuietMode);
    t.core.clock.set(at(10, 1, 0));
    t.commands.tmrRefresh_Timer();
    EXPECT_EQ(t.refreshes(), QStringList{u"RefreshData(fromcache=False,quiet=True,manual=False)"_s});
}

TEST(AnimateTimerTest, FramesRunOneToNineAndWrap)
{
    CommandsTestContext t{currentTestName()};
    EXPECT_EQ(t.commands.animationFrame(), 0);
    QStringList shown;
    for (int tick = 0; tick < 11; ++tick) {
        t.commands.tmrAnimate_Timer();
        EXPECT_EQ(t.core.window.statusPicture, t.core.window.trayPicture);
        shown.append(t.core.window.trayPicture);
    }
    EXPECT_EQ(shown,
              (QStringList{u"working1"_s, u"working2"_s, u"working3"_s, u"working4"_s, u"working5"_s, u"working6"_s,
                           u"working7"_s, u"working8"_s, u"working9"_s, u"working1"_s, u"working2"_s}));
    EXPECT_EQ(t.commands.animationFrame(), 2);
}

TEST(AnimateTimerTest, PendingEventsRunBeforeThePictureChanges)
{
    CommandsTestContext t{currentTestName()};
    t.commands.tmrAnimate_Timer();
    EXPECT_EQ(t.core.window.calls,
              (QStringList{u"processPendingEvents"_s, u"ModifyTrayIcon"_s, u"setStatusPicture"_s}));
}

TEST(AnimateTimerTest, AFailingTrayIsTrapped)
{
    CommandsTestContext t{currentTestName()};
    t.core.window.failingCall = u"ModifyTrayIcon"_s;
    EXPECT_NO_THROW(t.commands.tmrAnimate_Timer());
    EXPECT_TRUE(t.logged(u"tmrAnimate_Timer: [91] Object variable or With block variable not set"_s, 3));
    t.core.window.failingCall.clear();
    t.commands.tmrAnimate_Timer();
    EXPECT_EQ(t.core.window.trayPicture, u"working2"_s);
}

// A window that keeps the arguments of the version checks.
class VersionCheckSeam : public RecordingWindowSeam
{
public:
    QList<std::pair<bool, bool>> checks;
    void DoVersionCheck(bool background, bool atStartup) override
    {
        RecordingWindowSeam::DoVersionCheck(background, atStartup);
        checks.append({background, atStartup});
    }
};

class VersionTimerTest : public ::testing::Test
{
protected:
    VersionTimerTest()
    {
        t.core.settings.VerCheckOptions = 1;
        t.core.settings.VerCheckInterval = 2;
    }

    void setLastCheck(const QString& text) { t.core.setText(t.core.app.configKey(), u"VerCheckLast"_s, text); }
    // The tick that completes an hour.
    void hourTick()
    {
        t.core.run.VerCheckTicks = 59;
        commands.tmrVerCheck_Timer();
    }

    CommandsTestContext t{currentTestName()};
    VersionCheckSeam seam;
    MainCommands commands{{t.core.app, t.core.settings, t.core.run, t.core.log, t.core.registry, t.core.clock, seam,
                           t.ctx.cycle, t.ctx.history, t.ctx.mainRoutines, t.store, t.links}};
};

TEST_F(VersionTimerTest, ActsOnlyOnEverySixtiethTick)
{
    setLastCheck(u"2007-01-01 00:00:00"_s);
    for (int tick = 1; tick < 60; ++tick)
        commands.tmrVerCheck_Timer();
    EXPECT_EQ(t.core.run.VerCheckTicks, 59);
    EXPECT_FALSE(t.logged(u"version check timer expired"_s, 3));
    EXPECT_TRUE(seam.checks.isEmpty());

    commands.tmrVerCheck_Timer();
    EXPECT_EQ(t.core.run.VerCheckTicks, 0);
    EXPECT_TRUE(t.logged(u"version check timer expired"_s, 3));
    EXPECT_TRUE(t.logged(u"ver check tmr: last date: 2007-01-01 00:00:00"_s, 6));
    EXPECT_TRUE(t.logged(u"ver check tmr: about to do background version check"_s, 6));
    EXPECT_EQ(seam.checks, (QList<std::pair<bool, bool>>{{true, false}}));
}

TEST_F(VersionTimerTest, NothingWithoutTheTimedOption)
{
    setLastCheck(u"2007-01-01 00:00:00"_s);
    t.core.settings.VerCheckOptions = 2;
    hourTick();
    EXPECT_EQ(t.core.run.VerCheckTicks, 0);
    EXPECT_FALSE(t.logged(u"version check timer expired"_s, 3));
    EXPECT_TRUE(seam.checks.isEmpty());
}

TEST_F(VersionTimerTest, NothingBeforeAFirstCheckStoredItsTime)
{
    hourTick();
    EXPECT_TRUE(t.logged(u"version check timer expired"_s, 3));
    EXPECT_TRUE(seam.checks.isEmpty());
    for (const QString& line : t.logTexts())
        EXPECT_FALSE(line.startsWith(u"ver check tmr"_s)) << line.toStdString();
}

TEST_F(VersionTimerTest, UnreadableTimeCountsFromTheYear2000)
{
    setLastCheck(u"last Tuesday"_s);
    hourTick();
    EXPECT_TRUE(t.logged(u"ver check tmr: no record of previous check found"_s, 6));
    EXPECT_EQ(seam.checks.size(), 1);
}

TEST_F(VersionTimerTest, ReadsTheCurrentProfilesTime)
{
    t.core.run.ProfileNumber = 3;
    setLastCheck(u"2007-01-01 00:00:00"_s); // profile 0's: not this profile's
    hourTick();
    EXPECT_TRUE(seam.checks.isEmpty());

    t.core.setText(t.core.app.profileKey(3), u"VerCheckLast"_s, u"2007-01-01 00:00:00"_s);
    hourTick();
    EXPECT_EQ(seam.checks.size(), 1);
}

// Due once more than the interval has passed since the last check.
class VersionIntervalTest : public VersionTimerTest, public ::testing::WithParamInterface<std::pair<int16_t, int>>
{};

TEST_P(VersionIntervalTest, DueOnlyAfterTheWholeInterval)
{
    const auto [index, minutes] = GetParam();
    t.core.settings.VerCheckInterval = index;
    const LocalDateTime now = t.core.clock.now();

    setLastCheck(now.addMinutes(-minutes).toString());
    hourTick();
    EXPECT_TRUE(seam.checks.isEmpty()) << "exactly the interval ago";

    setLastCheck(now.addMinutes(-minutes).addSeconds(-1).toString());
    hourTick();
    EXPECT_EQ(seam.checks.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Intervals, VersionIntervalTest,
                         ::testing::Values(std::pair<int16_t, int>{0, 1440}, std::pair<int16_t, int>{1, 10080},
                                           std::pair<int16_t, int>{2, 43200}, std::pair<int16_t, int>{3, 0},
                                           std::pair<int16_t, int>{-1, 0}));
} // namespace
