// SPDX-License-Identifier: MIT
#include "RequestDeadlines.h"

#include <algorithm>
#include <climits>

namespace {
int clampMs(int64_t ms)
{
    return static_cast<int>(std::clamp<int64_t>(ms, 0, INT_MAX));
}
} // namespace

RequestDeadlines::RequestDeadlines(std::function<void()> expired) : m_expired(std::move(expired))
{
    for (QTimer* timer : {&m_stretchTimer, &m_overallTimer}) {
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, [this] { m_expired(); });
    }
}

void RequestDeadlines::setLimits(int resolveMs, int connectMs, int sendMs, int receiveMs)
{
    m_resolveMs = std::max(resolveMs, 0);
    m_connectMs = std::max(connectMs, 0);
    m_sendMs = std::max(sendMs, 0);
    m_receiveMs = std::max(receiveMs, 0);
}

void RequestDeadlines::setWaitLimit(int ms)
{
    m_waitMs = std::max(ms, 0);
}

void RequestDeadlines::started()
{
    const int64_t overall = int64_t(m_resolveMs) + m_connectMs + m_sendMs + m_receiveMs;
    if (overall > 0)
        m_overallTimer.start(clampMs(overall));
    else
        m_overallTimer.stop();
    if (m_resolveMs > 0)
        begin(Stretch::Resolving, m_resolveMs);
    else
        begin(Stretch::Connecting, int64_t(m_connectMs) + m_sendMs);
}

void RequestDeadlines::connecting()
{
    // A request that connects again (another round with a proxy) stays within the stretch under way.
    if (m_stretch == Stretch::Resolving)
        begin(Stretch::Connecting, int64_t(m_connectMs) + m_sendMs);
}

void RequestDeadlines::requestWritten()
{
    begin(Stretch::Receiving, m_receiveMs);
}

void RequestDeadlines::responseProgress()
{
    if (m_stretch == Stretch::Receiving)
        begin(Stretch::Receiving, m_receiveMs);
}

void RequestDeadlines::stop()
{
    m_stretch = Stretch::None;
    m_stretchTimer.stop();
    m_overallTimer.stop();
}

int RequestDeadlines::connectionLimitMs(int fallbackMs) const
{
    const int64_t limit = capped(m_connectMs);
    return limit > 0 ? clampMs(limit) : fallbackMs;
}

void RequestDeadlines::begin(Stretch stretch, int64_t limitMs)
{
    m_stretch = stretch;
    const int64_t limit = capped(limitMs);
    if (limit > 0)
        m_stretchTimer.start(clampMs(limit));
    else
        m_stretchTimer.stop();
}

int64_t RequestDeadlines::capped(int64_t limitMs) const
{
    if (m_waitMs == 0)
        return limitMs;
    return limitMs > 0 ? std::min<int64_t>(limitMs, m_waitMs) : m_waitMs;
}
