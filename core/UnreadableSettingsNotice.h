// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryStore.h"

#include <QObject>

struct AppInfo;
class LogFrontEnd;

// Tells the user that the settings file went bad while the program runs (a slip in a hand edit):
// which file, where and why, and that nothing is saved until it is mended. The registry hands
// each damage over once.
class UnreadableSettingsNotice
{
public:
    // deferred: the report waits for the event loop, so that its message box never stops the
    // program half-way through a step that met the file (a database transaction, a save).
    UnreadableSettingsNotice(const AppInfo& app, LogFrontEnd& log, bool deferred);

    void tell(const RegistryStore::Unreadable& damage);

    static QString text(const RegistryStore::Unreadable& damage, const QString& productName);

private:
    const AppInfo& m_app;
    LogFrontEnd& m_log;
    bool m_deferred;
    QObject m_context; // a report still waiting goes with its owner
};
