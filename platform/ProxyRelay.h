// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkProxy>
#include <QObject>
#include <QString>
#include <QThread>

#include <cstdint>
#include <functional>
#include <memory>

// Stands between the network layer and an HTTP proxy for one fetch, on this machine's loopback
// interface, so that their sign-in rounds are counted and judged (ProxyAuthRounds). The network
// layer raises nothing for a round of a tunnel's sign-in (and answers an NTLM proxy there with an
// empty user, again and again, when the credentials are refused), nor for a round of an NTLM
// handshake that does not move on: the conversation itself is the one place where they show. The
// relay only reads it: the bytes pass unchanged both ways, the network layer still answers every
// challenge itself, and once a tunnel is open only the encrypted bytes pass.
//
// It runs on a thread of its own, so the bytes pass while the owner's thread sleeps between the
// pumps of its wait.
class ProxyRelay
{
public:
    // The fetch must end: an internet error number, or 0 and the proxy's answer as the text of a 407
    // response. Called once, on the owner's thread while it pumps events, and not once the relay is
    // gone. From then on nothing more reaches the proxy, and the network layer hears nothing more.
    using Ended = std::function<void(int32_t errorNumber, const QString& proxyAnswer)>;

    // user, password: what the network layer answers the proxy's challenges with.
    ProxyRelay(const QNetworkProxy& proxy, const QString& user, const QString& password, Ended ended);
    ~ProxyRelay();
    ProxyRelay(const ProxyRelay&) = delete;
    ProxyRelay& operator=(const ProxyRelay&) = delete;

    // Whether it could start (a thread of its own, a port on 127.0.0.1).
    bool listening() const { return m_port != 0; }
    // The relay as the network layer's proxy, with the credentials: the network layer offers them only
    // once challenged, in the scheme asked for.
    QNetworkProxy proxy() const;

private:
    QObject* m_context; // where the relay's verdict arrives on the owner's thread
    std::shared_ptr<bool> m_live;
    QThread m_thread;
    QNetworkProxy m_proxy;
    quint16 m_port = 0;
};
