// SPDX-License-Identifier: MIT
#include "RefreshCycle.h"

#include "AppInfo.h"
#include "BillingMonth.h"
#include "Dates.h"
#include "LogFrontEnd.h"
#include "MainRoutines.h"
#include "ProgramExit.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "TrayToolTip.h"
#include "WindowSeam.h"
#include "WindowUtilities.h"
#include "modSQL.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {
const QString crlf = u"\r\n"_s;
// A failed live fetch is tried again after this many minutes.
constexpr int32_t retryMinutes = 15;

// What a refresh did not keep, with its file when it has one.
QString named(const QString& what, const QString& file)
{
    return file.isEmpty() ? what : what + u' ' + file;
}

// Runs a statement whose run-time errors are ignored.
template <class Statement>
void ignoringErrors(Statement&& statement)
{
    try {
        statement();
    } catch (const RunTimeError&) {
        // Nothing is left to report it to.
    }
}

// Thrown where a wait has let the exit routine begin: the run ends there, as if it had never
// fetched anything.
struct ProgramEnding
{};

void stopIfEnding()
{
    if (ProgramExit::begun())
        throw ProgramEnding();
}
} // namespace

// The locals that carry one run.
struct RefreshCycle::Run
{
    explicit Run(bool& fromcacheArgument) : fromcache(fromcacheArgument) {}

    bool& fromcache;
    // The request was live and only the component's minimum interval made it a cached read.
    bool intervalCached = false;
    bool proceed = true;
    bool fromDatabase = false;
    QString error;
    QString detail;
    LocalDateTime componentDate;
    LocalDateTime databaseDate;
    // The header of the trap that resumes after a run-time error; empty: the error ends the run.
    QString resumeHeader;
    // From the first export on, run-time errors are ignored.
    bool ignoreErrors = false;
};

RefreshCycle::RefreshCycle(const AppInfo& app, const Settings& settings, RunState& run, WindowSeam& window,
                           LogFrontEnd& log, RegistryAccess& registry, const Clock& clock, modSQL& history,
                           MainRoutines& mainRoutines)
    : m_app(app), m_settings(settings), m_run(run), m_window(window), m_log(log), m_registry(registry), m_clock(clock),
      m_history(history), m_mainRoutines(mainRoutines), m_components(log, clock),
      m_converters(settings, run, log, m_components), m_calcs(app, registry, log, settings, run, clock),
      m_schedule(settings, run, window, log, clock), m_display(settings, window, log, mainRoutines, clock),
      m_backfill(settings, log, history, m_converters), m_xml(app, log), m_csv(run, log, clock)
{}

QString RefreshCycle::toolTipPrefix() const
{
    return TrayToolTip::prefix(m_app.ProductName, m_settings.Username);
}

QString RefreshCycle::componentName() const
{
    return m_settings.UseJSONFeed ? u"Pelborne"_s : u"Sarnick"_s;
}

bool RefreshCycle::hiddenMode() const
{
    return (m_run.CmdLineFlags & CmdLineFlag::Hidden) != 0;
}

template <class Step>
void RefreshCycle::guarded(Run& run, Step&& step)
{
    try {
        step();
    } catch (const RunTimeError& error) {
        if (run.ignoreErrors)
            return;
        if (run.resumeHeader.isEmpty())
            throw;
        m_log.LogMessage(run.resumeHeader + u':' + crlf + error.text(), 1);
    }
}

bool RefreshCycle::RefreshData(bool& fromcache, bool quiet, bool manual)
{
    // Once the program is ending no refresh starts: the first thing one does is change the tray.
    if (ProgramExit::begun())
        return false;
    const bool obtained = refresh(fromcache, quiet, manual);
    // What waited for the account (a profile switch, applied options) is not done any more.
    if (ProgramExit::begun())
        m_deferred.clear();
    else
        runDeferred();
    return obtained;
}

void RefreshCycle::whenAccountFree(std::function<void()> action)
{
    if (!m_accountInUse) {
        action();
        return;
    }
    m_log.LogMessage(u"RefreshData: refresh in progress, account change waits for it to end"_s, 6);
    m_deferred.push_back(std::move(action));
}

void RefreshCycle::runDeferred()
{
    // A refresh that an earlier refresh's event pumping started nested ends first; the outer one
    // runs the actions when it ends.
    if (m_run.RefreshInProgress)
        return;
    while (!m_deferred.empty()) {
        const std::function<void()> action = std::move(m_deferred.front());
        m_deferred.erase(m_deferred.begin());
        action();
    }
}

bool RefreshCycle::refresh(bool& fromcache, bool quiet, bool manual)
{
    Run run(fromcache);
    m_notKept.clear();
    try {
        m_log.LogMessage(u"calling RefreshData for profile "_s + QString::number(m_run.ProfileNumber), 3);
        m_log.LogMessage(u"RefreshData(fromcache="_s + BooleanText(fromcache) + u",quiet="_s + BooleanText(quiet) +
                             u",manual="_s + BooleanText(manual) + u')',
                         5);

        m_window.setRefreshControlsEnabled(false);
        m_window.setStatusToolTip(QString());
        m_run.RefreshInProgress = true;
        m_schedule.UpdateRefreshStatus();

        checkUsername(run);
        stopIfEnding();
        m_mainRoutines.SetAppCaption();
        checkPassword(run);
        stopIfEnding();

        if (run.proceed) {
            m_accountInUse = true;
            m_window.setTrayAnimation(true);
            m_window.setBusyPointer(true);
            m_window.repaintMainWindow();
            m_window.ModifyTrayToolTip(toolTipPrefix() + crlf + u"refreshing data..."_s);
            m_log.LogMessage(u"retrieving data for "_s + StripDomain(m_settings.Username) +
                                 (fromcache ? u" from cache"_s : QString()) + u"..."_s,
                             2);
            m_log.LogMessage(u"RefreshData: attempting refresh from "_s +
                                 (fromcache ? u"cache"_s : GetAccountTypeName(m_settings.AccountType)),
                             6);

            run.resumeHeader = u"Error checking cache status from "_s + componentName();
            if (!fromcache)
                guarded(run, [&] { cacheTest(run); });
            if (fromcache)
                guarded(run, [&] { cachedDates(run); });
            run.resumeHeader = u"Error retrieving data from "_s + componentName();
        }

        guarded(run, [&] { obtainMonth(run); });
        if (run.proceed) {
            if (!m_calcs.qoMonthCalcs(m_run.CurrentMonth, run.error)) {
                m_log.LogMessage(run.error, 1);
                run.proceed = false;
            }
        }
        guarded(run, [&] { backfill(run); });
        guarded(run, [&] { m_window.setTrayAnimation(false); });
        guarded(run, [&] { trayToolTip(run); });
        guarded(run, [&] { scheduleNext(run); });
        guarded(run, [&] { storeAndShow(run); });
        exportMonth(run);
        if (run.proceed) {
            const QString source =
                run.fromDatabase ? u" from database"_s
                : fromcache      ? u" from cached XML "_s + (m_settings.UseJSONFeed ? u"JSON"_s : u"XML"_s) + u" file"_s
                                 : u" from "_s + (m_settings.UseJSONFeed ? u"JSON"_s : u"XML"_s) + u" feed"_s;
            m_log.LogMessage(u"retrieved "_s + (fromcache ? u"cached"_s : u"live"_s) + u" data for "_s +
                                 StripDomain(m_settings.Username) + source,
                             2);
        }
        finish(run);
        return run.proceed;
    } catch (const RunTimeError& error) {
        return trapA(run, error);
    } catch (const ProgramEnding&) {
        return abandon();
    }
}

void RefreshCycle::checkUsername(Run& run)
{
    if (!m_settings.Username.isEmpty())
        return;
    m_log.LogMessage(u"RefreshData: no logon details specified yet"_s, 6);
    if (hiddenMode()) {
        // Nobody is there to fill in the options dialog.
        m_log.LogMessage(u"RefreshData: no window to ask for the login details in hidden mode"_s, 1);
    } else {
        m_window.restoreMainWindow();
        m_window.messageBox(u"Login details for this profile haven't been specified yet."_s + crlf +
                                u"Please enter them, and try refreshing."_s,
                            m_app.Title, BoxIcon::Exclamation, BoxButtons::Ok);
        m_window.showOptionsDialog(OptionsFocus::Username);
    }
    if (m_settings.Username.isEmpty()) {
        run.error = u"no username specified"_s;
        m_log.LogMessage(u"RefreshData: no username specified, aborting refresh"_s, 2);
        run.proceed = false;
    }
    m_window.repaintMainWindow();
}

void RefreshCycle::checkPassword(Run& run)
{
    if (run.fromcache || !run.proceed || !m_settings.hasOption(OptionFlag::PwdPrompt) || !m_settings.Password.isEmpty())
        return;
    if (hiddenMode())
        m_log.LogMessage(u"RefreshData: no window to ask for the password in hidden mode"_s, 1);
    else
        m_window.showPasswordDialog();
    if (m_settings.Password.isEmpty()) {
        run.error = u"blank username/password"_s;
        m_log.LogMessage(u"RefreshData: no password specified, aborting refresh"_s, 2);
        run.proceed = false;
    }
}

void RefreshCycle::cacheTest(Run& run)
{
    // Any live request within the component's cache lifetime becomes a cached read.
    run.fromcache = !m_components.CacheExpired(m_settings.UseJSONFeed, m_settings.Username);
    run.intervalCached = run.fromcache;
}

void RefreshCycle::cachedDates(Run& run)
{
    m_log.LogMessage(u"RefreshData: checking refresh dates of cached data"_s, 6);
    QString text;
    if (!m_registry.GetRegValue(HKEY_CURRENT_USER, u"Software\\"_s + componentName() + u"\\Config"_s,
                                m_settings.Username, text))
        m_log.LogMessage(u"RefreshData: failed to retrieve "_s + componentName() + u" refresh date"_s, 3);
    QString szErr;
    if (!myCDate(text, run.componentDate, szErr, m_log.dateSink()))
        m_log.LogMessage(u"RefreshData: invalid data refresh date: "_s + (text.isEmpty() ? u"[blank]"_s : text), 3);
    if (run.componentDate > LocalDateTime())
        m_log.LogMessage(u"RefreshData: data cache date: "_s + run.componentDate.toString(), 6);

    if (m_settings.hasOption(OptionFlag::History)) {
        QString sqlErr;
        if (!m_history.SQLGetLastUpdate(run.databaseDate, sqlErr))
            m_log.LogMessage(u"RefreshData: failed to retrieve SQL refresh date: "_s + sqlErr, 3);
        if (run.databaseDate > LocalDateTime())
            m_log.LogMessage(u"RefreshData: SQL cache date: "_s + run.databaseDate.toString(), 6);
    }
    if (run.componentDate == LocalDateTime() && run.databaseDate == LocalDateTime()) {
        run.error = u"no cached data found"_s;
        m_log.LogMessage(u"RefreshData: no cached data found, aborting refresh"_s, 2);
        run.proceed = false;
    }
}

void RefreshCycle::obtainMonth(Run& run)
{
    if (!run.proceed)
        return;
    const LocalDateTime none;
    const bool fromDatabase = run.fromcache && m_settings.hasOption(OptionFlag::History) && run.databaseDate > none &&
                              (run.componentDate <= none || run.databaseDate >= run.componentDate);
    bool obtained = false;
    if (fromDatabase) {
        m_log.LogMessage(u"RefreshData: retrieving cached data from database"_s, 6);
        obtained = m_history.SQL2qoMonth(none, m_run.CurrentMonth, run.error);
        run.fromDatabase = obtained;
    } else {
        m_log.LogMessage(u"RefreshData: retrieving "_s + (run.fromcache ? u"cached"_s : u"live"_s) + u" data via "_s +
                             componentName(),
                         6);
        // A read that only the interval made cached goes to the component as the live request it
        // was: the component applies the same interval, and fetches after all when it has no cache
        // file to read. Whether it read one decides what this run was.
        const bool askCache = run.fromcache && !run.intervalCached;
        bool served = run.fromcache;
        bool* const learn = run.intervalCached ? &served : nullptr;
        obtained =
            m_settings.UseJSONFeed
                ? m_converters.Pelborne2qoMonth(askCache, m_run.CurrentMonth, false, run.error, run.detail, learn)
                : m_converters.Sarnick2qoMonth(askCache, m_run.CurrentMonth, false, run.error, run.detail, learn);
        run.fromcache = served;
    }
    stopIfEnding();
    if (obtained)
        return;
    run.proceed = false;
    m_window.setTrayAnimation(false);
    m_window.ModifyTrayIcon(u"error"_s);
    if (fromDatabase) {
        m_log.LogMessage(run.error, 1);
    } else {
        m_log.LogMessage(run.detail, 1);
        m_log.LogMessage(run.error, 2);
    }
}

void RefreshCycle::backfill(Run& run)
{
    const qoMonth& month = m_run.CurrentMonth;
    if (!run.proceed || !m_settings.hasOption(OptionFlag::History) || run.fromcache ||
        !(month.TotalPeak > 0 || month.TotalOffpeak > 0))
        return;
    // Its outcome never fails the refresh.
    qoMonth previous = month;
    QString error;
    const bool filled = m_backfill.HistoryBackfill(previous, error);
    stopIfEnding();
    if (filled) {
        if (m_history.qoMonth2SQL(previous, true, error))
            m_log.LogMessage(u"successfully back-filled historical data for previous month"_s, 2);
        else
            m_log.LogMessage(error, 1);
    } else if (!error.isEmpty()) {
        m_log.LogMessage(u"RefreshData: history backfill failed: "_s + error, 3);
    }
}

void RefreshCycle::trayToolTip(Run& run)
{
    QString text = toolTipPrefix();
    if (run.proceed) {
        text += TrayToolTip::usageLines(m_run.CurrentMonth, m_settings.hasOption(OptionFlag::CommaSeparators));
    } else {
        m_window.ModifyTrayIcon(u"error"_s);
        text += run.error;
    }
    text += TrayToolTip::lastRefreshLine(m_run.CurrentMonth);
    m_window.ModifyTrayToolTip(text);
}

void RefreshCycle::scheduleNext(Run& run)
{
    // A request that became a cached read leaves the schedule alone.
    if (run.fromcache)
        return;
    if (run.proceed) {
        m_schedule.SetNextRefreshDate(m_run.CurrentMonth.LastUpdate, RefreshSchedule::nowBase());
        return;
    }
    m_log.LogMessage(
        u"RefreshData: fetch failed, will attempt again in "_s + QString::number(retryMinutes) + u" minutes"_s, 6);
    m_schedule.SetNextRefreshDate(m_run.CurrentMonth.LastUpdate,
                                  m_clock.now().addMinutes(int64_t(retryMinutes) - m_settings.Interval));
}

void RefreshCycle::storeAndShow(Run& run)
{
    if (run.proceed && m_settings.hasOption(OptionFlag::History)) {
        QString error;
        if (run.fromDatabase)
            m_log.LogMessage(u"RefreshData: not writing data to database, as it was retrieved from database!"_s, 6);
        else if (!m_history.qoMonth2SQL(m_run.CurrentMonth, false, error)) {
            m_log.LogMessage(error, 1);
            m_notKept.append(named(u"stored in the history database"_s, m_history.DatabaseFile()));
        }
        error.clear();
        if (!m_mainRoutines.SQLGetMonths(error))
            m_log.LogMessage(error, 1);
    }
    if (run.proceed) {
        QString error;
        if (!m_display.qoMonth2Form(m_run.CurrentMonth, false, error)) {
            m_log.LogMessage(error, 1);
            run.proceed = false;
        }
    }
}

void RefreshCycle::exportMonth(Run& run)
{
    if (!run.proceed)
        return;
    const qoMonth& month = m_run.CurrentMonth;
    if (m_settings.hasOption(OptionFlag::XMLExport)) {
        run.ignoreErrors = true;
        const QString file = modXML::fileName(m_run.DataDir, m_run.ProfileNumber);
        bool written = false;
        ignoringErrors([&] {
            QString error;
            written = m_xml.qoMonth2XML(month, file, error);
            if (!written)
                m_log.LogMessage(error, 1);
        });
        if (!written)
            m_notKept.append(named(u"written to the XML export"_s, file));
    }
    if (m_settings.hasOption(OptionFlag::CSVExport)) {
        run.ignoreErrors = true;
        bool written = false;
        ignoringErrors([&] {
            QString error;
            written = m_csv.qoMonth2CSV(month, m_run.DataDir, m_settings.hasOption(OptionFlag::CSVExclude), error);
            if (!written)
                m_log.LogMessage(error, 1);
        });
        // Named after the month's first day, which a month without days lacks.
        if (!written)
            m_notKept.append(
                named(u"written to the CSV export"_s,
                      month.DailyDates.isEmpty()
                          ? QString()
                          : modCSV::fileName(m_run.DataDir, BillingMonth::keyOf(month), m_run.ProfileNumber)));
    }
}

void RefreshCycle::finish(Run& run)
{
    m_run.RefreshInProgress = false;
    m_accountInUse = false;
    guarded(run, [&] { m_window.setBusyPointer(false); });
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    m_schedule.UpdateRefreshStatus();
    MemoryMinimise(m_log);
    guarded(run, [&] { m_window.setRefreshControlsEnabled(true); });
    guarded(run, [&] { m_window.repaintMainWindow(); });
}

bool RefreshCycle::abandon()
{
    m_log.LogMessage(u"RefreshData: program is ending, abandoning refresh"_s, 6);
    m_run.RefreshInProgress = false;
    m_accountInUse = false;
    ignoringErrors([&] { m_window.setBusyPointer(false); });
    return false;
}

bool RefreshCycle::trapA(Run& run, const RunTimeError& error)
{
    m_log.LogMessage(u"Error while refreshing data:"_s + crlf + error.text(), 1);
    ignoringErrors(
        [&] { m_window.ModifyTrayToolTip(toolTipPrefix() + crlf + u"refresh error: "_s + error.description()); });
    ignoringErrors([&] { m_window.setBusyPointer(false); });
    ignoringErrors([&] { m_window.setTrayAnimation(false); });
    m_schedule.SetNextRefreshDate(m_run.CurrentMonth.LastUpdate, RefreshSchedule::nowBase());
    m_run.RefreshInProgress = false;
    m_accountInUse = false;
    m_schedule.UpdateRefreshStatus();
    ignoringErrors([&] { m_window.setRefreshControlsEnabled(true); });
    ignoringErrors([&] { m_window.repaintMainWindow(); });
    run.proceed = false;
    return false;
}
