// SPDX-License-Identifier: MIT
#include "StatusNotifierHostWatch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>

#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QString WatcherPath = u"/StatusNotifierWatcher"_s;
} // namespace

StatusNotifierHostWatch::StatusNotifierHostWatch(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_known = true;
        return;
    }
    auto* owner = new QDBusServiceWatcher(WatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (!newOwner.isEmpty()) {
                    readHost();
                    return;
                }
                ++m_reads;
                m_asking = false;
                settle(false);
            });
    // From any sender: naming the watcher's well-known name would make Qt ask the bus for its
    // owner, and wait for the answer.
    for (const QString& signal : {u"StatusNotifierHostRegistered"_s, u"StatusNotifierHostUnregistered"_s})
        bus.connect(QString(), WatcherPath, WatcherService, signal, this, SLOT(readHost()));
    readHost();
    QTimer::singleShot(FirstAnswerLimitMs, this, [this] {
        if (!m_known)
            settle(false);
    });
}

void StatusNotifierHostWatch::readHost()
{
    QDBusMessage get =
        QDBusMessage::createMethodCall(WatcherService, WatcherPath, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    get << WatcherService << u"IsStatusNotifierHostRegistered"_s;
    // Asking starts no watcher.
    get.setAutoStartService(false);
    const int read = ++m_reads;
    m_asking = true;
    // Awaited without a time limit: a watcher that hangs owes the answer, and gives it when it
    // resumes; one that ends instead loses its name, which the owner watch reports.
    auto* call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(get, std::numeric_limits<int>::max()), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, call, read] {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (read != m_reads)
            return;
        if (reply.isValid()) {
            m_asking = false;
            settle(reply.value().variant().toBool());
        } else if (reply.error().type() != QDBusError::NoReply && reply.error().type() != QDBusError::Timeout) {
            m_asking = false;
            settle(false);
        }
    });
}

void StatusNotifierHostWatch::settle(bool present)
{
    // An answer is news too: what waited for the watcher to answer may go ahead.
    const bool news = !m_known || present != m_present || !m_asking;
    m_known = true;
    m_present = present;
    if (news)
        emit changed();
}
