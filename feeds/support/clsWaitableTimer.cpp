// SPDX-License-Identifier: MIT
#include "clsWaitableTimer.h"

#include "RunTimeError.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>

using namespace Qt::StringLiterals;

void clsWaitableTimer::Wait(int32_t ms)
{
    if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance())
        throw RunTimeError(RunTimeErrorNumber::InvalidProcedureCall, u"Invalid procedure call or argument"_s,
                           u"clsWaitableTimer.Wait"_s);
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // Block until some event arrives, handle what came, and go on until our own timer is one of them.
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    bool signalled = false;
    QObject::connect(&timer, &QTimer::timeout, [&signalled] { signalled = true; });
    timer.start(ms);
    while (!signalled)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
