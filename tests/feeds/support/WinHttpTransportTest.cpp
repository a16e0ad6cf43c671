// SPDX-License-Identifier: MIT
#include "TransportTestSupport.h"
#include "clsWinHTTP.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace TransportTestSupport;

namespace {

const QString CRLF = u"\r\n"_s;

class WinHttpTransportTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(provider.start()); }

    QString url(const QString& pathAndQuery) const { return provider.baseUrl() + pathAndQuery; }

    bool fetch(clsWinHTTP& http, const QString& address, int32_t timeout = 10)
    {
        return http.HTTPFetch(u"GET"_s, address, QString(), timeout, error, detail, response);
    }

    FakeProvider provider{fixturesDir() + u"/provider"_s};
    StatusLog log;
    QString error;
    QString detail;
    QString response;
};

TEST_F(WinHttpTransportTest, SuccessSendsTheFixedHeadersAndTheUserAgent)
{
    FakeProvider::Rule ok = rule(u"/ok"_s, 200, "all fine");
    ok.contentType = "text/plain";
    provider.addRule(ok);
    clsWinHTTP http(u"Sarnick"_s, log.sink());
    http.szUserAgent = u"Tallyroo 1.3.2 (Sarnick COM 1.0.8; Linux 6.1)"_s;

    ASSERT_TRUE(fetch(http, url(u"/ok?a=1"_s)));
    EXPECT_EQ(response, u"all fine"_s);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(detail.isEmpty());

    ASSERT_EQ(provider.requests().size(), 1);
    const FakeProvider::Request sent = provider.requests().first();
    EXPECT_EQ(sent.method, "GET");
    EXPECT_EQ(sent.target, "/ok?a=1");
    EXPECT_EQ(sent.header("User-Agent"), "Tallyroo 1.3.2 (Sarnick COM 1.0.8; Linux 6.1)");
    EXPECT_EQ(sent.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(sent.header("Pragma"), "no-cache");
    // The header name goes out spelled exactly so.
    const auto cacheControl = std::find_if(sent.headers.begin(), sent.headers.end(),
                                           [](const auto& h) { return h.first == "Cache-control"; });
    ASSERT_NE(cacheControl, sent.headers.end());
    EXPECT_EQ(cacheControl->second, "max-age=0");
    EXPECT_FALSE(sent.hasHeader("Authorization"));

    // The steps in order, all at level 12, with the skipped steps announced.
    const QStringList expected{
        u"clsWinHTTP: class initialising"_s,
        u"HTTPFetch: setting up fetch"_s,
        u"HTTPFetchSetup: setting up HTTP fetch parameters"_s,
        u"HTTPFetchSetup: setting timeouts"_s,
        u"HTTPFetchSetup: setting SSL certificate options"_s,
        u"HTTPFetchSetup: calling Open method using GET"_s,
        u"HTTPFetchSetup: Open method completed"_s,
        u"HTTPFetchSetup: setting user agent"_s,
        u"HTTPFetchSetup: setting request headers"_s,
        u"HTTPFetchSetup: setting user credentials"_s,
        u"HTTPFetchSetup: no user credentials to set"_s,
        u"HTTPFetchSetup: setting proxy server"_s,
        u"HTTPFetchSetup: no proxy server to set"_s,
        u"HTTPFetchSetup: setting proxy authentication"_s,
        u"HTTPFetchSetup: no proxy authentication to set"_s,
        u"HTTPFetchSetup: sending data"_s,
        u"HTTPFetch: submitted request"_s,
    };
    EXPECT_EQ(log.texts().mid(0, expected.size()), expected);
    EXPECT_GE(log.indexOf(u"clsWinHTTP OnResponseStart: status: 200; contenttype: text/plain"_s), 0)
        << log.texts().join(u'\n').toStdString();
    EXPECT_GE(log.indexOf(u"clsWinHTTP OnResponseDataAvailable: 8 bytes"_s), 0);
    EXPECT_EQ(log.texts().mid(log.texts().size() - 2),
              (QStringList{u"clsWinHTTP: response finished with successful status"_s,
                           u"HTTPFetch: fetch completed successfully"_s}));
    for (const StatusLine& line : log.lines())
        EXPECT_EQ(line.level, 12) << line.text.toStdString();
}

TEST_F(WinHttpTransportTest, ServerCredentialsAnswerTheChallenge)
{
    FakeProvider::Rule challenge = rule(u"/private"_s, 401);
    challenge.headers = {{"WWW-Authenticate", "Basic realm=\"usage\""}};
    challenge.unlessHeader = "Authorization";
    provider.addRule(challenge);
    provider.addRule(rule(u"/private"_s, 200, "secret page"));
    clsWinHTTP http(u"Sarnick"_s);
    http.szUsername = u"bob"_s;
    http.szPassword = u"pa55"_s;

    ASSERT_TRUE(fetch(http, url(u"/private"_s))) << error.toStdString();
    EXPECT_EQ(response, u"secret page"_s);
    EXPECT_EQ(provider.requests().last().header("Authorization"), "Basic " + QByteArray("bob:pa55").toBase64());

    // Another server that a redirect leads to is not given them, whatever it asks.
    FakeProvider other{fixturesDir() + u"/provider"_s};
    ASSERT_TRUE(other.start());
    other.addRule(challenge);
    FakeProvider::Rule moved = rule(u"/moved"_s, 302);
    moved.headers = {{"Location", (other.baseUrl() + u"/private"_s).toUtf8()}};
    provider.addRule(moved);
    EXPECT_FALSE(fetch(http, url(u"/moved"_s)));
    ASSERT_FALSE(other.requests().isEmpty());
    for (const FakeProvider::Request& sent : other.requests())
        EXPECT_TRUE(sent.header("Authorization").isEmpty());
}

TEST_F(WinHttpTransportTest, HttpErrorsGiveTheReasonPhrase)
{
    provider.addRule(rule(u"/missing"_s, 404, "<html>gone</html>"));
    FakeProvider::Rule broken = rule(u"/broken"_s, 500, "oops");
    broken.reason = "Internal Server Error";
    provider.addRule(broken);
    clsWinHTTP http(u"Sarnick"_s, log.sink());

    EXPECT_FALSE(fetch(http, url(u"/missing"_s)));
    EXPECT_EQ(error, u"Retrieval error: Not Found"_s);
    EXPECT_EQ(detail, u"Sarnick.WHTTPFetch Retrieval error:"_s + CRLF + u"[404] Not Found"_s);
    EXPECT_GE(log.indexOf(u"clsWinHTTP: response finished with unsuccessful status: 404"_s), 0);
    EXPECT_EQ(log.texts().last(), u"HTTPFetch: fetch failed"_s);

    // The same object serves the next fetch; the component name starts the detail.
    clsWinHTTP pelborne(u"Pelborne"_s);
    EXPECT_FALSE(pelborne.HTTPFetch(u"GET"_s, url(u"/broken"_s), QString(), 10, error, detail, response));
    EXPECT_EQ(error, u"Retrieval error: Internal Server Error"_s);
    EXPECT_EQ(detail, u"Pelborne.WHTTPFetch Retrieval error:"_s + CRLF + u"[500] Internal Server Error"_s);
    EXPECT_FALSE(fetch(http, url(u"/broken"_s)));
    EXPECT_EQ(error, u"Retrieval error: Internal Server Error"_s);
}

TEST_F(WinHttpTransportTest, EachFetchReportsOnlyItsOwnOutcome)
{
    provider.addRule(rule(u"/missing"_s, 404));
    provider.addRule(rule(u"/ok"_s, 200, "body"));
    clsWinHTTP http(u"Sarnick"_s);

    ASSERT_TRUE(fetch(http, url(u"/ok"_s)));
    EXPECT_FALSE(fetch(http, url(u"/missing"_s)));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(response.isEmpty()) << "a failure hands back no earlier body";
    ASSERT_TRUE(fetch(http, url(u"/ok"_s)));
    EXPECT_TRUE(error.isEmpty()) << "a success hands back no earlier error";
    EXPECT_TRUE(detail.isEmpty());
    EXPECT_EQ(response, u"body"_s);
}

TEST_F(WinHttpTransportTest, SilentServerEndsWithinTheReceiveLimit)
{
    FakeProvider::Rule silent = rule(u"/silent"_s, 200);
    silent.neverAnswer = true;
    provider.addRule(silent);
    clsWinHTTP http(u"Sarnick"_s, log.sink());

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(fetch(http, url(u"/silent"_s), 1));
    const qint64 elapsed = clock.elapsed();
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 2600);
    EXPECT_EQ(error, u"Retrieval error: Connection timed out (timeout exceeded)"_s);
    EXPECT_EQ(detail, u"Sarnick.WHTTPFetch Retrieval error:"_s + CRLF +
                          u"Connection timed out (unknown reason), operation aborted"_s);
    EXPECT_TRUE(log.anyContains(u"clsWinHTTP: OnError: [-2147012879] "_s)) << log.texts().join(u'\n').toStdString();
}

TEST_F(WinHttpTransportTest, TimersRunWhileTheFetchWaits)
{
    addLateReply(provider, u"/slow"_s);
    const TickCounter timer;
    clsWinHTTP http(u"Sarnick"_s);

    ASSERT_TRUE(fetch(http, url(u"/slow"_s)));
    EXPECT_EQ(response, u"late"_s);
    EXPECT_GE(timer.ticks(), 4);
}

TEST_F(WinHttpTransportTest, AfterAnErrorEventTheObjectIsSpent)
{
    clsWinHTTP http(u"Sarnick"_s, log.sink());
    const QString refused = u"http://127.0.0.1:"_s + QString::number(closedPort()) + u"/x"_s;

    EXPECT_FALSE(fetch(http, refused));
    EXPECT_EQ(error, u"Retrieval error: The attempt to connect to the server failed."_s);
    EXPECT_EQ(detail, u"Sarnick.WHTTPFetch Retrieval error:"_s + CRLF +
                          u"[-2147012867] The attempt to connect to the server failed."_s);

    log.clear();
    provider.addRule(rule(u"/ok"_s, 200, "fine"));
    EXPECT_FALSE(fetch(http, url(u"/ok"_s)));
    EXPECT_EQ(error, u"Retrieve error: [91] Object variable or With block variable not set"_s);
    EXPECT_EQ(detail, u"Sarnick.WHTTPFetch error setting timeouts:"_s + CRLF +
                          u"[91] Object variable or With block variable not set"_s);
    ASSERT_FALSE(log.lines().isEmpty());
    EXPECT_EQ(log.lines().last().text,
              u"HTTPFetchSetup: runtime error [91] Object variable or With block variable not set"_s);
    EXPECT_EQ(log.lines().last().level, 3);
    EXPECT_TRUE(provider.requests().isEmpty());
}

TEST_F(WinHttpTransportTest, ReceiveLimitOverflowFailsTheTimeoutStep)
{
    provider.addRule(rule(u"/ok"_s, 200, "fine"));
    clsWinHTTP http(u"Sarnick"_s);

    EXPECT_FALSE(fetch(http, url(u"/ok"_s), 2147484));
    EXPECT_EQ(error, u"Retrieve error: [6] Overflow"_s);
    EXPECT_EQ(detail, u"Sarnick.WHTTPFetch error setting timeouts:"_s + CRLF + u"[6] Overflow"_s);

    // One second less still fits in 32 bits.
    EXPECT_TRUE(fetch(http, url(u"/ok"_s), 2147483)) << detail.toStdString();
}

TEST_F(WinHttpTransportTest, AnAddressThatDoesNotParseFailsTheOpenStep)
{
    clsWinHTTP http(u"Sarnick"_s);
    EXPECT_FALSE(fetch(http, u"http://exa mple.com:99999/"_s));
    EXPECT_EQ(error, u"Retrieve error: [-2147012891] The URL is invalid."_s);
    EXPECT_EQ(detail, u"Sarnick.WHTTPFetch error opening page:"_s + CRLF + u"[-2147012891] The URL is invalid."_s);
}

TEST_F(WinHttpTransportTest, CertificatesAreVerified)
{
    FakeProvider tls(fixturesDir() + u"/provider"_s);
    ASSERT_TRUE(startTls(tls));
    tls.addRule(rule(u"/ok"_s, 200, "secure"));
    clsWinHTTP http(u"Sarnick"_s);

    EXPECT_FALSE(fetch(http, tls.baseUrl() + u"/ok"_s));
    const QString caText =
        u"The function is unfamiliar with the Certificate Authority that generated the server's certificate."_s;
    EXPECT_EQ(error, u"Retrieval error: "_s + caText);
    EXPECT_EQ(detail, u"Sarnick.WHTTPFetch Retrieval error:"_s + CRLF + u"[-2147012851] "_s + caText);

    const TrustTestAuthority trust;
    clsWinHTTP trusting(u"Sarnick"_s);
    ASSERT_TRUE(trusting.HTTPFetch(u"GET"_s, tls.baseUrl() + u"/ok"_s, QString(), 10, error, detail, response))
        << detail.toStdString();
    EXPECT_EQ(response, u"secure"_s);
}

TEST_F(WinHttpTransportTest, RedirectsAreFollowedButNeverFromHttpsToHttp)
{
    provider.addRule(rule(u"/ok"_s, 200, "landed"));
    FakeProvider::Rule moved = rule(u"/old"_s, 302);
    moved.headers = {{"Location", (provider.baseUrl() + u"/ok"_s).toLatin1()}};
    provider.addRule(moved);
    clsWinHTTP http(u"Sarnick"_s);
    ASSERT_TRUE(fetch(http, url(u"/old"_s))) << detail.toStdString();
    EXPECT_EQ(response, u"landed"_s);
    EXPECT_EQ(provider.requests().size(), 2);

    const TrustTestAuthority trust;
    FakeProvider tls(fixturesDir() + u"/provider"_s);
    ASSERT_TRUE(startTls(tls));
    tls.addRule(moved);
    provider.clearRequests();
    clsWinHTTP secure(u"Sarnick"_s);
    EXPECT_FALSE(secure.HTTPFetch(u"GET"_s, tls.baseUrl() + u"/old"_s, QString(), 10, error, detail, response));
    EXPECT_EQ(error, u"Retrieval error: Found"_s);
    EXPECT_TRUE(provider.requests().isEmpty()) << "the plain address was never asked";
}

TEST_F(WinHttpTransportTest, NamedProxyCarriesTheRequestAndItsCredentials)
{
    FakeProvider::Rule challenge = rule(QString(), 407);
    challenge.headers = {{"Proxy-Authenticate", "Basic realm=\"proxy\""}};
    challenge.unlessHeader = "Proxy-Authorization";
    provider.addRule(challenge);
    provider.addRule(rule(u"/cgi-bin/api.cgi"_s, 200, "via proxy"));
    clsWinHTTP http(u"Sarnick"_s);
    http.szProxy = u"127.0.0.1:"_s + QString::number(provider.port());
    http.szProxyUID = u"proxyuser"_s;
    http.szProxyPWD = u"proxypass"_s;

    ASSERT_TRUE(fetch(http, u"http://usage.provider.test/cgi-bin/api.cgi?x=1"_s)) << detail.toStdString();
    EXPECT_EQ(response, u"via proxy"_s);
    const FakeProvider::Request last = provider.requests().last();
    EXPECT_TRUE(last.absoluteForm);
    EXPECT_EQ(last.target, "http://usage.provider.test/cgi-bin/api.cgi?x=1");
    EXPECT_EQ(last.header("Proxy-Authorization"), "Basic " + QByteArray("proxyuser:proxypass").toBase64());

    // A secure address through an NTLM proxy: the user in its handshake, and the page through the tunnel.
    const TrustTestAuthority trust;
    FakeProvider tls(fixturesDir() + u"/provider"_s);
    ASSERT_TRUE(startTls(tls));
    tls.addRule(rule(u"/ok"_s, 200, "secure"));
    provider.clearRules();
    provider.clearRequests();
    for (const FakeProvider::Rule& ntlm : FakeProvider::ntlmProxyRules(false))
        provider.addRule(ntlm);
    clsWinHTTP secure(u"Sarnick"_s);
    secure.szProxy = http.szProxy;
    secure.szProxyUID = http.szProxyUID;
    secure.szProxyPWD = http.szProxyPWD;
    ASSERT_TRUE(fetch(secure, tls.baseUrl() + u"/ok"_s)) << detail.toStdString();
    EXPECT_EQ(response, u"secure"_s);
    ASSERT_EQ(provider.requests().size(), 3);
    EXPECT_EQ(provider.requests().at(2).ntlmUser(), u"proxyuser"_s);
}

TEST_F(WinHttpTransportTest, ProxyWithoutCredentialsGetsTheRefusal)
{
    FakeProvider::Rule challenge = rule(QString(), 407);
    challenge.headers = {{"Proxy-Authenticate", "Basic realm=\"proxy\""}};
    provider.addRule(challenge);
    clsWinHTTP http(u"Sarnick"_s);
    http.szProxy = u"127.0.0.1:"_s + QString::number(provider.port());
    http.szProxyUID = u"proxyuser"_s; // no password: no proxy credentials at all

    EXPECT_FALSE(fetch(http, u"http://usage.provider.test/x"_s));
    const QString refusal =
        u"The proxy server asks for proxy credentials, and none are set. (proxy "_s + http.szProxy + u')';
    EXPECT_EQ(error, u"Retrieval error: "_s + refusal);
    EXPECT_EQ(detail, u"Sarnick.WHTTPFetch Retrieval error:"_s + CRLF + u"[407] "_s + refusal);
    EXPECT_FALSE(provider.requests().last().hasHeader("Proxy-Authorization"));
}

TEST_F(WinHttpTransportTest, ABadProxyTextFailsTheProxyStep)
{
    clsWinHTTP http(u"Sarnick"_s);
    http.szProxy = u"proxy.test:notaport"_s;
    EXPECT_FALSE(fetch(http, url(u"/ok"_s)));
    EXPECT_TRUE(detail.startsWith(u"Sarnick.WHTTPFetch error setting proxy server:"_s + CRLF)) << detail.toStdString();
    EXPECT_TRUE(provider.requests().isEmpty());
}

} // namespace
