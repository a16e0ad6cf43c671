// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryStore.h"

#include <QObject>
#include <QString>

#include <optional>

struct AppInfo;
class LogFrontEnd;
class RegistryAccess;
class WindowSeam;

// Tells the user that the settings file went bad while the program runs (a slip in a hand edit):
// which file, where and why, and that nothing is saved until it is mended. The registry hands
// each damage over once; the notice counts as told once the user has seen it. The log file and
// the status line (standard error with /H) get it at once. The box comes at once where the main
// window is in view; while it is hidden in the tray the icon shows a notification and the box
// waits for the window to come back, as it does for a window minimised on the task bar. The quiet
// option and switches leave the log line only, as for any error.
class UnreadableSettingsNotice
{
public:
    // deferred: the report waits for the event loop, so that its message box never stops the
    // program half-way through a step that met the file (a database transaction, a save).
    UnreadableSettingsNotice(const AppInfo& app, LogFrontEnd& log, WindowSeam& window, RegistryAccess& registry,
                             bool deferred);

    void tell(const RegistryStore::Unreadable& damage);

    static QString text(const RegistryStore::Unreadable& damage, const QString& productName);

private:
    void report(const QString& notice);
    void showWaiting();

    const AppInfo& m_app;
    LogFrontEnd& m_log;
    WindowSeam& m_window;
    RegistryAccess& m_registry;
    bool m_deferred;
    // The box the user has not seen yet.
    std::optional<QString> m_waiting;
    QObject m_context; // a report still waiting goes with its owner
};
