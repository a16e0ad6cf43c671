// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QList>
#include <QString>

#include <functional>

class LogFrontEnd;
class WindowSeam;
struct AppInfo;
struct RunState;
struct Settings;

// The history database's list of stored months: anniversary dates, newest first. False with an
// error text when the list cannot be read (no rows count as a failure).
using StoredMonthsReader = std::function<bool(QList<LocalDateTime>& months, QString& error)>;

// Small routines that put core state on the main window: its caption, which summary columns
// show, and the history month list.
class MainRoutines
{
public:
    MainRoutines(const AppInfo& app, const Settings& settings, const RunState& run, WindowSeam& window,
                 LogFrontEnd& log, StoredMonthsReader storedMonths);

    // "<product> v<major>.<minor>.<revision> [<user>]", plus " (debug mode)" with the debug switch.
    void SetAppCaption();
    static QString appCaption(const AppInfo& app, const QString& username, bool debugMode);

    // Element 1 (free zone) or element 2 (off-peak) of the summary columns.
    void SetFreezoneSummaryVisible(bool visible);
    void SetOffPeakSummaryVisible(bool visible);

    // Refills the month list from the history database, newest first and selected. False with
    // the error text when the months cannot be read; the list then stays hidden.
    bool SQLGetMonths(QString& error);

private:
    void setSummaryElementVisible(int index, bool visible);

    const AppInfo& m_app;
    const Settings& m_settings;
    const RunState& m_run;
    WindowSeam& m_window;
    LogFrontEnd& m_log;
    StoredMonthsReader m_storedMonths;
};
