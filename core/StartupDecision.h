// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QString>

#include <cstdint>

// Whether and when the first live refresh after start-up runs. Pure: everything it looks at is
// in its inputs.
struct StartupDecision
{
    enum class Action {
        None,         // no automatic start-up refresh (option off, /NOAUTO or no user name)
        Delay,        // schedule the first refresh StartupRefreshDelay minutes from now
        Skip,         // the last update is under 15 minutes old: schedule from it
        Refresh,      // refresh now
        FirstRefresh, // nothing stored yet: refresh now
    };

    struct Inputs
    {
        int32_t OptionFlags = 0;
        uint16_t CmdLineFlags = 0;
        bool CmdLineQuiet = false;
        QString Username;
        QString LastUpdate; // of the month on display, "yyyy-mm-dd HH:mm:ss" or empty
        int32_t StartupRefreshDelay = 0;
        int32_t Interval = 0;
        bool mainWindowVisible = false;
        LocalDateTime now;
    };

    static constexpr int32_t MinimumMinutes = 15;

    Action action = Action::None;
    // For Delay and Skip: the base handed to SetNextRefreshDate (it adds Interval again).
    LocalDateTime scheduleBase;
    // For Refresh and FirstRefresh: the quiet argument of the refresh.
    bool quiet = false;

    static StartupDecision decide(const Inputs& in);
};
