// SPDX-License-Identifier: MIT
#pragma once

#include <QTimer>

#include <cstdint>
#include <functional>

// How long one request may wait, in the shape the desktop platform's request objects take it: a
// limit each for the lookup, the connection, the sending and the receiving, and one that no single
// wait outlasts. Qt does not report every step of a request, so the limits bound the stretches it
// does report:
//  - resolve: from the start until the socket starts connecting (name and proxy lookup);
//  - connect + send, added into one limit: from the start of connecting (or from the start when
//    there is no resolve limit or the connection is reused) until the request is written. The
//    connection, a tunnel through a proxy and the TLS handshake all lie in this stretch;
//  - receive: from the request being written until the first piece of the response, and then
//    between pieces, like a socket's receive limit;
//  - overall: the sum of the four from the start to the end, so a lookup that hangs or a server
//    that trickles still ends.
// The wait limit caps each stretch, whatever the others say; the overall limit stays a backstop.
class RequestDeadlines
{
public:
    // expired: called when a limit runs out, on this thread while the owner pumps events.
    explicit RequestDeadlines(std::function<void()> expired);
    RequestDeadlines(const RequestDeadlines&) = delete;
    RequestDeadlines& operator=(const RequestDeadlines&) = delete;

    // Milliseconds; 0 = none of its own.
    void setLimits(int resolveMs, int connectMs, int sendMs, int receiveMs);
    void setWaitLimit(int ms);

    // The steps of a request, as Qt reports them.
    void started();
    void connecting();
    void requestWritten();
    void responseProgress();
    void stop();

    // How long one connection may take to come about; fallbackMs where no limit says.
    int connectionLimitMs(int fallbackMs) const;

private:
    enum class Stretch { None, Resolving, Connecting, Receiving };

    void begin(Stretch stretch, int64_t limitMs);
    int64_t capped(int64_t limitMs) const;

    std::function<void()> m_expired;
    QTimer m_stretchTimer;
    QTimer m_overallTimer;
    Stretch m_stretch = Stretch::None;
    int m_resolveMs = 0;
    int m_connectMs = 0;
    int m_sendMs = 0;
    int m_receiveMs = 0;
    int m_waitMs = 0;
};
