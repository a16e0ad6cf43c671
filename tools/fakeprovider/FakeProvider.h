// SPDX-License-Identifier: MIT
#pragma once

#include "HttpRequest.h"
#include "ProviderRouter.h"
#include "ProviderRules.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class HttpConnection;
class QSslCertificate;
class QSslKey;
class TlsCapableServer;

// A local stand-in for the provider: a real HTTP(S) server on 127.0.0.1 that answers the JSON API,
// the XML usage feed and the version page from a fixture folder (see AccountStore), lets a test
// override any answer (status, body, delay, silence, hang-up), and records every request. A request in
// absolute form ("GET http://host/path") is answered like any other and a CONNECT opens a tunnel to a
// loopback port, so the same server doubles as a recording HTTP proxy.
//
// It runs on the thread that creates it: the clients under test pump the event loop while they wait.
class FakeProvider : public QObject
{
    Q_OBJECT

public:
    using Rule = ProviderRule;
    using Request = HttpRequest;

    explicit FakeProvider(const QString& dataDir, QObject* parent = nullptr);
    ~FakeProvider() override;

    bool start(quint16 port = 0); // plain HTTP on 127.0.0.1; 0 takes a free port
    bool startTls(const QSslCertificate& certificate, const QSslKey& key, quint16 port = 0);
    void stop();
    quint16 port() const;
    QString baseUrl() const; // "http://127.0.0.1:<port>" or "https://..."

    // Overrides, tried in the order added; the first whose path prefix and query part match wins.
    void addRule(const Rule& rule);
    void clearRules();
    // The rules of an NTLM proxy: it asks (offering Negotiate beside, as a workplace's does), answers the client's
    // first message (type 1) with its challenge (type 2, Unicode, with a server challenge), and takes the client's last
    // message (type 3) or, when it refuses the user, asks again.
    static QList<Rule> ntlmProxyRules(bool refusesTheUser);

    QList<Request> requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

    // The day the provider takes for today (its current month); invalid: the system's date.
    void setToday(QDate today) { m_router.setToday(today); }
    // The provider's clock to the second, with today's figures counted up to then (ProviderRouter).
    void setNow(const QDateTime& now) { m_router.setNow(now); }
    // How the provider dates one account's months (its folder under accounts/): its reset day, and
    // its own date a number of days off the one above (AccountStore::Calendar).
    void setCalendar(const QString& account, AccountStore::Calendar calendar)
    {
        m_router.setCalendar(account, calendar);
    }
    QString dataDir() const { return m_dataDir; }
    // A fixture file below the data folder (for a rule's body); empty when missing.
    QByteArray fixture(const QString& relativePath) const;

Q_SIGNALS:
    // A request has been recorded (before it is answered).
    void requestRecorded();

private:
    bool listen(quint16 port);
    HttpResponse respond(const HttpRequest& request);
    HttpResponse defaultReply(const HttpRequest& request);

    QString m_dataDir;
    TlsCapableServer* m_server;
    ProviderRouter m_router;
    ProviderRules m_rules;
    QList<Request> m_requests;
    QList<QPointer<HttpConnection>> m_connections;
};
