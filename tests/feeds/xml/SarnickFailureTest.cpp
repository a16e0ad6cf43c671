// SPDX-License-Identifier: MIT
#include "SarnickRetrievalSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace SarnickRetrievalSupport;

namespace {

const QString Website = u"Sarnick.RetrieveData: error retrieving data from website:\r\n"_s;

struct FailureCase
{
    QByteArray body;
    int status;
    QString szLastError;
    QString szLastErrorDetail;
    QString statusLine; // a line the failure raises besides the transport's; empty for none
};

// Every failure starts from a good month in the cache and must leave it, and the last refresh,
// as they were.
class SarnickFailures : public SarnickRetrieval
{
protected:
    void SetUp() override
    {
        SarnickRetrieval::SetUp();
        ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
        goodCache = cacheBytes(u"alice.xml"_s);
        lastRefresh = readText(sarnickKey(), Alice);
    }

    void expectFailure(const FailureCase& expected)
    {
        provider.clearRules();
        provider.addRule(feedReply(expected.body, expected.status));
        clock->advanceSeconds(900);
        EXPECT_FALSE(retrieve()) << expected.body.left(60).toStdString();
        EXPECT_FALSE(fromCache);
        EXPECT_EQ(usage().szLastError(), expected.szLastError);
        EXPECT_EQ(usage().szLastErrorDetail(), expected.szLastErrorDetail);
        if (!expected.statusLine.isEmpty()) {
            EXPECT_TRUE(recorder.texts().contains(expected.statusLine)) << expected.statusLine.toStdString();
        }
        const QString described = u"error description found in XML"_s;
        EXPECT_EQ(recorder.anyContains(described), expected.statusLine.contains(described));
        EXPECT_EQ(cacheBytes(u"alice.xml"_s), goodCache);
        EXPECT_EQ(cacheFolderFiles(), QStringList{u"alice.xml"_s});
        EXPECT_EQ(readText(sarnickKey(), Alice), lastRefresh);
    }

    QByteArray goodCache;
    QString lastRefresh;
};

TEST_F(SarnickFailures, PagesThatAreNoFeedFailWithTheirOwnTexts)
{
    const FailureCase cases[] = {
        {fixture(u"replies/short.txt"_s),
         200,
         u"Error retrieving data: empty response"_s,
         Website + u"empty response received from Quolla"_s,
         {}},
        {"123456789",
         200,
         u"Error retrieving data: empty response"_s,
         Website + u"empty response received from Quolla"_s,
         {}},
        {fixture(u"replies/denied.html"_s),
         200,
         u"Error retrieving data: XML request denied"_s,
         Website + u"XML request denied"_s,
         {}},
        {fixture(u"replies/denied-upper.html"_s),
         200,
         u"Error retrieving data: XML request denied"_s,
         Website + u"XML request denied"_s,
         {}},
        {fixture(u"replies/meta-refresh.html"_s),
         200,
         u"Error retrieving data: XML feed is broken"_s,
         Website + u"XML feed is broken because toolbox is overloaded"_s,
         {}},
        // The message starts right after the tag's line break and keeps its first letter.
        {fixture(u"replies/maintenance.html"_s),
         200,
         u"Error retrieving data: toolbox is down for a routine check up"_s,
         Website + u"Quolla said: \"We are currently giving the toolbox a routine check up."_s + CRLF +
             u"    It will be back within the hour, thank you for your patience.\""_s,
         {}},
    };
    for (const FailureCase& failure : cases)
        expectFailure(failure);
}

TEST_F(SarnickFailures, TheFeedsErrorElementNamesTheCause)
{
    const QString overloaded = u"We are sorry, but there are a large number of customers attempting to use the "
                               u"toolbox at the moment. The toolbox is temporarily unavailable. Please try again in "
                               u"a few minutes."_s;
    const QString noData = u"Sorry, no data was found for your account for the period requested."_s;
    const QString maintenance =
        u"We are currently giving the toolbox a routine check up. Please come back in an hour or so."_s;
    const QString found = u"Sarnick.RetrieveData: error description found in XML: "_s;
    const FailureCase cases[] = {
        {fixture(u"replies/xml-error-overloaded.xml"_s), 200,
         u"Error retrieving data: toolbox overloaded, try again later"_s,
         Website + u"the toolbox server is overloaded, please try again later"_s, found + overloaded},
        {fixture(u"replies/xml-error-nodata.xml"_s), 200, u"Error retrieving data: no data found for your account"_s,
         Website + u"no data found for your account"_s, found + noData},
        {fixture(u"replies/xml-error-maintenance.xml"_s), 200,
         u"Error retrieving data: toolbox is down for maintenance"_s, Website + u"toolbox is down for maintenance"_s,
         found + maintenance},
        {fixture(u"replies/xml-error-other.xml"_s),
         200,
         u"Error retrieving data: Your account is suspended. Please call us."_s,
         Website + u"Your account is suspended. Please call us."_s,
         {}},
    };
    for (const FailureCase& failure : cases)
        expectFailure(failure);
    EXPECT_EQ(recorder.levelOf(found + u"Your account is suspended. Please call us."_s), -1);
}

TEST_F(SarnickFailures, DocumentsThatAreNotTheFeedFailAsInvalidData)
{
    const QString invalid = u"Sarnick.RetrieveData: error parsing XML data:"_s + CRLF +
                            u"invalid XML data retrieved - too many parameters missing"_s;
    const FailureCase cases[] = {
        {fixture(u"replies/malformed.xml"_s), 200, u"Error retrieving data: invalid XML data"_s, invalid, {}},
        {fixture(u"replies/html-instead-of-xml.html"_s),
         200,
         u"Error retrieving data: invalid XML data"_s,
         invalid,
         {}},
        {"<?xml version=\"1.0\"?><qo_feed><nothing/></qo_feed>",
         200,
         u"Error retrieving data: invalid XML data"_s,
         invalid,
         {}},
        // Well-formed and plausible, but without a single day.
        {feedDocument("<expected_traffic_types/>"),
         200,
         u"Parse error: [91] error while parsing data"_s,
         u"Sarnick.ParseDailyData: error while parsing data:"_s + CRLF +
             u"[91] Object variable or With block variable not set"_s,
         {}},
    };
    for (const FailureCase& failure : cases)
        expectFailure(failure);

    // The parse error is reported with its place.
    provider.clearRules();
    provider.addRule(feedReply(fixture(u"replies/malformed.xml"_s)));
    clock->advanceSeconds(900);
    EXPECT_FALSE(retrieve());
    bool reported = false;
    for (const StatusLine& line : recorder.lines()) {
        if (line.text.startsWith(u"Sarnick.RetrieveData: error reading XML from cache file (line 2, "_s) &&
            line.text.endsWith(cacheFile(u"alice.xml"_s)))
            reported = line.level == 3;
    }
    EXPECT_TRUE(reported) << recorder.texts().join(u'\n').toStdString();
}

TEST_F(SarnickFailures, TransportFailuresKeepTheTransportsTexts)
{
    expectFailure({"<html>oops</html>", 500, u"Retrieval error: Internal Server Error"_s,
                   u"Sarnick.WHTTPFetch Retrieval error:"_s + CRLF + u"[500] Internal Server Error"_s,
                   u"clsWinHTTP: response finished with unsuccessful status: 500"_s});
    EXPECT_FALSE(raised(u"WinHTTP fetch completed successfully for daily data"_s));
    EXPECT_EQ(recorder.texts().last(), u"clsWinHTTP: class terminating"_s);

    writeNumber(sarnickKey(), u"UseMSXML"_s, 1);
    expectFailure({"missing", 404, u"Retrieval error: [404] Not Found"_s,
                   u"Sarnick:HTTPFetch HTTP retrieval error during download:"_s + CRLF + u"[404] Not Found"_s,
                   u"Sarnick.RetrieveData: calling MSXML..."_s});
}

TEST_F(SarnickFailures, TheProvidersOwnErrorAccounts)
{
    const std::pair<QString, QString> accounts[] = {
        {u"nodata"_s, u"Error retrieving data: no data found for your account"_s},
        {u"overloaded"_s, u"Error retrieving data: toolbox overloaded, try again later"_s},
        {u"maintenance"_s, u"Error retrieving data: toolbox is down for a routine check up"_s},
        {u"denied"_s, u"Error retrieving data: XML request denied"_s},
        {u"broken"_s, u"Error retrieving data: invalid XML data"_s},
    };
    for (const auto& [user, error] : accounts) {
        EXPECT_FALSE(retrieve(user, user + u"-pass"_s)) << user.toStdString();
        EXPECT_EQ(usage().szLastError(), error);
        EXPECT_FALSE(QFile::exists(cacheFile(user + u".xml"_s)));
        EXPECT_EQ(readText(sarnickKey(), user), u"(missing)"_s);
    }
    // A refused password comes back as the feed's own error text.
    clock->advanceSeconds(900);
    EXPECT_FALSE(retrieve(Alice, u"wrong"_s));
    EXPECT_EQ(usage().szLastError(), u"Error retrieving data: Invalid username or password."_s);
    EXPECT_EQ(cacheBytes(u"alice.xml"_s), goodCache);
    EXPECT_EQ(cacheFolderFiles(), QStringList{u"alice.xml"_s});
}

// A cached reply is checked as stored, with nothing put in front of it.
TEST_F(SarnickFailures, ACachedPageIsRecognisedAsStored)
{
    const std::pair<QByteArray, QString> pages[] = {
        {fixture(u"replies/denied.html"_s), u"Error retrieving data: XML request denied"_s},
        {fixture(u"replies/meta-refresh.html"_s), u"Error retrieving data: XML feed is broken"_s},
        {"<a>b</a>", u"Error retrieving data: empty response"_s},
    };
    for (const auto& [page, error] : pages) {
        EXPECT_FALSE(readCached(page));
        EXPECT_TRUE(fromCache);
        EXPECT_EQ(usage().szLastError(), error);
        EXPECT_EQ(readText(sarnickKey(), Alice), lastRefresh);
    }
}

TEST_F(SarnickFailures, MissingCredentialsStopBeforeAnything)
{
    provider.clearRequests();
    for (const auto& [user, password] : {std::pair{QString(), AlicePassword}, std::pair{Alice, QString()}}) {
        fromCache = true;
        recorder.clear();
        EXPECT_FALSE(usage().RetrieveData(user, password, fromCache));
        EXPECT_TRUE(fromCache);
        EXPECT_EQ(usage().szLastError(), u"Retrieval error: username and/or password not specified"_s);
        EXPECT_EQ(usage().szLastErrorDetail(), u"Sarnick.RetrieveData: Retrieval error:"_s + CRLF +
                                                   u"username and/or password not specified, operation aborted"_s);
        EXPECT_TRUE(recorder.lines().isEmpty());
        // The month's values were reset.
        EXPECT_EQ(usage().szLastUpdate(), u"unknown"_s);
        EXPECT_EQ(usage().sngQuotaPeak(), 0.0f);
    }
    EXPECT_TRUE(provider.requests().isEmpty());
}

TEST_F(SarnickFailures, AUserNameThatWouldLeaveTheCacheFolderIsRefused)
{
    provider.clearRequests();
    for (const QString& user : {u"../alice"_s, u"sub/alice@quolla.example"_s, u"back\\slash"_s}) {
        EXPECT_FALSE(retrieve(user, AlicePassword)) << user.toStdString();
        EXPECT_EQ(usage().szLastError(), u"Retrieve error: [52] init error"_s);
        EXPECT_EQ(usage().szLastErrorDetail(), u"Sarnick.RetrieveData: init error: "_s + CRLF +
                                                   u"[52] Bad file name or number: the user name '"_s +
                                                   user.section(u'@', 0, 0) + u"' cannot name a cache file"_s);
    }
    EXPECT_TRUE(provider.requests().isEmpty());
    EXPECT_EQ(cacheFolderFiles(), QStringList{u"alice.xml"_s});
    EXPECT_FALSE(QFile::exists(cacheFolder + u"/../alice.xml"_s));
}

TEST_F(SarnickFailures, ACachedReadWithoutAFileFailsNamingThePath)
{
    EXPECT_FALSE(retrieve(u"nobody"_s, u"pw"_s, true));
    EXPECT_EQ(usage().szLastError(), u"Retrieve error: [53] failed to open cache file"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Sarnick.RetrieveData: error loading cache file: "_s + CRLF +
                                               cacheFile(u"nobody.xml"_s) + CRLF + u"[53] File not found"_s);
}

} // namespace
