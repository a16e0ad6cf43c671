// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QNetworkReply>
#include <QSslError>
#include <QString>

#include <cstdint>

// The transports report network failures with the desktop platform's internet error numbers
// (12001..12175), because the components' error texts and their callers are written around them.
// Qt's own error strings are never used: they carry the whole address, password included.
namespace HttpErrorTable {
inline constexpr int32_t NoMoreHandles = 12001;
inline constexpr int32_t Timeout = 12002;
inline constexpr int32_t InternalError = 12004;
inline constexpr int32_t InvalidUrl = 12005;
inline constexpr int32_t NameNotResolved = 12007;
inline constexpr int32_t ProtocolNotFound = 12008;
inline constexpr int32_t OperationCancelled = 12017;
// The proxy was reached but would not carry the request (it refused the tunnel to the server).
inline constexpr int32_t NotViaProxy = 12020;
inline constexpr int32_t CannotConnect = 12029;
inline constexpr int32_t ConnectionAborted = 12030;
inline constexpr int32_t ConnectionReset = 12031;
inline constexpr int32_t InvalidProxyRequest = 12033;
inline constexpr int32_t CertDateInvalid = 12037;
inline constexpr int32_t CertCommonNameInvalid = 12038;
inline constexpr int32_t InvalidCertificateAuthority = 12045;
inline constexpr int32_t CertErrors = 12055;
inline constexpr int32_t InvalidServerResponse = 12152;
inline constexpr int32_t ProxyUnreachable = 12165;
inline constexpr int32_t CertInvalid = 12169;
inline constexpr int32_t CertRevoked = 12170;
inline constexpr int32_t SecureFailure = 12175;
// A missing security package; reported as a full result code, not as an internet error number.
inline constexpr int32_t SecurityPackageNotFound = -2146893051;

// The internet error number for a reply that ended without an HTTP response. The TLS errors that
// came before a handshake failure choose among the certificate numbers.
int32_t fromReply(QNetworkReply::NetworkError error, const QList<QSslError>& sslErrors);

// Whether an error that ends a response after its status line means the response broke off: the
// connection went (closed or reset) before the body that the headers announced was in, or the rest
// did not read as HTTP. The other errors that come with a status only restate it (404, 500, 401 ...):
// those responses are answers.
bool cutsResponseShort(QNetworkReply::NetworkError error);

// The request object's own description of a failure: the table's text, a text of our own for the
// few numbers we raise that the table lacks, else empty.
QString description(int32_t number);

// The same description, "Unknown wininet error" for a number that has none: both transports give
// one text for each failure they raise.
QString winInetText(int32_t number);

// A failure's text with the proxy it concerns ("host:port"), where the number is about the proxy
// and one was in use: the user needs to know which of the two failed.
QString withProxy(int32_t number, const QString& text, const QString& proxy);

// What a proxy that asked for credentials with 407 means: it did not take the ones it was given,
// or none were set to give it.
QString proxyRefusedCredentials(bool credentialsGiven, const QString& proxy);
// A proxy that asks for credentials only in a way the program cannot answer (scheme: how it asks).
QString proxyCannotAnswer(const QString& scheme, const QString& proxy);

// The number as the request object raises it: the internet error number in the Win32 facility of a
// result code (12007 gives 0x80072EE7), written signed.
int32_t asResultCode(int32_t number);
} // namespace HttpErrorTable
