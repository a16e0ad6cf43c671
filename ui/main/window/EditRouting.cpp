// SPDX-License-Identifier: MIT
#include "EditRouting.h"

namespace EditRouting {

namespace {

bool debugCase(const Situation& s)
{
    return s.currentTab == DebugTab && (s.debugLogHasFocus || !s.doubleWidth);
}

} // namespace

bool gridVisible(const Situation& s)
{
    return s.doubleWidth || s.currentTab == GridTab;
}

Target selectAllTarget(const Situation& s)
{
    if (debugCase(s))
        return Target::DebugLog;
    if (gridVisible(s))
        return Target::Grid;
    return Target::None;
}

Target copyTarget(const Situation& s)
{
    if (s.gridRows < 2 || s.gridColumns < 2)
        return Target::None;
    if (debugCase(s))
        return Target::DebugLog;
    if (gridVisible(s) && s.gridHasFocus)
        return Target::Grid;
    if (s.currentTab == SummaryTab)
        return Target::Summary;
    return Target::None;
}

} // namespace EditRouting
