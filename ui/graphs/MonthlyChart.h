// SPDX-License-Identifier: MIT
#pragma once

#include "ChartModel.h"

class DisplayOptionBoxes;
class LogFrontEnd;
class modSQL;
struct Settings;

// The totals of every stored month, oldest on the left: an area per download class, the
// uploads line and the "Quota" line.
class MonthlyChart
{
public:
    MonthlyChart(ChartModel& chart, DisplayOptionBoxes& boxes, modSQL& history, const Settings& settings,
                 LogFrontEnd& log);

    // Rebuilds every series from the history database. The "Uploads" box then follows the stored
    // history: built after the daily chart, this setting stands. Raises RunTimeError when the
    // totals cannot be read.
    void build();
    void AddMonthlySeries();

private:
    ChartModel& m_chart;
    DisplayOptionBoxes& m_boxes;
    modSQL& m_history;
    const Settings& m_settings;
    LogFrontEnd& m_log;
};
