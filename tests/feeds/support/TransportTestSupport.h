// SPDX-License-Identifier: MIT
#pragma once

#include "FakeProvider.h"
#include "StatusSink.h"

#include <QFile>
#include <QList>
#include <QPair>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

// Shared pieces of the transport tests: the fake provider, the test certificates and a recorder
// for Status lines.
namespace TransportTestSupport {

inline QString fixturesDir()
{
    return QStringLiteral(TALLY_FIXTURES_DIR);
}

struct StatusLine
{
    QString text;
    int16_t level;
};

// Collects Status lines for checks on text, order and level.
class StatusLog
{
public:
    StatusSink sink()
    {
        return [this](const QString& text, int16_t level) { m_lines.append({text, level}); };
    }
    const QList<StatusLine>& lines() const { return m_lines; }
    QStringList texts() const
    {
        QStringList out;
        for (const StatusLine& line : m_lines)
            out << line.text;
        return out;
    }
    // The position of the first line equal to text, -1 when absent.
    qsizetype indexOf(const QString& text) const { return texts().indexOf(text); }
    bool anyContains(const QString& part) const
    {
        for (const StatusLine& line : m_lines) {
            if (line.text.contains(part))
                return true;
        }
        return false;
    }
    void clear() { m_lines.clear(); }

private:
    QList<StatusLine> m_lines;
};

// Trusts the test authority for the lifetime of the object, through the process's default TLS
// configuration, as the program would trust a real authority; verification stays on.
class TrustTestAuthority
{
public:
    TrustTestAuthority() : m_saved(QSslConfiguration::defaultConfiguration())
    {
        QSslConfiguration config = m_saved;
        config.addCaCertificates(fixturesDir() + QStringLiteral("/tls/ca.pem"));
        QSslConfiguration::setDefaultConfiguration(config);
    }
    ~TrustTestAuthority() { QSslConfiguration::setDefaultConfiguration(m_saved); }

private:
    QSslConfiguration m_saved;
};

// Starts the provider with the test server certificate.
inline bool startTls(FakeProvider& provider)
{
    QFile certFile(fixturesDir() + QStringLiteral("/tls/server.pem"));
    QFile keyFile(fixturesDir() + QStringLiteral("/tls/server.key"));
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return false;
    const QSslCertificate cert(&certFile, QSsl::Pem);
    const QSslKey key(&keyFile, QSsl::Rsa, QSsl::Pem);
    return provider.startTls(cert, key);
}

// A loopback port that nothing listens on.
inline quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

inline FakeProvider::Rule rule(const QString& path, int status, const QByteArray& body = {})
{
    FakeProvider::Rule r;
    r.path = path;
    r.status = status;
    r.body = body;
    return r;
}

// A reply with the body "late" that the provider holds back for 700 ms.
inline void addLateReply(FakeProvider& provider, const QString& path)
{
    FakeProvider::Rule slow = rule(path, 200, "late");
    slow.delayMs = 700;
    provider.addRule(slow);
}

// Counts the ticks of a timer from its creation on: a wait that keeps events flowing lets it tick.
class TickCounter
{
public:
    explicit TickCounter(int intervalMs = 100)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ++m_ticks; });
        m_timer.start(intervalMs);
    }
    int ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    int m_ticks = 0;
};

} // namespace TransportTestSupport
