// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// One cell of the daily grid: its text and what the fill emphasised. Colours are 0xBBGGRR.
struct GridCell
{
    QString text;
    std::optional<uint32_t> backColour;
    std::optional<uint32_t> foreColour;
    bool bold = false;

    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// The whole daily grid as the fill leaves it, in grid coordinates: row 0 the titles, rows 1..n the
// days, the last row the totals; column 0 the hidden day serial, column 1 the date, then one
// column a traffic class.
struct GridContents
{
    static constexpr uint32_t TodayColour = 0xFFD099;
    static constexpr uint32_t ShapedColour = 0x9999FF;
    static constexpr uint32_t MinimumColour = 0xFF0000;
    static constexpr uint32_t MaximumColour = 0x0000FF;
    // The totals row's key in the hidden column, above every day serial.
    static inline const QString TotalsKey = QStringLiteral("9999999");

    QList<QList<GridCell>> cells;
    // Grid row of today before any sort (-1 when the month does not hold today) and its day index.
    int todayRow = -1;
    int todayIndex = -1;
    // The uploads column (-1 when none): its -1 cells mean "unknown" and stay out of every sum.
    int uploadsColumn = -1;
    // Day serial of the month's first day, to name a row's day of the month after a sort.
    int64_t firstSerial = 0;

    int rowCount() const { return int(cells.size()); }
    int columnCount() const { return cells.isEmpty() ? 0 : int(cells.first().size()); }
    bool isDayRow(int row) const { return row >= 1 && row < rowCount() - 1; }
    QString text(int row, int column) const { return cells.at(row).at(column).text; }
};

// A cell's text read back as a number, digit grouping dropped; nullopt for a text that is none.
std::optional<double> gridCellValue(const QString& text);
