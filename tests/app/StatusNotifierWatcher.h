// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// A panel's StatusNotifier watcher with a host, as far as an item sees it: it takes the items'
// registrations and remembers who registered where.
class StatusNotifierWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    struct Item
    {
        QString service;
        QString path;
    };
    QList<Item> registrations;

    bool hostRegistered() const { return true; }
    QStringList items() const
    {
        QStringList names;
        for (const Item& item : registrations)
            names << item.service + item.path;
        return names;
    }
    int protocolVersion() const { return 0; }

public slots:
    // An item names its object path, or its bus name with the path left to the default.
    void RegisterStatusNotifierItem(const QString& item, const QDBusMessage& message)
    {
        const bool path = item.startsWith(u'/');
        registrations.append({path ? message.service() : item, path ? item : QStringLiteral("/StatusNotifierItem")});
        emit StatusNotifierItemRegistered(registrations.last().service + registrations.last().path);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();
};

// A desktop's notification server that reads a body as markup, as dunst and xfce4-notifyd do; it
// keeps each notification's title and body as they came.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<QStringList> notices;

public slots:
    QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("body-markup")}; }
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body, const QStringList&,
                const QVariantMap&, int)
    {
        notices.append({summary, body});
        return uint(notices.size());
    }
};
