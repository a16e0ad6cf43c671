// SPDX-License-Identifier: MIT
#include "QtTrayBackend.h"

#include "PlainText.h"
#include "TrayHostProbe.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>

#ifdef TALLY_TRAY_HAS_DBUS
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#endif

using namespace Qt::StringLiterals;

QtTrayBackend::QtTrayBackend(QObject* parent) : QObject(parent), m_available(TrayHostProbe::usableAreaPresent)
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
    return TrayHostProbe::iconKind() == TrayHostProbe::Kind::StatusNotifier;
}

bool QtTrayBackend::singleClickRestores() const
{
    return m_singleClick.value_or(false);
}

void QtTrayBackend::ensureIcon()
{
    if (m_icon)
        return;
    TrayHostProbe::noteIconMade();
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
    m_present = m_available();
    if (!m_poll.isActive())
        m_poll.start();
    watchBus();
    if (!m_present) {
        m_waiting = true;
        return false;
    }
    m_waiting = false;
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
    m_poll.stop();
    if (m_shown) {
        m_icon->hide();
        m_shown = false;
        return true;
    }
    if (m_waiting) {
        m_waiting = false;
        return true;
    }
    return false;
}

bool QtTrayBackend::showMessage(const QString& title, const QString& text)
{
    if (!isShown())
        return false;
    m_icon->showMessage(title, text, QSystemTrayIcon::Warning);
    return true;
}

void QtTrayBackend::setContextMenu(QMenu* menu)
{
    m_menu = menu;
    if (m_icon)
        m_icon->setContextMenu(menu);
}

void QtTrayBackend::pollTray()
{
    follow(m_available());
}

void QtTrayBackend::follow(bool present)
{
    if (present == m_present)
        return;
    m_present = present;
    if (present)
        emit trayAppeared();
    else if (m_shown)
        emit trayLost();
}

void QtTrayBackend::watchBus()
{
#ifdef TALLY_TRAY_HAS_DBUS
    if (m_busWatched || !TrayHostProbe::platformHasTrays())
        return;
    m_busWatched = true;
    // A panel registers its watcher first and its host a moment later: look again soon after.
    auto* watcher = new QDBusServiceWatcher(TrayHostProbe::WatcherService, QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        for (const int ms : {100, 1000})
            QTimer::singleShot(ms, this, [this] {
                if (m_poll.isActive())
                    pollTray();
            });
    });
#endif
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
