// SPDX-License-Identifier: MIT
#include "SignalHandOff.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
constexpr std::array<int, 3> EndingSignals{SIGHUP, SIGINT, SIGTERM};

int handOff[2] = {-1, -1};
volatile std::sig_atomic_t firstSignal = 0;
// The signals this process took over; the others were ignored when it started and stay so.
sigset_t taken;

void onSignal(int signal)
{
    if (firstSignal == 0)
        firstSignal = signal;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(handOff[0], &byte, 1);
}
} // namespace

void SignalHandOff::takeOver()
{
    if (handOff[0] >= 0)
        return;
    firstSignal = 0;
    sigemptyset(&taken);
    // Without the pair no signal could reach the loop: the default actions stay.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, handOff) != 0)
        return;
    struct sigaction handler = {};
    handler.sa_handler = onSignal;
    sigemptyset(&handler.sa_mask);
    // A read or a wait that the signal interrupts goes on.
    handler.sa_flags = SA_RESTART;
    for (const int signal : EndingSignals) {
        struct sigaction inherited = {};
        if (::sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &handler, nullptr);
        sigaddset(&taken, signal);
    }
    // A signal that was held back since before the program began is answered now, as one that
    // comes at this moment.
    ::pthread_sigmask(SIG_UNBLOCK, &taken, nullptr);
}

SignalHandOff::SignalHandOff(std::function<void(int signal)> action) : m_action(std::move(action))
{
    takeOver();
    if (handOff[1] < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(handOff[1], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
        m_notifier->setEnabled(false);
        if (m_action)
            m_action(received());
    });
}

SignalHandOff::~SignalHandOff()
{
    for (const int signal : EndingSignals) {
        if (sigismember(&taken, signal) == 1)
            std::signal(signal, SIG_DFL);
    }
    m_notifier.reset();
    for (int& end : handOff) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

int SignalHandOff::received()
{
    return firstSignal;
}

QString SignalHandOff::name(int signal)
{
    switch (signal) {
    case SIGHUP:
        return u"SIGHUP"_s;
    case SIGINT:
        return u"SIGINT"_s;
    case SIGTERM:
        return u"SIGTERM"_s;
    default:
        return u"signal "_s + QString::number(signal);
    }
}
