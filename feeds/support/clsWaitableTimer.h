// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// A pause that keeps the thread's events flowing: timers, sockets and window events run while it
// waits. Each Wait uses a timer of its own, so nested waits and other processes never share one.
class clsWaitableTimer
{
public:
    clsWaitableTimer() = default;
    clsWaitableTimer(const clsWaitableTimer&) = delete;
    clsWaitableTimer& operator=(const clsWaitableTimer&) = delete;

    // Returns when ms milliseconds have passed (at once for 0 or less, after one pass over the
    // pending events). Raises RunTimeError with source "clsWaitableTimer.Wait" when the thread has
    // no event loop to wait on.
    void Wait(int32_t ms);
};
