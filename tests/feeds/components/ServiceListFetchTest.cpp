// SPDX-License-Identifier: MIT
#include "ComponentTestSupport.h"
#include "FakeProvider.h"
#include "Pelborne/WinHttpInterface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Qt::StringLiterals;
using namespace ComponentTestSupport;

namespace {

const QString CRLF = u"\r\n"_s;
const QString Alice = u"alice"_s;
const QString AlicePassword = u"sunshine 42"_s;
const QByteArray OneService =
    R"({"success":1,"token":"bob-1","response":{"service_list":[{"pk_v":"bob@quolla.example","s_token":"t1","actions":["Usage"]}]}})";

FakeProvider::Rule signInReply(const QByteArray& body, int status = 200)
{
    FakeProvider::Rule rule;
    rule.path = u"/cgi-bin/api.cgi"_s;
    rule.queryContains = u"_USERNAME="_s;
    rule.status = status;
    rule.body = body;
    return rule;
}

class ServiceListFetch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(provider.start());
        writeText(configKey(u"Pelborne"_s), u"ToolboxURL"_s, provider.baseUrl());
        pelborne = std::make_unique<PelborneComponent>(u"Pelborne.UsageData"_s, recorder);
        ASSERT_TRUE(pelborne->usage);
        usage().intTimeout(10);
        usage().szAccountName(u"Quolla"_s);
    }

    Pelborne::_UsageData& usage() { return *pelborne->usage; }
    bool getServices(const QString& user, const QString& password, const QString& proxy = {})
    {
        return usage().GetServices(user, password, count, services, proxy);
    }
    // The sign-in queries exactly as sent.
    std::vector<std::string> signInQueries() const
    {
        std::vector<std::string> queries;
        for (const FakeProvider::Request& request : provider.requests()) {
            if (request.path == u"/cgi-bin/api.cgi"_s)
                queries.push_back(request.rawQuery.toStdString());
        }
        return queries;
    }

    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
    StatusRecorder recorder;
    std::unique_ptr<PelborneComponent> pelborne;
    int16_t count = -7;
    QStringList services{u"untouched"_s};
};

TEST_F(ServiceListFetch, SignInListsTheServicesThatOfferUsage)
{
    ASSERT_TRUE(getServices(Alice, AlicePassword)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(count, 2);
    EXPECT_EQ(services, (QStringList{u"alice@quolla.example"_s, u"alice.mobile@quolla.example"_s}));
    EXPECT_EQ(signInQueries(), std::vector<std::string>{"_USERNAME=alice%40quolla.example&_PASSWORD=sunshine+42"});

    EXPECT_EQ(recorder.levelOf(u"Pelborne.GetServices: using username 'alice@quolla.example' for JSON feed"_s), 6);
    EXPECT_EQ(recorder.levelOf(u"fetching service list from Quolla"_s), 2);
    EXPECT_EQ(recorder.levelOf(u"Pelborne.FetchServiceList: using JSON service URL: "_s + provider.baseUrl() +
                               u"/cgi-bin/api.cgi?_USERNAME=qoUID&_PASSWORD=qoPWD"_s),
              12);
    EXPECT_EQ(recorder.levelOf(u"Pelborne.ParseServiceList: found 3 services"_s), 6);
    EXPECT_EQ(recorder.levelOf(u"Pelborne.ParseServiceList: service [alice.mobile@quolla.example] has Usage action"_s),
              6);
    EXPECT_EQ(recorder.levelOf(u"successfully retrieved service list from Quolla"_s), 2);
    EXPECT_TRUE(recorder.texts().last() == u"successfully retrieved service list from Quolla"_s);
    EXPECT_FALSE(recorder.anyContains(u"alice-mailbox"_s));
}

TEST_F(ServiceListFetch, ARefusedSignInShowsTheProvidersMessage)
{
    EXPECT_FALSE(getServices(Alice, u"wrong"_s));
    EXPECT_EQ(usage().szLastError(), u"JSON service list parse error: Quolla said: Invalid username or password."_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Pelborne.FetchServiceList: failed to parse JSON service list: "_s + CRLF +
                                               u"Quolla said: Invalid username or password."_s);
    EXPECT_EQ(count, -7);
    EXPECT_EQ(services, QStringList{u"untouched"_s});
}

TEST_F(ServiceListFetch, RepliesThatAreNotASignInFailWithTheirReason)
{
    const std::pair<QByteArray, QString> cases[] = {
        {R"({"success":2,"token":"x"})", u"JSON service list parse error: unexpected return value in JSON: 2"_s},
        {R"({"success":1,"token":"x"})",
         u"JSON service list parse error: failed to parse JSON service list:"_s + CRLF + u"[424] Object required"_s},
        {R"({"success":1,"response":{"service_list":[{"pk_v":"a","s_token":"b"}]}})",
         u"JSON service list parse error: failed to parse JSON service list:"_s + CRLF + u"[424] Object required"_s},
        {R"({"success":"yes"})",
         u"JSON service list parse error: failed to parse JSON service list:"_s + CRLF + u"[13] Type mismatch"_s},
        {"<html>busy</html>", u"JSON service list parse error: failed to parse JSON: "_s},
        {"", u"Parse error: failed to retrieve JSON service list"_s},
    };
    for (const auto& [body, error] : cases) {
        provider.clearRules();
        provider.addRule(signInReply(body));
        EXPECT_FALSE(getServices(Alice, AlicePassword)) << body.toStdString();
        EXPECT_TRUE(usage().szLastError().startsWith(error)) << usage().szLastError().toStdString();
    }
    EXPECT_EQ(usage().szLastErrorDetail(),
              u"Pelborne.FetchServiceList: failed to retrieve JSON service list: "_s + CRLF + u"empty response"_s);
    EXPECT_EQ(count, -7);
}

TEST_F(ServiceListFetch, AnAccountWithoutUsageServicesHasAnEmptyList)
{
    provider.addRule(signInReply(
        R"({"success":1,"token":"t","response":{"service_list":[{"pk_v":"a@quolla.example","s_token":"1","actions":["Mail","usage"]},{"pk_v":"b","s_token":"2","actions":[]}]}})"));
    ASSERT_TRUE(getServices(Alice, AlicePassword));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(services.isEmpty());
}

TEST_F(ServiceListFetch, MissingCredentialsSendNothing)
{
    EXPECT_FALSE(getServices(QString(), AlicePassword));
    EXPECT_FALSE(getServices(Alice, QString()));
    EXPECT_EQ(usage().szLastError(), u"Retrieval error: username and/or password not specified"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Pelborne.GetServices: Retrieval error:"_s + CRLF +
                                               u"username and/or password not specified, operation aborted"_s);
    EXPECT_TRUE(provider.requests().isEmpty());
    EXPECT_EQ(count, -7);
}

TEST_F(ServiceListFetch, AFailedTransportIsReplacedByTheNextSignIn)
{
    provider.addRule(signInReply("gone", 404));
    EXPECT_FALSE(getServices(Alice, AlicePassword));
    EXPECT_EQ(usage().szLastError(), u"Retrieval error: Not Found"_s);
    provider.clearRules();
    recorder.clear();
    EXPECT_TRUE(getServices(Alice, AlicePassword)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(recorder.levelOf(u"Pelborne.SetupWinHTTP: instantiating WinHTTP..."_s), 6);
}

TEST_F(ServiceListFetch, TheSwitchUseMSXMLSendsTheSignInThroughTheOtherTransport)
{
    writeNumber(configKey(u"Pelborne"_s), u"UseMSXML"_s, 1);
    ASSERT_TRUE(getServices(Alice, AlicePassword)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(count, 2);
    const QStringList lines = recorder.texts();
    const qsizetype choice =
        lines.indexOf(u"Pelborne.UseMSXML: found UseMSXML registry setting (1), and forcing use of MSXML"_s);
    const qsizetype calling = lines.indexOf(u"Pelborne.FetchServiceList: calling MSXML..."_s);
    const qsizetype done =
        lines.indexOf(u"Pelborne.FetchServiceList: MSXML fetch completed successfully for service list"_s);
    ASSERT_GE(choice, 0);
    EXPECT_GT(calling, choice);
    EXPECT_GT(done, calling);
    EXPECT_FALSE(recorder.anyContains(u"SetupWinHTTP"_s));
    DeleteRegValue(HKEY_CURRENT_USER, configKey(u"Pelborne"_s), u"UseMSXML"_s);
}

TEST_F(ServiceListFetch, ASecondSignInOnTheSameObjectUsesTheNewUser)
{
    ASSERT_TRUE(getServices(Alice, AlicePassword));
    provider.addRule(signInReply(OneService));
    ASSERT_TRUE(getServices(u"bob@brindle.example"_s, u"pw"_s));
    EXPECT_EQ(services, QStringList{u"bob@quolla.example"_s});
    const std::vector<std::string> queries = signInQueries();
    ASSERT_EQ(queries.size(), 2);
    EXPECT_EQ(queries[1], "_USERNAME=bob%40brindle.example&_PASSWORD=pw");
}

TEST_F(ServiceListFetch, CredentialsAreEncodedWholeAndPutInTheirOwnPlaces)
{
    provider.addRule(signInReply(OneService));
    // A user name that spells a placeholder must not receive the password.
    ASSERT_TRUE(getServices(u"qoPWD.fan"_s, u"p&s=w ~\u00fc\u20ac"_s));
    ASSERT_TRUE(getServices(u"a+b@x.example"_s, u"50%/qoUID"_s));
    const std::vector<std::string> queries = signInQueries();
    ASSERT_EQ(queries.size(), 2);
    // The request's address goes out normalised, with the unreserved "~" (encoded %7E) as it is.
    EXPECT_EQ(queries[0], "_USERNAME=qoPWD.fan%40quolla.example&_PASSWORD=p%26s%3Dw+~%C3%BC%E2%82%AC");
    EXPECT_EQ(queries[1], "_USERNAME=a%2Bb%40x.example&_PASSWORD=50%25%2FqoUID");
    EXPECT_EQ(provider.requests()[0].formValue(u"_PASSWORD"_s), u"p&s=w ~\u00fc\u20ac"_s);
}

TEST_F(ServiceListFetch, ThePasswordNeverReachesAStatusLine)
{
    ASSERT_TRUE(getServices(Alice, AlicePassword));
    EXPECT_FALSE(getServices(Alice, u"sunshine 43"_s));
    provider.addRule(signInReply("gone", 500));
    EXPECT_FALSE(getServices(Alice, AlicePassword, u"127.0.0.1:"_s + QString::number(provider.port())));
    ASSERT_GT(recorder.lines().size(), 20);
    EXPECT_FALSE(recorder.anyContains(u"sunshine"_s));
    EXPECT_TRUE(recorder.anyContains(u"URLEncode: encoding 11 char string"_s));
}

TEST_F(ServiceListFetch, PlainHttpToARemoteToolboxIsRefused)
{
    writeText(configKey(u"Pelborne"_s), u"ToolboxURL"_s, u"http://usage.example.net:8080"_s);
    StatusRecorder refused;
    PelborneComponent other(u"Pelborne.UsageData"_s, refused);
    other.usage->intTimeout(10);
    int16_t n = 0;
    QStringList list;
    // Through the fake provider as proxy, so the default host is never looked up.
    EXPECT_FALSE(
        other.usage->GetServices(Alice, AlicePassword, n, list, u"127.0.0.1:"_s + QString::number(provider.port())));
    EXPECT_EQ(refused.levelOf(u"Pelborne.ToolboxURL: plain http is accepted only for a loopback host, using "
                              u"https://toolbox.quolla.example: http://usage.example.net:8080"_s),
              2);
    EXPECT_EQ(refused.levelOf(u"Pelborne.FetchServiceList: using JSON service URL: "
                              u"https://toolbox.quolla.example/cgi-bin/api.cgi?_USERNAME=qoUID&_PASSWORD=qoPWD"_s),
              12);
    // The refused tunnel is asked for a second time by the transport, to tell a proxy that is down
    // from one that refused it.
    ASSERT_FALSE(provider.requests().isEmpty());
    for (const FakeProvider::Request& request : provider.requests()) {
        EXPECT_EQ(request.method, "CONNECT");
        EXPECT_EQ(request.target, "toolbox.quolla.example:443");
    }
}

// Pelborne's public transport class, with its own Status event.
class TransportRecorder final : public Pelborne::__clsWinHTTP
{
public:
    QStringList lines;
    void Status(const QString& szMsg, int16_t) override { lines << szMsg; }
};

TEST_F(ServiceListFetch, ThePublicTransportFetchesAndReports)
{
    provider.addRule(FakeProvider::Rule{.path = u"/ok"_s, .body = "fine"});
    const std::shared_ptr<ComObject> object = ComRuntime::createObject(u"Pelborne.clsWinHTTP"_s);
    const auto http = comQuery<Pelborne::_clsWinHTTP>(object);
    ASSERT_TRUE(http);
    TransportRecorder transportLines;
    EventConnection<Pelborne::__clsWinHTTP> connection(object, transportLines);
    http->szUserAgent(u"Tester/1.0"_s);
    EXPECT_EQ(http->szUserAgent(), u"Tester/1.0"_s);
    QString error;
    QString detail;
    QString reply;
    ASSERT_TRUE(http->HTTPFetch(u"GET"_s, provider.baseUrl() + u"/ok"_s, QString(), 10, error, detail, reply))
        << detail.toStdString();
    EXPECT_EQ(reply, u"fine"_s);
    EXPECT_EQ(transportLines.lines.value(0), u"HTTPFetch: setting up fetch"_s);
    EXPECT_EQ(provider.requests().last().header("User-Agent"), "Tester/1.0");
}

} // namespace
