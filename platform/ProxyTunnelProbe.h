// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkProxy>
#include <QPointer>
#include <QString>
#include <QTcpSocket>

#include <functional>

// Asks a proxy for a tunnel once more, by hand, after the network layer's own request failed
// without saying how: whether the proxy could be reached at all and, if it was, the status it
// answered (a refusal of the proxy credentials comes as 401 or 407, and the network layer reports
// both like a proxy that is down). Only Basic credentials are offered.
class ProxyTunnelProbe
{
public:
    static constexpr int Unreachable = -1;
    static constexpr int NoAnswer = 0;

    // done: the proxy's HTTP status, Unreachable, or NoAnswer (connected, but nothing that reads as
    // a status line came within limitMs). Called once, on this thread, while the owner pumps events.
    ProxyTunnelProbe(const QNetworkProxy& proxy, const QString& host, quint16 port, int limitMs,
                     std::function<void(int status)> done);
    ~ProxyTunnelProbe();
    ProxyTunnelProbe(const ProxyTunnelProbe&) = delete;
    ProxyTunnelProbe& operator=(const ProxyTunnelProbe&) = delete;

private:
    void finish(int status);
    // No more signals or time-outs from the socket.
    void silence();

    QPointer<QTcpSocket> m_socket;
    QByteArray m_answer;
    bool m_connected = false;
    std::function<void(int)> m_done;
};
