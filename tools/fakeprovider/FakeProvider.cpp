// SPDX-License-Identifier: MIT
#include "FakeProvider.h"

#include "HttpConnection.h"
#include "TlsCapableServer.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

FakeProvider::FakeProvider(const QString& dataDir, QObject* parent)
    : QObject(parent), m_dataDir(dataDir), m_server(new TlsCapableServer(this)), m_router(dataDir)
{
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            auto* connection = new HttpConnection(
                socket,
                [this](const HttpRequest& request) {
                    m_requests.append(request);
                    Q_EMIT requestRecorded();
                    return respond(request);
                },
                this);
            m_connections.removeAll(nullptr);
            m_connections.append(connection);
        }
    });
}

FakeProvider::~FakeProvider()
{
    stop();
}

bool FakeProvider::start(quint16 port)
{
    stop();
    m_server->clearTls();
    return listen(port);
}

bool FakeProvider::startTls(const QSslCertificate& certificate, const QSslKey& key, quint16 port)
{
    stop();
    if (certificate.isNull() || key.isNull())
        return false;
    m_server->setTls(certificate, key);
    return listen(port);
}

bool FakeProvider::listen(quint16 port)
{
    if (m_server->listen(QHostAddress::LocalHost, port))
        return true;
    qWarning("fakeprovider: cannot listen on 127.0.0.1:%u: %s", unsigned(port), qPrintable(m_server->errorString()));
    return false;
}

void FakeProvider::stop()
{
    m_server->close();
    for (const QPointer<HttpConnection>& connection : std::exchange(m_connections, {})) {
        // abort() also schedules the deletion, so stop() is safe from inside a request's handling.
        if (connection)
            connection->abort();
    }
}

quint16 FakeProvider::port() const
{
    return m_server->isListening() ? m_server->serverPort() : 0;
}

QString FakeProvider::baseUrl() const
{
    return (m_server->isTls() ? u"https://127.0.0.1:"_s : u"http://127.0.0.1:"_s) + QString::number(port());
}

void FakeProvider::addRule(const Rule& rule)
{
    m_rules.add(rule);
}

void FakeProvider::clearRules()
{
    m_rules.clear();
}

QList<FakeProvider::Rule> FakeProvider::ntlmProxyRules(bool refusesTheUser)
{
    const QByteArray challenge("NTLMSSP\0\2\0\0\0\0\0\0\0\x30\0\0\0\x33\x82\x02\0\x01\x23\x45\x67\x89\xab\xcd\xef"
                               "\0\0\0\0\0\0\0\0\0\0\0\0\x30\0\0\0",
                               48);
    QList<Rule> rules{{.status = 407,
                       .headers = {{"Proxy-Authenticate", "Negotiate"}, {"Proxy-Authenticate", "NTLM"}},
                       .unlessHeader = "Proxy-Authorization"},
                      {.status = 407,
                       .headers = {{"Proxy-Authenticate", "NTLM " + challenge.toBase64()}},
                       .ifHeader = "Proxy-Authorization",
                       .ifPrefix = "NTLM TlRMTVNTUAAB"}};
    if (refusesTheUser)
        rules.append({.status = 407, .headers = {{"Proxy-Authenticate", "NTLM"}}});
    return rules;
}

QByteArray FakeProvider::fixture(const QString& relativePath) const
{
    return m_router.fixture(relativePath).value_or(QByteArray());
}

HttpResponse FakeProvider::respond(const HttpRequest& request)
{
    const std::optional<Rule> rule = m_rules.take(request);
    if (!rule)
        return defaultReply(request);
    HttpResponse response;
    if (rule->useDefaultReply) {
        response = defaultReply(request);
    } else {
        response.status = rule->status;
        response.reason = rule->reason;
        response.body = rule->body;
        response.contentType = rule->contentType.isEmpty() && !rule->body.isEmpty()
                                   ? HttpResponse::guessContentType(rule->body)
                                   : rule->contentType;
    }
    if (rule->cutBodyAt >= 0)
        response.body.truncate(rule->cutBodyAt);
    response.breakOffAfter = rule->breakOffAfter;
    response.breakOffWithReset = rule->breakOffWithReset;
    response.headers += rule->headers;
    response.delayMs = rule->delayMs;
    response.neverAnswer = rule->neverAnswer;
    response.closeWithoutReply = rule->closeWithoutReply;
    return response;
}

HttpResponse FakeProvider::defaultReply(const HttpRequest& request)
{
    if (request.method == "CONNECT") {
        HttpResponse tunnel;
        tunnel.tunnelTo = request.target;
        return tunnel;
    }
    return m_router.route(request);
}
