// SPDX-License-Identifier: MIT
#include "ProxyReachability.h"

#include <QNetworkProxy>
#include <QTimer>

ProxyReachability::ProxyReachability(const QString& host, quint16 port, int limitMs,
                                     std::function<void(bool reached)> done)
    : m_socket(new QTcpSocket), m_done(std::move(done))
{
    m_socket->setProxy(QNetworkProxy::NoProxy);
    QObject::connect(m_socket, &QTcpSocket::connected, m_socket, [this] { finish(true); });
    QObject::connect(m_socket, &QTcpSocket::errorOccurred, m_socket, [this] { finish(false); });
    auto* limit = new QTimer(m_socket);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, m_socket, [this] { finish(false); });
    limit->start(limitMs);
    m_socket->connectToHost(host, port);
}

ProxyReachability::~ProxyReachability()
{
    if (!m_socket)
        return;
    // Perhaps from inside one of the socket's own signals: it goes once they are done.
    silence();
    m_socket->deleteLater();
}

void ProxyReachability::finish(bool reached)
{
    if (!m_done)
        return;
    const std::function<void(bool)> done = std::move(m_done);
    m_done = nullptr;
    silence();
    done(reached);
}

void ProxyReachability::silence()
{
    for (QTimer* limit : m_socket->findChildren<QTimer*>())
        limit->stop();
    QObject::disconnect(m_socket, nullptr, nullptr, nullptr);
    m_socket->abort();
}
