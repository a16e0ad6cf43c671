// SPDX-License-Identifier: MIT
#include "FakeFeed.h"
#include "RefreshTestContext.h"

#include <QFile>

#include <optional>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const LocalDateTime FirstDay = *LocalDateTime::fromParts(2008, 3, 15);
const QString LastUpdate = u"2008-03-20 10:45:00"_s;

// The refresh cycle's branches, with the components played by fakes. The clock stands at
// 2008-03-20 11:00:00; the current month began on 15 March.
class RefreshCycleTest : public ::testing::Test
{
protected:
    RefreshCycleTest()
    {
        FakeFeed::reset();
        FakeFeed::pelborne().current = FakeFeed::sampleMonth(FirstDay, 6, LastUpdate);
        FakeFeed::pelborne().historical =
            FakeFeed::sampleMonth(*LocalDateTime::fromParts(2008, 2, 15), 29, u"2008-03-15 00:05:00"_s);
        ctx.core.settings.Interval = 120;
        ctx.openDatabase();
    }

    LocalDateTime now() const { return ctx.core.clock.now(); }
    const RecordingWindowSeam& window() const { return ctx.core.window; }
    // Stores a month as an earlier refresh did.
    void storeMonth(const LocalDateTime& firstDay, const QString& lastUpdate, bool historical)
    {
        qoMonth month;
        month.AnniversaryDate = firstDay;
        month.LastUpdate = lastUpdate;
        month.DailyHeaders = {u"Date"_s, u"Peak"_s, u"OffPeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s};
        month.DailyDates = {firstDay};
        month.DailyPeak = {1};
        month.DailyOffpeak = {2};
        month.DailyFreezone = {0};
        month.DailyTotals = {3};
        month.DailyUploads = {0};
        QString error;
        ASSERT_TRUE(ctx.history.qoMonth2SQL(month, historical, error)) << error.toStdString();
    }
    int historicalCalls() const
    {
        int n = 0;
        for (const FakeFeed::Call& call : FakeFeed::pelborne().calls)
            n += call.historical ? 1 : 0;
        return n;
    }

    std::optional<FakeFeed::Servers> servers{std::in_place};
    RefreshTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
};
} // namespace

TEST_F(RefreshCycleTest, LiveRefreshFromStartToEnd)
{
    storeMonth(*LocalDateTime::fromParts(2008, 2, 15), u"2008-03-15 00:05:00"_s, true);
    ASSERT_TRUE(ctx.refresh());
    EXPECT_FALSE(ctx.fromcache);

    const qoMonth& month = ctx.core.run.CurrentMonth;
    EXPECT_EQ(month.AnniversaryDate, FirstDay);
    EXPECT_GT(month.AvgPeak, 0); // the calculations ran
    EXPECT_EQ(FakeFeed::pelborne().cacheExpiredUsers, QStringList{u"fred@quolla.example"_s});

    EXPECT_EQ(window().trayToolTip, u"Tallyroo [fred]: peak: 158 / 20,000 MB (1%)\r\noffpeak: 30 / 40,000 MB (0%)"
                                    u"\r\nlast refresh: 2008-03-20 10:45:00"_s);
    EXPECT_EQ(ctx.core.run.NextRefreshDate, now().addMinutes(120));
    EXPECT_EQ(ctx.storedMonths(),
              (QStringList{u"2008-02-15|2008-03-15 00:05:00"_s, u"2008-03-15|2008-03-20 10:45:00"_s}));
    EXPECT_EQ(window().monthList, (QStringList{u"March 2008"_s, u"February 2008"_s}));
    EXPECT_TRUE(window().calls.contains(u"ParseArrays"_s));
    EXPECT_TRUE(ctx.logged(u"retrieved live data for fred from JSON feed"_s, 2));

    // The run ends with everything given back.
    EXPECT_FALSE(ctx.core.run.RefreshInProgress);
    EXPECT_TRUE(window().refreshControlsEnabled);
    EXPECT_FALSE(window().trayAnimating);
    EXPECT_EQ(window().statusToolTip, u"auto refresh in 120 minutes"_s);
    EXPECT_FALSE(ctx.cycle.components().hasJSON());
    EXPECT_EQ(servers->liveObjects(), 0);
    EXPECT_TRUE(ctx.logged(u"calling MemoryMinimise"_s, 6));
    // The previous month was stored after it ended: no back-fill.
    EXPECT_EQ(historicalCalls(), 0);
    EXPECT_TRUE(ctx.logged(u"HistoryBackfill: previous month has already been updated, skipping backfill"_s, 6));
}

TEST_F(RefreshCycleTest, EntryLinesAndTheBusyState)
{
    ctx.core.window.calls.clear();
    ctx.refresh(false, true, false);
    const QStringList texts = ctx.core.logTexts();
    const qsizetype first = texts.indexOf(u"calling RefreshData for profile 0"_s);
    ASSERT_GE(first, 0);
    ASSERT_GT(texts.size(), first + 1);
    EXPECT_EQ(texts[first + 1], u"RefreshData(fromcache=False,quiet=True,manual=False)"_s);
    EXPECT_TRUE(ctx.logged(u"retrieving data for fred..."_s, 2));
    EXPECT_TRUE(ctx.logged(u"RefreshData: attempting refresh from Quolla"_s, 6));
    EXPECT_TRUE(ctx.logged(u"RefreshData: retrieving live data via Pelborne"_s, 6));
    const QStringList& calls = window().calls;
    EXPECT_EQ(calls.first(), u"setRefreshControlsEnabled"_s);
    EXPECT_EQ(calls.last(), u"repaintMainWindow"_s);
    EXPECT_EQ(window().caption, u"Tallyroo v1.3.2 [fred]"_s);
}

TEST_F(RefreshCycleTest, ANewerComponentCacheWinsOverTheDatabase)
{
    storeMonth(FirstDay, u"2008-03-20 10:00:00"_s, false);
    ctx.setComponentDate(u"Pelborne"_s, u"fred@quolla.example"_s, u"2008-03-20 10:50:00"_s);
    ASSERT_TRUE(ctx.refresh(true));
    ASSERT_EQ(FakeFeed::pelborne().calls.size(), 1);
    EXPECT_TRUE(FakeFeed::pelborne().calls[0].fromCache);
    EXPECT_TRUE(ctx.logged(u"RefreshData: retrieving cached data via Pelborne"_s, 6));
    EXPECT_EQ(ctx.storedMonths(), QStringList{u"2008-03-15|2008-03-20 10:45:00"_s});
}

TEST_F(RefreshCycleTest, NoDatesAtAllAbortsTheCachedRead)
{
    const LocalDateTime scheduled = now().addMinutes(33);
    ctx.core.run.NextRefreshDate = scheduled;
    EXPECT_FALSE(ctx.refresh(true));
    EXPECT_TRUE(ctx.logged(u"RefreshData: invalid data refresh date: [blank]"_s, 3));
    EXPECT_TRUE(ctx.logged(u"RefreshData: failed to retrieve Pelborne refresh date"_s, 3));
    EXPECT_TRUE(ctx.logged(u"RefreshData: no cached data found, aborting refresh"_s, 2));
    EXPECT_EQ(window().trayPicture, u"error"_s);
    EXPECT_EQ(window().trayToolTip, u"Tallyroo [fred]: no cached data found"_s);
    EXPECT_EQ(ctx.core.run.NextRefreshDate, scheduled);
    EXPECT_TRUE(FakeFeed::pelborne().calls.isEmpty());
    EXPECT_FALSE(ctx.core.run.RefreshInProgress);
}

TEST_F(RefreshCycleTest, AFailedFetchShowsTheErrorAndRetriesInFifteenMinutes)
{
    FakeFeed::pelborne().retrieveResult = false;
    FakeFeed::pelborne().lastError = u"Retrieval error: 503 Service Unavailable"_s;
    FakeFeed::pelborne().lastErrorDetail = u"Pelborne.RetrieveData: Retrieval error:\r\nthe provider is overloaded"_s;
    ctx.core.run.CurrentMonth.LastUpdate = u"2008-03-20 09:00:00"_s;
    EXPECT_FALSE(ctx.refresh());
    EXPECT_EQ(window().trayPicture, u"error"_s);
    EXPECT_EQ(window().trayToolTip, u"Tallyroo [fred]: Retrieval error: 503 Service Unavailable\r\n"
                                    u"last refresh: 2008-03-20 09:00:00"_s);
    EXPECT_TRUE(ctx.logged(u"Pelborne.RetrieveData: Retrieval error: the provider is overloaded"_s, 1));
    EXPECT_TRUE(ctx.logged(u"Retrieval error: 503 Service Unavailable"_s, 2));
    EXPECT_TRUE(ctx.logged(u"RefreshData: fetch failed, will attempt again in 15 minutes"_s, 6));
    EXPECT_EQ(ctx.core.run.NextRefreshDate, now().addMinutes(15));
    // The status bar shows the last level-2 line of the run's failure.
    EXPECT_TRUE(window().statusText.endsWith(u"Retrieval error: 503 Service Unavailable"_s))
        << window().statusText.toStdString();
    EXPECT_TRUE(ctx.storedMonths().isEmpty());
    EXPECT_FALSE(window().calls.contains(u"ParseArrays"_s));
}

TEST_F(RefreshCycleTest, AMissingComponentIsLoggedAndTheLiveFetchFails)
{
    servers.reset();
    EXPECT_FALSE(ctx.refresh());
    EXPECT_FALSE(ctx.fromcache);
    EXPECT_TRUE(ctx.logged(u"Error checking cache status from Pelborne: [429] Can't create object"_s, 1));
    EXPECT_TRUE(ctx.logged(u"Pelborne2qoMonth failed: [429] Can't create object"_s, 1));
    EXPECT_TRUE(ctx.logged(u"Can't create object"_s, 2));
    EXPECT_EQ(window().trayPicture, u"error"_s);
    EXPECT_EQ(ctx.core.run.NextRefreshDate, now().addMinutes(15));
}

TEST_F(RefreshCycleTest, APreviousMonthNeverStoredIsBackFilled)
{
    ASSERT_TRUE(ctx.refresh());
    ASSERT_EQ(historicalCalls(), 1);
    const FakeFeed::Call& backfill = FakeFeed::pelborne().calls.last();
    EXPECT_TRUE(backfill.historical);
    EXPECT_FALSE(backfill.fromCache);
    EXPECT_EQ(backfill.historicalDate, *LocalDateTime::fromParts(2008, 2, 1));
    EXPECT_TRUE(
        ctx.logged(u"HistoryBackfill: failed to find data for previous month in database, so backfilling"_s, 6));
    EXPECT_TRUE(ctx.logged(u"HistoryBackfill: data for month starting 2008-02-15 last updated never"_s, 6));
    EXPECT_TRUE(ctx.logged(u"HistoryBackfill: attempting to backfill data for month of February 2008"_s, 6));
    EXPECT_TRUE(ctx.logged(u"successfully back-filled historical data for previous month"_s, 2));
    EXPECT_EQ(ctx.storedMonths(),
              (QStringList{u"2008-02-15|2008-03-15 00:05:00"_s, u"2008-03-15|2008-03-20 10:45:00"_s}));
}

TEST_F(RefreshCycleTest, APreviousMonthLastStoredBeforeItEndedIsBackFilled)
{
    storeMonth(*LocalDateTime::fromParts(2008, 2, 15), u"2008-03-10 08:00:00"_s, false);
    ASSERT_TRUE(ctx.refresh());
    EXPECT_EQ(historicalCalls(), 1);
    EXPECT_TRUE(
        ctx.logged(u"HistoryBackfill: data for month starting 2008-02-15 last updated at 2008-03-10 08:00:00"_s, 6));
    EXPECT_EQ(ctx.storedMonths().first(), u"2008-02-15|2008-03-15 00:05:00"_s);
}

TEST_F(RefreshCycleTest, AFailedBackFillNeverFailsTheRefresh)
{
    FakeFeed::pelborne().historical.arrayDailyDates.reset();
    ASSERT_TRUE(ctx.refresh());
    EXPECT_TRUE(ctx.logged(u"HistoryBackfill: failed to insert into db: Subscript out of range"_s, 3));
    EXPECT_TRUE(ctx.logged(u"RefreshData: history backfill failed: Subscript out of range"_s, 3));
    EXPECT_EQ(ctx.storedMonths(), QStringList{u"2008-03-15|2008-03-20 10:45:00"_s});
}

TEST_F(RefreshCycleTest, AnUnreadableDatabaseSkipsTheBackFill)
{
    // Not a database at all: every read fails with the engine's own error.
    QFile file(ctx.history.DatabaseFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(4096, 'x'));
    file.close();
    ASSERT_TRUE(ctx.refresh());
    EXPECT_EQ(historicalCalls(), 0);
    const QString line = ctx.loggedStartingWith(u"RefreshData: history backfill failed: "_s);
    EXPECT_TRUE(line.startsWith(u"RefreshData: history backfill failed: Failed to read last update date for previous "
                                u"month from database: "_s))
        << line.toStdString();
    EXPECT_TRUE(line.contains(u"file is not a database"_s)) << line.toStdString();
}

TEST_F(RefreshCycleTest, AMonthWithoutUsageSkipsTheBackFill)
{
    // The month's totals are the sums of its days.
    FakeFeed::Month& month = FakeFeed::pelborne().current;
    month.sngUsedPeak = 0;
    month.sngUsedOffpeak = 0;
    month.arrayDailyPeak->fill(0);
    month.arrayDailyOffPeak->fill(0);
    ASSERT_TRUE(ctx.refresh());
    EXPECT_EQ(historicalCalls(), 0);
    EXPECT_FALSE(ctx.logged(u"HistoryBackfill: checking if history backfill is required"_s, 3));
}

TEST_F(RefreshCycleTest, HistoryOffStoresAndBackFillsNothing)
{
    ctx.core.settings.OptionFlags &= ~int32_t(OptionFlag::History);
    ASSERT_TRUE(ctx.refresh());
    EXPECT_EQ(historicalCalls(), 0);
    EXPECT_TRUE(ctx.storedMonths().isEmpty());
    EXPECT_FALSE(window().calls.contains(u"addMonthListItem"_s));
}

TEST_F(RefreshCycleTest, ExportsAreWrittenWhenChosen)
{
    ctx.core.run.ProfileNumber = 2;
    ctx.core.settings.OptionFlags |= int32_t(OptionFlag::XMLExport | OptionFlag::CSVExport);
    ASSERT_TRUE(ctx.refresh());
    const QString dataDir = ctx.core.run.DataDir;
    EXPECT_TRUE(QFile::exists(dataDir + u"/data2.xml"_s));
    EXPECT_TRUE(QFile::exists(dataDir + u"/200803-2.csv"_s));
}

TEST_F(RefreshCycleTest, NoExportsUnlessChosen)
{
    ctx.core.settings.OptionFlags &= ~int32_t(OptionFlag::XMLExport | OptionFlag::CSVExport);
    ASSERT_TRUE(ctx.refresh());
    EXPECT_FALSE(QFile::exists(ctx.core.run.DataDir + u"/data.xml"_s));
    EXPECT_FALSE(QFile::exists(ctx.core.run.DataDir + u"/200803.csv"_s));
}

TEST_F(RefreshCycleTest, AMissingUserNameIsAskedForEvenWhenQuiet)
{
    ctx.core.settings.Username.clear();
    ctx.core.settings.OptionFlags |= int32_t(OptionFlag::QuietMode);
    ctx.core.window.onOptionsDialog = [this] { ctx.core.settings.Username = u"fred@quolla.example"_s; };
    ASSERT_TRUE(ctx.refresh());
    ASSERT_EQ(window().messageBoxes.size(), 1);
    EXPECT_EQ(
        window().messageBoxes[0].text,
        u"Login details for this profile haven't been specified yet.\r\nPlease enter them, and try refreshing."_s);
    EXPECT_EQ(window().messageBoxes[0].title, u"Tallymeter"_s);
    EXPECT_EQ(window().messageBoxes[0].icon, BoxIcon::Exclamation);
    EXPECT_LT(window().calls.indexOf(u"restoreMainWindow"_s), window().calls.indexOf(u"showOptionsDialog"_s));
    EXPECT_EQ(window().optionsFocus, OptionsFocus::Username);
    EXPECT_EQ(FakeFeed::pelborne().calls.first().user, u"fred@quolla.example"_s);
}

TEST_F(RefreshCycleTest, NoUserNameEnteredAbortsTheRefresh)
{
    ctx.core.settings.Username.clear();
    EXPECT_FALSE(ctx.refresh());
    EXPECT_TRUE(ctx.logged(u"RefreshData: no logon details specified yet"_s, 6));
    EXPECT_TRUE(ctx.logged(u"RefreshData: no username specified, aborting refresh"_s, 2));
    EXPECT_EQ(window().trayPicture, u"error"_s);
    EXPECT_EQ(window().trayToolTip, u"Tallyroo [unknown]: no username specified"_s);
    EXPECT_EQ(ctx.core.run.NextRefreshDate, now().addMinutes(15));
    EXPECT_TRUE(FakeFeed::pelborne().calls.isEmpty());
    EXPECT_TRUE(FakeFeed::pelborne().cacheExpiredUsers.isEmpty());
}

TEST_F(RefreshCycleTest, APromptedPasswordIsUsed)
{
    ctx.core.settings.OptionFlags |= int32_t(OptionFlag::PwdPrompt);
    ctx.core.settings.Password.clear();
    ctx.core.window.onPasswordDialog = [this] { ctx.core.settings.Password = u"typed"_s; };
    ASSERT_TRUE(ctx.refresh());
    EXPECT_EQ(FakeFeed::pelborne().calls.first().password, u"typed"_s);

    // Nothing entered: the refresh stops before any component is asked.
    FakeFeed::reset();
    ctx.core.settings.Password.clear();
    ctx.core.window.onPasswordDialog = [] {};
    EXPECT_FALSE(ctx.refresh());
    EXPECT_TRUE(ctx.logged(u"RefreshData: no password specified, aborting refresh"_s, 2));
    EXPECT_EQ(window().trayToolTip, u"Tallyroo [fred]: blank username/password\r\nlast refresh: 2008-03-20 10:45:00"_s);
    EXPECT_TRUE(FakeFeed::pelborne().cacheExpiredUsers.isEmpty());
}

TEST_F(RefreshCycleTest, HiddenModeNeverWaitsForAPerson)
{
    // As /H sets them.
    ctx.core.run.CmdLineFlags = CmdLineFlag::Hidden;
    ctx.core.run.CmdLineQuiet = true;
    ctx.core.settings.Username.clear();
    ctx.core.window.onOptionsDialog = [this] { ctx.core.settings.Username = u"fred"_s; };
    EXPECT_FALSE(ctx.refresh());
    EXPECT_TRUE(window().messageBoxes.isEmpty());
    EXPECT_FALSE(window().calls.contains(u"showOptionsDialog"_s));
    EXPECT_FALSE(window().calls.contains(u"restoreMainWindow"_s));
    EXPECT_TRUE(ctx.logged(u"RefreshData: no window to ask for the login details in hidden mode"_s, 1));

    ctx.core.settings.Username = u"fred@quolla.example"_s;
    ctx.core.settings.Password.clear();
    ctx.core.settings.OptionFlags |= int32_t(OptionFlag::PwdPrompt);
    EXPECT_FALSE(ctx.refresh());
    EXPECT_FALSE(window().calls.contains(u"showPasswordDialog"_s));
    EXPECT_TRUE(ctx.logged(u"RefreshData: no window to ask for the password in hidden mode"_s, 1));
}

TEST_F(RefreshCycleTest, AFailingWindowEndsTheRunCleanly)
{
    // The tooltip fails from the first "refreshing data..." on, before any trap that resumes.
    ctx.core.window.failingCall = u"ModifyTrayToolTip"_s;
    ctx.core.run.CurrentMonth.LastUpdate = u"2008-03-20 10:55:00"_s;
    EXPECT_FALSE(ctx.refresh());
    EXPECT_TRUE(ctx.logged(u"Error while refreshing data: [91] Object variable or With block variable not set"_s, 1));
    EXPECT_FALSE(ctx.core.run.RefreshInProgress);
    EXPECT_TRUE(window().refreshControlsEnabled);
    EXPECT_FALSE(window().trayAnimating);
    // Scheduled as after a success.
    EXPECT_EQ(ctx.core.run.NextRefreshDate, now().addMinutes(120));
    EXPECT_TRUE(FakeFeed::pelborne().calls.isEmpty());
}

TEST_F(RefreshCycleTest, AFailingDisplayFailsTheRefreshButNotTheStore)
{
    ctx.core.window.parseArraysResult = false;
    ctx.core.window.parseArraysError = u"ParseArrays: Error parsing qoGlimra data arrays:\r\n[6] Overflow"_s;
    ctx.core.settings.OptionFlags |= int32_t(OptionFlag::CSVExport);
    EXPECT_FALSE(ctx.refresh());
    EXPECT_TRUE(ctx.logged(u"ParseArrays: Error parsing qoGlimra data arrays: [6] Overflow"_s, 1));
    EXPECT_EQ(ctx.storedMonths().size(), 2);
    EXPECT_FALSE(QFile::exists(ctx.core.run.DataDir + u"/200803.csv"_s));
    EXPECT_FALSE(ctx.logged(u"retrieved live data for fred from JSON feed"_s, 2));
}
