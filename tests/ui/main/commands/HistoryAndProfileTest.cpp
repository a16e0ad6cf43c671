// SPDX-License-Identifier: MIT
#include "CommandsTestContext.h"
#include "LiteConnection.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const LocalDateTime March = *LocalDateTime::fromParts(2008, 3, 15);
const LocalDateTime February = *LocalDateTime::fromParts(2008, 2, 15);

QString currentTestName()
{
    return QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// The history list holds March 2008 (the current month) and February 2008.
class HistoryChoiceTest : public ::testing::Test
{
protected:
    HistoryChoiceTest()
    {
        t.storeMonth(February, u"2008-03-15 00:05:00"_s, true);
        t.storeMonth(March, u"2008-03-20 10:45:00"_s, false);
        t.core.window.calls.clear();
    }

    CommandsTestContext t{currentTestName()};
};

TEST_F(HistoryChoiceTest, AnOlderMonthIsShownAsHistorical)
{
    t.commands.cboHistory_Click(u"February 2008"_s, 1);

    EXPECT_TRUE(t.logged(u"cboHistory: changing history month to February 2008 (list index: 1)"_s, 3));
    EXPECT_EQ(t.core.run.CurrentMonth.AnniversaryDate, February);
    EXPECT_GT(t.core.run.CurrentMonth.AvgPeak, 0); // the calculations ran
    EXPECT_TRUE(t.logged(u"calling qoMonth2Form(bHistorical=True)"_s, 3));
    EXPECT_EQ(t.calls(u"ModifyTrayIcon"_s), 0);
    EXPECT_TRUE(t.logged(u"viewing data for February 2008, last updated 2008-03-15 00:05:00"_s, 2));
    EXPECT_TRUE(t.core.window.messageBoxes.isEmpty());
}

TEST_F(HistoryChoiceTest, TheFirstEntryIsShownAsTheCurrentMonth)
{
    t.commands.cboHistory_Click(u"March 2008"_s, 0);
    EXPECT_EQ(t.core.run.CurrentMonth.AnniversaryDate, March);
    EXPECT_TRUE(t.logged(u"calling qoMonth2Form(bHistorical=False)"_s, 3));
    EXPECT_EQ(t.calls(u"ModifyTrayIcon"_s), 1);
    EXPECT_TRUE(t.logged(u"viewing data for March 2008, last updated 2008-03-20 10:45:00"_s, 2));
}

TEST_F(HistoryChoiceTest, OnlyTheListPositionDecidesHistorical)
{
    t.commands.cboHistory_Click(u"March 2008"_s, 1);
    EXPECT_TRUE(t.logged(u"calling qoMonth2Form(bHistorical=True)"_s, 3));
}

TEST_F(HistoryChoiceTest, AnUnreadableUpdateTimeIsSaidToBeUnknown)
{
    t.storeMonth(*LocalDateTime::fromParts(2008, 1, 15), u"2008-02-15 00:05:00"_s, true);
    // The provider may give no time; what it gave is kept as it stands.
    LiteConnection conn;
    conn.Open(t.ctx.history.DatabaseFile());
    conn.Execute(u"update MonthlyData set LastUpdate = 'unknown' where AnniversaryDate = '2008-01-15'"_s);
    conn.Close();
    t.commands.cboHistory_Click(u"January 2008"_s, 2);
    EXPECT_TRUE(t.logged(u"viewing data for January 2008, last update date unknown"_s, 2));
}

TEST_F(HistoryChoiceTest, AMonthMissingFromTheDatabaseFailsWithABox)
{
    t.commands.cboHistory_Click(u"June 2001"_s, 2);

    bool found = false;
    for (const QString& line : t.ctx.logAt(1))
        found = found || line.startsWith(u"Failed to read data from database: "_s);
    EXPECT_TRUE(found);
    ASSERT_EQ(t.core.window.messageBoxes.size(), 1);
    EXPECT_TRUE(t.core.window.messageBoxes[0].text.startsWith(u"Failed to read data from database:\r\n"_s));
    EXPECT_TRUE(t.ctx.loggedStartingWith(u"viewing data for"_s).isEmpty());
    EXPECT_EQ(t.calls(u"InitValueDisplay"_s), 0);
}

TEST_F(HistoryChoiceTest, FailuresShowNoBoxInQuietMode)
{
    t.core.settings.OptionFlags |= int32_t(OptionFlag::QuietMode);
    t.commands.cboHistory_Click(u"June 2001"_s, 2);
    EXPECT_FALSE(t.ctx.logAt(1).isEmpty());
    EXPECT_TRUE(t.core.window.messageBoxes.isEmpty());
}

TEST_F(HistoryChoiceTest, ADisplayFailureIsReportedWithItsText)
{
    t.core.window.parseArraysResult = false;
    t.core.window.parseArraysError = u"grid refused"_s;
    t.commands.cboHistory_Click(u"February 2008"_s, 1);

    EXPECT_TRUE(t.logged(u"Failed to display data from database: grid refused"_s, 1));
    EXPECT_TRUE(t.ctx.loggedStartingWith(u"viewing data for"_s).isEmpty());
}

TEST_F(HistoryChoiceTest, ATextThatIsNoMonthReadsNothing)
{
    t.core.run.CurrentMonth.LastUpdate = u"kept"_s;
    t.commands.cboHistory_Click(u"Smarch 2008"_s, 1);

    EXPECT_TRUE(t.ctx.loggedStartingWith(u"calling SQL2qoMonth"_s).isEmpty());
    EXPECT_EQ(t.core.run.CurrentMonth.LastUpdate, u"kept"_s);
    EXPECT_TRUE(t.logged(u"cboHistory_Click: [13] Type mismatch"_s, 3));
}

// Profiles 0 (fred) and, when a test stores it, 4 (jane).
class ProfileTest : public ::testing::Test
{
protected:
    ProfileTest() { t.core.setText(t.core.app.profileKey(0), u"Username"_s, u"fred@quolla.example"_s); }

    void storeJane() { t.core.setText(t.core.app.profileKey(4), u"Username"_s, u"jane@brindle.example"_s); }
    QList<int> visibleItems(const QList<MainCommands::ProfileEntry>& items)
    {
        QList<int> visible;
        for (int i = 0; i < items.size(); ++i) {
            if (items[i].visible)
                visible.append(i);
        }
        return visible;
    }

    CommandsTestContext t{currentTestName()};
};

TEST_F(ProfileTest, OneStoredProfileCountsOne)
{
    int count = -1;
    const QList<MainCommands::ProfileEntry> items = t.commands.profileMenu(count);
    ASSERT_EQ(items.size(), 31);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(items[0], (MainCommands::ProfileEntry{u"fred"_s, true, true}));
    EXPECT_EQ(visibleItems(items), QList<int>{0});
}

TEST_F(ProfileTest, TwoStoredProfilesShowTwoItems)
{
    storeJane();
    int count = 0;
    const QList<MainCommands::ProfileEntry> items = t.commands.profileMenu(count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(visibleItems(items), (QList<int>{0, 4}));
    EXPECT_TRUE(items[0].checked);
    EXPECT_EQ(items[4], (MainCommands::ProfileEntry{u"jane"_s, true, false}));
}

TEST_F(ProfileTest, TheCurrentProfileAlwaysKeepsAnItem)
{
    storeJane();
    t.core.run.ProfileNumber = 3;
    int count = 0;
    const QList<MainCommands::ProfileEntry> items = t.commands.profileMenu(count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(visibleItems(items), (QList<int>{0, 3, 4}));
    EXPECT_EQ(items[3], (MainCommands::ProfileEntry{u"[unknown]"_s, true, true}));
    EXPECT_FALSE(items[0].checked);
}

TEST_F(ProfileTest, ChoosingTheCurrentProfileDoesNothing)
{
    storeJane();
    t.commands.mnuProfile_Click(0);
    EXPECT_EQ(t.core.run.ProfileNumber, 0);
    EXPECT_TRUE(t.core.window.calls.isEmpty());
    EXPECT_TRUE(t.ctx.loggedStartingWith(u"profile change"_s).isEmpty());
}

TEST_F(ProfileTest, SwitchReadsTheNewProfileAndShowsItsStoredMonth)
{
    storeJane();
    t.core.setDword(t.core.app.profileKey(4), u"AccountType"_s, 1);
    // jane's database holds March.
    t.core.settings.Username = u"jane@brindle.example"_s;
    t.storeMonth(March, u"2008-03-20 10:45:00"_s, false);
    t.core.settings.Username = u"fred@quolla.example"_s;
    t.core.run.CurrentMonth.LastUpdate = u"fred's month"_s;

    t.commands.mnuProfile_Click(4);

    EXPECT_TRUE(t.logged(u"profile change from 0 to 4"_s, 6));
    EXPECT_EQ(t.core.run.ProfileNumber, 4);
    EXPECT_EQ(t.core.settings.Username, u"jane@brindle.example"_s);
    EXPECT_EQ(t.core.settings.AccountType, 1);
    EXPECT_TRUE(t.core.window.caption.contains(u"[jane"_s)) << t.core.window.caption.toStdString();
    EXPECT_EQ(t.core.window.controlTexts.value(u"txtUsername"_s), u"jane"_s);

    // Settings and caption, then the links, then the reset of the display.
    const QStringList& calls = t.core.window.calls;
    const qsizetype caption = calls.indexOf(u"setCaption"_s);
    const qsizetype links = calls.indexOf(u"linksChanged"_s);
    const qsizetype reset = calls.indexOf(u"InitValueDisplay"_s);
    ASSERT_GE(caption, 0);
    EXPECT_LT(caption, links);
    EXPECT_LT(links, reset);

    EXPECT_EQ(t.core.window.monthList, QStringList{u"March 2008"_s});
    EXPECT_EQ(t.refreshes(), QStringList{u"RefreshData(fromcache=True,quiet=False,manual=True)"_s});
    EXPECT_EQ(t.core.run.CurrentMonth.AnniversaryDate, March);
    EXPECT_TRUE(t.ctx.loggedStartingWith(u"profile change: RefreshData failed"_s).isEmpty());
    EXPECT_EQ(t.calls(u"hideGraphCharts"_s), 0);
}

TEST_F(ProfileTest, AFailedRefreshHidesTheGraphCharts)
{
    storeJane();
    t.core.window.graphWindowLoaded = true;
    t.commands.mnuProfile_Click(4); // jane has no stored month

    EXPECT_EQ(t.core.run.ProfileNumber, 4);
    EXPECT_TRUE(t.logged(u"profile change: RefreshData failed"_s, 3));
    EXPECT_TRUE(t.logged(u"profile change: graph is visible, so hide it"_s, 3));
    EXPECT_EQ(t.calls(u"hideGraphCharts"_s), 1);
    EXPECT_EQ(t.core.run.CurrentMonth.AnniversaryDate, LocalDateTime());
}

TEST_F(ProfileTest, AFailedRefreshWithoutGraphWindowOnlyLogs)
{
    storeJane();
    t.commands.mnuProfile_Click(4);
    EXPECT_TRUE(t.logged(u"profile change: RefreshData failed"_s, 3));
    EXPECT_FALSE(t.logged(u"profile change: graph is visible, so hide it"_s, 3));
    EXPECT_EQ(t.calls(u"hideGraphCharts"_s), 0);
}

TEST_F(ProfileTest, WithoutHistoryTheMonthListIsLeftAlone)
{
    storeJane();
    t.core.setDword(t.core.app.configKey(), u"Options"_s, Settings::DefaultOptions & ~int32_t(OptionFlag::History));
    t.commands.mnuProfile_Click(4);
    EXPECT_FALSE(t.core.settings.hasOption(OptionFlag::History));
    EXPECT_EQ(t.calls(u"clearMonthList"_s), 0);
    EXPECT_TRUE(t.ctx.loggedStartingWith(u"SQLGetMonths"_s).isEmpty());
}
} // namespace
