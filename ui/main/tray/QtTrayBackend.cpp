// SPDX-License-Identifier: MIT
#include "QtTrayBackend.h"

#include "PlainText.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>

#ifdef TALLY_TRAY_HAS_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#endif

using namespace Qt::StringLiterals;

QtTrayBackend::QtTrayBackend(QObject* parent)
    : QObject(parent), m_available([] { return QSystemTrayIcon::isSystemTrayAvailable(); })
{
    m_poll.setInterval(PollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &QtTrayBackend::pollTray);
}

QtTrayBackend::~QtTrayBackend() = default;

bool QtTrayBackend::trayHostSendsNoDoubleClick()
{
    const QByteArray forced = qgetenv("TALLY_TRAY_SINGLE_CLICK");
    if (forced == "1")
        return true;
    if (forced == "0")
        return false;
    if (QGuiApplication::platformName().startsWith(u"wayland"_s))
        return true;
#ifdef TALLY_TRAY_HAS_DBUS
    // The watcher's presence is what makes Qt choose the D-Bus tray over the X11 embedding one.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface() &&
        bus.interface()->isServiceRegistered(u"org.kde.StatusNotifierWatcher"_s).value())
        return true;
#endif
    return false;
}

bool QtTrayBackend::singleClickRestores() const
{
    return m_singleClick.value_or(false);
}

void QtTrayBackend::ensureIcon()
{
    if (m_icon)
        return;
    m_icon = new QSystemTrayIcon(this);
    if (!m_singleClick)
        m_singleClick = trayHostSendsNoDoubleClick();
    if (m_menu)
        m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, &QtTrayBackend::handleActivation);
}

bool QtTrayBackend::add(const QIcon& icon, const QString& tip)
{
    m_iconPicture = icon;
    m_tip = tip;
    if (!m_available()) {
        m_waiting = true;
        if (!m_poll.isActive())
            m_poll.start();
        return false;
    }
    m_waiting = false;
    m_poll.stop();
    ensureIcon();
    m_icon->setIcon(icon);
    m_icon->setToolTip(PlainText::toolTip(tip));
    m_icon->show();
    m_shown = true;
    return true;
}

bool QtTrayBackend::modifyIcon(const QIcon& icon)
{
    if (!m_shown && !m_waiting)
        return false;
    m_iconPicture = icon;
    if (m_shown)
        m_icon->setIcon(icon);
    return true;
}

bool QtTrayBackend::modifyTip(const QString& tip)
{
    if (!m_shown && !m_waiting)
        return false;
    m_tip = tip;
    if (m_shown)
        m_icon->setToolTip(PlainText::toolTip(tip));
    return true;
}

bool QtTrayBackend::remove()
{
    if (m_shown) {
        m_icon->hide();
        m_shown = false;
        return true;
    }
    if (m_waiting) {
        m_waiting = false;
        m_poll.stop();
        return true;
    }
    return false;
}

void QtTrayBackend::setContextMenu(QMenu* menu)
{
    m_menu = menu;
    if (m_icon)
        m_icon->setContextMenu(menu);
}

void QtTrayBackend::pollTray()
{
    if (!m_available())
        return;
    m_poll.stop();
    emit trayAppeared();
}

void QtTrayBackend::handleActivation(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        emit doubleClicked();
        break;
    case QSystemTrayIcon::Trigger:
        if (singleClickRestores())
            emit doubleClicked();
        break;
    case QSystemTrayIcon::Context:
        if (!m_menu)
            emit contextMenuRequested(QCursor::pos());
        break;
    default:
        break;
    }
}
