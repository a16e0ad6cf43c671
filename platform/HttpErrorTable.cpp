// SPDX-License-Identifier: MIT
#include "HttpErrorTable.h"

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace HttpErrorTable {

namespace {

struct Entry
{
    int32_t number;
    const char* text;
};

// clang-format off
constexpr std::array<Entry, 34> kTable{{
    {12001, "No more handles could be generated at this time."},
    {12002, "The request has timed out."},
    {12003, "An extended error was returned from the server."},
    {12004, "An internal error has occurred."},
    {12005, "The URL is invalid."},
    {12007, "The server name could not be resolved."},
    {12008, "The requested protocol could not be located."},
    {12009, "A request to InternetQueryOption or InternetSetOption specified an invalid option value."},
    {12016, "The requested operation is invalid."},
    {12017, "The operation was canceled, usually because the handle on which the request was operating was closed "
            "before the operation completed."},
    {12019, "The handle supplied is not in the correct state."},
    {12020, "The request cannot be made via a proxy."},
    {12021, "A required registry value could not be located."},
    {12026, "The required operation could not be completed because one or more requests are pending."},
    {12027, "The format of the request is invalid."},
    {12028, "The requested item could not be located."},
    {12029, "The attempt to connect to the server failed."},
    {12030, "The connection with the server has been terminated."},
    {12031, "The connection with the server has been reset."},
    {12033, "The request to the proxy was invalid."},
    {12037, "SSL certificate date that was received from the server is bad. The certificate is expired."},
    {12038, "SSL certificate common name is incorrect."},
    {12045, "The function is unfamiliar with the Certificate Authority that generated the server's certificate."},
    {12055, "The SSL certificate contains errors."},
    {12150, "The requested header could not be located."},
    {12152, "The server response could not be parsed."},
    {12157, "The application experienced an internal error loading the SSL libraries."},
    {12164, "The Web site or server indicated is unreachable."},
    {12165, "The designated proxy server cannot be reached."},
    {12169, "SSL certificate is invalid."},
    {12170, "SSL certificate was revoked."},
    {12172, "Initialization of the wininet API has not occurred. Indicates that a higher-level function, such as "
            "InternetOpen, has not been called yet."},
    {12173, "Not currently implemented."},
    {-2146893051, "The requested security package does not exist."},
}};
// clang-format on

const Entry* find(int32_t number)
{
    const auto* it =
        std::find_if(kTable.begin(), kTable.end(), [number](const Entry& e) { return e.number == number; });
    return it == kTable.end() ? nullptr : it;
}

// The most telling certificate failure wins when a handshake reports several.
int32_t fromSslErrors(const QList<QSslError>& sslErrors)
{
    const auto has = [&sslErrors](std::initializer_list<QSslError::SslError> kinds) {
        return std::any_of(sslErrors.begin(), sslErrors.end(), [&kinds](const QSslError& e) {
            return std::find(kinds.begin(), kinds.end(), e.error()) != kinds.end();
        });
    };
    if (sslErrors.isEmpty())
        return SecureFailure;
    if (has({QSslError::CertificateRevoked}))
        return CertRevoked;
    if (has({QSslError::UnableToGetIssuerCertificate, QSslError::UnableToGetLocalIssuerCertificate,
             QSslError::SelfSignedCertificate, QSslError::SelfSignedCertificateInChain, QSslError::CertificateUntrusted,
             QSslError::UnableToVerifyFirstCertificate, QSslError::InvalidCaCertificate}))
        return InvalidCertificateAuthority;
    if (has({QSslError::CertificateExpired, QSslError::CertificateNotYetValid}))
        return CertDateInvalid;
    if (has({QSslError::HostNameMismatch}))
        return CertCommonNameInvalid;
    return CertInvalid;
}

} // namespace

int32_t fromReply(QNetworkReply::NetworkError error, const QList<QSslError>& sslErrors)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return NameNotResolved;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
    case QNetworkReply::UnknownNetworkError:
        return CannotConnect;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
        return ConnectionAborted;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
        return Timeout;
    case QNetworkReply::OperationCanceledError:
        return OperationCancelled;
    case QNetworkReply::SslHandshakeFailedError:
        return fromSslErrors(sslErrors);
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::UnknownProxyError:
        return ProxyUnreachable;
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return InvalidProxyRequest;
    case QNetworkReply::ProtocolUnknownError:
        return ProtocolNotFound;
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProtocolFailure:
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return InvalidServerResponse;
    default:
        // The remaining codes stand for HTTP statuses, which arrive as responses, not as failures.
        return InternalError;
    }
}

bool cutsResponseShort(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProtocolFailure:
        return true;
    default:
        return false;
    }
}

QString description(int32_t number)
{
    if (const Entry* e = find(number))
        return QString::fromLatin1(e->text);
    if (number == SecureFailure)
        return u"A security error occurred while setting up the secure connection."_s;
    return {};
}

QString winInetText(int32_t number)
{
    const QString text = description(number);
    return text.isEmpty() ? u"Unknown wininet error"_s : text;
}

QString withProxy(int32_t number, const QString& text, const QString& proxy)
{
    if (proxy.isEmpty() ||
        (number != ProxyUnreachable && number != InvalidProxyRequest && number != NotViaProxy && number != InvalidUrl))
        return text;
    return text + u" (proxy "_s + proxy + u')';
}

QString proxyRefusedCredentials(bool credentialsGiven, const QString& proxy)
{
    return (credentialsGiven ? u"The proxy server refused the proxy credentials."_s
                             : u"The proxy server asks for proxy credentials, and none are set."_s) +
           u" (proxy "_s + proxy + u')';
}

QString proxyCannotAnswer(const QString& scheme, const QString& proxy)
{
    return u"The proxy server asks for proxy credentials in a scheme this program cannot answer ("_s + scheme +
           u"). (proxy "_s + proxy + u')';
}

int32_t asResultCode(int32_t number)
{
    if (number <= 0 || number > 0xFFFF)
        return number;
    return static_cast<int32_t>(0x80070000u | static_cast<uint32_t>(number));
}

} // namespace HttpErrorTable
