// SPDX-License-Identifier: MIT
#include "TransportTestSupport.h"
#include "clsWinHTTP.h"
#include "modMSXML.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;
using namespace TransportTestSupport;

namespace {

const QString kPassword = u"Zq7secretPW"_s;
const QString kProxyPassword = u"Vx3proxyPW"_s;

// Whatever fails, neither transport may put the password, or the filled-in address that carries
// it, into an error text or a Status line.
class TransportSecrecyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(provider.start());
        ASSERT_TRUE(startTls(tlsProvider));
        provider.addRule(rule(u"/missing"_s, 404));
        provider.addRule(rule(u"/broken"_s, 500));
        FakeProvider::Rule silent = rule(u"/silent"_s, 200);
        silent.neverAnswer = true;
        provider.addRule(silent);
        FakeProvider::Rule hangUp = rule(u"/hangup"_s, 200);
        hangUp.closeWithoutReply = true;
        provider.addRule(hangUp);
    }

    QStringList failingAddresses() const
    {
        const QString query = u"?_USERNAME=bob&_PASSWORD="_s + kPassword;
        return {
            provider.baseUrl() + u"/missing"_s + query,
            provider.baseUrl() + u"/broken"_s + query,
            provider.baseUrl() + u"/silent"_s + query,
            provider.baseUrl() + u"/hangup"_s + query,
            u"http://bob:"_s + kPassword + u"@127.0.0.1:"_s + QString::number(closedPort()) + u"/x"_s + query,
            tlsProvider.baseUrl() + u"/x"_s + query,
            u"http://bad host/"_s + query,
            u"ftp://127.0.0.1/"_s + query,
        };
    }

    void expectNoSecret(const QStringList& texts, const QString& address)
    {
        for (const QString& text : texts) {
            EXPECT_FALSE(text.contains(kPassword)) << text.toStdString();
            EXPECT_FALSE(text.contains(kProxyPassword)) << text.toStdString();
            EXPECT_FALSE(text.contains(u"_PASSWORD"_s)) << text.toStdString();
            EXPECT_FALSE(text.contains(address)) << text.toStdString();
        }
    }

    FakeProvider provider{fixturesDir() + u"/provider"_s};
    FakeProvider tlsProvider{fixturesDir() + u"/provider"_s};
};

TEST_F(TransportSecrecyTest, WinHttpTextsAndStatusLinesNeverCarryThePassword)
{
    for (const QString& address : failingAddresses()) {
        StatusLog log;
        QString error, detail, response;
        {
            clsWinHTTP http(u"Sarnick"_s, log.sink());
            http.szUsername = u"bob"_s;
            http.szPassword = kPassword;
            http.szProxyUID = u"proxyuser"_s;
            http.szProxyPWD = kProxyPassword;
            EXPECT_FALSE(http.HTTPFetch(u"GET"_s, address, QString(), 1, error, detail, response))
                << address.toStdString();
        }
        EXPECT_FALSE(error.isEmpty()) << address.toStdString();
        expectNoSecret(log.texts() + QStringList{error, detail}, address);
    }
}

TEST_F(TransportSecrecyTest, WinHttpProxyFailuresNeverCarryThePassword)
{
    FakeProvider::Rule refuse = rule(QString(), 407);
    refuse.headers = {{"Proxy-Authenticate", "Basic realm=\"proxy\""}};
    FakeProvider proxy(fixturesDir() + u"/provider"_s);
    ASSERT_TRUE(proxy.start());
    proxy.addRule(refuse);
    const QString address = u"http://usage.provider.test/x?_PASSWORD="_s + kPassword;

    const QStringList proxyServers{u"127.0.0.1:"_s + QString::number(proxy.port()),
                                   u"127.0.0.1:"_s + QString::number(closedPort())};
    for (const QString& proxyServer : proxyServers) {
        StatusLog log;
        QString error, detail, response;
        {
            clsWinHTTP http(u"Sarnick"_s, log.sink());
            http.szProxy = proxyServer;
            http.szProxyUID = u"proxyuser"_s;
            http.szProxyPWD = kProxyPassword;
            EXPECT_FALSE(http.HTTPFetch(u"GET"_s, address, QString(), 5, error, detail, response));
        }
        EXPECT_FALSE(error.isEmpty());
        expectNoSecret(log.texts() + QStringList{error, detail}, address);
    }
}

TEST_F(TransportSecrecyTest, MsxmlTextsNeverCarryThePassword)
{
    for (const QString& address : failingAddresses()) {
        QString error, detail, response;
        EXPECT_FALSE(
            modMSXML::HTTPFetch(u"GET"_s, address, QString(), 1, u"agent"_s, error, detail, response, u"Pelborne"_s))
            << address.toStdString();
        EXPECT_FALSE(error.isEmpty()) << address.toStdString();
        expectNoSecret({error, detail}, address);
    }
}

} // namespace
