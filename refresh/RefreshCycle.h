// SPDX-License-Identifier: MIT
#pragma once

#include "FeedComponents.h"
#include "FeedConverters.h"
#include "HistoryBackfiller.h"
#include "LocalDateTime.h"
#include "MonthCalcs.h"
#include "MonthDisplay.h"
#include "RefreshSchedule.h"
#include "modCSV.h"
#include "modXML.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class LogFrontEnd;
class RunTimeError;
class MainRoutines;
class RegistryAccess;
class WindowSeam;
class modSQL;
struct AppInfo;
struct RunState;
struct Settings;

// The one operation that brings the current profile's month up to date (RefreshData): it picks
// the source (a live fetch, the component's cached copy or the history database), fills
// RunState::CurrentMonth, derives its figures, back-fills the previous month, sets the tray
// tooltip, schedules the next automatic refresh, stores, shows and exports the month and reports
// the outcome. Every refresh of the program, whatever starts it, runs through here.
class RefreshCycle
{
public:
    RefreshCycle(const AppInfo& app, const Settings& settings, RunState& run, WindowSeam& window, LogFrontEnd& log,
                 RegistryAccess& registry, const Clock& clock, modSQL& history, MainRoutines& mainRoutines);

    // fromcache: read the component's cache (or the database) instead of the provider; set
    // True when a live request falls within the component's cache lifetime. quiet and manual
    // only go to the log. True when the month was obtained and shown. In the hidden run-once
    // mode nothing waits for a person: missing login details fail the refresh. Once the program
    // is ending none starts, and one under way stops where its wait ends.
    bool RefreshData(bool& fromcache, bool quiet, bool manual);

    // True from the moment a refresh has its account settled (after the login checks) to its end:
    // what it fetches is stored and shown under the profile and user it started with.
    bool accountInUse() const { return m_accountInUse; }
    // Runs action now, or, while a refresh uses the account, once that refresh has ended: a profile
    // switch or applied options in the middle of a fetch would have the fetched month stored and
    // shown under the other account. Deferred actions run in the order they were asked for.
    void whenAccountFree(std::function<void()> action);
    bool HistoryBackfill(qoMonth& month, QString& error) { return m_backfill.HistoryBackfill(month, error); }
    // Where the last refresh could not keep the month it obtained, one entry each: "stored in the
    // history database" (with history on), "written to the XML export" or "written to the CSV
    // export", with the file. Empty when it kept everything it was set to keep, or obtained nothing.
    const QStringList& notKept() const { return m_notKept; }

    FeedComponents& components() { return m_components; }
    FeedConverters& converters() { return m_converters; }
    RefreshSchedule& schedule() { return m_schedule; }
    MonthDisplay& display() { return m_display; }

private:
    struct Run;

    bool refresh(bool& fromcache, bool quiet, bool manual);
    void runDeferred();

    // The steps, in order; each reads and updates the run's locals.
    void checkUsername(Run& run);
    void checkPassword(Run& run);
    void cacheTest(Run& run);
    void cachedDates(Run& run);
    void obtainMonth(Run& run);
    void backfill(Run& run);
    void trayToolTip(Run& run);
    void scheduleNext(Run& run);
    void storeAndShow(Run& run);
    void exportMonth(Run& run);
    void finish(Run& run);
    bool trapA(Run& run, const RunTimeError& error);
    // The exit routine began while the run waited: it ends without showing, storing or
    // scheduling anything.
    bool abandon();

    // A step under the trap that is armed: with a resuming trap a run-time error is logged
    // under its header and the run goes on; without one it ends the refresh (trapA).
    template <class Step>
    void guarded(Run& run, Step&& step);

    QString toolTipPrefix() const;
    QString componentName() const;
    bool hiddenMode() const;

    const AppInfo& m_app;
    const Settings& m_settings;
    RunState& m_run;
    WindowSeam& m_window;
    LogFrontEnd& m_log;
    RegistryAccess& m_registry;
    const Clock& m_clock;
    modSQL& m_history;
    MainRoutines& m_mainRoutines;

    FeedComponents m_components;
    FeedConverters m_converters;
    MonthCalcs m_calcs;
    RefreshSchedule m_schedule;
    MonthDisplay m_display;
    HistoryBackfiller m_backfill;
    modXML m_xml;
    modCSV m_csv;

    QStringList m_notKept;
    bool m_accountInUse = false;
    std::vector<std::function<void()>> m_deferred;
};
