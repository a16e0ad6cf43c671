// SPDX-License-Identifier: MIT
#include "ConfigApplier.h"

#include "AppInfo.h"
#include "AutoStartEntry.h"
#include "ConfigRules.h"
#include "Dates.h"
#include "LogFrontEnd.h"
#include "MainRoutines.h"
#include "ProviderLinks.h"
#include "RefreshCycle.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "WindowSeam.h"
#include "modSQL.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

ConfigApplier::ConfigApplier(const ConfigContext& context) : m_ctx(context) {}

void ConfigApplier::log(const QString& text, int16_t level)
{
    m_ctx.log.LogMessage(text, level, -1);
}

bool ConfigApplier::Apply(ConfigInput& input, QString& refusal)
{
    using namespace ConfigRules;
    Settings& settings = m_ctx.settings;
    bool saved = false;
    try {
        log(u"frmConfig.Apply: saving configuration settings"_s, 6);
        const bool account = accountChanged(settings.Username, input.username);
        // The controls go into a copy, which the program takes into use only once it is stored.
        Settings wanted = settings;
        copyAccount(input, wanted);

        const auto oldFlags = static_cast<uint32_t>(settings.OptionFlags);
        const uint32_t newFlags = input.optionFlags & knownOptionBits();
        const bool display = displayChanged(oldFlags, newFlags);
        const bool layout = layoutChanged(oldFlags, newFlags);

        log(u"frmConfig.Apply: calculating values"_s, 6);
        wanted.OptionFlags = static_cast<int32_t>(newFlags);
        wanted.VerCheckOptions = verCheckOptions(input.verCheckTimed, input.verCheckStartup);
        wanted.VerCheckInterval = static_cast<int16_t>(input.verCheckInterval);

        input.interval = std::max(input.interval, IntervalMinimum);
        input.delay = std::min(input.delay, DelayMaximum);
        input.timeout = clampToRange(input.timeout, TimeoutMinimum, TimeoutMaximum);
        wanted.Interval = input.interval;
        wanted.StartupRefreshDelay = input.delay;
        wanted.Timeout = input.timeout;

        log(u"frmConfig.Apply: writing registry values"_s, 6);
        // A refused save changes nothing: the program goes on with the settings it last read, so the
        // shown month, the autostart entry and the account's database stay as they are too.
        saved = m_ctx.store.SaveRegSettings(wanted, &refusal);
        if (!saved)
            return false;
        settings = wanted;
        if (account)
            m_ctx.run.CurrentMonth = qoMonth{};
        if (escapeButtonChanged)
            escapeButtonChanged(settings.hasOption(OptionFlag::MinimiseToTray));
        applyAutoStart(input.autoStartup);

        followUp(account, display);

        if (settings.hasOption(OptionFlag::History)) {
            QString error;
            if (!account && !m_ctx.history.CheckSQLDatabase(error))
                log(error, 2);
            error.clear();
            if (!m_ctx.mainRoutines.SQLGetMonths(error))
                log(error, 2);
        } else {
            m_ctx.window.setMonthListVisible(false);
        }

        // What is left only redraws; a failure there must not hide that the settings were saved.
        try {
            if (m_ctx.window.isGraphWindowLoaded())
                m_ctx.window.RefreshTeeGraph(m_ctx.run.CurrentMonth);
        } catch (const RunTimeError&) {
        }
        try {
            if (layout)
                m_ctx.window.SetFormLayout();
        } catch (const RunTimeError&) {
        }
        log(u"configuration settings saved"_s, 2);
    } catch (const RunTimeError& error) {
        log(u"frmConfig.Apply: runtime error:\r\n"_s + error.text(), 3);
        if (!saved && refusal.isEmpty())
            refusal = error.text();
    }
    return saved;
}

void ConfigApplier::copyAccount(const ConfigInput& input, Settings& settings)
{
    settings.Username = input.username;
    settings.Password = input.password;
    settings.AccountType = static_cast<int16_t>(input.accountType);
    if (input.dataSource == 0)
        settings.UseJSONFeed = false;
    else if (input.dataSource == 1)
        settings.UseJSONFeed = true;
    settings.UseProxy = input.useProxy;
    settings.Proxy = input.proxy;
    settings.ProxyUID = input.proxyUID;
    settings.ProxyPWD = input.proxyPwd;
}

void ConfigApplier::applyAutoStart(bool wanted)
{
    const AutoStartEntry entry(AutoStartEntry::programName(), m_ctx.app.ProductName);
    // Only a change is written, so an existing entry keeps the command it was made with.
    if (entry.exists() == wanted)
        return;
    if (wanted) {
        // Without a command from the caller, this run's own is the one to start again.
        if (m_ctx.programPath.isEmpty())
            entry.write(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
        else
            entry.write(m_ctx.programPath, m_ctx.programArguments);
        return;
    }
    entry.remove();
}

// The settings are saved and in use by now: the rest brings the program up to date with them.
void ConfigApplier::followUp(bool accountChanged, bool displayChanged)
{
    const Settings& settings = m_ctx.settings;
    RunState& run = m_ctx.run;
    if (!(run.CmdLineFlags & CmdLineFlag::NoAuto) && !run.RefreshInProgress) {
        log(u"frmConfig.Apply: setting next refresh date"_s, 6);
        LocalDateTime lastUpdate;
        QString error;
        if (!run.CurrentMonth.LastUpdate.isEmpty() &&
            myCDate(run.CurrentMonth.LastUpdate, lastUpdate, error, m_ctx.log.dateSink()))
            m_ctx.cycle.schedule().SetNextRefreshDate(run.CurrentMonth.LastUpdate, lastUpdate);
        log(u"frmConfig.Apply: updating refresh icon"_s, 6);
        m_ctx.cycle.schedule().UpdateRefreshStatus();
    }

    QString error;
    if (accountChanged) {
        if (settings.hasOption(OptionFlag::History) && !m_ctx.history.CheckSQLDatabase(error))
            log(error, 1);
        if (!run.RefreshInProgress) {
            bool fromcache = true;
            m_ctx.cycle.RefreshData(fromcache, false, true);
        }
    } else if (displayChanged) {
        if (!m_ctx.cycle.display().qoMonth2Form(run.CurrentMonth, false, error))
            log(error, 1);
    }
    m_ctx.mainRoutines.SetAppCaption();
    m_ctx.links.SetURLs();
}
