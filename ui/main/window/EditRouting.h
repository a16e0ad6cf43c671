// SPDX-License-Identifier: MIT
#pragma once

// Which control the Edit menu's Select All and Copy act on, from the tab on show, the layout and
// where the focus is.
namespace EditRouting {

enum class Target { None, DebugLog, Grid, Summary };

// The main window's tabs.
inline constexpr int SummaryTab = 0;
inline constexpr int GridTab = 1;
inline constexpr int DebugTab = 2;

struct Situation
{
    int currentTab = SummaryTab;
    bool doubleWidth = false;
    bool debugLogHasFocus = false;
    bool gridHasFocus = false;
    // Rows and columns of the grid, titles and totals included.
    int gridRows = 0;
    int gridColumns = 0;
};

// The grid is on show beside the tabs in double width, else only on its own tab.
bool gridVisible(const Situation& s);
// The debug log when its tab is on show and either it has the focus or the grid is not beside
// the tabs; else the grid while it is on show; else nothing.
Target selectAllTarget(const Situation& s);
// Nothing at all for a grid of fewer than two rows or columns; then the debug log as for Select
// All, the grid while it is on show and has the focus, else the summary's focused box on tab 0.
Target copyTarget(const Situation& s);

} // namespace EditRouting
