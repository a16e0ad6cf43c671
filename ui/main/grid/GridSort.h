// SPDX-License-Identifier: MIT
#pragma once

#include "GridContents.h"

#include <QString>

#include <cstdint>
#include <functional>

// Sorting the daily grid by one column (SortFlex without a widget). The totals row stays last,
// equal values keep date order, and the sorted column's title carries the direction mark.
class GridSort
{
public:
    using LogSink = std::function<void(const QString& message, int16_t level)>;

    static inline const QString AscendingMark = QStringLiteral("    ^");
    static inline const QString DescendingMark = QStringLiteral("    v");

    // Sorts the day rows and returns the column actually sorted: a column the grid does not have
    // (a remembered one from a wider grid) falls back to the date column.
    static int sortFlex(GridContents& grid, int column, bool descending, const LogSink& log = {});
    // The title without a trailing direction mark.
    static QString stripMark(const QString& title);
    // The column whose text orders the rows: the hidden day serial for the date column.
    static int keyColumn(int column) { return column == 1 ? 0 : column; }
};
