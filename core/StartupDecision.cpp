// SPDX-License-Identifier: MIT
#include "StartupDecision.h"

#include "Dates.h"
#include "RunState.h"
#include "Settings.h"

StartupDecision StartupDecision::decide(const Inputs& in)
{
    StartupDecision d;
    const auto has = [&](uint32_t bit) { return (static_cast<uint32_t>(in.OptionFlags) & bit) != 0; };
    const bool wanted = has(OptionFlag::AutoRefresh) || has(OptionFlag::StartupRefresh);
    if (!wanted || (in.CmdLineFlags & CmdLineFlag::NoAuto) != 0 || in.Username.isEmpty())
        return d;

    const bool quietOption = has(OptionFlag::QuietMode) || in.CmdLineQuiet;
    if (has(OptionFlag::DelayRefresh)) {
        d.action = Action::Delay;
        d.scheduleBase = in.now.addMinutes(int64_t(in.StartupRefreshDelay) - in.Interval);
        return d;
    }
    LocalDateTime last;
    QString ignored;
    if (!in.LastUpdate.isEmpty() && myCDate(in.LastUpdate, last, ignored, {})) {
        // A last update in the future counts as recent.
        if (last.minuteBoundariesTo(in.now) < MinimumMinutes) {
            d.action = Action::Skip;
            d.scheduleBase = in.now.addMinutes(-int64_t(in.Interval));
            return d;
        }
        d.action = Action::Refresh;
        if (!in.mainWindowVisible)
            d.quiet = true;
        else
            d.quiet = (in.CmdLineFlags & CmdLineFlag::Tray) != 0 || quietOption;
        return d;
    }
    d.action = Action::FirstRefresh;
    d.quiet = quietOption || in.mainWindowVisible;
    return d;
}
