// SPDX-License-Identifier: MIT
#include "StartupDecision.h"
#include "RunState.h"
#include "Settings.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Action = StartupDecision::Action;

namespace {
const LocalDateTime Now = *LocalDateTime::fromParts(2024, 3, 20, 12, 0, 30);

StartupDecision::Inputs inputs()
{
    StartupDecision::Inputs in;
    in.OptionFlags = Settings::DefaultOptions; // AutoRefresh and StartupRefresh on
    in.Username = u"alice"_s;
    in.Interval = 120;
    in.StartupRefreshDelay = 5;
    in.now = Now;
    return in;
}
} // namespace

TEST(StartupDecisionTest, NothingWithoutTheOptionsOrAUserName)
{
    StartupDecision::Inputs in = inputs();
    in.OptionFlags &= ~int32_t(OptionFlag::AutoRefresh | OptionFlag::StartupRefresh);
    EXPECT_EQ(StartupDecision::decide(in).action, Action::None);
    in = inputs();
    in.CmdLineFlags = CmdLineFlag::NoAuto;
    EXPECT_EQ(StartupDecision::decide(in).action, Action::None);
    in = inputs();
    in.Username.clear();
    EXPECT_EQ(StartupDecision::decide(in).action, Action::None);
    in = inputs();
    in.OptionFlags = int32_t(OptionFlag::StartupRefresh); // either bit is enough
    EXPECT_EQ(StartupDecision::decide(in).action, Action::FirstRefresh);
}

TEST(StartupDecisionTest, DelaySchedulesWithoutRefreshing)
{
    StartupDecision::Inputs in = inputs();
    in.OptionFlags |= int32_t(OptionFlag::DelayRefresh);
    in.LastUpdate = u"2024-03-20 09:00:00"_s; // old, but the delay wins
    const StartupDecision d = StartupDecision::decide(in);
    EXPECT_EQ(d.action, Action::Delay);
    // SetNextRefreshDate adds the interval again: due 5 minutes after start.
    EXPECT_EQ(d.scheduleBase.addMinutes(in.Interval), Now.addMinutes(5));
}

TEST(StartupDecisionTest, FifteenMinutesAfterTheLastUpdate)
{
    StartupDecision::Inputs in = inputs();
    in.LastUpdate = u"2024-03-20 11:46:59"_s; // 14 minute boundaries before 12:00:30
    StartupDecision d = StartupDecision::decide(in);
    EXPECT_EQ(d.action, Action::Skip);
    EXPECT_EQ(d.scheduleBase, Now.addMinutes(-120));

    in.LastUpdate = u"2024-03-20 11:45:59"_s; // 15 boundaries
    d = StartupDecision::decide(in);
    EXPECT_EQ(d.action, Action::Refresh);
    EXPECT_TRUE(d.quiet); // no visible window

    in.LastUpdate = u"2024-03-21 08:00:00"_s; // in the future: counts as recent
    EXPECT_EQ(StartupDecision::decide(in).action, Action::Skip);
}

TEST(StartupDecisionTest, QuietOfTheStartupRefresh)
{
    StartupDecision::Inputs in = inputs();
    in.LastUpdate = u"2024-03-19 12:00:00"_s;
    in.mainWindowVisible = true;
    EXPECT_FALSE(StartupDecision::decide(in).quiet);
    in.CmdLineFlags = CmdLineFlag::Tray;
    EXPECT_TRUE(StartupDecision::decide(in).quiet);
    in.CmdLineFlags = 0;
    in.OptionFlags |= int32_t(OptionFlag::QuietMode);
    EXPECT_TRUE(StartupDecision::decide(in).quiet);
}

TEST(StartupDecisionTest, NeverRefreshedRunsTheVeryFirstRefresh)
{
    StartupDecision::Inputs in = inputs();
    for (const QString& lastUpdate : {QString(), u"unknown"_s}) {
        in.LastUpdate = lastUpdate;
        const StartupDecision d = StartupDecision::decide(in);
        EXPECT_EQ(d.action, Action::FirstRefresh);
        EXPECT_FALSE(d.quiet);
    }
    in.mainWindowVisible = true;
    EXPECT_TRUE(StartupDecision::decide(in).quiet);
}
