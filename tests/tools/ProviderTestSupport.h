// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QString>
#include <QTcpSocket>

#include <functional>

class QNetworkAccessManager;

namespace ProviderTestSupport {
// tests/fixtures/provider and tests/fixtures/tls
QString providerData();
QString tlsFolder();

struct Fetched
{
    int status = 0;
    QByteArray reason;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray contentType;
    qint64 elapsedMs = 0;
};

// One GET, waiting in a local event loop (which also runs the in-process server).
Fetched get(QNetworkAccessManager& manager, const QNetworkRequest& request);
Fetched get(QNetworkAccessManager& manager, const QString& url);

// Pumps events until the condition holds or the time is up; returns the condition.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

// A bare TCP client for what a well-behaved HTTP client never sends.
class RawClient
{
public:
    explicit RawClient(quint16 port);
    void send(const QByteArray& bytes);
    // Pumps events until the received bytes hold count replies' status lines, or the time is up.
    bool waitForReplies(int count, int timeoutMs = 5000);
    bool waitForClose(int timeoutMs = 5000);
    const QByteArray& received() const { return m_received; }
    bool closed() const { return m_closed; }

private:
    QTcpSocket m_socket;
    QByteArray m_received;
    bool m_closed = false;
};

// Puts the test authority into the process's default TLS configuration for its lifetime.
class TrustTestAuthority
{
public:
    TrustTestAuthority();
    ~TrustTestAuthority();
    TrustTestAuthority(const TrustTestAuthority&) = delete;
    TrustTestAuthority& operator=(const TrustTestAuthority&) = delete;
    bool loaded() const { return m_loaded; }

private:
    QSslConfiguration m_saved;
    bool m_loaded = false;
};
} // namespace ProviderTestSupport
