// SPDX-License-Identifier: MIT
#include "HttpErrorTable.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QList<QSslError> errors(std::initializer_list<QSslError::SslError> kinds)
{
    QList<QSslError> out;
    for (QSslError::SslError kind : kinds)
        out << QSslError(kind);
    return out;
}

TEST(HttpErrorTableTest, TheMostTellingCertificateFailureWins)
{
    using HttpErrorTable::fromReply;
    const auto tls = QNetworkReply::SslHandshakeFailedError;
    EXPECT_EQ(fromReply(tls, errors({QSslError::SelfSignedCertificate})), 12045);
    EXPECT_EQ(fromReply(tls, errors({QSslError::UnableToGetLocalIssuerCertificate})), 12045);
    EXPECT_EQ(fromReply(tls, errors({QSslError::HostNameMismatch})), 12038);
    EXPECT_EQ(fromReply(tls, errors({QSslError::CertificateExpired})), 12037);
    EXPECT_EQ(fromReply(tls, errors({QSslError::CertificateNotYetValid})), 12037);
    EXPECT_EQ(fromReply(tls, errors({QSslError::CertificateRevoked, QSslError::HostNameMismatch})), 12170);
    EXPECT_EQ(fromReply(tls, errors({QSslError::HostNameMismatch, QSslError::CertificateUntrusted})), 12045);
    EXPECT_EQ(fromReply(tls, errors({QSslError::HostNameMismatch, QSslError::CertificateExpired})), 12037);
    EXPECT_EQ(fromReply(tls, errors({QSslError::CertificateSignatureFailed})), 12169);
    // A handshake that failed without a certificate complaint (protocol, cipher).
    EXPECT_EQ(fromReply(tls, {}), 12175);
}

TEST(HttpErrorTableTest, TextsComeFromTheTable)
{
    EXPECT_EQ(HttpErrorTable::winInetText(12007), u"The server name could not be resolved."_s);
    EXPECT_EQ(HttpErrorTable::winInetText(-2146893051), u"The requested security package does not exist."_s);
    EXPECT_EQ(HttpErrorTable::winInetText(12006), u"Unknown wininet error"_s);
    // The request object describes the secure failure it raises itself, and nothing it does not know.
    EXPECT_EQ(HttpErrorTable::winInetText(12175), HttpErrorTable::description(12175));
    EXPECT_NE(HttpErrorTable::winInetText(12175), u"Unknown wininet error"_s);
    EXPECT_EQ(HttpErrorTable::description(12029), u"The attempt to connect to the server failed."_s);
    EXPECT_TRUE(HttpErrorTable::description(12006).isEmpty());
}

TEST(HttpErrorTableTest, ResultCodesAreSignedWin32FacilityCodes)
{
    EXPECT_EQ(HttpErrorTable::asResultCode(12002), -2147012894);
    EXPECT_EQ(HttpErrorTable::asResultCode(12007), -2147012889);
    EXPECT_EQ(HttpErrorTable::asResultCode(12045), -2147012851);
    // Already a result code: unchanged.
    EXPECT_EQ(HttpErrorTable::asResultCode(-2146893051), -2146893051);
}

} // namespace
