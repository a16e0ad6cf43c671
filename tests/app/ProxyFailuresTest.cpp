// SPDX-License-Identifier: MIT
// The run-once mode through a proxy that is down or that refuses the proxy credentials, against the
// fake provider in this process, which doubles as the proxy.
#include "FakeProvider.h"
#include "TallymeterProgram.h"

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
    }

    // Settings of the sample account with the proxy given; feed: 1 JSON, 0 XML.
    void writeProxyProfile(const QString& target, quint16 proxyPort, const QString& proxyPassword, int feed)
    {
        base = target;
        writeProfile(u"sunshine 42"_s, u"\"UseJSONFeed\"=dword:0000000"_s + QString::number(feed) +
                                           u"\n\"UseProxy\"=dword:00000001\n\"Proxy\"=\"127.0.0.1:"_s +
                                           QString::number(proxyPort) + u"\"\n\"ProxyUID\"=\"proxyuser\"\n"_s +
                                           u"\"ProxyPwd\"=\""_s + proxyPassword + u"\"\n"_s);
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

} // namespace

TEST_F(ProxyFailures, BothFeedsNameTheProxyThatIsDownOrThatRefusedTheProxyCredentials)
{
    ASSERT_NE(server.port(), 0);
    const QString plain = server.baseUrl();
    const QString proxy = u"127.0.0.1:"_s + QString::number(server.port());
    // The proxy asks for a password; the right one lets the request through to the provider.
    FakeProvider::Rule password;
    password.status = 407;
    password.headers = {{"Proxy-Authenticate", "Basic realm=\"proxy\""}};
    password.unlessHeader = "Proxy-Authorization";
    password.unlessValue = "Basic " + QByteArray("proxyuser:right").toBase64();
    // Or it refuses the tunnel to the secure address with 401, whatever the password, as some do.
    FakeProvider::Rule refusal;
    refusal.status = 401;
    const quint16 down = closedPort();
    const struct
    {
        QString target;
        quint16 proxyPort;
        QString password;
        int status;
        QString text;
        const FakeProvider::Rule& rule;
    } cases[] = {
        {plain, down, u"right"_s, 1,
         u"The designated proxy server cannot be reached. (proxy 127.0.0.1:"_s + QString::number(down) + u')',
         password},
        {u"https://usage.provider.test"_s, down, u"right"_s, 1,
         u"The designated proxy server cannot be reached. (proxy 127.0.0.1:"_s + QString::number(down) + u')',
         password},
        {plain, server.port(), u"wrong"_s, 1,
         u"The proxy server refused the proxy credentials. (proxy "_s + proxy + u')', password},
        {u"https://usage.provider.test"_s, server.port(), u"right"_s, 1,
         u"The proxy server refused the proxy credentials. (proxy "_s + proxy + u')', refusal},
        {plain, server.port(), u"right"_s, 0, QString(), password},
    };
    for (const int feed : {1, 0}) {
        for (const auto& [target, proxyPort, proxyPassword, status, text, rule] : cases) {
            SCOPED_TRACE(QString(QString::number(feed) + u' ' + target + u' ' + QString::number(proxyPort) + u' ' +
                                 proxyPassword)
                             .toStdString());
            writeProxyProfile(target, proxyPort, proxyPassword, feed);
            ageLastRefresh();
            server.clearRequests();
            server.clearRules();
            server.addRule(rule);
            EXPECT_EQ(run({u"/H"_s}), status) << output.toStdString();
            if (status == 0) {
                EXPECT_TRUE(server.requests().last().absoluteForm);
                continue;
            }
            EXPECT_TRUE(output.contains(u"Retrieval error: "_s + text)) << output.toStdString();
            EXPECT_FALSE(output.contains(u"The attempt to connect to the server failed."_s)) << output.toStdString();
        }
    }
}
