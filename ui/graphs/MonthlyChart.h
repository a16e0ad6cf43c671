// SPDX-License-Identifier: MIT
#pragma once

#include "ChartModel.h"

class LogFrontEnd;
class modSQL;
struct Settings;

// The totals of every stored month, oldest on the left: an area per download class, the
// uploads line and the "Quota" line.
class MonthlyChart
{
public:
    MonthlyChart(ChartModel& chart, modSQL& history, const Settings& settings, LogFrontEnd& log);

    // Rebuilds every series from the history database. Raises RunTimeError when the totals
    // cannot be read.
    void build();
    void AddMonthlySeries();

private:
    ChartModel& m_chart;
    modSQL& m_history;
    const Settings& m_settings;
    LogFrontEnd& m_log;
};
