// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;

// The signals that ask the program to end (SIGHUP, SIGINT, SIGTERM), handed over to the event
// loop: a signal handler may do next to nothing, so it only notes the signal and writes a byte
// into a socket pair, whose other end the loop watches and answers with the given action, once.
// One at a time per process; the signals get their default action back when it goes.
class SignalHandOff
{
public:
    // Takes the signals over before there is an event loop to answer them: from here on a signal
    // is only noted, to be answered once an action is there (received() tells). The program's
    // first step, so that no signal finds it half way through anything. A signal the program was
    // started with ignored (nohup) stays ignored; one it inherited blocked is let through.
    static void takeOver();

    // The action runs on the event loop's thread, the first time a signal is seen there, also for
    // one that came before. Takes the signals over unless that was done.
    explicit SignalHandOff(std::function<void(int signal)> action);
    ~SignalHandOff();
    SignalHandOff(const SignalHandOff&) = delete;
    SignalHandOff& operator=(const SignalHandOff&) = delete;

    // The first of the signals that arrived, also one the loop has not seen yet; 0 when none did.
    static int received();
    // The signal's short name ("SIGTERM").
    static QString name(int signal);

private:
    std::function<void(int)> m_action;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
