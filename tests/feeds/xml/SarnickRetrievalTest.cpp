// SPDX-License-Identifier: MIT
#include "../support/ScopedTimeZone.h"
#include "Dates.h"
#include "MonthDescription.h"
#include "MonthXmlRenderer.h"
#include "SarnickRetrievalSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace SarnickRetrievalSupport;

namespace {

const QString FeedTemplate = u"/cgi-bin/new/volume_usage_xml.cgi?username=qoUID&action=login&password=qoPWD"_s;

// The feed document the provider sends for the sample account's March 2024.
QByteArray aliceMarchFeed()
{
    QString error;
    const std::optional<MonthDescription> month = MonthDescription::fromJson(
        fixture(u"accounts/alice/usage-202403.json"_s), QDate(2024, 3, 1), QDate(2024, 3, 31), &error);
    return month ? MonthXmlRenderer::usage(*month) : QByteArray();
}

// Every property of the sample account's March 2024, whichever way it was read.
void expectAliceMarch(Sarnick::_UsageData& usage)
{
    EXPECT_EQ(usage.szProductName(), u"Quolla Home Broadband"_s);
    EXPECT_EQ(usage.szPlanName(), u"Home Value 300GB"_s);
    EXPECT_EQ(usage.szIP(), u"203.0.113.87"_s);
    // 00:30 UTC on 1 March is 11:30 in Sydney's summer time.
    EXPECT_EQ(usage.szLastConnect(), u"2024-03-01 11:30:00"_s);
    EXPECT_EQ(usage.intAnniversaryDate(), 1);
    EXPECT_EQ(usage.szShapingSpeed(), u"256"_s);
    EXPECT_EQ(usage.sngQuotaPeak(), 150000.0f);
    EXPECT_EQ(usage.sngQuotaOffpeak(), 150000.0f);
    EXPECT_EQ(usage.intPeakShapeStatus(), 0);
    EXPECT_EQ(usage.intOffpeakShapeStatus(), 0);
    EXPECT_EQ(usage.intPeakEnd(), 2);
    EXPECT_EQ(usage.intPeakStart(), 8);
    EXPECT_EQ(usage.boolUnlimited(), 0.0f);
    EXPECT_EQ(usage.arrayDailyHeaders(), (DailyHeaders{u"Date"_s, u"Peak usage"_s, u"Off-peak usage"_s,
                                                       u"Freezone usage"_s, u"Total"_s, u"Uploads"_s}));

    ASSERT_TRUE(usage.arrayDailyDates());
    ASSERT_EQ(usage.arrayDailyDates()->size(), 31);
    EXPECT_EQ(usage.arrayDailyDates()->first(), *LocalDateTime::fromParts(2024, 3, 1));
    EXPECT_EQ(usage.arrayDailyDates()->last(), *LocalDateTime::fromParts(2024, 3, 31));
    // Day 1: 3343367824, 1994885001, 205047042 and 195305474 bytes.
    EXPECT_FLOAT_EQ(usage.arrayDailyPeak()->first(), 3343.367824f);
    EXPECT_FLOAT_EQ(usage.arrayDailyOffPeak()->first(), 1994.885001f);
    EXPECT_FLOAT_EQ(usage.arrayDailyFreezone()->first(), 205.047042f);
    EXPECT_FLOAT_EQ(usage.arrayDailyUploads()->first(), 195.305474f);
    EXPECT_FLOAT_EQ(usage.arrayDailyTotals()->first(), 3343.367824f + 1994.885001f + 205.047042f);
    EXPECT_EQ(usage.arrayDailyUploads()->size(), 31);

    // The month's sums of the per-day megabytes.
    EXPECT_FLOAT_EQ(usage.sngUsedPeak(), 72224.828f);
    EXPECT_FLOAT_EQ(usage.sngUsedOffpeak(), 36058.359f);
    EXPECT_FLOAT_EQ(usage.sngUsedFreezone(), 11280.075f);
    EXPECT_FLOAT_EQ(usage.sngLeftPeak(), 150000.0f - 72224.828f);
    EXPECT_FLOAT_EQ(usage.sngLeftOffPeak(), 150000.0f - 36058.359f);
    EXPECT_FLOAT_EQ(usage.sngPctPeak(), 72224.828f / 1500.0f);
    EXPECT_FLOAT_EQ(usage.sngPctOffPeak(), 36058.359f / 1500.0f);
    const MonthTotals totals = usage.arrayTotals();
    EXPECT_EQ(totals[0], 0.0f);
    EXPECT_FLOAT_EQ(totals[4], 72224.828f + 36058.359f + 11280.075f);
    EXPECT_EQ(totals[5], 0.0f);
}

class SarnickLiveRetrieval : public SarnickRetrieval
{
protected:
    const ScopedTimeZone zone{"Australia/Sydney"};
};

TEST_F(SarnickLiveRetrieval, FetchesTheMonthCachesTheExactReplyAndRecordsItsTime)
{
    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(usage().szLastError(), QString());
    EXPECT_EQ(usage().szLastErrorDetail(), QString());
    // The domain appended, the password encoded, the template left as it was.
    EXPECT_EQ(feedQueries(), QStringList{u"username=alice%40quolla.example&action=login&password=sunshine+42"_s});
    EXPECT_EQ(usage().szLoginURL(), provider.baseUrl() + FeedTemplate);
    expectAliceMarch(usage());

    EXPECT_EQ(cacheBytes(u"alice.xml"_s), aliceMarchFeed());
    EXPECT_EQ(cacheFolderFiles(), QStringList{u"alice.xml"_s});
    LocalDateTime fileTime;
    ASSERT_TRUE(FileDate(cacheFile(u"alice.xml"_s), fileTime));
    EXPECT_EQ(usage().szLastUpdate(), fileTime.toString());
    EXPECT_EQ(readText(sarnickKey(), Alice), usage().szLastUpdate());
}

TEST_F(SarnickLiveRetrieval, ReportsEveryStepAndRelaysTheTransportsLines)
{
    ASSERT_TRUE(retrieve());
    EXPECT_EQ(recorder.levelOf(u"fetching daily data from Quolla"_s), 2);
    EXPECT_EQ(levelOf(u"appending domain name for Quolla to username for XML feed authentication"_s), 6);
    EXPECT_EQ(levelOf(u"using username 'alice@quolla.example' for XML feed"_s), 6);
    EXPECT_EQ(levelOf(u"using XML feed URL: "_s + provider.baseUrl() + FeedTemplate), 12);
    EXPECT_EQ(recorder.levelOf(u"URLEncode: encoding 11 char string"_s), 12);
    EXPECT_EQ(levelOf(u"fetch timeout is 10 seconds"_s), 6);
    EXPECT_EQ(levelOf(u"calling WinHTTP..."_s), 6);
    EXPECT_EQ(levelOf(u"no proxy server is configured"_s), 6);
    EXPECT_EQ(levelOf(u"about to call HTTPFetch"_s), 12);
    EXPECT_EQ(recorder.levelOf(u"clsWinHTTP: class initialising"_s), 12);
    EXPECT_EQ(recorder.levelOf(u"HTTPFetch: fetch completed successfully"_s), 12);
    EXPECT_EQ(levelOf(u"WinHTTP fetch completed successfully for daily data"_s), 6);
    EXPECT_EQ(levelOf(QString::number(aliceMarchFeed().size()) + u" bytes returned"_s), 6);
    EXPECT_EQ(levelOf(u"loading XML from cache file: "_s + cacheFile(u"alice.xml"_s)), 6);
    EXPECT_EQ(levelOf(u"XML cache file loaded"_s), 8);
    EXPECT_EQ(levelOf(u"product name: Quolla Home Broadband"_s), 6);
    EXPECT_EQ(levelOf(u"found connection details 1/2: 203.0.113.45 with connect time 2024-02-27 22:14:09"_s), 6);
    EXPECT_EQ(levelOf(u"current IP address: 203.0.113.87"_s), 6);
    EXPECT_EQ(levelOf(u"last connect time: 2024-03-01 11:30:00"_s), 6);
    EXPECT_EQ(levelOf(u"anniversary date: 1"_s), 6);
    EXPECT_EQ(levelOf(u"peak quota: 150000 MB"_s), 6);
    EXPECT_EQ(levelOf(u"peak shaping status: false"_s), 6);
    EXPECT_EQ(levelOf(u"offpeak name: Off-peak usage"_s), 6);
    EXPECT_EQ(levelOf(u"freezone shaping status: false"_s), 6);
    EXPECT_EQ(levelOf(u"uploads name: Uploads"_s), 6);
    EXPECT_EQ(levelOf(u"found offpeak start time in XML: 02"_s), 6);
    EXPECT_EQ(levelOf(u"found offpeak end time in XML: 08"_s), 6);
    EXPECT_EQ(levelOf(u"last update time: "_s + usage().szLastUpdate()), 6);
    EXPECT_EQ(recorder.levelOf(u"Sarnick.ParseDailyData: calculating daily totals"_s), 6);
    // Not shaped: no speed line; the password never shows.
    EXPECT_FALSE(recorder.anyContains(u"shaping speed"_s));
    EXPECT_FALSE(recorder.anyContains(u"sunshine"_s));
    EXPECT_TRUE(recorder.texts().indexOf(u"Sarnick.RetrieveData: calling WinHTTP..."_s) <
                recorder.texts().indexOf(u"Sarnick.RetrieveData: XML cache file loaded"_s));
}

TEST_F(SarnickLiveRetrieval, TheMsxmlTransportAndAProxyFetchTheSameMonth)
{
    writeNumber(sarnickKey(), u"UseMSXML"_s, 1);
    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(levelOf(u"found UseMSXML registry setting (1), and forcing use of MSXML"_s), 6);
    EXPECT_EQ(levelOf(u"calling MSXML..."_s), 6);
    EXPECT_EQ(levelOf(u"MSXML fetch completed successfully for daily data"_s), 6);
    EXPECT_FALSE(raised(u"calling WinHTTP..."_s));
    expectAliceMarch(usage());
    EXPECT_EQ(cacheBytes(u"alice.xml"_s), aliceMarchFeed());

    // The fake provider doubles as a proxy: the request then arrives in absolute form.
    writeNumber(sarnickKey(), u"UseMSXML"_s, 0);
    provider.clearRequests();
    clock->advanceSeconds(900);
    const QString proxy = u"127.0.0.1:"_s + QString::number(provider.port());
    fromCache = false;
    ASSERT_TRUE(usage().RetrieveData(Alice, AlicePassword, fromCache, proxy, u"proxyuser"_s, u"proxypass"_s));
    EXPECT_EQ(levelOf(u"using proxy server: "_s + proxy), 6);
    EXPECT_EQ(levelOf(u"using proxy username: proxyuser"_s), 6);
    EXPECT_FALSE(recorder.anyContains(u"proxypass"_s));
    ASSERT_EQ(provider.requests().size(), 1);
    EXPECT_TRUE(provider.requests().first().absoluteForm);
    expectAliceMarch(usage());
}

TEST_F(SarnickLiveRetrieval, WithinTheIntervalTheCacheServesWithoutARequest)
{
    ASSERT_TRUE(retrieve());
    const QString firstUpdate = usage().szLastUpdate();
    LocalDateTime fetched;
    QString ignored;
    ASSERT_TRUE(myCDate(firstUpdate, fetched, ignored));
    provider.clearRequests();
    clock->set(fetched.addSeconds(839));
    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_TRUE(fromCache);
    EXPECT_TRUE(provider.requests().isEmpty());
    EXPECT_EQ(levelOf(u"forcing cached read instead of fetch"_s), 6);
    EXPECT_EQ(recorder.levelOf(u"loading data from cached XML file"_s), 2);
    EXPECT_FALSE(recorder.anyContains(u"fetching daily data"_s));
    expectAliceMarch(usage());
    EXPECT_EQ(usage().szLastUpdate(), firstUpdate);
    EXPECT_EQ(readText(sarnickKey(), Alice), firstUpdate);

    // Once the interval has passed the next call fetches again.
    clock->advanceSeconds(1);
    ASSERT_TRUE(retrieve());
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(feedQueries().size(), 1);
}

TEST_F(SarnickLiveRetrieval, TwoPasswordPlaceholdersGetThePasswordInTheFirstOnly)
{
    const QString twoPasswords = provider.baseUrl() + FeedTemplate + u"&again=QOPWD&user=qouid"_s;
    usage().szLoginURL(twoPasswords);
    ASSERT_TRUE(retrieve(u"Alice@Elsewhere.example"_s)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(feedQueries(), QStringList{u"username=Alice%40Elsewhere.example&action=login&password=sunshine+42"
                                         u"&again=QOPWD&user=Alice%40Elsewhere.example"_s});
    EXPECT_EQ(usage().szLoginURL(), twoPasswords);
    // A name with a domain is sent as it is, and its cache file is named without the domain.
    EXPECT_FALSE(raised(u"appending domain name for Quolla to username for XML feed authentication"_s));
    EXPECT_EQ(cacheFolderFiles(), QStringList{u"Alice.xml"_s});
    EXPECT_EQ(readText(sarnickKey(), u"Alice@Elsewhere.example"_s), usage().szLastUpdate());

    // A blank template falls back to the default one.
    usage().szLoginURL(QString());
    clock->advanceSeconds(900);
    ASSERT_TRUE(retrieve());
    EXPECT_EQ(levelOf(u"blank URL passed in, reverting to default URL"_s), 6);
    EXPECT_EQ(usage().szLoginURL(), provider.baseUrl() + FeedTemplate);
}

TEST_F(SarnickLiveRetrieval, UnknownBrandsAndDappleCompleteTheUserNameTheirWay)
{
    usage().szAccountName(u"DAPPLE"_s);
    ASSERT_TRUE(retrieve());
    EXPECT_EQ(feedQueries().last(), u"username=alice%40dapple.example&action=login&password=sunshine+42"_s);
    EXPECT_EQ(recorder.levelOf(u"fetching daily data from DAPPLE"_s), 2);

    usage().szAccountName(u"Nowhere"_s);
    clock->advanceSeconds(900);
    ASSERT_TRUE(retrieve());
    EXPECT_EQ(feedQueries().last(), u"username=alice&action=login&password=sunshine+42"_s);
    EXPECT_EQ(levelOf(u"unknown account type [Nowhere], no domain name to append"_s), 3);
}

TEST_F(SarnickLiveRetrieval, AnEarlierMonthHasAFileOfItsOwnAndLeavesTheLastRefreshAlone)
{
    const LocalDateTime february = *LocalDateTime::fromParts(2024, 2, 15);
    ASSERT_TRUE(retrieveMonth(february)) << usage().szLastErrorDetail().toStdString();
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(feedQueries(), QStringList{u"username=alice%40quolla.example&action=login&password=sunshine+42"
                                         u"&period=202402"_s});
    EXPECT_EQ(recorder.levelOf(u"fetching historical daily data from Quolla"_s), 2);
    EXPECT_EQ(usage().arrayDailyDates()->size(), 29);
    EXPECT_EQ(usage().arrayDailyDates()->first(), *LocalDateTime::fromParts(2024, 2, 1));
    EXPECT_EQ(cacheFolderFiles(), QStringList{u"alice_h.xml"_s});
    EXPECT_EQ(readText(sarnickKey(), Alice), u"(missing)"_s);
    EXPECT_EQ(usage().szLoginURL(), provider.baseUrl() + FeedTemplate);

    // Read back from the cache for the same month, but not for another one.
    provider.clearRequests();
    ASSERT_TRUE(retrieveMonth(*LocalDateTime::fromParts(2024, 2, 1), true));
    EXPECT_TRUE(fromCache);
    EXPECT_EQ(usage().arrayDailyDates()->size(), 29);
    EXPECT_FALSE(retrieveMonth(*LocalDateTime::fromParts(2024, 1, 20), true));
    EXPECT_EQ(usage().szLastError(), u"Retrieve error: [53] failed to open cache file"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Sarnick.RetrieveData: error loading cache file: "_s + CRLF +
                                               cacheFile(u"alice_h.xml"_s) + CRLF +
                                               u"[53] no cached data for the month from 2024-01-01 to 2024-01-31: "
                                               u"the cached days run from 2024-02-01 to 2024-02-29"_s);
    EXPECT_TRUE(provider.requests().isEmpty());
    EXPECT_EQ(readText(sarnickKey(), Alice), u"(missing)"_s);
}

TEST_F(SarnickLiveRetrieval, ALatin1FeedKeepsItsBytesAndItsNames)
{
    const QByteArray latin1 = fixture(u"replies/xml-latin1.xml"_s);
    ASSERT_FALSE(latin1.isEmpty());
    provider.addRule(feedReply(latin1, 200, "text/xml"));
    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(cacheBytes(u"alice.xml"_s), latin1);
    for (bool cached : {false, true}) {
        EXPECT_EQ(usage().szProductName(), u"Quolla B\u00fcndel Caf\u00e9"_s) << cached;
        EXPECT_EQ(usage().szPlanName(), u"Familie Gro\u00dfe Tr\u00e4ume 200GB"_s);
        EXPECT_EQ(usage().arrayDailyHeaders()[1], u"Jederzeit Kontingent"_s);
        EXPECT_EQ(usage().arrayDailyHeaders()[5], u"Uploads"_s);
        EXPECT_FLOAT_EQ(usage().sngUsedPeak(), 3750.0f);
        EXPECT_FLOAT_EQ(usage().arrayDailyUploads()->last(), 250.0f);
        // An anytime plan: no off-peak class, so the default hours.
        EXPECT_EQ(usage().intPeakEnd(), 2);
        EXPECT_EQ(usage().intPeakStart(), 12);
        ASSERT_TRUE(retrieve(Alice, AlicePassword, true));
    }
    EXPECT_TRUE(fromCache);

    // The other transport hands over the same bytes.
    writeNumber(sarnickKey(), u"UseMSXML"_s, 1);
    SaveFileBytes(cacheFile(u"alice.xml"_s), "stale");
    clock->advanceSeconds(900);
    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(levelOf(u"calling MSXML..."_s), 6);
    EXPECT_EQ(cacheBytes(u"alice.xml"_s), latin1);
    EXPECT_EQ(usage().szPlanName(), u"Familie Gro\u00dfe Tr\u00e4ume 200GB"_s);
}

TEST_F(SarnickLiveRetrieval, ACacheFileDatedAheadOfTheClockCountsAsNow)
{
    ASSERT_TRUE(retrieve());
    clock->set(*LocalDateTime::fromParts(2024, 3, 31, 18, 0, 0));
    ASSERT_TRUE(retrieve(Alice, AlicePassword, true));
    LocalDateTime fileTime;
    ASSERT_TRUE(FileDate(cacheFile(u"alice.xml"_s), fileTime));
    EXPECT_EQ(levelOf(u"cache file date is in the future: "_s + fileTime.toString() + u", resetting to NOW"_s), 2);
    EXPECT_EQ(usage().szLastUpdate(), u"2024-03-31 18:00:00"_s);
    EXPECT_EQ(readText(sarnickKey(), Alice), u"2024-03-31 18:00:00"_s);
}

TEST_F(SarnickLiveRetrieval, OtherAccountShapesOfTheProvider)
{
    // An anytime plan that is shaped, with its speed.
    ASSERT_TRUE(retrieve(u"anytime"_s, u"anytime-pass"_s)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(usage().intPeakShapeStatus(), 1);
    EXPECT_FALSE(usage().szShapingSpeed().isEmpty());
    EXPECT_EQ(levelOf(u"peak shaping speed:  "_s + usage().szShapingSpeed()), 6);
    EXPECT_EQ(usage().sngQuotaOffpeak(), 0.0f);
    EXPECT_EQ(levelOf(u"skipping check for offpeak start time"_s), 6);

    ASSERT_TRUE(retrieve(u"nooffpeak"_s, u"nooffpeak-pass"_s)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(usage().intPeakEnd(), 2);
    EXPECT_EQ(usage().intPeakStart(), 12);
    EXPECT_EQ(levelOf(u"using default offpeak start time: 02:00"_s), 6);
    EXPECT_EQ(levelOf(u"using default offpeak end time: 12:00"_s), 6);
    EXPECT_EQ(cacheFolderFiles(), (QStringList{u"anytime.xml"_s, u"nooffpeak.xml"_s}));
}

} // namespace
