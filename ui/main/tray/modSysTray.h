// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

class LogFrontEnd;
class QIcon;
class TrayBackend;
struct AppInfo;
struct RunState;

// The program's icon in the notification area: adds, changes and removes it, remembers the last
// picture and tooltip, and puts the icon back when the desktop's tray comes (back).
//
// There is no window procedure to subclass here, so there is no registering of a "TaskbarCreated"
// message either: QtTrayBackend::trayAppeared plays that message, and whoever owns both connects
// it to taskbarCreated().
class modSysTray
{
public:
    using Sleep = std::function<void(int ms)>;

    // The shell's tooltip field holds 127 characters and the terminating NUL.
    static constexpr int ToolTipLimit = 127;
    // Pause before the second attempt of a failed picture change.
    static constexpr int RetryDelayMs = 1000;

    // sleep blocks the thread for the given milliseconds; empty: a real sleep.
    modSysTray(const AppInfo& app, const RunState& run, LogFrontEnd& log, TrayBackend& backend, Sleep sleep = {});

    // key: a picture key of imgTray.
    void AddTrayIcon(const QString& key, const QString& tip);
    void ModifyTrayToolTip(const QString& tip);
    void ModifyTrayIcon(const QString& key);
    void RemoveTrayIcon();
    // A notification from the icon; false when it could not be shown (no icon in an area).
    bool ShowTrayMessage(const QString& title, const QString& text);

    // The tray came (back): remove and add again with the last picture and tooltip.
    void taskbarCreated();

    const QString& LastTrayIcon() const { return m_lastTrayIcon; }
    const QString& LastTrayToolTip() const { return m_lastTrayToolTip; }

    // The tip as the log shows it: each CR LF as the two characters "\n".
    static QString logText(const QString& tip);
    // The tip as the tray gets it: at most ToolTipLimit characters.
    static QString trayText(const QString& tip);

private:
    bool hidden() const;
    // The picture of a key; an unknown key raises the image list's "Element not found".
    static QIcon picture(const QString& key);
    static QString result(bool ok) { return ok ? QStringLiteral("1") : QStringLiteral("0"); }
    static QString failureText(bool ok);

    const AppInfo& m_app;
    const RunState& m_run;
    LogFrontEnd& m_log;
    TrayBackend& m_backend;
    Sleep m_sleep;
    QString m_lastTrayIcon;
    QString m_lastTrayToolTip;
};
