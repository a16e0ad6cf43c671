// SPDX-License-Identifier: MIT
#include "CommandsTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QString currentTestName()
{
    return QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

class MenuCommandsTest : public ::testing::Test
{
protected:
    CommandsTestContext t{currentTestName()};
};

TEST_F(MenuCommandsTest, RefreshIsLiveAndReloadFromTheCache)
{
    t.commands.cmdRefresh_Click();
    t.commands.mnuReload_Click();
    t.core.settings.OptionFlags |= int32_t(OptionFlag::QuietMode);
    t.commands.cmdRefresh_Click();
    t.core.settings.OptionFlags &= ~int32_t(OptionFlag::QuietMode);
    t.core.run.CmdLineQuiet = true;
    t.commands.mnuReload_Click();

    EXPECT_EQ(t.refreshes(), (QStringList{u"RefreshData(fromcache=False,quiet=False,manual=True)"_s,
                                          u"RefreshData(fromcache=True,quiet=False,manual=True)"_s,
                                          u"RefreshData(fromcache=False,quiet=True,manual=True)"_s,
                                          u"RefreshData(fromcache=True,quiet=True,manual=True)"_s}));
}

TEST_F(MenuCommandsTest, GraphGetsTheMonthShown)
{
    t.core.run.CurrentMonth.LastUpdate = u"2008-03-20 10:45:00"_s;
    t.commands.cmdTeeGraph_Click();
    ASSERT_EQ(t.core.window.graphedMonths.size(), 1);
    EXPECT_EQ(t.core.window.graphedMonths[0].LastUpdate, u"2008-03-20 10:45:00"_s);
}

TEST_F(MenuCommandsTest, AFailingWindowIsTrappedAndLogged)
{
    t.core.window.failingCall = u"showGraphWindow"_s;
    EXPECT_NO_THROW(t.commands.cmdTeeGraph_Click());
    EXPECT_TRUE(t.logged(u"cmdTeeGraph_Click: [91] Object variable or With block variable not set"_s, 3));
}

TEST_F(MenuCommandsTest, HelpPagesOpenTheProductsSite)
{
    for (const QString& page : {u"Website"_s, u"Usage"_s, u"FAQ"_s, u"Appreciation"_s, u"Nonsense"_s})
        t.commands.helpPage(page);
    EXPECT_EQ(t.opened, (QStringList{u"https://www.tallyroo.example/"_s,
                                     u"https://www.tallyroo.example/usage.html?src=Tallyroo"_s,
                                     u"https://www.tallyroo.example/faq.html?src=Tallyroo"_s,
                                     u"https://www.tallyroo.example/appreciation.html?src=Tallyroo"_s}));
}

class AutoRefreshToggleTest : public MenuCommandsTest
{
protected:
    std::optional<int32_t> storedOptions(int16_t profile)
    {
        return t.core.dword(t.core.app.profileKey(profile), u"Options"_s);
    }
};

TEST_F(AutoRefreshToggleTest, WritesTheSharedOptionsWhateverTheProfile)
{
    t.core.run.ProfileNumber = 3;
    t.commands.mnuPopup_AutoRefresh_Click(false);

    EXPECT_FALSE(t.core.settings.hasOption(OptionFlag::AutoRefresh));
    EXPECT_EQ(storedOptions(0), t.core.settings.OptionFlags);
    EXPECT_EQ(storedOptions(3), std::nullopt);
    EXPECT_EQ(t.core.window.statusToolTip, u"auto refresh disabled"_s);
    EXPECT_EQ(t.core.window.statusPicture, u"timer_disabled"_s);

    t.commands.mnuPopup_AutoRefresh_Click(true);
    EXPECT_TRUE(t.core.settings.hasOption(OptionFlag::AutoRefresh));
    EXPECT_EQ(storedOptions(0), Settings::DefaultOptions);
    EXPECT_EQ(t.core.window.statusPicture, u"timer_enabled"_s);
}

TEST_F(AutoRefreshToggleTest, LogsTheChangeOnlyInDebugMode)
{
    t.commands.mnuPopup_AutoRefresh_Click(false);
    t.commands.mnuPopup_AutoRefresh_Click(true);
    for (const QString& line : t.logTexts())
        EXPECT_FALSE(line.endsWith(u"abled"_s) && line.startsWith(u"auto refresh"_s)) << line.toStdString();

    t.core.run.CmdLineDebug = true;
    t.commands.mnuPopup_AutoRefresh_Click(false);
    t.commands.mnuPopup_AutoRefresh_Click(true);
    EXPECT_TRUE(t.logged(u"auto refresh disabled"_s, 2));
    EXPECT_TRUE(t.logged(u"auto refresh enabled"_s, 2));
}

TEST_F(AutoRefreshToggleTest, ReschedulesFromTheMonthsLastUpdate)
{
    t.core.settings.Interval = 120;
    t.core.run.CurrentMonth.LastUpdate = u"2008-03-20 10:30:00"_s;
    t.commands.mnuPopup_AutoRefresh_Click(true);
    EXPECT_EQ(t.core.run.NextRefreshDate, *LocalDateTime::fromParts(2008, 3, 20, 12, 30, 0));
    EXPECT_EQ(t.core.window.statusToolTip, u"auto refresh in 90 minutes"_s);
}

TEST_F(AutoRefreshToggleTest, WithNoMonthShownReschedulesFromNow)
{
    t.core.settings.Interval = 120;
    for (const QString& lastUpdate : {QString(), u"unknown"_s}) {
        t.core.run.CurrentMonth.LastUpdate = lastUpdate;
        t.core.run.NextRefreshDate = {};
        t.commands.mnuPopup_AutoRefresh_Click(true);
        EXPECT_EQ(t.core.run.NextRefreshDate, t.core.clock.now().addMinutes(120)) << lastUpdate.toStdString();
    }
}
} // namespace
