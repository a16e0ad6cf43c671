// SPDX-License-Identifier: MIT
#pragma once

#include "UsageDataTypes.h"

#include "MonthCalcs.h"
#include "ProgramServices.h"

#include <QList>
#include <QString>

#include <cstdint>

class LocalDateTime;
class RunTimeError;

// What the main window's commands work with.
using CommandContext = ProgramServices;

// The decisions behind the main window's and the tray menu's commands and its three timers,
// free of widgets: the window forwards clicks and timer ticks here, and everything visible goes
// back out through the window seam. Each handler traps its own run-time errors.
class MainCommands
{
public:
    // The profile menu has one item per profile number 0..MaxProfile.
    static constexpr int MaxProfile = HighestProfileNumber;
    // tmrVerCheck ticks once a minute; the periodic check looks once an hour.
    static constexpr int32_t VerCheckTicksPerCheck = 60;

    explicit MainCommands(CommandContext context);

    // Live refresh / refresh from the cache; the refresh routine reports by itself.
    void cmdRefresh_Click();
    void mnuReload_Click();

    // A month chosen in the history list ("mmmm yyyy"); index 0 is the newest month, shown as the
    // current one. The caller leaves out the selections the core makes itself.
    void cboHistory_Click(const QString& text, int listIndex);

    // Brings up the graph window with the month shown.
    void cmdTeeGraph_Click();

    struct ProfileEntry
    {
        QString caption;
        bool visible = false;
        bool checked = false;

        friend bool operator==(const ProfileEntry&, const ProfileEntry&) = default;
    };
    // The items of the profile menu, MaxProfile + 1 of them; count is the number of stored
    // profiles. The menu is worth showing only when count is more than 1.
    QList<ProfileEntry> profileMenu(int& count);
    // Switches to another profile for the rest of this run.
    void mnuProfile_Click(int index);

    // The Options menu and the tray menu's Options: the options dialog.
    void mnuConfig_Click();
    void mnuPopup_Options_Click();
    void mnuAbout_Click();
    void mnuVersionCheck_Click();

    // The tray menu's "Enable &Auto Refresh" after its check mark was inverted; checked is the
    // new state.
    void mnuPopup_AutoRefresh_Click(bool checked);

    // "Website", "Usage", "FAQ" or "Appreciation": opens the product's page.
    void helpPage(const QString& page);
    // The address of such a page; empty for an unknown page.
    static QString helpPageUrl(const QString& page, const AppInfo& app);

    void tmrRefresh_Timer();
    void tmrAnimate_Timer();
    void tmrVerCheck_Timer();

    // The tray animation's last frame, 1..9; 0 before the first tick.
    int16_t animationFrame() const { return m_frame; }

private:
    bool debugMode() const;
    void trap(const char* handler, const RunTimeError& error);
    // Runs a handler's body, trapping its run-time errors under the handler's name.
    template <class Body>
    void trapped(const char* handler, Body&& body);
    void showHistoryMonth(const QString& text, int listIndex);
    void switchProfile(int index);
    void autoRefreshTick();
    void versionCheckTick();
    // Minutes of the periodic version check for the VerCheckInterval list index.
    static int32_t verCheckMinutes(int16_t intervalIndex);

    CommandContext m_ctx;
    MonthCalcs m_calcs;
    int16_t m_frame = 0;
};
