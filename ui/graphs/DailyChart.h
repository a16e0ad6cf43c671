// SPDX-License-Identifier: MIT
#pragma once

#include "ChartModel.h"
#include "LocalDateTime.h"
#include "qoMonth.h"

#include <array>
#include <cstdint>
#include <optional>

class DisplayOptionBoxes;
class LogFrontEnd;
class RunTimeError;
struct Settings;

using ColumnTitles = std::array<QString, DailyHeader::Count>;

// The daily chart of one month: stacked bars of the download classes, the uploads bar beside
// them, the running average and the target per remaining day.
class DailyChart
{
public:
    // latestMonth: the month list shows its first (newest) month, so the last update is the
    // cut-off of both lines; otherwise the present moment is. A day the month lists is never cut
    // off.
    DailyChart(ChartModel& chart, DisplayOptionBoxes& boxes, const Settings& settings, LogFrontEnd& log,
               const Clock& clock, bool latestMonth);

    // Rebuilds every series from the month, one point for each day of its billing month. Raises
    // RunTimeError when the month's arrays do not fit together; the two lines catch their own
    // errors.
    void build(const qoMonth& month);

    void AddDailySeries();
    void AddQuotaAverageSeries(const qoMonth& month);
    void FillQuotaAverage(ChartSeries& line, const qoMonth& month);
    void AddQuotaTargetSeries(const qoMonth& month);
    void FillQuotaTarget(ChartSeries& line, const qoMonth& month);

    // Hides the series of the classes without a title (never shows one). The "Uploads" box is
    // enabled by the uploads title, and disabled and unticked without one.
    static void ApplySeriesFlags(ChartModel& chart, const ColumnTitles& titles, DisplayOptionBoxes& boxes);
    // Gives series 0 to 3 the titles 1, 2, 3 and 5; the number of titles among 1 to 4.
    static int16_t ScanDataArray(const ColumnTitles& titles, ChartModel& chart);
    // Bars take 80 % of a day's slot while the uploads bar stands beside them, else 70 %.
    static void UpdateUploadsSeries(ChartModel& chart);

private:
    bool lastUpdateParses(const qoMonth& month) const;
    // The moment after which the lines stop; none when the last update does not parse.
    std::optional<LocalDateTime> cutOff(const qoMonth& month) const;
    // The use of a day that counts against the quota: peak and off-peak while they are shown.
    double used(int32_t day) const;
    void lineError(const QString& context, const RunTimeError& error);
    // A quota line of its colour and title, filled by one of the two fill routines.
    void addQuotaLine(const QColor& colour, const QString& title, const QString& errorContext,
                      void (DailyChart::*fill)(ChartSeries&, const qoMonth&), const qoMonth& month);

    ChartModel& m_chart;
    DisplayOptionBoxes& m_boxes;
    const Settings& m_settings;
    LogFrontEnd& m_log;
    const Clock& m_clock;
    bool m_latestMonth;
};
