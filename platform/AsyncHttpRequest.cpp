// SPDX-License-Identifier: MIT
#include "AsyncHttpRequest.h"

#include "EnvironmentProxy.h"
#include "HttpErrorTable.h"
#include "ProxyReachability.h"
#include "ProxyRelay.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// How long the look at whether a proxy takes connections may take, without a connect limit.
constexpr int kReachabilityMs = 10000;

bool sameServer(const QUrl& a, const QUrl& b)
{
    const QString scheme = a.scheme().toLower();
    const int defaultPort = scheme == u"https" ? 443 : 80;
    return scheme == b.scheme().toLower() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 &&
           a.port(defaultPort) == b.port(defaultPort);
}
} // namespace

AsyncHttpRequest::AsyncHttpRequest()
    : m_manager(std::make_unique<QNetworkAccessManager>()), m_deadlines([this] { onTimedOut(); })
{
    QObject::connect(m_manager.get(), &QNetworkAccessManager::authenticationRequired,
                     [this](QNetworkReply* reply, QAuthenticator* auth) { onAuthenticationRequired(reply, auth); });
    QObject::connect(m_manager.get(), &QNetworkAccessManager::proxyAuthenticationRequired,
                     [this](const QNetworkProxy&, QAuthenticator* auth) { onProxyAuthenticationRequired(auth); });
}

AsyncHttpRequest::~AsyncHttpRequest()
{
    m_deadlines.stop();
    releaseReply();
}

int32_t AsyncHttpRequest::open(const QString& method, const QString& url)
{
    releaseReply();
    resetResult();
    m_readyState = Unsent;
    m_method.clear();
    m_url = QUrl(url, QUrl::StrictMode);
    if (!m_url.isValid() || m_url.host().isEmpty() || method.trimmed().isEmpty())
        return HttpErrorTable::InvalidUrl;
    const QString scheme = m_url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https")
        return HttpErrorTable::ProtocolNotFound;
    m_method = method.toLatin1();
    m_headers.clear();
    m_readyState = Opened;
    return 0;
}

void AsyncHttpRequest::setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs)
{
    m_deadlines.setLimits(resolveMs, connectMs, sendMs, receiveMs);
}

void AsyncHttpRequest::setWaitLimit(int ms)
{
    m_deadlines.setWaitLimit(ms);
}

void AsyncHttpRequest::setRequestHeader(const QString& name, const QString& value)
{
    const QByteArray key = name.toLatin1();
    QByteArray bytes = value.toLatin1();
    // Qt drops a header with an empty value, and puts its own agent in place of an empty one; a
    // lone blank still sends the header and reads as empty at the other end.
    if (bytes.isEmpty())
        bytes = QByteArray(" ");
    const auto it = std::find_if(m_headers.begin(), m_headers.end(),
                                 [&key](const auto& h) { return h.first.compare(key, Qt::CaseInsensitive) == 0; });
    if (it != m_headers.end())
        it->second = bytes;
    else
        m_headers.append({key, bytes});
}

void AsyncHttpRequest::setCredentials(const QString& user, const QString& password)
{
    m_user = user;
    m_password = password;
}

int32_t AsyncHttpRequest::setProxy(const QString& hostPort)
{
    QString text = hostPort.trimmed();
    if (text.startsWith(u"http://"_s, Qt::CaseInsensitive))
        text.remove(0, 7);
    while (text.endsWith(u'/'))
        text.chop(1);
    const QUrl parsed(u"http://"_s + text, QUrl::StrictMode);
    if (text.isEmpty() || !parsed.isValid() || parsed.host().isEmpty() || !parsed.path().isEmpty() ||
        !parsed.userInfo().isEmpty())
        return HttpErrorTable::InvalidUrl;
    m_namedProxy = QNetworkProxy(QNetworkProxy::HttpProxy, parsed.host(), static_cast<quint16>(parsed.port(80)));
    m_proxyMode = ProxyMode::Named;
    return 0;
}

void AsyncHttpRequest::setProxyCredentials(const QString& user, const QString& password)
{
    m_proxyUser = user;
    m_proxyPassword = password;
}

int32_t AsyncHttpRequest::send(const QByteArray& body)
{
    if (m_readyState != Opened || m_method.isEmpty())
        return 12019; // the handle is not in the correct state
    releaseReply();
    resetResult();

    m_proxyAnswerUser.clear();
    m_proxyAnswerPassword.clear();
    switch (m_proxyMode) {
    case ProxyMode::Direct:
        m_activeProxy = QNetworkProxy(QNetworkProxy::NoProxy);
        break;
    case ProxyMode::Named:
        m_activeProxy = m_namedProxy;
        m_proxyAnswerUser = m_proxyUser;
        m_proxyAnswerPassword = m_proxyPassword;
        break;
    case ProxyMode::Environment: {
        const std::optional<QNetworkProxy> proxy = EnvironmentProxy::forUrl(m_url);
        if (!proxy) {
            // The user set a proxy for this address: nothing goes out, not even direct.
            m_activeProxy = QNetworkProxy(QNetworkProxy::NoProxy);
            m_unusableProxy = EnvironmentProxy::shownAddress(m_url);
            refuse(HttpErrorTable::InvalidUrl);
            return 0;
        }
        m_activeProxy = *proxy;
        // Credentials kept on the proxy are the network layer's to offer as it sees fit (a SOCKS
        // proxy is offered nothing but the password); kept here they go only into the answer to a
        // challenge, as the options' do.
        m_proxyAnswerUser = m_activeProxy.user();
        m_proxyAnswerPassword = m_activeProxy.password();
        m_activeProxy.setUser({});
        m_activeProxy.setPassword({});
        break;
    }
    }
    // An HTTP proxy's sign-in rounds are judged on the way: the network layer has the relay for its
    // proxy, with the credentials, which it offers once the proxy asks, in the scheme asked for.
    if (m_activeProxy.type() == QNetworkProxy::HttpProxy) {
        // The network layer answers the proxy itself from here: a 407 it gives up on refused what it
        // was given, when it was given anything.
        m_proxyCredentialsWithLayer = !m_proxyAnswerUser.isEmpty();
        m_relay = std::make_unique<ProxyRelay>(
            m_activeProxy, std::exchange(m_proxyAnswerUser, {}), std::exchange(m_proxyAnswerPassword, {}),
            [this](int32_t number, const QString& answer) { onRelayEnded(number, answer); });
        // Without it the network layer would answer the proxy by itself, round after round (thousands
        // a second, for NTLM through a tunnel): the fetch does not go out.
        if (!m_relay->listening()) {
            m_relay.reset();
            refuse(HttpErrorTable::NotViaProxy);
            return 0;
        }
    }
    m_manager->setProxy(m_relay ? m_relay->proxy() : m_activeProxy);

    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    for (const auto& [name, value] : std::as_const(m_headers))
        request.setRawHeader(name, value);

    QNetworkReply* reply = body.isEmpty() ? m_manager->sendCustomRequest(request, m_method)
                                          : m_manager->sendCustomRequest(request, m_method, body);
    m_reply = reply;

    QObject::connect(reply, &QNetworkReply::socketStartedConnecting, reply, [this] {
        m_connectingStarted = true;
        m_deadlines.connecting();
    });
    QObject::connect(reply, &QNetworkReply::requestSent, reply, [this] { m_deadlines.requestWritten(); });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this] { onMetaDataChanged(); });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [this] { onReadyRead(); });
    QObject::connect(reply, &QNetworkReply::sslErrors, reply,
                     [this](const QList<QSslError>& errors) { m_sslErrors += errors; });
    QObject::connect(reply, &QNetworkReply::finished, reply, [this] { onFinished(); });
    m_deadlines.started();
    return 0;
}

void AsyncHttpRequest::abort()
{
    m_aborted = true;
    m_reachability.reset();
    m_relay.reset();
    m_deadlines.stop();
    releaseReply();
    m_readyState = Unsent;
}

void AsyncHttpRequest::onRelayEnded(int32_t number, const QString& proxyAnswer)
{
    if (m_aborted || !m_reply)
        return;
    m_deadlines.stop();
    if (number != 0)
        fail(number);
    else
        proxyAnswered(proxyAnswer);
}

void AsyncHttpRequest::refuse(int32_t number)
{
    // The failure comes while the owner pumps events, as any other, and only to this send.
    m_refusal = number;
    QTimer::singleShot(0, m_manager.get(), [this] {
        if (m_refusal != 0 && !m_aborted && m_readyState != Done)
            fail(std::exchange(m_refusal, 0));
    });
}

QString AsyncHttpRequest::proxyInUse() const
{
    if (m_unusableProxy)
        return *m_unusableProxy;
    if (m_activeProxy.type() != QNetworkProxy::HttpProxy && m_activeProxy.type() != QNetworkProxy::Socks5Proxy)
        return {};
    return m_activeProxy.hostName() + u':' + QString::number(m_activeProxy.port());
}

QString AsyncHttpRequest::responseText() const
{
    const qsizetype at = m_contentType.indexOf(u"charset="_s, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        QString charset = m_contentType.mid(at + 8).section(u';', 0, 0).trimmed();
        charset.remove(u'"');
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(m_body);
    }
    return QString::fromUtf8(m_body);
}

void AsyncHttpRequest::resetResult()
{
    m_reachability.reset();
    m_relay.reset();
    m_unusableProxy.reset();
    m_refusal = 0;
    m_deadlines.stop();
    m_timedOut = false;
    m_aborted = false;
    m_started = false;
    m_connectingStarted = false;
    m_serverAuthAnswers = 0;
    m_proxyAuthAnswers = 0;
    m_proxyCredentialsWithLayer = false;
    m_sslErrors.clear();
    m_status = 0;
    m_statusText.clear();
    m_contentType.clear();
    m_body.clear();
    m_errorNumber = 0;
}

void AsyncHttpRequest::onAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator)
{
    // A second challenge means the credentials were refused: leave it unanswered so the 401
    // comes through as the response. The credentials belong to the server they were set for: one
    // that a redirect leads to gets none.
    if (reply != m_reply || m_user.isEmpty() || !sameServer(reply->url(), m_url) || m_serverAuthAnswers++ > 0)
        return;
    authenticator->setUser(m_user);
    authenticator->setPassword(m_password);
}

void AsyncHttpRequest::onProxyAuthenticationRequired(QAuthenticator* authenticator)
{
    // Like the server's, a second challenge means the credentials were refused.
    if (m_proxyAnswerUser.isEmpty() || m_proxyAuthAnswers++ > 0)
        return;
    authenticator->setUser(m_proxyAnswerUser);
    authenticator->setPassword(m_proxyAnswerPassword);
}

void AsyncHttpRequest::onMetaDataChanged()
{
    m_deadlines.responseProgress();
    // An intermediate redirect is not the response; its headers say nothing to the owner.
    if (m_reply && !m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid() &&
        takeStatusFromReply() && m_readyState < HeadersReceived)
        m_readyState = HeadersReceived;
}

void AsyncHttpRequest::onReadyRead()
{
    if (!m_reply)
        return;
    m_deadlines.responseProgress();
    const QByteArray chunk = m_reply->readAll();
    if (chunk.isEmpty())
        return;
    takeStatusFromReply();
    announceResponseStart();
    if (m_aborted)
        return;
    m_readyState = Loading;
    m_body += chunk;
    if (onResponseDataAvailable)
        onResponseDataAvailable(chunk);
}

void AsyncHttpRequest::onFinished()
{
    m_deadlines.stop();
    if (m_aborted || !m_reply)
        return;
    if (m_timedOut) {
        fail(HttpErrorTable::Timeout);
        return;
    }

    // A status line alone is no response: a body cut short fails as the broken connection it is.
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error == QNetworkReply::ProxyAuthenticationRequiredError) {
        proxyAnswered(HttpErrorTable::proxyRefusedCredentials(m_proxyAuthAnswers > 0 || m_proxyCredentialsWithLayer,
                                                              proxyInUse()));
        return;
    }
    const QByteArray rest = m_reply->readAll();
    if (!HttpErrorTable::cutsResponseShort(error) && takeStatusFromReply()) {
        announceResponseStart();
        if (m_aborted)
            return;
        if (!rest.isEmpty()) {
            m_body += rest;
            if (onResponseDataAvailable)
                onResponseDataAvailable(rest);
            if (m_aborted)
                return;
        }
        finishWithResponse();
        return;
    }
    if (!proxyFailed(error))
        fail(HttpErrorTable::fromReply(error, m_sslErrors));
}

bool AsyncHttpRequest::proxyFailed(QNetworkReply::NetworkError error)
{
    if (proxyInUse().isEmpty())
        return false;
    // The network layer takes a SOCKS proxy's refusal by its rules for a name it could not look up.
    if (error == QNetworkReply::HostNotFoundError && m_activeProxy.type() == QNetworkProxy::Socks5Proxy) {
        fail(HttpErrorTable::NotViaProxy);
        return true;
    }
    // A plain request only ever connects to the proxy. Through a tunnel (https, or any request
    // through a SOCKS proxy) the proxy also passes on how its own connection to the server went,
    // mapped onto the same errors.
    const bool tunnel = m_url.scheme().compare(u"https"_s, Qt::CaseInsensitive) == 0 ||
                        m_activeProxy.type() == QNetworkProxy::Socks5Proxy;
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        // The network layer looks up only the proxy's name, before it starts to connect; later, the
        // proxy could not find the server.
        if (tunnel && m_connectingStarted)
            return false;
        break;
    case QNetworkReply::ConnectionRefusedError:
        if (tunnel)
            return false;
        break;
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyConnectionRefusedError:
        if (tunnel) {
            // A tunnel fails alike for a proxy that is down and for one that answered with a refusal
            // (403, 502 ...): whether it takes connections tells them apart.
            releaseReply();
            m_reachability = std::make_unique<ProxyReachability>(
                m_activeProxy.hostName(), m_activeProxy.port(), m_deadlines.connectionLimitMs(kReachabilityMs),
                [this, error](bool reached) { onReachabilityKnown(reached, error); });
            return true;
        }
        if (error != QNetworkReply::ProxyConnectionRefusedError)
            return false;
        break;
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::UnknownProxyError:
        break;
    default:
        return false;
    }
    fail(HttpErrorTable::ProxyUnreachable);
    return true;
}

void AsyncHttpRequest::onReachabilityKnown(bool reached, QNetworkReply::NetworkError error)
{
    // A proxy that answered the tunnel with anything but its consent (403, 502, a 401 of its own) is
    // reported as a network or proxy refusal; one that hung up without a word, as a closed connection.
    if (!reached)
        fail(HttpErrorTable::ProxyUnreachable);
    else if (error == QNetworkReply::ProxyConnectionClosedError)
        fail(HttpErrorTable::fromReply(error, m_sslErrors));
    else
        fail(HttpErrorTable::NotViaProxy);
}

void AsyncHttpRequest::proxyAnswered(const QString& text)
{
    m_status = 407;
    m_statusText = text;
    announceResponseStart();
    if (!m_aborted)
        finishWithResponse();
}

void AsyncHttpRequest::finishWithResponse()
{
    m_readyState = Done;
    releaseReply();
    if (onResponseFinished)
        onResponseFinished();
}

void AsyncHttpRequest::onTimedOut()
{
    if (!m_reply || m_aborted)
        return;
    m_timedOut = true;
    m_reply->abort(); // finishes the reply, which reports the time-out
}

bool AsyncHttpRequest::takeStatusFromReply()
{
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return false;
    m_status = status.toInt();
    m_statusText = QString::fromLatin1(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    m_contentType = QString::fromLatin1(m_reply->rawHeader("Content-Type"));
    return true;
}

void AsyncHttpRequest::announceResponseStart()
{
    if (m_started)
        return;
    m_started = true;
    if (m_readyState < HeadersReceived)
        m_readyState = HeadersReceived;
    if (onResponseStart)
        onResponseStart(m_status, m_contentType);
}

void AsyncHttpRequest::fail(int32_t number)
{
    releaseReply();
    m_errorNumber = number;
    m_readyState = Done;
    if (onError)
        onError(number, HttpErrorTable::withProxy(number, HttpErrorTable::description(number), proxyInUse()));
}

void AsyncHttpRequest::releaseReply()
{
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        // Only our own handlers: the manager keeps its connections to finish its bookkeeping.
        QObject::disconnect(reply, nullptr, reply, nullptr);
        if (!reply->isFinished())
            reply->abort();
        reply->deleteLater();
    }
    // The relay serves this reply alone: it listens, and holds the proxy's connection, no longer than
    // the fetch (the request object may live on for a while, as the components keep it).
    m_relay.reset();
}
