// SPDX-License-Identifier: MIT
#include "GridSort.h"
#include "GridFill.h"
#include "GridTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace GridTestSupport;

namespace {

// Five days spanning the end of January: peak values with ties, an uploads column.
GridContents sampleGrid(QDate today = QDate(2024, 3, 1))
{
    qoMonth month = makeMonth(QDate(2024, 1, 29), 5, false, true);
    month.DailyPeak = {2.0f, 1.0f, 2.0f, 0.0f, 1.0f};
    month.DailyTotals = {2.0f, 1.0f, 2.0f, 0.0f, 1.0f};
    month.DailyUploads = {0.5f, 0.0f, 0.5f, 3.0f, -1.0f};
    return GridFill({}, today).fill(month);
}

const QStringList AllDates{u"29-Jan-24"_s, u"30-Jan-24"_s, u"31-Jan-24"_s, u"01-Feb-24"_s, u"02-Feb-24"_s};

} // namespace

TEST(GridSortOrder, DateColumnSortsByDaySerialAcrossTheMonthBoundary)
{
    GridContents grid = sampleGrid();
    EXPECT_EQ(GridSort::sortFlex(grid, 1, true), 1);
    QStringList descending = AllDates;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(columnTexts(grid, 1), descending + QStringList{u"Totals"_s});
    EXPECT_EQ(grid.text(0, 1), u"Date    v"_s);

    EXPECT_EQ(GridSort::sortFlex(grid, 0, false), 0);
    EXPECT_EQ(columnTexts(grid, 1), AllDates + QStringList{u"Totals"_s});
    EXPECT_EQ(grid.text(0, 1), u"Date"_s); // the mark moved to the hidden column
    EXPECT_EQ(grid.text(0, 0), u"    ^"_s);
}

TEST(GridSortOrder, EqualValuesKeepDateOrderAndTheTotalsRowStaysLast)
{
    GridContents grid = sampleGrid();
    const int peak = columnOf(grid, u"Peak"_s);
    GridSort::sortFlex(grid, peak, false);
    EXPECT_EQ(columnTexts(grid, 1), (QStringList{u"01-Feb-24"_s, u"30-Jan-24"_s, u"02-Feb-24"_s, u"29-Jan-24"_s,
                                                 u"31-Jan-24"_s, u"Totals"_s}));
    EXPECT_EQ(grid.text(6, peak), u"6.00"_s);
    EXPECT_EQ(grid.text(6, 0), GridContents::TotalsKey);

    GridSort::sortFlex(grid, peak, true);
    EXPECT_EQ(columnTexts(grid, 1), (QStringList{u"31-Jan-24"_s, u"29-Jan-24"_s, u"02-Feb-24"_s, u"30-Jan-24"_s,
                                                 u"01-Feb-24"_s, u"Totals"_s}));
    EXPECT_EQ(grid.text(0, peak), u"Peak    v"_s);
}

TEST(GridSortOrder, UploadsSortNumericallyWithUnknownFirstAscending)
{
    GridContents grid = sampleGrid();
    const int uploads = columnOf(grid, u"Uploads"_s);
    GridSort::sortFlex(grid, uploads, false);
    EXPECT_EQ(columnTexts(grid, uploads),
              (QStringList{u"-1.00"_s, u"0.00"_s, u"0.50"_s, u"0.50"_s, u"3.00"_s, u"4.00"_s}));
}

TEST(GridSortOrder, RowsMoveWithTheirColoursAndTodayFollows)
{
    GridContents grid = sampleGrid(QDate(2024, 1, 30));
    ASSERT_EQ(grid.todayRow, 2);
    GridSort::sortFlex(grid, 1, true);
    EXPECT_EQ(grid.todayRow, 4);
    EXPECT_EQ(grid.text(4, 1), u"30-Jan-24"_s);
    EXPECT_EQ(grid.cells[4][1].backColour, GridContents::TodayColour);
}

TEST(GridSortMarks, OnlyTheSortedColumnCarriesAMark)
{
    GridContents grid = sampleGrid();
    GridSort::sortFlex(grid, 2, false);
    GridSort::sortFlex(grid, 3, false);
    int marked = 0;
    for (int c = 0; c < grid.columnCount(); ++c)
        if (grid.text(0, c).endsWith(GridSort::AscendingMark) || grid.text(0, c).endsWith(GridSort::DescendingMark))
            ++marked;
    EXPECT_EQ(marked, 1);
    EXPECT_EQ(grid.text(0, 2), u"Peak"_s);
    EXPECT_EQ(GridSort::stripMark(u"Total    ^"_s), u"Total"_s);
    EXPECT_EQ(GridSort::stripMark(u"Total   ^"_s), u"Total   ^"_s);
}

TEST(GridSortMarks, ARememberedColumnBeyondTheGridFallsBackToTheDateColumn)
{
    GridContents grid = sampleGrid();
    EXPECT_EQ(GridSort::sortFlex(grid, 9, false), 1);
    EXPECT_EQ(grid.text(0, 1), u"Date    ^"_s);
    EXPECT_EQ(columnTexts(grid, 1), AllDates + QStringList{u"Totals"_s});
}

TEST(GridSortOrder, GroupedThousandsSortAsNumbers)
{
    qoMonth month = makeMonth(QDate(2024, 3, 1), 3, false, false);
    month.DailyPeak = {1234.5f, 999.0f, 12000.0f};
    GridContents grid = GridFill({true, false}, QDate(2024, 5, 1)).fill(month);
    GridSort::sortFlex(grid, 2, false);
    EXPECT_EQ(columnTexts(grid, 2), (QStringList{u"999.00"_s, u"1,234.50"_s, u"12,000.00"_s, u"14,233.50"_s}));
}
