// SPDX-License-Identifier: MIT
#include "Dates.h"
#include "JsonRetrievalSupport.h"
#include "RegistryRoutines.h"

#include "../support/ScopedTimeZone.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace JsonRetrievalSupport;

namespace {

LocalDateTime date(int year, int month, int day)
{
    return *LocalDateTime::fromParts(year, month, day);
}

TEST_F(JsonRetrieval, ALiveRetrievalFillsEveryValue)
{
    const ScopedTimeZone sydney("Australia/Sydney");
    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(usage().szLastError(), QString());

    const QList<FakeProvider::Request> requests = provider.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].rawQuery, "_USERNAME=alice%40quolla.example&_PASSWORD=sunshine+42");
    // The login token goes back unchanged, with the home service's token.
    EXPECT_TRUE(requests[1].rawQuery.startsWith("Usage&_TOKEN=alice-")) << requests[1].rawQuery.toStdString();
    EXPECT_TRUE(requests[1].rawQuery.endsWith("&_SERVICE=svc-alice-home"));
    EXPECT_FALSE(requests[1].rawQuery.contains("period"));

    EXPECT_EQ(usage().szProductName(), u"Quolla Home Broadband"_s);
    EXPECT_EQ(usage().szPlanName(), u"Home Value 300GB"_s);
    // The later of the two connections, its UTC start in Sydney's summer time.
    EXPECT_EQ(usage().szIP(), u"203.0.113.87"_s);
    EXPECT_EQ(usage().szLastConnect(), u"2024-03-01 11:30:00"_s);
    EXPECT_EQ(usage().szShapingSpeed(), u"256"_s);
    EXPECT_EQ(usage().sngQuotaPeak(), 150000);
    EXPECT_EQ(usage().sngQuotaOffpeak(), 150000);
    EXPECT_EQ(usage().intPeakShapeStatus(), 0);
    EXPECT_EQ(usage().intOffpeakShapeStatus(), 0);
    EXPECT_EQ(usage().sngUsedPeak(), 72224.828125f);
    EXPECT_EQ(usage().sngUsedOffpeak(), 36058.359375f);
    EXPECT_EQ(usage().sngUsedFreezone(), 11280.0751953125f);
    EXPECT_EQ(usage().sngLeftPeak(), 77775.171875f);
    EXPECT_EQ(usage().sngLeftOffPeak(), 113941.640625f);
    EXPECT_FLOAT_EQ(usage().sngPctPeak(), 48.149887f);
    EXPECT_FLOAT_EQ(usage().sngPctOffPeak(), 24.038906f);
    // Off-peak runs from 02 to 08, so peak starts at 8 and ends at 2.
    EXPECT_EQ(usage().intPeakStart(), 8);
    EXPECT_EQ(usage().intPeakEnd(), 2);
    EXPECT_EQ(usage().arrayDailyHeaders(),
              (DailyHeaders{u"Date"_s, u"Peak"_s, u"Off-peak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s}));
    EXPECT_EQ(usage().arrayTotals(),
              (MonthTotals{0, 72224.828125f, 36058.359375f, 11280.0751953125f, 119563.265625f, 0}));

    const DailyDates dates = usage().arrayDailyDates();
    ASSERT_TRUE(dates);
    ASSERT_EQ(dates->size(), 31);
    EXPECT_EQ(dates->first(), date(2024, 3, 1));
    EXPECT_EQ(dates->last(), date(2024, 3, 31));
    EXPECT_EQ(usage().arrayDailyPeak()->first(), 3343.367919921875f);
    EXPECT_EQ(usage().arrayDailyOffPeak()->first(), 1994.885009765625f);
    EXPECT_EQ(usage().arrayDailyFreezone()->first(), 205.0470428466797f);
    EXPECT_EQ(usage().arrayDailyUploads()->first(), 195.3054656982422f);
    EXPECT_EQ(usage().arrayDailyTotals()->first(), 5543.2998046875f);
    EXPECT_EQ(usage().arrayDailyTotals()->size(), 31);

    EXPECT_EQ(cacheBytes(u"alice-json.txt"_s), aliceMarchReply());
    EXPECT_EQ(usage().szLastUpdate(), fileTime(u"alice-json.txt"_s));
    EXPECT_EQ(readText(pelborneKey(), Alice), usage().szLastUpdate());
}

TEST_F(JsonRetrieval, ALiveRetrievalReportsEachStep)
{
    ASSERT_TRUE(retrieve());
    const int bytes = aliceMarchReply().size();
    EXPECT_EQ(recorder.levelOf(u"querying service list from Quolla"_s), 2);
    EXPECT_EQ(levelOf(u"using username 'alice@quolla.example' for JSON feed"_s), 6);
    EXPECT_EQ(levelOf(u"using JSON feed URL: "_s + provider.baseUrl() +
                      u"/cgi-bin/api.cgi?Usage&_TOKEN=qoTOKEN&_SERVICE=qoSERVICE"_s),
              12);
    EXPECT_EQ(recorder.levelOf(u"fetching daily data from Quolla"_s), 2);
    EXPECT_EQ(levelOf(u"about to call HTTPFetch"_s), 12);
    EXPECT_EQ(levelOf(u"WinHTTP fetch completed successfully for daily data"_s), 6);
    EXPECT_EQ(levelOf(QString::number(bytes) + u" bytes returned"_s), 6);
    EXPECT_EQ(levelOf(u"JSON data successfully loaded"_s), 8);
    EXPECT_EQ(levelOf(u"product name: Quolla Home Broadband"_s), 6);
    EXPECT_EQ(levelOf(u"plan name: Home Value 300GB"_s), 6);
    EXPECT_EQ(levelOf(u"found connection details 1/2: 203.0.113.45 with connect time 2024-02-27 22:14:09"_s), 6);
    EXPECT_EQ(levelOf(u"found connection details 2/2: 203.0.113.87 with connect time 2024-03-01 00:30:00"_s), 6);
    EXPECT_EQ(levelOf(u"current IP address: 203.0.113.87"_s), 6);
    EXPECT_EQ(levelOf(u"anniversary date: 1"_s), 6);
    EXPECT_EQ(levelOf(u"peak name: Peak usage"_s), 6);
    EXPECT_EQ(levelOf(u"peak quota: 150000 MB"_s), 6);
    EXPECT_EQ(levelOf(u"peak shaping status: 0"_s), 6);
    EXPECT_EQ(levelOf(u"offpeak name: Off-peak usage"_s), 6);
    EXPECT_EQ(levelOf(u"offpeak shaping status: false"_s), 6);
    EXPECT_EQ(levelOf(u"freezone name: Freezone usage"_s), 6);
    EXPECT_EQ(levelOf(u"freezone shaping status: false"_s), 6);
    EXPECT_EQ(levelOf(u"uploads name: Uploads"_s), 6);
    EXPECT_EQ(levelOf(u"found offpeak start time in JSON: 02"_s), 6);
    EXPECT_EQ(levelOf(u"found offpeak end time in JSON: 08"_s), 6);
    EXPECT_EQ(levelOf(u"last update time: "_s + usage().szLastUpdate()), 6);
    EXPECT_FALSE(recorder.anyContains(u"shaping speed"_s));
    EXPECT_FALSE(recorder.anyContains(u"sunshine"_s));
    EXPECT_EQ(recorder.texts().last(), u"Pelborne.ParseDailyData: calculating daily averages, durations"_s);
}

TEST_F(JsonRetrieval, ASecondCallWithinTheIntervalReadsTheCacheFile)
{
    ASSERT_TRUE(retrieve());
    const QString lastUpdate = usage().szLastUpdate();
    const float usedPeak = usage().sngUsedPeak();
    provider.clearRequests();
    recorder.clear();

    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_TRUE(fromCache);
    EXPECT_TRUE(provider.requests().isEmpty());
    EXPECT_EQ(levelOf(u"forcing cached read instead of fetch"_s), 6);
    EXPECT_EQ(recorder.levelOf(u"loading data from cached JSON file"_s), 2);
    EXPECT_EQ(usage().szLastUpdate(), lastUpdate);
    EXPECT_EQ(usage().sngUsedPeak(), usedPeak);
    EXPECT_EQ(usage().szIP(), u"203.0.113.87"_s);
    EXPECT_EQ(usage().arrayDailyDates()->size(), 31);

    // A cached read asked for by the caller, on a fresh object.
    PelborneComponent other(u"Pelborne.UsageData"_s, recorder);
    other.usage->szCachePath(cacheFolder);
    bool cached = true;
    ASSERT_TRUE(other.usage->RetrieveData(Alice, AlicePassword, cached));
    EXPECT_TRUE(cached);
    EXPECT_EQ(other.usage->sngUsedPeak(), usedPeak);
    EXPECT_TRUE(provider.requests().isEmpty());
}

TEST_F(JsonRetrieval, TheCacheServesUntil840SecondsHavePassed)
{
    ASSERT_TRUE(retrieve());
    LocalDateTime last;
    QString ignored;
    ASSERT_TRUE(myCDate(readText(pelborneKey(), Alice), last, ignored));
    const auto clock = std::make_shared<FixedClock>(last.addSeconds(839));
    pelborne->setClock(clock);
    provider.clearRequests();

    ASSERT_TRUE(retrieve());
    EXPECT_TRUE(fromCache);
    EXPECT_TRUE(provider.requests().isEmpty());

    clock->set(last.addSeconds(840));
    ASSERT_TRUE(retrieve());
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(usageQueries().size(), 1);
}

TEST_F(JsonRetrieval, AnEarlierMonthUsesItsOwnFileAndNoLastRefreshValue)
{
    provider.setToday(QDate(2024, 4, 15));
    ASSERT_TRUE(retrieveMonth(date(2024, 3, 17))) << usage().szLastErrorDetail().toStdString();
    EXPECT_FALSE(fromCache);
    ASSERT_EQ(usageQueries().size(), 1);
    EXPECT_TRUE(usageQueries()[0].endsWith(u"&_SERVICE=svc-alice-home&period=202403"_s))
        << usageQueries()[0].toStdString();
    EXPECT_EQ(recorder.levelOf(u"fetching historical daily data from Quolla"_s), 2);
    EXPECT_EQ(cacheBytes(u"alice_h-json.txt"_s), aliceMarchReply());
    EXPECT_FALSE(QFile::exists(cacheFile(u"alice-json.txt"_s)));
    EXPECT_EQ(readText(pelborneKey(), Alice), u"(missing)"_s);
    EXPECT_EQ(usage().szLastUpdate(), fileTime(u"alice_h-json.txt"_s));
    EXPECT_EQ(usage().arrayDailyDates()->size(), 31);
    EXPECT_EQ(usage().arrayDailyDates()->last(), date(2024, 3, 31));

    // An earlier month is never turned into a cached read.
    ASSERT_TRUE(retrieveMonth(date(2024, 3, 1)));
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(usageQueries().size(), 2);
}

TEST_F(JsonRetrieval, TheEarlierMonthsFileServesOnlyTheMonthItHolds)
{
    provider.setToday(QDate(2024, 4, 15));
    ASSERT_TRUE(retrieveMonth(date(2024, 3, 17)));
    provider.clearRequests();

    ASSERT_TRUE(retrieveMonth(date(2024, 3, 2), true));
    EXPECT_TRUE(fromCache);
    EXPECT_EQ(usage().arrayDailyDates()->first(), date(2024, 3, 1));

    EXPECT_FALSE(retrieveMonth(date(2024, 2, 10), true));
    EXPECT_EQ(usage().szLastError(), u"Retrieve error: [53] failed to open cache file"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Pelborne.RetrieveData: error loading cache file: "_s + CRLF +
                                               cacheFile(u"alice_h-json.txt"_s) + CRLF +
                                               u"[53] no cached data for the month from 2024-02-01 to 2024-02-29: "
                                               u"the cached days run from 2024-03-01 to 2024-03-31"_s);
    EXPECT_TRUE(provider.requests().isEmpty());
}

TEST_F(JsonRetrieval, ACachedReadWithoutAFileFails)
{
    EXPECT_FALSE(retrieve(Alice, AlicePassword, true));
    EXPECT_TRUE(fromCache);
    EXPECT_EQ(usage().szLastError(), u"Retrieve error: [53] failed to open cache file"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Pelborne.RetrieveData: error loading cache file: "_s + CRLF +
                                               cacheFile(u"alice-json.txt"_s) + CRLF + u"[53] File not found"_s);
    EXPECT_EQ(usage().szLastUpdate(), u"unknown"_s);
    EXPECT_TRUE(provider.requests().isEmpty());
}

TEST_F(JsonRetrieval, MissingCredentialsTouchNothing)
{
    const std::pair<QString, QString> cases[] = {{QString(), AlicePassword}, {Alice, QString()}};
    for (const auto& [user, password] : cases) {
        EXPECT_FALSE(retrieve(user, password, true));
        EXPECT_EQ(usage().szLastError(), u"Retrieval error: username and/or password not specified"_s);
        EXPECT_EQ(usage().szLastErrorDetail(), u"Pelborne.RetrieveData: Retrieval error:"_s + CRLF +
                                                   u"username and/or password not specified, operation aborted"_s);
    }
    EXPECT_TRUE(provider.requests().isEmpty());
    EXPECT_TRUE(recorder.lines().isEmpty());
    EXPECT_TRUE(QDir(cacheFolder).isEmpty());
}

TEST_F(JsonRetrieval, AFileDatedInTheFutureCountsAsNow)
{
    ASSERT_TRUE(retrieve());
    const QString fileDate = fileTime(u"alice-json.txt"_s);
    LocalDateTime written;
    QString ignored;
    ASSERT_TRUE(myCDate(fileDate, written, ignored));
    pelborne->setClock(std::make_shared<FixedClock>(written.addSeconds(-3600)));
    recorder.clear();

    ASSERT_TRUE(retrieve(Alice, AlicePassword, true));
    EXPECT_EQ(usage().szLastUpdate(), written.addSeconds(-3600).toString());
    EXPECT_EQ(levelOf(u"cache file date is in the future: "_s + fileDate + u", resetting to NOW"_s), 2);
    EXPECT_EQ(readText(pelborneKey(), Alice), usage().szLastUpdate());
}

TEST_F(JsonRetrieval, AnotherUserNameOrServiceHasItsOwnFile)
{
    usage().szServiceToRequest(QVariant(u"alice.mobile@quolla.example"_s));
    ASSERT_TRUE(retrieve(u"alice@somewhere.example"_s));
    EXPECT_TRUE(usageQueries().value(0).endsWith(u"&_SERVICE=svc-alice-mobile"_s));
    EXPECT_EQ(usage().szPlanName(), u"Mobile 20GB"_s);
    EXPECT_TRUE(QFile::exists(cacheFile(u"alice-alice.mobile@quolla.example-json.txt"_s)));
    // The last-refresh value is named by the user name as given.
    EXPECT_NE(readText(pelborneKey(), u"alice@somewhere.example"_s), u"(missing)"_s);
    EXPECT_EQ(readText(pelborneKey(), Alice), u"(missing)"_s);
}

} // namespace
