// SPDX-License-Identifier: MIT
#include "ProxyTunnelProbe.h"

#include <QTimer>

ProxyTunnelProbe::ProxyTunnelProbe(const QNetworkProxy& proxy, const QString& host, quint16 port, int limitMs,
                                   std::function<void(int status)> done)
    : m_socket(new QTcpSocket), m_done(std::move(done))
{
    const QByteArray target = host.toLatin1() + ':' + QByteArray::number(port);
    QByteArray request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n";
    if (!proxy.user().isEmpty())
        request +=
            "Proxy-Authorization: Basic " + (proxy.user() + u':' + proxy.password()).toUtf8().toBase64() + "\r\n";
    request += "\r\n";

    m_socket->setProxy(QNetworkProxy::NoProxy);
    QObject::connect(m_socket, &QTcpSocket::connected, m_socket, [this, request] {
        m_connected = true;
        m_socket->write(request);
    });
    QObject::connect(m_socket, &QTcpSocket::readyRead, m_socket, [this] {
        m_answer += m_socket->readAll();
        const qsizetype end = m_answer.indexOf("\r\n");
        if (end < 0)
            return;
        // "HTTP/1.1 407 Proxy Authentication Required"
        const QList<QByteArray> parts = m_answer.left(end).split(' ');
        bool number = false;
        const int status = parts.size() >= 2 && parts[0].startsWith("HTTP/") ? parts[1].toInt(&number) : 0;
        finish(number ? status : NoAnswer);
    });
    QObject::connect(m_socket, &QTcpSocket::errorOccurred, m_socket,
                     [this] { finish(m_connected ? NoAnswer : Unreachable); });
    auto* limit = new QTimer(m_socket);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, m_socket, [this] { finish(m_connected ? NoAnswer : Unreachable); });
    limit->start(limitMs);
    m_socket->connectToHost(proxy.hostName(), proxy.port());
}

ProxyTunnelProbe::~ProxyTunnelProbe()
{
    if (!m_socket)
        return;
    // Perhaps from inside one of the socket's own signals: it goes once they are done.
    silence();
    m_socket->deleteLater();
}

void ProxyTunnelProbe::finish(int status)
{
    if (!m_done)
        return;
    const std::function<void(int)> done = std::move(m_done);
    m_done = nullptr;
    silence();
    done(status);
}

void ProxyTunnelProbe::silence()
{
    for (QTimer* limit : m_socket->findChildren<QTimer*>())
        limit->stop();
    QObject::disconnect(m_socket, nullptr, nullptr, nullptr);
    m_socket->abort();
}
