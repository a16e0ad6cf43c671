// SPDX-License-Identifier: MIT
#include "FakeProvider.h"
#include "ProviderTestSupport.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ProviderTestSupport::get;
using ProviderTestSupport::RawClient;

namespace {
class FakeProviderServer : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(provider.start()); }
    QString url(const QString& pathAndQuery) const { return provider.baseUrl() + pathAndQuery; }

    FakeProvider provider{ProviderTestSupport::providerData()};
    QNetworkAccessManager manager;
};

const QString versionPage = u"/software/Tallyroo/version/"_s;
} // namespace

TEST_F(FakeProviderServer, RulesOverrideByPathAndQueryUntilUsedUp)
{
    provider.addRule({.path = u"/cgi-bin/api.cgi"_s, .queryContains = u"_USERNAME=bob@"_s, .status = 500});
    provider.addRule(
        {.path = u"/software/"_s, .status = 503, .reason = "Toolbox Resting", .body = "later", .times = 1});
    provider.addRule({.path = u"/cgi-bin/new/"_s, .body = provider.fixture(u"replies/short.txt"_s)});

    // The query part matches the decoded query too ("%40" is "@").
    const auto bob = get(manager, url(u"/cgi-bin/api.cgi?_USERNAME=bob%40quolla.example&_PASSWORD=x"_s));
    EXPECT_EQ(bob.status, 500);
    EXPECT_EQ(bob.reason, "Internal Server Error");
    EXPECT_EQ(bob.error, QNetworkReply::InternalServerError);
    EXPECT_EQ(get(manager, url(u"/cgi-bin/api.cgi?_USERNAME=alice&_PASSWORD=x"_s)).status, 200);

    const auto resting = get(manager, url(versionPage));
    EXPECT_EQ(resting.status, 503);
    EXPECT_EQ(resting.reason, "Toolbox Resting");
    EXPECT_EQ(resting.body, "later");
    EXPECT_EQ(get(manager, url(versionPage)).status, 200); // used up after one request

    const auto shortReply = get(manager, url(u"/cgi-bin/new/volume_usage_xml.cgi"_s));
    EXPECT_EQ(shortReply.body, "ERROR");
    EXPECT_TRUE(shortReply.contentType.startsWith("text/html"));

    provider.clearRules();
    EXPECT_EQ(get(manager, url(u"/cgi-bin/api.cgi?_USERNAME=bob%40x"_s)).status, 200);
}

TEST_F(FakeProviderServer, ADelayedReplyLetsTheClientsTimersRun)
{
    provider.addRule({.path = versionPage, .delayMs = 400, .useDefaultReply = true});
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    const auto fetched = get(manager, url(versionPage));
    EXPECT_EQ(fetched.status, 200);
    EXPECT_TRUE(fetched.body.startsWith("<pre>"));
    EXPECT_GE(fetched.elapsedMs, 400);
    EXPECT_GE(ticks, 4);
}

TEST_F(FakeProviderServer, ASilentServerEndsInTheClientsTimeOut)
{
    provider.addRule({.path = versionPage, .neverAnswer = true});
    QNetworkRequest request(QUrl(url(versionPage)));
    request.setTransferTimeout(300);
    const auto fetched = get(manager, request);
    EXPECT_EQ(fetched.error, QNetworkReply::OperationCanceledError);
    EXPECT_GE(fetched.elapsedMs, 250); // Qt's coarse timers may fire a little early
    EXPECT_LT(fetched.elapsedMs, 3000);
    EXPECT_EQ(provider.requests().size(), 1);
}

TEST_F(FakeProviderServer, HangingUpGivesTheClientAClosedConnection)
{
    provider.addRule({.path = versionPage, .closeWithoutReply = true});
    const auto fetched = get(manager, url(versionPage));
    EXPECT_EQ(fetched.error, QNetworkReply::RemoteHostClosedError);
    EXPECT_EQ(fetched.status, 0);
}

TEST_F(FakeProviderServer, StoppingWhileAReplyIsWithheldEndsTheRequest)
{
    provider.addRule({.path = versionPage, .neverAnswer = true});
    QObject::connect(&provider, &FakeProvider::requestRecorded, &provider, [this] { provider.stop(); });
    const auto fetched = get(manager, url(versionPage));
    EXPECT_NE(fetched.error, QNetworkReply::NoError);
    EXPECT_EQ(provider.port(), 0);
}

TEST_F(FakeProviderServer, RecordsEachRequestAsSent)
{
    int signalled = 0;
    QObject::connect(&provider, &FakeProvider::requestRecorded, [&] { ++signalled; });
    QNetworkRequest request(QUrl(url(u"/cgi-bin/api.cgi?_USERNAME=alice%40quolla.example&_PASSWORD=p%26w"_s)));
    request.setHeader(QNetworkRequest::UserAgentHeader, u"Tallyroo 1.3.2 (Linux 6.1;m)"_s);
    request.setRawHeader("Pragma", "no-cache");
    request.setRawHeader("Cache-control", "max-age=0");
    get(manager, request);
    QNetworkRequest post(QUrl(url(u"/submit"_s)));
    post.setHeader(QNetworkRequest::ContentTypeHeader, u"application/x-www-form-urlencoded"_s);
    manager.post(post, "a=1&b=2");
    ASSERT_TRUE(ProviderTestSupport::waitFor([&] { return provider.requests().size() == 2; }));

    const FakeProvider::Request first = provider.requests().at(0);
    EXPECT_EQ(first.method, "GET");
    EXPECT_EQ(first.path, u"/cgi-bin/api.cgi");
    EXPECT_EQ(first.target, "/cgi-bin/api.cgi?_USERNAME=alice%40quolla.example&_PASSWORD=p%26w");
    EXPECT_EQ(first.query.queryItemValue(u"_PASSWORD"_s, QUrl::FullyDecoded), u"p&w");
    EXPECT_FALSE(first.absoluteForm);
    EXPECT_EQ(first.header("User-Agent"), "Tallyroo 1.3.2 (Linux 6.1;m)");
    EXPECT_EQ(first.header("pragma"), "no-cache");
    EXPECT_EQ(first.header("Cache-Control"), "max-age=0");
    const auto named = std::find_if(first.headers.begin(), first.headers.end(),
                                    [](const auto& header) { return header.first.toLower() == "cache-control"; });
    ASSERT_NE(named, first.headers.end());
    EXPECT_EQ(named->first, "Cache-control"); // the name's spelling as sent
    const FakeProvider::Request second = provider.requests().at(1);
    EXPECT_EQ(second.method, "POST");
    EXPECT_EQ(second.body, "a=1&b=2");
    EXPECT_EQ(signalled, 2);

    provider.clearRequests();
    EXPECT_TRUE(provider.requests().isEmpty());
}

TEST_F(FakeProviderServer, KeepsConnectionsAliveAsTheClientAsks)
{
    RawClient client(provider.port());
    client.send("GET /software/Tallyroo/version/ HTTP/1.1\r\nHost: x\r\n\r\n");
    ASSERT_TRUE(client.waitForReplies(1));
    client.send("GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n");
    ASSERT_TRUE(client.waitForReplies(2));
    EXPECT_FALSE(client.closed());
    EXPECT_TRUE(client.received().contains("Connection: keep-alive\r\n"));
    EXPECT_TRUE(client.received().contains("HTTP/1.1 404 Not Found\r\n"));
    client.send("GET /software/Tallyroo/version/ HTTP/1.1\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(client.waitForClose());
    EXPECT_TRUE(client.received().contains("Connection: close\r\n"));

    RawClient old(provider.port());
    old.send("GET /software/Tallyroo/version/ HTTP/1.0\r\n\r\n");
    EXPECT_TRUE(old.waitForClose());
    EXPECT_TRUE(old.received().startsWith("HTTP/1.1 200 OK\r\n"));
    // The body is exactly as long as announced.
    const qsizetype bodyStart = old.received().indexOf("\r\n\r\n") + 4;
    const QByteArray length = QByteArray::number(old.received().size() - bodyStart);
    EXPECT_TRUE(old.received().contains(QByteArray("Content-Length: " + length + "\r\n")));
}

TEST_F(FakeProviderServer, AnswersPipelinedRequestsInOrderEvenWhenTheFirstIsSlow)
{
    provider.addRule({.path = u"/slow"_s, .body = "slow", .delayMs = 200});
    RawClient client(provider.port());
    client.send("GET /slow HTTP/1.1\r\n\r\nGET /fast HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(client.waitForReplies(2));
    const QByteArray& received = client.received();
    EXPECT_LT(received.indexOf("slow"), received.indexOf("404 Not Found"));
}

TEST_F(FakeProviderServer, MalformedRequestsGetAnErrorAndTheServerGoesOn)
{
    static const char binary[] = "\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03 binary\r\n\r\n";
    RawClient garbage(provider.port());
    garbage.send(QByteArray(binary, sizeof(binary) - 1));
    ASSERT_TRUE(garbage.waitForClose());
    EXPECT_TRUE(garbage.received().startsWith("HTTP/1.1 400 Bad Request\r\n"));

    RawClient huge(provider.port());
    huge.send("GET / HTTP/1.1\r\nX-Fill: " + QByteArray(100 * 1024, 'a'));
    ASSERT_TRUE(huge.waitForClose());
    EXPECT_TRUE(huge.received().startsWith("HTTP/1.1 431 "));

    {
        // A client that leaves in the middle of a request.
        RawClient vanishing(provider.port());
        vanishing.send("GET /software/Tallyroo/ver");
        ProviderTestSupport::waitFor([] { return false; }, 50);
    }

    EXPECT_EQ(get(manager, url(versionPage)).status, 200);
    EXPECT_EQ(provider.requests().size(), 1); // broken requests are answered but not recorded
}

TEST_F(FakeProviderServer, ARuleCanChallengeForCredentialsUntilTheyAreSent)
{
    provider.addRule({.path = u"/secure"_s,
                      .status = 401,
                      .headers = {{"WWW-Authenticate", "Basic realm=\"toolbox\""}},
                      .unlessHeader = "Authorization"});
    provider.addRule({.path = u"/secure"_s, .body = "welcome"});
    int asked = 0;
    QObject::connect(&manager, &QNetworkAccessManager::authenticationRequired,
                     [&](QNetworkReply*, QAuthenticator* authenticator) {
                         ++asked;
                         authenticator->setUser(u"carol"_s);
                         authenticator->setPassword(u"s3cret"_s);
                     });
    const auto fetched = get(manager, url(u"/secure"_s));
    EXPECT_EQ(fetched.status, 200);
    EXPECT_EQ(fetched.body, "welcome");
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(provider.requests().size(), 2);
    EXPECT_FALSE(provider.requests().at(0).hasHeader("Authorization"));
    EXPECT_EQ(provider.requests().at(1).header("Authorization"), "Basic " + QByteArray("carol:s3cret").toBase64());
}
