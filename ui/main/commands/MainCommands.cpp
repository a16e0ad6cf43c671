// SPDX-License-Identifier: MIT
#include "MainCommands.h"

#include "AppInfo.h"
#include "Dates.h"
#include "LocalDateTime.h"
#include "LogFrontEnd.h"
#include "MainRoutines.h"
#include "ProviderLinks.h"
#include "RefreshCycle.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "TextRoutines.h"
#include "WindowSeam.h"
#include "modSQL.h"

using namespace Qt::StringLiterals;

namespace {
const QString crlf = u"\r\n"_s;
} // namespace

MainCommands::MainCommands(CommandContext context)
    : m_ctx(context), m_calcs(context.app, context.registry, context.log, context.settings, context.run, context.clock)
{}

bool MainCommands::debugMode() const
{
    return m_ctx.run.CmdLineDebug;
}

void MainCommands::trap(const char* handler, const RunTimeError& error)
{
    m_ctx.log.LogMessage(QLatin1String(handler) + u':' + crlf + error.text(), 3);
}

template <class Body>
void MainCommands::trapped(const char* handler, Body&& body)
{
    try {
        body();
    } catch (const RunTimeError& error) {
        trap(handler, error);
    }
}

void MainCommands::cmdRefresh_Click()
{
    trapped("cmdRefresh_Click", [this] {
        bool fromcache = false;
        m_ctx.cycle.RefreshData(fromcache, m_ctx.log.quiet(), true);
    });
}

void MainCommands::mnuReload_Click()
{
    trapped("mnuReload_Click", [this] {
        bool fromcache = true;
        m_ctx.cycle.RefreshData(fromcache, m_ctx.log.quiet(), true);
    });
}

void MainCommands::cboHistory_Click(const QString& text, int listIndex)
{
    trapped("cboHistory_Click", [&] { showHistoryMonth(text, listIndex); });
}

void MainCommands::showHistoryMonth(const QString& text, int listIndex)
{
    m_ctx.log.LogMessage(u"cboHistory: changing history month to "_s + text + u" (list index: "_s +
                             QString::number(listIndex) + u')',
                         3);

    // The list names the months in the user's locale; a zero date would mean "the newest month" to
    // the reader, so an unreadable text must not get that far.
    const QDate firstDay = ReadMonthYearText(text);
    if (!firstDay.isValid())
        throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);

    QString szErr;
    qoMonth& month = m_ctx.run.CurrentMonth;
    if (!m_ctx.history.SQL2qoMonth(LocalDateTime::fromDate(firstDay), month, szErr)) {
        m_ctx.log.LogMessage(u"Failed to read data from database:"_s + crlf + szErr, 1);
        return;
    }
    szErr.clear();
    if (!m_calcs.qoMonthCalcs(month, szErr)) {
        m_ctx.log.LogMessage(u"Failed to do calculations with data from database:"_s + crlf + szErr, 1);
        return;
    }
    szErr.clear();
    if (!m_ctx.cycle.display().qoMonth2Form(month, listIndex != 0, szErr)) {
        m_ctx.log.LogMessage(u"Failed to display data from database:"_s + crlf + szErr, 1);
        return;
    }

    QString status = u"viewing data for "_s + MonthYearText(month.AnniversaryDate.date());
    LocalDateTime lastUpdate;
    if (myCDate(month.LastUpdate, lastUpdate, szErr, m_ctx.log.dateSink()))
        status += u", last updated "_s + lastUpdate.toString();
    else
        status += u", last update date unknown"_s;
    m_ctx.log.LogMessage(status, 2);
}

void MainCommands::cmdTeeGraph_Click()
{
    trapped("cmdTeeGraph_Click", [this] { m_ctx.window.showGraphWindow(m_ctx.run.CurrentMonth); });
}

QList<MainCommands::ProfileEntry> MainCommands::profileMenu(int& count)
{
    QList<ProfileEntry> items(MaxProfile + 1);
    count = 0;
    for (int i = 0; i <= MaxProfile; ++i) {
        ProfileEntry& item = items[i];
        const bool current = i == m_ctx.run.ProfileNumber;
        QString username;
        if (m_ctx.registry.GetRegValue(HKEY_CURRENT_USER, m_ctx.app.profileKey(int16_t(i)), u"Username"_s, username)) {
            item.caption = StripDomain(username);
            item.visible = true;
            ++count;
        } else if (current) {
            // The profile in use always keeps an item, stored or not.
            item.caption = u"[unknown]"_s;
            item.visible = true;
        }
        item.checked = current;
    }
    return items;
}

void MainCommands::mnuProfile_Click(int index)
{
    m_ctx.cycle.whenAccountFree(
        [this, index] { trapped("mnuProfile_Click", [this, index] { switchProfile(index); }); });
}

void MainCommands::switchProfile(int index)
{
    if (index == m_ctx.run.ProfileNumber || index < 0 || index > MaxProfile)
        return;

    m_ctx.log.LogMessage(
        u"profile change from "_s + QString::number(m_ctx.run.ProfileNumber) + u" to "_s + QString::number(index), 6);
    m_ctx.run.ProfileNumber = int16_t(index);

    m_ctx.store.ReadRegSettings();
    m_ctx.mainRoutines.SetAppCaption();
    m_ctx.links.SetURLs();

    m_ctx.run.CurrentMonth = qoMonth();
    m_ctx.window.InitValueDisplay(false);
    m_ctx.window.setControlText({u"txtUsername"_s}, StripDomain(m_ctx.settings.Username));

    if (m_ctx.settings.hasOption(OptionFlag::History)) {
        QString szErr;
        if (!m_ctx.history.CheckSQLDatabase(szErr))
            m_ctx.log.LogMessage(szErr, 1);
        szErr.clear();
        if (!m_ctx.mainRoutines.SQLGetMonths(szErr))
            m_ctx.log.LogMessage(szErr, 2);
    }

    bool fromcache = true;
    if (m_ctx.cycle.RefreshData(fromcache, false, true)) {
        m_ctx.cycle.schedule().UpdateRefreshStatus();
        return;
    }

    m_ctx.log.LogMessage(u"profile change: RefreshData failed"_s, 3);
    if (m_ctx.window.isGraphWindowLoaded()) {
        // The charts would still show the previous profile's month.
        m_ctx.log.LogMessage(u"profile change: graph is visible, so hide it"_s, 3);
        m_ctx.window.hideGraphCharts();
    }
    m_ctx.cycle.schedule().UpdateRefreshStatus();
}

void MainCommands::mnuConfig_Click()
{
    trapped("mnuConfig_Click", [this] { m_ctx.window.showOptionsDialog(OptionsFocus::None); });
}

void MainCommands::mnuPopup_Options_Click()
{
    trapped("mnuPopup_Options_Click", [this] { m_ctx.window.showOptionsDialog(OptionsFocus::None); });
}

void MainCommands::mnuAbout_Click()
{
    trapped("mnuAbout_Click", [this] { m_ctx.window.showAboutDialog(); });
}

void MainCommands::mnuVersionCheck_Click()
{
    trapped("mnuVersionCheck_Click", [this] { m_ctx.window.DoVersionCheck(false, false); });
}

void MainCommands::mnuPopup_AutoRefresh_Click(bool checked)
{
    trapped("mnuPopup_AutoRefresh_Click", [this, checked] {
        if (checked)
            m_ctx.settings.OptionFlags |= int32_t(OptionFlag::AutoRefresh);
        else
            m_ctx.settings.OptionFlags &= ~int32_t(OptionFlag::AutoRefresh);

        // Rescheduled from the month's last update; with no month shown yet, from now.
        const QString& lastUpdate = m_ctx.run.CurrentMonth.LastUpdate;
        LocalDateTime base = RefreshSchedule::nowBase();
        QString szErr;
        if (!lastUpdate.isEmpty())
            myCDate(lastUpdate, base, szErr, [](const QString&, int16_t) {});
        RefreshSchedule& schedule = m_ctx.cycle.schedule();
        schedule.SetNextRefreshDate(lastUpdate, base);
        schedule.UpdateRefreshStatus();

        // The option is shared by all profiles.
        szErr.clear();
        m_ctx.registry.WriteRegWordValue(HKEY_CURRENT_USER, m_ctx.app.configKey(), u"Options"_s,
                                         m_ctx.settings.OptionFlags, szErr);

        if (debugMode())
            m_ctx.log.LogMessage(u"auto refresh "_s + (checked ? u"en"_s : u"dis"_s) + u"abled"_s, 2);
    });
}

QString MainCommands::helpPageUrl(const QString& page, const AppInfo& app)
{
    if (page == u"Website")
        return AppInfo::productSite();
    if (page == u"Usage")
        return app.productPage(u"usage.html"_s);
    if (page == u"FAQ")
        return app.productPage(u"faq.html"_s);
    if (page == u"Appreciation")
        return app.productPage(u"appreciation.html"_s);
    return {};
}

void MainCommands::helpPage(const QString& page)
{
    trapped("helpPage", [&] {
        const QString url = helpPageUrl(page, m_ctx.app);
        if (!url.isEmpty())
            m_ctx.links.ExecuteLink(url);
    });
}

void MainCommands::tmrRefresh_Timer()
{
    trapped("tmrRefresh_Timer", [this] { autoRefreshTick(); });
}

void MainCommands::autoRefreshTick()
{
    RunState& run = m_ctx.run;
    const LocalDateTime now = m_ctx.clock.now();
    // Whole clock minutes: due from the start of the minute that holds the refresh time.
    const bool due = run.NextRefreshDate.minuteBoundariesTo(now) >= 0;
    const bool autoOn = !(run.CmdLineFlags & CmdLineFlag::NoAuto) && m_ctx.settings.hasOption(OptionFlag::AutoRefresh);

    if (!due) {
        if (autoOn && !run.RefreshInProgress) {
            const int64_t minutes = now.minuteBoundariesTo(run.NextRefreshDate);
            m_ctx.log.LogMessage(u"auto refresh in "_s +
                                     FormatPlural(int32_t(qMin<int64_t>(minutes, INT32_MAX)), u"minute"_s),
                                 debugMode() ? 2 : 6);
        }
    } else if (run.RefreshInProgress) {
        m_ctx.log.LogMessage(u"tmrRefresh: refresh still in progress, doing nothing"_s, 6);
    } else if (autoOn) {
        m_ctx.log.LogMessage(u"tmrRefresh: time to do an auto-refresh"_s, 6);
        // Nobody is there to answer a box while the window sits in the tray.
        const bool quietRefresh = m_ctx.window.isMainWindowVisible() ? m_ctx.log.quiet() : true;
        bool fromcache = false;
        m_ctx.cycle.RefreshData(fromcache, quietRefresh, false);
    }
    m_ctx.cycle.schedule().UpdateRefreshStatus();
}

void MainCommands::tmrAnimate_Timer()
{
    trapped("tmrAnimate_Timer", [this] {
        // The refresh waits in this thread; give its events a turn first.
        m_ctx.window.processPendingEvents();
        m_frame = m_frame >= 9 ? int16_t(1) : int16_t(m_frame + 1);
        const QString key = u"working"_s + QString::number(m_frame);
        m_ctx.window.ModifyTrayIcon(key);
        m_ctx.window.setStatusPicture(key);
    });
}

void MainCommands::tmrVerCheck_Timer()
{
    trapped("tmrVerCheck_Timer", [this] { versionCheckTick(); });
}

int32_t MainCommands::verCheckMinutes(int16_t intervalIndex)
{
    switch (intervalIndex) {
    case 0:
        return 1440; // a day
    case 1:
        return 10080; // a week
    case 2:
        return 43200; // thirty days
    default:
        return 0;
    }
}

void MainCommands::versionCheckTick()
{
    RunState& run = m_ctx.run;
    run.VerCheckTicks = (run.VerCheckTicks + 1) % VerCheckTicksPerCheck;
    if (run.VerCheckTicks != 0 || !(m_ctx.settings.VerCheckOptions & 1))
        return;

    m_ctx.log.LogMessage(u"version check timer expired"_s, 3);
    QString stored;
    // Only a check that has run once (at start-up or by hand) starts the periodic ones.
    if (!m_ctx.registry.GetRegValue(HKEY_CURRENT_USER, m_ctx.app.profileKey(run.ProfileNumber), u"VerCheckLast"_s,
                                    stored))
        return;

    LocalDateTime last;
    QString szErr;
    if (myCDate(stored, last, szErr, m_ctx.log.dateSink())) {
        m_ctx.log.LogMessage(u"ver check tmr: last date: "_s + last.toString(), 6);
    } else {
        last = *LocalDateTime::fromParts(2000, 1, 1);
        m_ctx.log.LogMessage(u"ver check tmr: no record of previous check found"_s, 6);
    }

    const LocalDateTime due = last.addMinutes(verCheckMinutes(m_ctx.settings.VerCheckInterval));
    if (due.secondsTo(m_ctx.clock.now()) > 0) {
        m_ctx.log.LogMessage(u"ver check tmr: about to do background version check"_s, 6);
        m_ctx.window.DoVersionCheck(true, false);
    }
}
