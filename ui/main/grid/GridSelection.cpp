// SPDX-License-Identifier: MIT
#include "GridSelection.h"

#include "GridSort.h"
#include "TextRoutines.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace GridSelection {

GridRange selectAll(const GridContents& grid)
{
    return {grid.rowCount() - 1, grid.columnCount() - 1, 0, 1};
}

QString copyText(const GridContents& grid, GridRange range)
{
    if (grid.rowCount() < 2 || grid.columnCount() < 2)
        return {};
    const int lastRow = grid.rowCount() - 1;
    const int lastColumn = grid.columnCount() - 1;
    const int top = std::clamp(std::min(range.row, range.rowSel), 0, lastRow);
    const int bottom = std::clamp(std::max(range.row, range.rowSel), 0, lastRow);
    const int left = std::clamp(std::min(range.column, range.colSel), 1, lastColumn);
    const int right = std::clamp(std::max(range.column, range.colSel), 1, lastColumn);
    QStringList lines;
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int c = left; c <= right; ++c)
            cells << grid.text(row, c);
        lines << cells.join(u'\t');
    }
    QString text = lines.join(u'\r');
    text.remove(GridSort::AscendingMark);
    text.remove(GridSort::DescendingMark);
    return text;
}

QString addUpText(const GridContents& grid, int row, int rowSel, bool commaSeparators)
{
    const int totalsRow = grid.rowCount() - 1;
    const int step = row > rowSel ? -1 : 1;
    QString lines;
    int count = 0;
    for (int c = 2; c < grid.columnCount(); ++c) {
        const QString title = GridSort::stripMark(grid.text(0, c));
        double sum = 0;
        count = 0;
        for (int r = row;; r += step) {
            if (r > 0 && r < totalsRow && r < grid.rowCount()) {
                ++count;
                const double value = gridCellValue(grid.text(r, c)).value_or(0.0);
                if (!(c == grid.uploadsColumn && value == -1.0))
                    sum += value;
            }
            if (r == rowSel)
                break;
        }
        lines += title + u":"_s + QString(std::max<qsizetype>(20 - title.size(), 5), u' ') + u'\t' +
                 FormatTwoDecimals(QString::number(sum, 'g', 15), commaSeparators) + u" MB\r\n"_s;
    }
    if (grid.columnCount() <= 2) {
        for (int r = row;; r += step) {
            if (r > 0 && r < totalsRow)
                ++count;
            if (r == rowSel)
                break;
        }
    }
    return u"Totals for selected "_s + FormatPlural(count, u"day"_s) + u":\r\n\r\n"_s + lines;
}

} // namespace GridSelection
