// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QString>

#include <cstdint>

class LogFrontEnd;
class WindowSeam;
struct RunState;
struct Settings;

// When the next automatic refresh is due (RunState::NextRefreshDate, written only here) and the
// automatic-refresh state on the status bar's first panel.
class RefreshSchedule
{
public:
    // The next refresh is never sooner than this after the provider's last update of the data.
    static constexpr int32_t MinimumMinutesAfterUpdate = 15;

    // The base that stands for "now" (1970-01-01 00:00).
    static LocalDateTime nowBase();

    RefreshSchedule(const Settings& settings, RunState& run, WindowSeam& window, LogFrontEnd& log, const Clock& clock);

    // NextRefreshDate := base (nowBase(): the present) + Interval minutes, moved to the month's
    // last update + 15 minutes when it would come sooner, and to the present when it has passed
    // or is under 2 seconds ahead. A last update that is empty, no date or in the future (the
    // clock was set back) is left out, so it cannot push the refresh far ahead.
    void SetNextRefreshDate(const QString& lastUpdate, const LocalDateTime& base);

    // "refreshing data..." while a refresh runs; otherwise the timer picture and "auto refresh
    // in n minutes" / "auto refresh in < 1 minute", or "auto refresh disabled" when the option
    // is off or /NOAUTO was given.
    void UpdateRefreshStatus();

    // The status text for the minute boundaries left until the next refresh.
    static QString countdownText(int64_t minutes);

private:
    const Settings& m_settings;
    RunState& m_run;
    WindowSeam& m_window;
    LogFrontEnd& m_log;
    const Clock& m_clock;
};
