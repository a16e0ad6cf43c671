// SPDX-License-Identifier: MIT
#include "NotificationServerWatch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {
const QString Service = u"org.freedesktop.Notifications"_s;
} // namespace

NotificationServerWatch::NotificationServerWatch(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto* owner = new QDBusServiceWatcher(Service, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                ++m_asks;
                m_markup = true;
                if (!newOwner.isEmpty())
                    ask();
            });
    ask();
}

void NotificationServerWatch::ask()
{
    QDBusMessage question =
        QDBusMessage::createMethodCall(Service, u"/org/freedesktop/Notifications"_s, Service, u"GetCapabilities"_s);
    // A server that is started on demand starts with the first notification, not with this.
    question.setAutoStartService(false);
    const int asked = ++m_asks;
    auto* call = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(question), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, call, asked] {
        call->deleteLater();
        const QDBusPendingReply<QStringList> reply = *call;
        if (asked == m_asks && reply.isValid())
            m_markup = reply.value().contains(u"body-markup"_s);
    });
}
