// SPDX-License-Identifier: MIT
#pragma once

#include "TrayBackend.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <optional>

class QMenu;

// The notification area of the desktop, through QSystemTrayIcon.
//
// While the desktop has no tray, add() fails and the backend keeps the picture and tip it was
// given: later changes are kept too (and succeed, so that a picture change does not stall the
// program with its retry on every animation frame). From the first add() to remove() it follows
// the notification area (TrayHostProbe), every PollIntervalMs and at once when a StatusNotifier
// watcher comes or goes on the session bus. When an area comes (back) it emits trayAppeared(),
// which stands for the shell's "TaskbarCreated" message: connect it to modSysTray::taskbarCreated,
// which removes and adds the icon again. When the area the icon was in goes away it emits
// trayLost(); the icon then counts as not shown until the area is back.
//
// Clicks: a double click emits doubleClicked(). Trays that talk the StatusNotifierItem protocol
// over D-Bus (and every tray under Wayland) never report a double click, only a single
// activation, so there a single click emits doubleClicked() as well. The variable
// TALLY_TRAY_SINGLE_CLICK=1 or =0 overrides that guess.
//
// The menu: setContextMenu() hands TrayMenu::menu() to the tray, which then opens it itself
// (natively on D-Bus trays); TrayMenu::aboutToOpen lets the owner run TrayMenu::prepare first.
// Without a menu set, a context click emits contextMenuRequested() with the pointer position and
// the owner pops the menu up.
class QtTrayBackend : public QObject, public TrayBackend
{
    Q_OBJECT
public:
    static constexpr int PollIntervalMs = 5000;
    using Availability = std::function<bool()>;

    explicit QtTrayBackend(QObject* parent = nullptr);
    ~QtTrayBackend() override;

    bool add(const QIcon& icon, const QString& tip) override;
    bool modifyIcon(const QIcon& icon) override;
    bool modifyTip(const QString& tip) override;
    bool remove() override;
    // Only while the icon is shown in an area.
    bool showMessage(const QString& title, const QString& text) override;

    void setContextMenu(QMenu* menu);

    // The icon is shown in a notification area that is there.
    bool isShown() const { return m_shown && m_present; }
    // add() failed for want of a tray, and the backend looks for one.
    bool isWaitingForTray() const { return m_waiting; }
    // Whether a notification area the icon can show in is there now.
    bool trayAvailable() const { return m_available(); }
    const QIcon& currentIcon() const { return m_iconPicture; }
    const QString& currentTip() const { return m_tip; }

    // Whether a single click restores the window; by default the guess described above, made
    // when the tray icon is created.
    bool singleClickRestores() const;
    void setSingleClickRestores(bool restores) { m_singleClick = restores; }
    static bool trayHostSendsNoDoubleClick();

    // For tests: how the backend learns whether a tray exists, and how often it looks.
    void setAvailability(Availability available) { m_available = std::move(available); }
    void setPollInterval(int ms) { m_poll.setInterval(ms); }

public slots:
    void handleActivation(QSystemTrayIcon::ActivationReason reason);

signals:
    void doubleClicked();
    void contextMenuRequested(const QPoint& globalPos);
    void trayAppeared();
    void trayLost();

private:
    void pollTray();
    void follow(bool present);
    void watchBus();
    void ensureIcon();

    QSystemTrayIcon* m_icon = nullptr;
    QPointer<QMenu> m_menu;
    QTimer m_poll;
    Availability m_available;
    std::optional<bool> m_singleClick;
    QIcon m_iconPicture;
    QString m_tip;
    bool m_shown = false;
    bool m_waiting = false;
    // The area as last seen while following it.
    bool m_present = false;
    bool m_busWatched = false;
};
