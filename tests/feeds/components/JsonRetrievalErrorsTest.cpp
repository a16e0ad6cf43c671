// SPDX-License-Identifier: MIT
#include "JsonRetrievalSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace JsonRetrievalSupport;

namespace {

const QByteArray GoodReply = "{\"success\":1,\"good\":\"the last month that worked\"}";

// Every failing reply leaves the last good cache file as it was.
class JsonRetrievalErrors : public JsonRetrieval
{
protected:
    void SetUp() override
    {
        JsonRetrieval::SetUp();
        if (HasFatalFailure())
            return;
        QFile file(cacheFile(u"alice-json.txt"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GoodReply);
        ASSERT_TRUE(file.flush());
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        file.close();
        goodFileTime = QFileInfo(file).lastModified();
    }

    void expectCacheUntouched()
    {
        EXPECT_EQ(cacheBytes(u"alice-json.txt"_s), GoodReply);
        EXPECT_EQ(QFileInfo(cacheFile(u"alice-json.txt"_s)).lastModified(), goodFileTime);
        EXPECT_EQ(readText(pelborneKey(), Alice), u"(missing)"_s);
        EXPECT_EQ(QDir(cacheFolder).entryList(QDir::Files), QStringList{u"alice-json.txt"_s});
    }

    // The sample account with the usage reply replaced.
    bool retrieveWith(const QByteArray& body, int status = 200)
    {
        provider.clearRules();
        provider.addRule(usageReply(body, status));
        // A reply that got as far as the last-refresh value would turn the next call into a cached read.
        DeleteRegValue(HKEY_CURRENT_USER, pelborneKey(), Alice);
        return retrieve();
    }

    QDateTime goodFileTime;
};

TEST_F(JsonRetrievalErrors, TheProvidersRefusalsAreToldApart)
{
    const QString prefix = u"Pelborne.RetrieveData: failed to retrieve JSON:"_s + CRLF;
    struct Case
    {
        QString fixture;
        QString error;
        QString said;
    };
    const Case cases[] = {
        {u"replies/json-error-overloaded.json"_s, u"Failed to retrieve JSON: toolbox overloaded, try again later"_s,
         u"We are sorry, but there are a large number of customers attempting to use the toolbox at the moment. The "
         u"toolbox is temporarily unavailable."_s +
             CRLF + u"Please try again in a few minutes."_s},
        {u"replies/json-error-nodata.json"_s, u"Failed to retrieve JSON: no data found for your account"_s,
         u"Sorry, no data was found for your account for the period requested."_s},
        {u"replies/json-error-maintenance.json"_s, u"Failed to retrieve JSON: toolbox is down for maintenance"_s,
         u"We are currently giving the toolbox a routine check up. Please come back in an hour or so."_s},
        {u"replies/json-error-other.json"_s, u"Failed to retrieve JSON"_s,
         u"Your account is suspended. Please call us."_s},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(retrieveWith(provider.fixture(c.fixture))) << c.fixture.toStdString();
        EXPECT_FALSE(fromCache);
        EXPECT_EQ(usage().szLastError(), c.error);
        EXPECT_EQ(usage().szLastErrorDetail(), prefix + c.said);
    }
    EXPECT_EQ(usageQueries().size(), 4);
    expectCacheUntouched();
}

TEST_F(JsonRetrievalErrors, TheErrorAccountsOfTheProviderFailTheSameWay)
{
    const std::pair<QString, QString> cases[] = {
        {u"overloaded"_s, u"Failed to retrieve JSON: toolbox overloaded, try again later"_s},
        {u"maintenance"_s, u"Failed to retrieve JSON: toolbox is down for maintenance"_s},
        {u"nodata"_s, u"Failed to retrieve JSON: no data found for your account"_s},
        {u"denied"_s, u"Failed to parse JSON"_s},
    };
    for (const auto& [account, error] : cases) {
        EXPECT_FALSE(retrieve(account, account + u"-pass"_s)) << account.toStdString();
        EXPECT_EQ(usage().szLastError(), error);
        EXPECT_FALSE(QFile::exists(cacheFile(account + u"-json.txt"_s)));
    }
    EXPECT_TRUE(usage().szLastErrorDetail().startsWith(u"Pelborne.RetrieveData: error parsing JSON:"_s + CRLF));
    EXPECT_GT(usage().szLastErrorDetail().size(), 45);
}

TEST_F(JsonRetrievalErrors, RepliesThatAreNoUsableAnswer)
{
    struct Case
    {
        QByteArray body;
        QString error;
        QString detail;
    };
    const Case cases[] = {
        {"ERROR\n", u"Error retrieving data: empty response"_s,
         u"Pelborne.RetrieveData: error retrieving data from website:"_s + CRLF +
             u"empty response received from Quolla"_s},
        {"", u"Error retrieving data: empty response"_s,
         u"Pelborne.RetrieveData: error retrieving data from website:"_s + CRLF +
             u"empty response received from Quolla"_s},
        {R"({"success":2,"error":""})", u"Failed to retrieve JSON"_s,
         u"Pelborne.RetrieveData: unexpected return value in JSON: 2"_s},
        {R"({"success":"yes","x":1})", u"Retrieve error: [13] error processing JSON data"_s,
         u"Pelborne.RetrieveData: error while processing JSON data:"_s + CRLF + u"[13] Type mismatch"_s},
        {R"({"success":1,"Success":1})", u"Retrieve error: [457] error processing JSON data"_s,
         u"Pelborne.RetrieveData: error while processing JSON data:"_s + CRLF +
             u"[457] This key is already associated with an element of this collection"_s},
        {R"("just a text, no object")", u"Retrieve error: [424] error processing JSON data"_s,
         u"Pelborne.RetrieveData: error while processing JSON data:"_s + CRLF + u"[424] Object required"_s},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(retrieveWith(c.body)) << c.body.toStdString();
        EXPECT_EQ(usage().szLastError(), c.error);
        EXPECT_EQ(usage().szLastErrorDetail(), c.detail);
    }
    expectCacheUntouched();
}

TEST_F(JsonRetrievalErrors, HttpFailuresKeepTheTransportsTexts)
{
    EXPECT_FALSE(retrieveWith("down", 503));
    EXPECT_EQ(usage().szLastError(), u"Retrieval error: Service Unavailable"_s);
    EXPECT_TRUE(usage().szLastErrorDetail().contains(u"[503] Service Unavailable"_s))
        << usage().szLastErrorDetail().toStdString();

    provider.clearRules();
    FakeProvider::Rule hangUp = usageReply({});
    hangUp.closeWithoutReply = true;
    provider.addRule(hangUp);
    EXPECT_FALSE(retrieve());
    EXPECT_TRUE(usage().szLastError().startsWith(u"Retrieval error: "_s));
    expectCacheUntouched();

    // The failed transport is given up; the next call builds a new one and succeeds.
    provider.clearRules();
    recorder.clear();
    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(recorder.levelOf(u"Pelborne.SetupWinHTTP: instantiating WinHTTP..."_s), 6);
    EXPECT_EQ(cacheBytes(u"alice-json.txt"_s), aliceMarchReply());
}

TEST_F(JsonRetrievalErrors, ARefusedSignInEndsBeforeTheUsageRequest)
{
    EXPECT_FALSE(retrieve(Alice, u"wrong"_s));
    EXPECT_EQ(usage().szLastError(), u"JSON service list parse error: Quolla said: Invalid username or password."_s);
    EXPECT_TRUE(usageQueries().isEmpty());
    expectCacheUntouched();
}

TEST_F(JsonRetrievalErrors, AReplyThatNamesNothingIsRejected)
{
    EXPECT_FALSE(retrieveWith(
        R"({"success":1,"response":{"account_info":{},"connections":[],"quota_reset":{},"usage":{"traffic_types":[],"data":[]}}})"));
    EXPECT_EQ(usage().szLastError(), u"Error retrieving data: invalid JSON data"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Pelborne.RetrieveData: error parsing JSON data:"_s + CRLF +
                                               u"invalid JSON data retrieved - too many parameters missing"_s);
    EXPECT_EQ(levelOf(u"failed to find connection time and IP address in JSON"_s), 2);
    EXPECT_EQ(levelOf(u"failed to find anniversary date in JSON"_s), 2);
    EXPECT_EQ(levelOf(u"failed to find expected traffic types in JSON"_s), 2);
    EXPECT_EQ(levelOf(u"skipping check for offpeak start time"_s), 6);
    EXPECT_EQ(usage().szIP(), u"unknown"_s);
    expectCacheUntouched();
}

TEST_F(JsonRetrievalErrors, MissingPartsOfTheReplyTakeTheirStepsPath)
{
    EXPECT_FALSE(retrieveWith(R"({"success":1,"response":{"connections":[]}})"));
    EXPECT_EQ(usage().szLastError(), u"Retrieve error: failed to load JSON data"_s);
    EXPECT_EQ(usage().szLastErrorDetail(),
              u"Pelborne.RetrieveData: error while loading JSON data:"_s + CRLF + u"[424] Object required"_s);

    // Without a reset day the call goes on; without usage data it fails in the daily data.
    recorder.clear();
    EXPECT_FALSE(retrieveWith(R"({"success":1,"response":{"account_info":{"product":"P"},"connections":[]}})"));
    EXPECT_EQ(recorder.levelOf(u"Error while extracting quota data from JSON data: [424] Object required"_s), 2);
    EXPECT_EQ(usage().szLastError(), u"Parse error: [424] error while parsing data"_s);
    EXPECT_EQ(usage().szProductName(), u"P"_s);
    // Only a month read whole replaces the cached reply and moves the last refresh.
    expectCacheUntouched();

    // A broken reset day is reported in the error texts of a call that still succeeds.
    ASSERT_TRUE(retrieveWith(
        R"({"success":1,"response":{"account_info":{"product":"P"},"connections":[],"quota_reset":{"anniversary":99999},
            "usage":{"traffic_types":[],"data":[{"period":"20240301","types":[{"type":"peak","value":1000000}]}]}}})"));
    EXPECT_EQ(usage().szLastError(), u"Retrieve error: extracting anniversary date"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Pelborne.RetrieveData: error while processing JSON data:"_s + CRLF +
                                               u"failed to extract anniversary date:"_s + CRLF + u"[6] Overflow"_s);
    EXPECT_EQ(usage().sngUsedPeak(), 1);
}

TEST_F(JsonRetrievalErrors, AReplyCutShortIsAParseErrorAndNothingOfItIsRead)
{
    EXPECT_FALSE(retrieve(u"broken"_s, u"broken-pass"_s));
    EXPECT_EQ(usage().szLastError(), u"Failed to parse JSON"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Pelborne.RetrieveData: error parsing JSON:"_s + CRLF +
                                               u"Unexpected end of text in an open object at position 172"_s);
    EXPECT_EQ(usage().szIP(), QString());
    EXPECT_EQ(usage().szPlanName(), QString());
}

} // namespace
