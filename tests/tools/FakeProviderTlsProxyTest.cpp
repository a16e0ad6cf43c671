// SPDX-License-Identifier: MIT
#include "FakeProvider.h"
#include "ProviderTestSupport.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QSslCertificate>
#include <QSslKey>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ProviderTestSupport::get;

namespace {
QByteArray readFixture(const QString& name)
{
    QFile file(ProviderTestSupport::tlsFolder() + u'/' + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FakeProviderTls : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QSslCertificate certificate(readFixture(u"server.pem"_s), QSsl::Pem);
        const QSslKey key(readFixture(u"server.key"_s), QSsl::Rsa, QSsl::Pem);
        ASSERT_FALSE(certificate.isNull());
        ASSERT_FALSE(key.isNull());
        ASSERT_TRUE(secure.startTls(certificate, key));
    }
    QString versionUrl(const QString& host) const
    {
        return u"https://"_s + host + u':' + QString::number(secure.port()) + u"/software/Tallyroo/version/";
    }

    FakeProvider secure{ProviderTestSupport::providerData()};
    QNetworkAccessManager manager;
};

const QString versionPage = u"/software/Tallyroo/version/"_s;
} // namespace

TEST_F(FakeProviderTls, ATrustedAuthorityOpensTheConnectionByAddressAndByName)
{
    ProviderTestSupport::TrustTestAuthority trust;
    ASSERT_TRUE(trust.loaded());
    EXPECT_TRUE(secure.baseUrl().startsWith(u"https://127.0.0.1:"));
    for (const QString& host : {u"127.0.0.1"_s, u"localhost"_s}) {
        const auto fetched = get(manager, versionUrl(host));
        EXPECT_EQ(fetched.error, QNetworkReply::NoError) << qPrintable(host);
        EXPECT_EQ(fetched.status, 200);
        EXPECT_TRUE(fetched.body.startsWith("<pre>"));
    }
    EXPECT_EQ(secure.requests().size(), 2);
}

TEST_F(FakeProviderTls, WithoutTrustTheHandshakeFailsAndNothingIsRequested)
{
    const auto fetched = get(manager, versionUrl(u"127.0.0.1"_s));
    EXPECT_EQ(fetched.error, QNetworkReply::SslHandshakeFailedError);
    EXPECT_EQ(fetched.status, 0);
    EXPECT_TRUE(secure.requests().isEmpty());
    // The server survives the refused handshake. (A new manager: the first keeps its TLS settings.)
    ProviderTestSupport::TrustTestAuthority trust;
    QNetworkAccessManager trusting;
    EXPECT_EQ(get(trusting, versionUrl(u"127.0.0.1"_s)).status, 200);
}

TEST_F(FakeProviderTls, AProxyTunnelLeadsToTheSecureProvider)
{
    ProviderTestSupport::TrustTestAuthority trust;
    FakeProvider proxy(ProviderTestSupport::providerData());
    ASSERT_TRUE(proxy.start());
    manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, u"127.0.0.1"_s, proxy.port()));

    const auto fetched = get(manager, versionUrl(u"localhost"_s));
    EXPECT_EQ(fetched.error, QNetworkReply::NoError);
    EXPECT_EQ(fetched.status, 200);
    ASSERT_EQ(proxy.requests().size(), 1);
    EXPECT_EQ(proxy.requests().at(0).method, "CONNECT");
    EXPECT_EQ(proxy.requests().at(0).target, "localhost:" + QByteArray::number(secure.port()));
    ASSERT_EQ(secure.requests().size(), 1);
    EXPECT_EQ(secure.requests().at(0).path, versionPage);
    EXPECT_FALSE(secure.requests().at(0).absoluteForm);
}

TEST(FakeProviderProxy, AnswersProxyStyleRequestsAndRecordsTheProxyCredentials)
{
    FakeProvider proxy(ProviderTestSupport::providerData());
    ASSERT_TRUE(proxy.start());
    // Like a real proxy it asks for credentials first; the client then sends them.
    proxy.addRule({.status = 407,
                   .headers = {{"Proxy-Authenticate", "Basic realm=\"proxy\""}},
                   .unlessHeader = "Proxy-Authorization"});
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, u"127.0.0.1"_s, proxy.port(), u"puser"_s, u"p:w"_s));

    const auto fetched = get(manager, u"http://toolbox.quolla.invalid/software/Tallyroo/version/?src=t"_s);
    EXPECT_EQ(fetched.status, 200);
    EXPECT_TRUE(fetched.body.startsWith("<pre>"));
    const FakeProvider::Request last = proxy.requests().constLast();
    EXPECT_TRUE(last.absoluteForm);
    EXPECT_EQ(last.target, "http://toolbox.quolla.invalid/software/Tallyroo/version/?src=t");
    EXPECT_EQ(last.path, versionPage);
    EXPECT_EQ(last.header("Proxy-Authorization"), "Basic " + QByteArray("puser:p:w").toBase64());
}

TEST(FakeProviderProxy, TunnelsOnlyToThisMachine)
{
    FakeProvider proxy(ProviderTestSupport::providerData());
    ASSERT_TRUE(proxy.start());
    ProviderTestSupport::RawClient client(proxy.port());
    client.send("CONNECT toolbox.quolla.example:443 HTTP/1.1\r\nHost: toolbox.quolla.example:443\r\n\r\n");
    ASSERT_TRUE(client.waitForClose());
    EXPECT_TRUE(client.received().startsWith("HTTP/1.1 403 Forbidden\r\n"));

    // A loopback port where nobody listens: the tunnel cannot open.
    FakeProvider gone(ProviderTestSupport::providerData());
    ASSERT_TRUE(gone.start());
    const QByteArray deadPort = QByteArray::number(gone.port());
    gone.stop();
    ProviderTestSupport::RawClient second(proxy.port());
    second.send("CONNECT 127.0.0.1:" + deadPort + " HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(second.waitForClose());
    EXPECT_TRUE(second.received().startsWith("HTTP/1.1 502 Bad Gateway\r\n"));
}
