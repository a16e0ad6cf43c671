// SPDX-License-Identifier: MIT
#include "ProxyRelay.h"

#include "HttpErrorTable.h"
#include "HttpMessageStream.h"
#include "LoopbackPeer.h"
#include "ProxyAuthRounds.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <list>
#include <memory>
#include <utility>

namespace {

// At most about this many bytes wait here to be written to either side, so that a large reply passes
// without piling up.
constexpr qint64 kWindow = 256 * 1024;

// The relay's side, on the relay's thread: one link to the proxy per connection of the client's.
class RelayCore : public QObject
{
public:
    RelayCore(const QString& host, quint16 port, bool credentialsSet, ProxyRelay::Ended ended)
        : m_server(new QTcpServer(this)), m_host(host), m_port(port), m_rounds(credentialsSet),
          m_ended(std::move(ended))
    {
        connect(m_server, &QTcpServer::newConnection, this, [this] { accept(); });
    }

    quint16 listen() { return m_server->listen(QHostAddress::LocalHost, 0) ? m_server->serverPort() : 0; }

private:
    struct Link
    {
        QTcpSocket* client = nullptr;
        QTcpSocket* proxy = nullptr;
        bool reached = false;
        bool closed = false; // the client hung up
        ProxyAuthRounds::Connection sent;
        std::unique_ptr<HttpMessageStream> toProxy;
        std::unique_ptr<HttpMessageStream> toClient;
    };

    void accept()
    {
        while (QTcpSocket* client = m_server->nextPendingConnection()) {
            // Anyone on this machine can connect to a loopback port: only the network layer of this
            // process is heard, and a connection from elsewhere is closed and counts for nothing.
            if (!LoopbackPeer::isOwnProcess(client->peerPort(), client->localPort())) {
                client->abort();
                client->deleteLater();
                continue;
            }
            if (m_over || !m_rounds.connectionOpened()) {
                // Held, silent, until the owner has ended the fetch.
                connect(client, &QTcpSocket::readyRead, client, [client] { client->readAll(); });
                judge();
                continue;
            }
            Link& link = m_links.emplace_back();
            link.client = client;
            link.proxy = new QTcpSocket(this);
            link.proxy->setProxy(QNetworkProxy::NoProxy);
            for (QTcpSocket* socket : {link.client, link.proxy})
                socket->setReadBufferSize(kWindow);
            link.toProxy = std::make_unique<HttpMessageStream>(
                HttpMessageStream::Side::Requests,
                [this, &link](const HttpHead& head) { return m_rounds.request(link.sent, head); });
            link.toClient = std::make_unique<HttpMessageStream>(
                HttpMessageStream::Side::Responses,
                [this, &link](const HttpHead& head) { return m_rounds.response(link.sent, head); });
            connect(client, &QTcpSocket::readyRead, this, [this, &link] { fromClient(link); });
            connect(link.proxy, &QTcpSocket::bytesWritten, this, [this, &link] { fromClient(link); });
            connect(client, &QTcpSocket::disconnected, this, [this, &link] {
                link.closed = true;
                if (!link.reached) {
                    link.proxy->abort();
                    return;
                }
                fromClient(link, true);
                link.proxy->disconnectFromHost();
            });
            connect(link.proxy, &QTcpSocket::connected, this, [this, &link] {
                link.reached = true;
                fromClient(link);
            });
            connect(link.proxy, &QTcpSocket::readyRead, this, [this, &link] { fromProxy(link); });
            connect(client, &QTcpSocket::bytesWritten, this, [this, &link] { fromProxy(link); });
            connect(link.proxy, &QTcpSocket::disconnected, this, [this, &link] { proxyGone(link); });
            connect(link.proxy, &QTcpSocket::errorOccurred, this, [this, &link](QAbstractSocket::SocketError) {
                if (m_over || link.closed)
                    return;
                // Not even a connection: the proxy is down, or its name cannot be looked up.
                if (!link.reached)
                    end(HttpErrorTable::ProxyUnreachable, {});
                else
                    proxyGone(link);
            });
            link.proxy->connectToHost(m_host, m_port);
        }
    }

    // What one side says goes on to the other once the proxy is reached, and while the other has
    // taken in what it was given before (all: whatever is left, as one side hangs up); meanwhile the
    // bytes wait in the socket they came in by, which then takes in no more.
    void fromClient(Link& link, bool all = false)
    {
        if (!link.reached || (!all && link.proxy->bytesToWrite() >= kWindow))
            return;
        const QByteArray data = link.client->readAll();
        if (m_over)
            return;
        const QByteArray out = link.sent.tunnelOpen() ? data : link.toProxy->pass(data);
        judge();
        if (!m_over && !out.isEmpty())
            link.proxy->write(out);
    }

    void fromProxy(Link& link, bool all = false)
    {
        if (!all && link.client->bytesToWrite() >= kWindow)
            return;
        const QByteArray out = link.toClient->pass(link.proxy->readAll());
        judge();
        if (!m_over && !link.closed && !out.isEmpty())
            link.client->write(out);
    }

    // The proxy hung up, or its connection broke: what it said before still reaches the client.
    void proxyGone(Link& link)
    {
        if (m_over)
            return; // cut off here: the client waits, unanswered
        fromProxy(link, true);
        if (!m_over)
            link.client->disconnectFromHost();
    }

    void judge()
    {
        if (m_over || m_rounds.verdict() == ProxyAuthRounds::Verdict::None)
            return;
        const int32_t number = m_rounds.errorNumber();
        end(number, number != 0 ? QString() : m_rounds.answerText(m_host + u':' + QString::number(m_port)));
    }

    void end(int32_t number, const QString& answer)
    {
        m_over = true;
        // The proxy hears no more; the client waits, unanswered, for the owner to end the fetch.
        for (Link& link : m_links)
            link.proxy->abort();
        m_ended(number, answer);
    }

    QTcpServer* m_server;
    QString m_host;
    quint16 m_port;
    ProxyAuthRounds m_rounds;
    ProxyRelay::Ended m_ended;
    std::list<Link> m_links; // a list: the handlers hold on to their link
    bool m_over = false;
};

} // namespace

ProxyRelay::ProxyRelay(const QNetworkProxy& proxy, const QString& user, const QString& password, Ended ended)
    : m_context(new QObject), m_live(std::make_shared<bool>(true)), m_proxy(proxy)
{
    m_proxy.setUser(user);
    m_proxy.setPassword(password);
    auto* core = new RelayCore(
        proxy.hostName(), proxy.port(), !user.isEmpty(),
        [context = m_context, live = m_live, ended = std::move(ended)](int32_t number, const QString& answer) {
            QMetaObject::invokeMethod(
                context,
                [live, ended, number, answer] {
                    if (*live)
                        ended(number, answer);
                },
                Qt::QueuedConnection);
        });
    core->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, core, &QObject::deleteLater);
    m_thread.start();
    // A thread that did not start would leave this waiting for ever.
    if (m_thread.isRunning())
        QMetaObject::invokeMethod(
            core, [this, core] { m_port = core->listen(); }, Qt::BlockingQueuedConnection);
    else
        delete core;
}

ProxyRelay::~ProxyRelay()
{
    // The relay's sockets go with its thread. The relay may end inside its own verdict's delivery
    // (the owner aborts the fetch there): where it arrives goes later, and what is still on its way
    // is dropped.
    *m_live = false;
    m_thread.quit();
    m_thread.wait();
    m_context->deleteLater();
}

QNetworkProxy ProxyRelay::proxy() const
{
    QNetworkProxy relay = m_proxy;
    relay.setHostName(QStringLiteral("127.0.0.1"));
    relay.setPort(m_port);
    return relay;
}
