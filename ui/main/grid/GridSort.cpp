// SPDX-License-Identifier: MIT
#include "GridSort.h"

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

QString GridSort::stripMark(const QString& title)
{
    if (title.endsWith(AscendingMark) || title.endsWith(DescendingMark))
        return title.left(title.size() - AscendingMark.size());
    return title;
}

int GridSort::sortFlex(GridContents& grid, int column, bool descending, const LogSink& log)
{
    const int columns = grid.columnCount();
    if (columns == 0)
        return column;
    if (column < 0 || column >= columns)
        column = columns > 1 ? 1 : 0;
    if (log)
        log(u"SortFlex: sorting column "_s + QString::number(column) + u" in "_s +
                (descending ? u"descending"_s : u"ascending"_s) + u" order"_s,
            6);
    for (int c = 0; c < columns; ++c) {
        QString title = stripMark(grid.text(0, c));
        if (c == column)
            title += descending ? DescendingMark : AscendingMark;
        grid.cells[0][c].text = title;
    }
    const int days = grid.rowCount() - 2;
    if (days < 2)
        return column;
    const int key = keyColumn(column);
    if (column == 1 && log)
        log(u"SortFlex: sorting by dates"_s, 6);

    struct Entry
    {
        double value;
        double serial;
        int row;
    };
    QList<Entry> entries;
    entries.reserve(days);
    for (int row = 1; row <= days; ++row)
        entries.append(
            {gridCellValue(grid.text(row, key)).value_or(0.0), gridCellValue(grid.text(row, 0)).value_or(0.0), row});
    std::stable_sort(entries.begin(), entries.end(), [descending](const Entry& a, const Entry& b) {
        const float va = float(a.value);
        const float vb = float(b.value);
        if (va != vb)
            return descending ? va > vb : va < vb;
        return descending ? a.serial > b.serial : a.serial < b.serial;
    });

    QList<QList<GridCell>> sorted = grid.cells;
    int newToday = grid.todayRow;
    for (int i = 0; i < days; ++i) {
        sorted[i + 1] = grid.cells.at(entries.at(i).row);
        if (entries.at(i).row == grid.todayRow)
            newToday = i + 1;
    }
    grid.cells = std::move(sorted);
    grid.todayRow = newToday;
    return column;
}
