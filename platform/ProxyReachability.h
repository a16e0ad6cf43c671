// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QString>
#include <QTcpSocket>

#include <functional>

// Whether a proxy takes connections at all, for a tunnel that failed in a way the network layer
// reports alike for a proxy that is down and for one that answered and refused the tunnel. It only
// connects and hangs up again: not a byte goes to the proxy, so nothing of the user's can.
class ProxyReachability
{
public:
    // done: whether a connection to host:port came about within limitMs. Called once, on this
    // thread, while the owner pumps events; not at all once the object is gone.
    ProxyReachability(const QString& host, quint16 port, int limitMs, std::function<void(bool reached)> done);
    ~ProxyReachability();
    ProxyReachability(const ProxyReachability&) = delete;
    ProxyReachability& operator=(const ProxyReachability&) = delete;

private:
    void finish(bool reached);
    // No more signals or time-outs from the socket.
    void silence();

    QPointer<QTcpSocket> m_socket;
    std::function<void(bool)> m_done;
};
