// SPDX-License-Identifier: MIT
#pragma once

#include "TrayBackend.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

#include <functional>
#include <optional>

class QMenu;
class NotificationServerWatch;
class StatusNotifierHostWatch;
class XEmbedTrayWatch;

// The notification area of the desktop, through QSystemTrayIcon.
//
// While the desktop has no tray, add() fails and the backend keeps the picture and tip it was
// given: later changes are kept too (and succeed, so that a picture change does not stall the
// program with its retry on every animation frame). From the first add() to remove() it follows
// the notification area by what the session bus and the X server announce (StatusNotifierHostWatch,
// XEmbedTrayWatch), never by asking on a timer. When an area comes (back) it emits
// trayAppeared(), which stands for the shell's "TaskbarCreated" message: connect it to
// modSysTray::taskbarCreated, which removes and adds the icon again. When the area the icon was in
// goes away it emits trayLost(); the icon then counts as not shown until the area is back.
//
// Qt decides once per process, when it makes its first tray icon, whether icons go to a
// StatusNotifier host over D-Bus or into an XEmbed tray, and keeps that answer; asked while no host
// is there yet, it would never use a D-Bus panel that starts later. So the backend lets Qt make its
// icon only once an area is there, and from then on follows only the kind Qt chose.
//
// Qt asks the panel's StatusNotifier watcher, and waits for the answer, when it makes its first
// icon and whenever it shows a StatusNotifier icon (again); a panel that hangs (one still starting
// at login) would hold the window's thread for D-Bus's 25 s. So while the watcher owes an answer
// the backend leaves Qt's icon alone (add() waits as for a tray), and goes on when it answers.
//
// The tooltip: a panel draws a StatusNotifier item's tooltip from its characters (xfce4-panel), or
// hands it to Qt (lxqt-panel), which reads one that looks like markup as rich text; so it gets the
// text as it stands (a NUL, which D-Bus cannot carry, as U+FFFD), with an invisible word joiner
// after each '<' and '&' where it looks like markup. Qt draws an XEmbed icon's tooltip itself, as
// rich text where it looks like markup, so there it is escaped.
//
// A notification of a StatusNotifier icon goes to the desktop's notification server, which reads
// its body as markup when it says so (NotificationServerWatch), so there the body is escaped; Qt
// shows an XEmbed icon's as plain text. The title is plain text to every server.
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
    // Whether a notification area the icon can show in is there now, as far as the desktop has told,
    // and the icon can be shown in it without waiting on a panel.
    bool trayAvailable() const { return m_available() && panelAnswering(); }
    // The desktop has told whether it has a notification area. Until then trayAvailable() is false.
    bool isAreaKnown() const;
    // Runs then once the desktop has told, at once when it has; never after context is gone.
    void whenAreaKnown(QObject* context, std::function<void()> then);
    const QIcon& currentIcon() const { return m_iconPicture; }
    const QString& currentTip() const { return m_tip; }

    // Whether a single click restores the window; by default the guess described above, made
    // when the tray icon is created.
    bool singleClickRestores() const;
    void setSingleClickRestores(bool restores) { m_singleClick = restores; }
    static bool trayHostSendsNoDoubleClick(bool statusNotifierItem);

    // The tooltip as Qt gets it for an icon of the kind given.
    static QString shownTip(const QString& tip, bool statusNotifierItem);
    // A notification's body as Qt gets it, for a receiver that reads markup or not.
    static QString shownMessage(const QString& text, bool markup);

    // For tests: how the backend learns whether a tray exists; areaChanged() then tells it to look.
    void setAvailability(Availability available) { m_available = std::move(available); }

public slots:
    void handleActivation(QSystemTrayIcon::ActivationReason reason);
    // The notification area may have come or gone.
    void areaChanged();

signals:
    void doubleClicked();
    void contextMenuRequested(const QPoint& globalPos);
    void trayAppeared();
    void trayLost();
    // Once, when the desktop has first told whether it has a notification area.
    void areaKnown();

private:
    enum class IconKind {
        None,
        StatusNotifier,
        XEmbed,
    };

    void startFollowing();
    bool areaPresent() const;
    // Qt may make or show its icon now without waiting on a panel.
    bool panelAnswering() const;
    void follow();
    void ensureIcon();
    void noteIconKind();

    QSystemTrayIcon* m_icon = nullptr;
    QPointer<QMenu> m_menu;
    Availability m_available;
    StatusNotifierHostWatch* m_hostWatch = nullptr;
    NotificationServerWatch* m_notifications = nullptr;
    XEmbedTrayWatch* m_trayWatch = nullptr;
    // The kind Qt's icons use in this process; None until the first icon is shown.
    IconKind m_kind = IconKind::None;
    std::optional<bool> m_singleClick;
    QIcon m_iconPicture;
    QString m_tip;
    bool m_shown = false;
    bool m_waiting = false;
    // The area as last seen while following it; while waiting, seen where the icon can be shown.
    bool m_present = false;
    bool m_following = false;
    bool m_areaKnownTold = false;
};
