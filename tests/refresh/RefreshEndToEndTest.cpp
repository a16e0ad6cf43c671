// SPDX-License-Identifier: MIT
#include "Dates.h"
#include "FakeProvider.h"
#include "HeadlessWindowSeam.h"
#include "RefreshTestContext.h"
#include "SharedRegistry.h"
#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const LocalDateTime Now = *LocalDateTime::fromParts(2024, 3, 20, 12, 0, 0);
const QString Alice = u"alice"_s;

// Whole refreshes through the real components against the local fake provider, which serves the
// sample account alice (March 2024 from its own file, February from the template).
class RefreshEndToEnd : public ::testing::Test
{
protected:
    RefreshEndToEnd()
    {
        provider.setToday(Now.date());
        EXPECT_TRUE(provider.start());
        CoreTestContext& core = ctx.core;
        core.clock.set(Now);
        core.settings.Username = Alice;
        core.settings.Password = u"sunshine 42"_s;
        core.settings.Timeout = 10;
        core.settings.Interval = 120;
        core.useProvider(provider.baseUrl());
        ctx.openDatabase();
    }

    const RecordingWindowSeam& window() const { return ctx.core.window; }
    QString problems() const { return ctx.logAt(1).join(u'\n') + u'\n' + ctx.logAt(2).join(u'\n'); }
    int usageRequests() const
    {
        int n = 0;
        for (const FakeProvider::Request& request : provider.requests())
            n += request.rawQuery.contains("Usage") || request.path.contains(u"volume_usage"_s) ? 1 : 0;
        return n;
    }
    bool requested(const QString& queryPart) const
    {
        for (const FakeProvider::Request& request : provider.requests()) {
            if (request.rawQuery.contains(queryPart.toUtf8()))
                return true;
        }
        return false;
    }

    RefreshTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    SharedRegistry registry{ctx.core};
    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
};
} // namespace

TEST_F(RefreshEndToEnd, LiveRefreshStoresBackFillsShowsAndExports)
{
    ctx.core.settings.OptionFlags |= int32_t(OptionFlag::XMLExport | OptionFlag::CSVExport);
    ASSERT_TRUE(ctx.refresh()) << problems().toStdString();
    EXPECT_FALSE(ctx.fromcache);

    const qoMonth& month = ctx.core.run.CurrentMonth;
    EXPECT_EQ(month.AnniversaryDate.year(), 2024);
    EXPECT_EQ(month.AnniversaryDate.month(), 3);
    EXPECT_GT(month.TotalPeak, 0);
    EXPECT_GT(month.ElapsedPeak, 0); // the calculations ran

    // Stored, with the previous month back-filled from the provider.
    const QStringList stored = ctx.storedMonths();
    ASSERT_EQ(stored.size(), 2) << stored.join(u' ').toStdString();
    EXPECT_TRUE(stored[0].startsWith(u"2024-02"_s)) << stored[0].toStdString();
    EXPECT_TRUE(stored[1].startsWith(month.AnniversaryDate.toDateString())) << stored[1].toStdString();
    EXPECT_TRUE(requested(u"period=202402"_s));
    EXPECT_TRUE(ctx.logged(u"successfully back-filled historical data for previous month"_s, 2));

    // Exports.
    EXPECT_TRUE(QFile::exists(ctx.core.run.DataDir + u"/data.xml"_s));
    EXPECT_TRUE(
        QFile::exists(ctx.core.run.DataDir + u"/"_s + month.AnniversaryDate.date().toString(u"yyyyMM"_s) + u".csv"_s));

    // Tray, schedule and the final status.
    const QString tooltip = window().trayToolTip;
    EXPECT_TRUE(tooltip.startsWith(u"Tallyroo [alice]: "_s + month.DailyHeaders[1].toLower() + u": "_s))
        << tooltip.toStdString();
    EXPECT_TRUE(tooltip.contains(u" MB ("_s)) << tooltip.toStdString();
    EXPECT_TRUE(tooltip.endsWith(u"\r\nlast refresh: "_s + month.LastUpdate)) << tooltip.toStdString();
    EXPECT_EQ(window().trayPicture, MonthDisplay::TrayPictureKey(month));
    EXPECT_NE(window().trayPicture, u"error"_s);
    EXPECT_EQ(ctx.core.run.NextRefreshDate, Now.addMinutes(120));
    EXPECT_EQ(window().statusToolTip, u"auto refresh in 120 minutes"_s);
    EXPECT_TRUE(ctx.logged(u"retrieved live data for alice from JSON feed"_s, 2));
    EXPECT_FALSE(ctx.core.run.RefreshInProgress);
    EXPECT_FALSE(ctx.cycle.components().hasJSON());
}

TEST_F(RefreshEndToEnd, ARequestWithin840SecondsIsACachedReadThatSchedulesNothing)
{
    ASSERT_TRUE(ctx.refresh()) << problems().toStdString();
    const QString storedBefore = ctx.storedMonths().join(u' ');
    ctx.core.clock.advanceSeconds(839);
    const LocalDateTime scheduled = Now.addMinutes(7);
    ctx.core.run.NextRefreshDate = scheduled;
    provider.clearRequests();

    ASSERT_TRUE(ctx.refresh(false)) << problems().toStdString();
    EXPECT_TRUE(ctx.fromcache);
    EXPECT_TRUE(provider.requests().isEmpty());
    EXPECT_EQ(ctx.core.run.NextRefreshDate, scheduled);
    // The database holds the same last update as the component: it wins the tie.
    EXPECT_TRUE(ctx.logged(u"retrieved cached data for alice from database"_s, 2));
    EXPECT_EQ(ctx.storedMonths().join(u' '), storedBefore);
}

TEST_F(RefreshEndToEnd, WithoutHistoryTheComponentServesItsCache)
{
    ctx.core.settings.OptionFlags &= ~int32_t(OptionFlag::History);
    ASSERT_TRUE(ctx.refresh()) << problems().toStdString();
    const float total = ctx.core.run.CurrentMonth.TotalPeak;
    ctx.core.clock.advanceSeconds(600);
    provider.clearRequests();
    ctx.core.run.CurrentMonth = qoMonth();

    ASSERT_TRUE(ctx.refresh(false)) << problems().toStdString();
    EXPECT_TRUE(ctx.fromcache);
    EXPECT_EQ(usageRequests(), 0);
    EXPECT_EQ(ctx.core.run.CurrentMonth.TotalPeak, total);
    EXPECT_TRUE(ctx.logged(u"retrieved cached data for alice from cached XML JSON file"_s, 2));

    // Once the cache lifetime after the recorded fetch is over, the provider is asked again.
    LocalDateTime recorded;
    QString szErr;
    ASSERT_TRUE(myCDate(ctx.core.text(u"Software\\Pelborne\\Config"_s, Alice).value_or(QString()), recorded, szErr));
    ctx.core.clock.set(recorded.addSeconds(840));
    ASSERT_TRUE(ctx.refresh(false)) << problems().toStdString();
    EXPECT_FALSE(ctx.fromcache);
    EXPECT_GT(usageRequests(), 0);
}

TEST_F(RefreshEndToEnd, ADatabaseNewerThanTheComponentCacheIsReadNotStored)
{
    ASSERT_TRUE(ctx.refresh()) << problems().toStdString();
    const QStringList storedBefore = ctx.storedMonths();
    // The component's own record of its last fetch is older than what the database holds.
    ctx.setComponentDate(u"Pelborne"_s, Alice, Now.addMinutes(-30).toString());
    ctx.core.run.CurrentMonth = qoMonth();
    provider.clearRequests();

    ASSERT_TRUE(ctx.refresh(true)) << problems().toStdString();
    EXPECT_TRUE(ctx.logged(u"retrieved cached data for alice from database"_s, 2));
    EXPECT_TRUE(ctx.logged(u"RefreshData: not writing data to database, as it was retrieved from database!"_s, 6));
    EXPECT_EQ(ctx.storedMonths(), storedBefore);
    EXPECT_TRUE(provider.requests().isEmpty());
    EXPECT_GT(ctx.core.run.CurrentMonth.TotalPeak, 0);
}

TEST_F(RefreshEndToEnd, AFailedFetchShowsTheErrorAndRetriesIn15Minutes)
{
    ctx.core.settings.Username = u"overloaded"_s;
    ctx.openDatabase();
    EXPECT_FALSE(ctx.refresh());
    EXPECT_EQ(window().trayPicture, u"error"_s);
    const QString tooltip = window().trayToolTip;
    ASSERT_TRUE(tooltip.startsWith(u"Tallyroo [overloaded]: "_s)) << tooltip.toStdString();
    const QString error = tooltip.mid(QStringLiteral("Tallyroo [overloaded]: ").size());
    EXPECT_FALSE(error.isEmpty());
    // The short error is logged at 2 and so is the status line.
    EXPECT_TRUE(ctx.logged(error, 2)) << error.toStdString();
    EXPECT_TRUE(window().statusText.endsWith(error)) << window().statusText.toStdString();
    EXPECT_TRUE(ctx.logged(u"RefreshData: fetch failed, will attempt again in 15 minutes"_s, 6));
    EXPECT_EQ(ctx.core.run.NextRefreshDate, Now.addMinutes(15));
    EXPECT_TRUE(ctx.storedMonths().isEmpty());
}

TEST_F(RefreshEndToEnd, TheXmlFeedGivesTheSameMonth)
{
    ASSERT_TRUE(ctx.refresh()) << problems().toStdString();
    const qoMonth fromJson = ctx.core.run.CurrentMonth;

    ctx.core.settings.UseJSONFeed = false;
    ctx.core.run.CurrentMonth = qoMonth();
    ASSERT_TRUE(ctx.refresh()) << problems().toStdString();
    EXPECT_FALSE(ctx.fromcache); // Sarnick keeps its own fetch time
    const qoMonth& fromXml = ctx.core.run.CurrentMonth;
    EXPECT_TRUE(ctx.logged(u"retrieved live data for alice from XML feed"_s, 2));
    EXPECT_FALSE(ctx.cycle.components().hasXML());
    EXPECT_EQ(fromXml.AnniversaryDate, fromJson.AnniversaryDate);
    EXPECT_EQ(fromXml.DailyDates, fromJson.DailyDates);
    EXPECT_NEAR(fromXml.TotalPeak, fromJson.TotalPeak, 1);
    EXPECT_NEAR(fromXml.TotalOffpeak, fromJson.TotalOffpeak, 1);
    EXPECT_EQ(fromXml.PeakQuota, fromJson.PeakQuota);
    EXPECT_EQ(fromXml.IP, fromJson.IP);
}

TEST(RefreshWithoutWindow, TheRunOnceModeRefreshesWithNoWindowAtAll)
{
    FakeProvider provider(QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s);
    provider.setToday(Now.date());
    ASSERT_TRUE(provider.start());

    CoreTestContext core(u"RunOnce"_s);
    SharedRegistry registry(core);
    core.clock.set(Now);
    core.settings.Username = Alice;
    core.settings.Password = u"sunshine 42"_s;
    core.settings.Timeout = 10;
    core.run.CmdLineFlags = CmdLineFlag::Hidden;
    core.run.CmdLineQuiet = true;
    core.useProvider(provider.baseUrl());

    QStringList standardError;
    HeadlessWindowSeam seam([&](const QString& text) { standardError.append(text); });
    LogFrontEnd log(core.app, core.registry, core.settings, core.run, seam, core.clock, core.writer);
    modSQL history(core.app, core.settings, core.run, log);
    MainRoutines mainRoutines(core.app, core.settings, core.run, seam, log, history.storedMonthsReader());
    RefreshCycle cycle(core.app, core.settings, core.run, seam, log, core.registry, core.clock, history, mainRoutines);
    QString error;
    ASSERT_TRUE(history.CheckSQLDatabase(error)) << error.toStdString();

    bool fromcache = false;
    ASSERT_TRUE(cycle.RefreshData(fromcache, true, false)) << standardError.join(u'\n').toStdString();
    EXPECT_TRUE(standardError.last().endsWith(u" - retrieved live data for alice from JSON feed"_s))
        << standardError.join(u'\n').toStdString();
    EXPECT_TRUE(seam.trayToolTip().startsWith(u"Tallyroo [alice]: "_s));
    EXPECT_FALSE(core.run.CurrentMonth.DailyDates.isEmpty());
}

TEST_F(RefreshEndToEnd, DaysListedOutOfOrderAreKeptInDateOrder)
{
    // The account's reply lists 3, 1 and 2 March.
    ctx.core.settings.Username = u"flags"_s;
    ctx.core.settings.Password = u"flags-pass"_s;
    ctx.core.settings.OptionFlags |= int32_t(OptionFlag::CSVExport);
    ASSERT_TRUE(ctx.refresh()) << problems().toStdString();

    const qoMonth& month = ctx.core.run.CurrentMonth;
    EXPECT_EQ(month.AnniversaryDate, *LocalDateTime::fromParts(2024, 3, 1, 0, 0, 0));
    ASSERT_EQ(month.DailyDates.size(), 3);
    for (int day = 0; day < 3; ++day)
        EXPECT_EQ(month.DailyDates[day].date().day(), day + 1);
    EXPECT_EQ(month.DailyPeak, QList<float>({1, 2, 0}));
    EXPECT_EQ(month.DailyOffpeak, QList<float>({0, 0.5f, 3}));
    EXPECT_EQ(month.DailyTotals, QList<float>({1, 2.75f, 3}));
    const QString stored = ctx.storedMonths().join(u' ');
    EXPECT_TRUE(stored.startsWith(u"2024-03-01|"_s)) << stored.toStdString();
    const QByteArray csv = TestEnvironment::readFile(ctx.core.run.DataDir + u"/202403.csv"_s);
    EXPECT_LT(csv.indexOf("2024-03-01"), csv.indexOf("2024-03-03")) << csv.constData();
}
