// SPDX-License-Identifier: MIT
// The run-once mode through a proxy that is down, that cannot be looked up, that asks for credentials
// or that refuses the request, against the fake provider in this process, which doubles as the proxy
// and records what it receives.
#include "FakeProvider.h"
#include "TallymeterProgram.h"

#include <QElapsedTimer>
#include <QTcpServer>

using namespace Qt::StringLiterals;

namespace {

class ProxyFailures : public TallymeterProgram
{
protected:
    ProxyFailures() : TallymeterProgram(false)
    {
        if (server.start())
            base = server.baseUrl();
        // Every host but this machine's goes through the proxy of the environment, too.
        env.remove(u"no_proxy"_s);
        env.remove(u"NO_PROXY"_s);
    }

    // Settings of the sample account with the proxy given (host:port) to both transports: feed 1 JSON,
    // 0 XML; no password: no proxy credentials.
    void writeProxyProfile(const QString& target, const QString& proxy, const QString& password, int feed, bool msxml)
    {
        base = target;
        writeProfile(u"sunshine 42"_s, u"\"UseJSONFeed\"=dword:0000000"_s + QString::number(feed) +
                                           u"\n\"UseProxy\"=dword:00000001\n\"Proxy\"=\""_s + proxy +
                                           u"\"\n\"ProxyUID\"=\"proxyuser\"\n\"ProxyPwd\"=\""_s + password + u"\"\n"_s);
        for (const QString& component : {u"Pelborne"_s, u"Sarnick"_s})
            setRegistryValue(u"Software\\"_s + component + u"\\Config"_s, u"UseMSXML"_s, RegistryValue::dword(msxml));
        for (const QString& name : {u"http_proxy"_s, u"https_proxy"_s})
            env.insert(name,
                       u"http://"_s + (password.isEmpty() ? QString() : u"proxyuser:"_s + password + u'@') + proxy);
    }

    // A loopback port where nothing listens.
    static quint16 closedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

    FakeProvider server{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
};

FakeProvider::Rule challenge(const QByteArray& scheme, const QByteArray& unlessValue = {})
{
    return {.status = 407,
            .headers = {{"Proxy-Authenticate", scheme + " realm=\"proxy\", nonce=\"b7f2e1\", qop=\"auth\""}},
            .unlessHeader = "Proxy-Authorization",
            .unlessValue = unlessValue};
}

// A proxy that asks in a scheme with nothing more (as NTLM and Negotiate ask first).
FakeProvider::Rule asks(const QByteArray& scheme)
{
    return {.status = 407, .headers = {{"Proxy-Authenticate", scheme}}};
}

} // namespace

TEST_F(ProxyFailures, EachTransportAndFeedSendsProxyCredentialsOnlyWhenAskedAndNamesTheProxy)
{
    ASSERT_NE(server.port(), 0);
    const QString proxy = u"127.0.0.1:"_s + QString::number(server.port());
    const QString down = u"127.0.0.1:"_s + QString::number(closedPort());
    // No DNS query can carry a name of over 255 octets: the resolver refuses it before anything leaves.
    const QString unknown = QStringList(4, QString(63, u'q')).join(u'.') + u".test:3128"_s;
    // No route leads to a broadcast address: the system refuses to connect before anything goes out.
    const QString unroutable = u"255.255.255.255:3128"_s;
    const QString notVia = u"The request cannot be made via a proxy. (proxy "_s + proxy + u')';
    const QString refused = u"The proxy server refused the proxy credentials. (proxy "_s + proxy + u')';
    const QString noneSet = u"The proxy server asks for proxy credentials, and none are set. (proxy "_s + proxy + u')';
    const auto cannot = [&proxy](const QString& scheme) -> QString {
        return u"The proxy server asks for proxy credentials in a scheme this program cannot answer ("_s + scheme +
               u"). (proxy "_s + proxy + u')';
    };
    const QString noChallenge = cannot(u"NTLM without a challenge"_s);
    const QString badChallenge = cannot(u"NTLM, with a challenge that does not parse"_s);
    const QString downTold = u"The designated proxy server cannot be reached. (proxy "_s + down + u')';
    const QString unknownTold = u"The designated proxy server cannot be reached. (proxy "_s + unknown + u')';
    const QString unroutableTold = u"The designated proxy server cannot be reached. (proxy "_s + unroutable + u')';
    const QByteArray right = "Basic " + QByteArray("proxyuser:right").toBase64();
    const struct
    {
        QList<FakeProvider::Rule> rules;
        QString proxy;
        QString password;
        QByteArray asks;               // the scheme the proxy asks for credentials in; empty: none
        QString tunnelTold, plainTold; // over https and over http; empty: the month comes
        int rounds;                    // the requests of one fetch to the proxy
    } cases[] = {
        {{challenge("Digest"), {.status = 403}}, proxy, u"right"_s, "Digest", notVia, u"Forbidden"_s, 2},
        {{challenge("Digest", "never")}, proxy, u"right"_s, "Digest", refused, refused, 2},
        {{{.status = 403}}, proxy, u"right"_s, {}, notVia, u"Forbidden"_s, 1},
        {{{.status = 502}}, proxy, u"right"_s, {}, notVia, u"Bad Gateway"_s, 1},
        // The proxy takes the password, then refuses the tunnel to a server that is not on this machine.
        {{challenge("Basic", right)}, proxy, u"right"_s, "Basic", notVia, {}, 2},
        {{challenge("Basic", right)}, proxy, u"wrong"_s, "Basic", refused, refused, 2},
        {{challenge("Basic")}, proxy, {}, "Basic", noneSet, noneSet, 1},
        {FakeProvider::ntlmProxyRules(false), proxy, u"right"_s, "NTLM", notVia, {}, 3},
        {FakeProvider::ntlmProxyRules(true), proxy, u"right"_s, "NTLM", refused, refused, 3},
        {{asks("NTLM")}, proxy, u"right"_s, "NTLM", noChallenge, noChallenge, 2},
        // The challenge of a proxy's NTLM helper, its target name at an offset past its end.
        {{FakeProvider::ntlmProxyRules(false).constFirst(),
          asks("NTLM TlRMTVNTUAACAAAACQAJAK6qqqoFgggAWYZ7bEMcoV0AAAAAAAA6AFdPUktHUk9VUA==")},
         proxy,
         u"right"_s,
         "NTLM",
         badChallenge,
         badChallenge,
         2},
        {{asks("Negotiate")}, proxy, u"right"_s, {}, cannot(u"Negotiate"_s), cannot(u"Negotiate"_s), 1},
        {{}, down, u"right"_s, {}, downTold, downTold, 0},
        {{}, unknown, u"right"_s, {}, unknownTold, unknownTold, 0},
        {{}, unroutable, u"right"_s, {}, unroutableTold, unroutableTold, 0},
        // An address that does not parse: no request goes out, through the proxy or past it.
        {{}, u"127.0.0.1:80a"_s, u"right"_s, {}, u"The URL is invalid."_s, u"The URL is invalid."_s, 0},
    };
    for (const bool msxml : {false, true}) {
        for (const int feed : {1, 0}) {
            for (const auto& [rules, proxyServer, password, asks, tunnelTold, plainTold, rounds] : cases) {
                for (const bool tunnel : {true, false}) {
                    const QString& told = tunnel ? tunnelTold : plainTold;
                    SCOPED_TRACE(QString(QString::number(msxml) + QString::number(feed) + QString::number(tunnel) +
                                         u' ' + proxyServer + u' ' + password + u' ' + told)
                                     .toStdString());
                    // The JSON feed takes plain http only from this machine, which no proxy of the
                    // environment stands between.
                    if (!tunnel && msxml && feed == 1)
                        continue;
                    writeProxyProfile(tunnel  ? u"https://usage.provider.test"_s
                                      : msxml ? u"http://usage.provider.test"_s
                                              : server.baseUrl(),
                                      proxyServer, password, feed, msxml);
                    ageLastRefresh();
                    server.clearRequests();
                    server.clearRules();
                    for (const FakeProvider::Rule& rule : rules)
                        server.addRule(rule);
                    EXPECT_EQ(run({u"/H"_s}), told.isEmpty() ? 0 : 1) << output.toStdString();
                    EXPECT_TRUE(output.contains(told)) << output.toStdString();
                    EXPECT_EQ(output.contains(u"credentials"_s), told.contains(u"credentials"_s))
                        << output.toStdString();
                    // The proxy is the only one that hears of the request, and of the password only
                    // once it asked for it, in its own scheme; each fetch (which opens unasked) in as
                    // many requests as the scheme takes, the user's NTLM message with the user.
                    bool asked = false;
                    qsizetype fetches = 0, users = 0;
                    for (const FakeProvider::Request& request : server.requests()) {
                        EXPECT_EQ(request.method == "CONNECT", tunnel);
                        const QByteArray answer = request.header("Proxy-Authorization");
                        EXPECT_TRUE(answer.isEmpty() || (asked && answer.startsWith(QByteArray(asks + ' '))))
                            << answer.data();
                        asked = !asks.isEmpty();
                        fetches += answer.isEmpty();
                        users += request.ntlmUser() == u"proxyuser"_s;
                    }
                    EXPECT_EQ(server.requests().size(), rounds * fetches);
                    EXPECT_EQ(users, rounds == 3 ? fetches : 0);
                }
            }
        }
    }
}

TEST_F(ProxyFailures, TheTimeLimitEndsASilentTunnelAndASilentHandshakeOnEachTransport)
{
    ASSERT_NE(server.port(), 0);
    // Takes connections and never says a word, so no handshake comes back.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const QString proxy = u"127.0.0.1:"_s + QString::number(server.port());
    for (const bool msxml : {false, true}) {
        for (const bool silentTunnel : {true, false}) {
            SCOPED_TRACE(std::to_string(msxml) + std::to_string(silentTunnel));
            // The proxy takes the CONNECT and is silent, or opens a tunnel to the silent server (which
            // the environment's proxy leaves to a direct connection).
            writeProxyProfile(silentTunnel ? u"https://usage.provider.test"_s
                                           : u"https://127.0.0.1:"_s + QString::number(silent.serverPort()),
                              proxy, u"right"_s, 1, msxml);
            setRegistryValue(u"Software\\Tallymeter\\Config"_s, u"Timeout"_s, RegistryValue::dword(2));
            ageLastRefresh();
            server.clearRules();
            if (silentTunnel)
                server.addRule({.neverAnswer = true});
            QElapsedTimer clock;
            clock.start();
            EXPECT_EQ(run({u"/H"_s}), 1);
            EXPECT_TRUE(output.contains(u"Connection timed out (timeout exceeded)"_s)) << output.toStdString();
            // Two seconds to wait, the rest for the program to start and end.
            EXPECT_LT(clock.elapsed(), 15000);
        }
    }
}
