// SPDX-License-Identifier: MIT
#pragma once

#include "DailyGridModel.h"
#include "GridSelection.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class Clock;
class RegistryAccess;
struct AppInfo;
struct Settings;
struct qoMonth;

// The daily grid's logic behind the main window: fills the model from a month, applies and
// remembers the sort, keeps the column widths in the registry and makes the copy and add-up
// texts. The view only forwards clicks and draws the model.
class DailyGrid
{
public:
    using LogSink = std::function<void(const QString& message, int16_t level)>;

    // Widths of the date and class columns until the user sets their own, in twips.
    static constexpr int32_t DefaultColumnWidth = 960;

    DailyGrid(const AppInfo& app, RegistryAccess& registry, Settings& settings, const Clock& clock, LogSink log);

    DailyGridModel& model() { return m_model; }
    const GridContents& contents() const { return m_model.contents(); }

    // Fills the grid from the month and re-applies the remembered sort. True when filled.
    bool ParseArrays(bool quiet, const qoMonth& month, QString& szErr);
    // The day's peak, free-zone and off-peak texts for the summary's today boxes (txtToday 0..2);
    // nullopt when the month on show does not hold today.
    std::optional<std::array<QString, 3>> todayTexts() const { return m_today; }

    // Sorts by the column in the current direction, keeps SortCol and, while SortRemember is on,
    // stores SortCol and SortDir (1 ascending, 0 descending).
    void SortFlex(int column);
    // A click on a title: the same column again turns the direction round.
    void headerClicked(int column);

    QString copyText(GridRange range) const { return GridSelection::copyText(contents(), range); }
    QString addUpText(int row, int rowSel) const;

    // The stored width of each column 0..last (twips); column 0 never has one.
    QList<std::optional<int32_t>> storedColumnWidths() const;
    // The width each column gets after a fill: the stored one, else the default; 0 for column 0.
    QList<int32_t> columnWidths() const;
    // Writes Col1..Col<last>; errors are ignored.
    void SaveGridColumnWidths(const QList<int32_t>& widthsInTwips);

    // The window's log, also for the view's own lines.
    void log(const QString& message, int16_t level) const;

private:
    const AppInfo& m_app;
    RegistryAccess& m_registry;
    Settings& m_settings;
    const Clock& m_clock;
    LogSink m_log;
    DailyGridModel m_model;
    std::optional<std::array<QString, 3>> m_today;
};
