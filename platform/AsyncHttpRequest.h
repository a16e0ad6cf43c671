// SPDX-License-Identifier: MIT
#pragma once

#include "RequestDeadlines.h"

#include <QByteArray>
#include <QList>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>
#include <QSslError>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class ProxyReachability;
class ProxyRelay;
class QAuthenticator;
class QNetworkAccessManager;

// One asynchronous HTTP(S) request in the shape the two transports drive, standing in for the
// desktop platform's asynchronous request objects: open, set up, send, then the events arrive
// while the owner pumps the thread's events. Certificates are always verified and a redirect
// never goes from https to http.
//
// Failures are reported as internet error numbers (HttpErrorTable); no text of ours or of Qt that
// could hold the address (and with it a password) comes out of this class.
//
// Each request owns its network access manager, because the proxy and the credential answers
// are settings of the manager; a request object reused for several sends keeps its connections.
class AsyncHttpRequest
{
public:
    enum class ProxyMode {
        Direct,      // no proxy
        Named,       // the proxy given with setProxy()
        Environment, // http_proxy / https_proxy / no_proxy of the process's environment
    };

    // XMLHTTP-style progress: 0 unsent, 1 opened or sent, 2 headers received, 3 receiving,
    // 4 done (a response or a failure).
    enum ReadyState { Unsent = 0, Opened = 1, HeadersReceived = 2, Loading = 3, Done = 4 };

    AsyncHttpRequest();
    ~AsyncHttpRequest();
    AsyncHttpRequest(const AsyncHttpRequest&) = delete;
    AsyncHttpRequest& operator=(const AsyncHttpRequest&) = delete;

    // Checks and keeps the method and address; 0 or an internet error number (12005 for an
    // address that does not parse, 12008 for a scheme other than http and https).
    int32_t open(const QString& method, const QString& url);

    // Limits in milliseconds, 0 = none of its own; RequestDeadlines says which stretch of the
    // request each bounds. An expired limit fails the request with 12002.
    void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs);
    // The longest any one wait of the request may last, whatever the limits above allow: the
    // lookup, the connection, a tunnel through the proxy, the TLS handshake, the response and each
    // piece of it. 0 = none.
    void setWaitLimit(int ms);

    // Replaces or adds a header (the name is sent as written). An empty value is still sent.
    void setRequestHeader(const QString& name, const QString& value);
    void setUserAgent(const QString& userAgent) { setRequestHeader(QStringLiteral("User-Agent"), userAgent); }

    // Answer the server's authentication challenge (once per send).
    void setCredentials(const QString& user, const QString& password);

    // "host:port" (an "http://" in front is accepted); the port defaults to 80. Returns 0 or
    // 12005 when the text does not name a host and port. Switches the mode to Named.
    int32_t setProxy(const QString& hostPort);
    // Answer the proxy's authentication challenge (once per send), in the scheme it asks for.
    // Nothing goes to a proxy that does not ask; the same holds for credentials in a proxy address
    // of the environment. An address there that cannot be used fails the send with 12005, the
    // proxy named, and nothing is sent.
    void setProxyCredentials(const QString& user, const QString& password);
    void setProxyMode(ProxyMode mode) { m_proxyMode = mode; }

    // Starts the request; 0 or an internet error number (12019 when open() was not called).
    int32_t send(const QByteArray& body = {});
    // Stops a request under way without any further event; readyState goes back to Unsent.
    void abort();

    // Events; they run on the owner's thread while it pumps events. A handler may call abort()
    // but must not destroy the request.
    std::function<void(int status, const QString& contentType)> onResponseStart;
    std::function<void(const QByteArray& chunk)> onResponseDataAvailable;
    std::function<void()> onResponseFinished;
    std::function<void(int32_t number, const QString& description)> onError;

    int readyState() const { return m_readyState; }
    // HTTP status and reason phrase of the final response; 0 and empty before one arrived.
    int status() const { return m_status; }
    QString statusText() const { return m_statusText; }
    QString contentType() const { return m_contentType; }
    const QByteArray& responseBody() const { return m_body; }
    // The body decoded by the charset the response names, UTF-8 when it names none.
    QString responseText() const;
    // The internet error number of a failed request, 0 otherwise.
    int32_t errorNumber() const { return m_errorNumber; }
    // The proxy the last send went through, "host:port"; empty without one. For an address of the
    // environment that cannot be used, the address as set, less its credentials.
    QString proxyInUse() const;

private:
    void resetResult();
    void onAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator);
    void onProxyAuthenticationRequired(QAuthenticator* authenticator);
    // Fails the send, which sent nothing, with that internet error number.
    void refuse(int32_t number);
    void onMetaDataChanged();
    void onReadyRead();
    void onFinished();
    // A failure of the request that is the proxy's; false when it is not one.
    bool proxyFailed(QNetworkReply::NetworkError error);
    // Whether the proxy of a failed tunnel takes connections; error: the failure that the network
    // layer reported.
    void onReachabilityKnown(bool reached, QNetworkReply::NetworkError error);
    // The proxy asked for credentials and did not take what it got (or there were none to give, or
    // it asks in a way that cannot be answered): an answer, with its own text.
    void proxyAnswered(const QString& text);
    // The relay to an HTTP proxy ended the fetch (ProxyRelay::Ended).
    void onRelayEnded(int32_t number, const QString& proxyAnswer);
    void finishWithResponse();
    void onTimedOut();
    bool takeStatusFromReply();
    void announceResponseStart();
    void fail(int32_t number);
    void releaseReply();

    std::unique_ptr<QNetworkAccessManager> m_manager;
    QPointer<QNetworkReply> m_reply;
    RequestDeadlines m_deadlines;

    QByteArray m_method;
    QUrl m_url;
    QList<std::pair<QByteArray, QByteArray>> m_headers;
    QString m_user;
    QString m_password;
    ProxyMode m_proxyMode = ProxyMode::Direct;
    QNetworkProxy m_namedProxy;
    QNetworkProxy m_activeProxy;
    std::unique_ptr<ProxyReachability> m_reachability;
    std::unique_ptr<ProxyRelay> m_relay;
    // The environment's proxy address that the last send could not use.
    std::optional<QString> m_unusableProxy;
    int32_t m_refusal = 0; // what refuse() fails the send with
    QString m_proxyUser;
    QString m_proxyPassword;
    // What this send answers a proxy's challenge with.
    QString m_proxyAnswerUser;
    QString m_proxyAnswerPassword;

    bool m_timedOut = false;
    bool m_aborted = false;
    bool m_started = false;
    bool m_connectingStarted = false;
    int m_serverAuthAnswers = 0;
    int m_proxyAuthAnswers = 0;
    bool m_proxyCredentialsWithLayer = false; // handed to the network layer through the relay
    QList<QSslError> m_sslErrors;

    int m_readyState = Unsent;
    int m_status = 0;
    QString m_statusText;
    QString m_contentType;
    QByteArray m_body;
    int32_t m_errorNumber = 0;
};
