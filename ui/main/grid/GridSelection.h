// SPDX-License-Identifier: MIT
#pragma once

#include "GridContents.h"

#include <QString>

// A block of grid cells between an anchor (row, column) and the cell the selection was drawn to
// (rowSel, colSel), in either direction.
struct GridRange
{
    int row = 0;
    int column = 0;
    int rowSel = 0;
    int colSel = 0;

    friend bool operator==(const GridRange&, const GridRange&) = default;
};

// Select all, copy and add up on the daily grid, as text.
namespace GridSelection {

// Every row, header and totals included, and every column but the hidden one.
GridRange selectAll(const GridContents& grid);
// The copied text of a block: a tab between cells, a carriage return between rows; the hidden
// column is never part of it and the titles lose their sort marks. Empty for a grid of fewer
// than two rows or columns.
QString copyText(const GridContents& grid, GridRange range);
// "Totals for selected 3 days:" and one line per value column, summing the day rows from row to
// rowSel (header and totals rows skipped, unknown uploads left out).
QString addUpText(const GridContents& grid, int row, int rowSel, bool commaSeparators);

} // namespace GridSelection
