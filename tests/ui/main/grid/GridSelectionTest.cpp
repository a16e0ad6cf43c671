// SPDX-License-Identifier: MIT
#include "GridSelection.h"
#include "GridFill.h"
#include "GridSort.h"
#include "GridTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace GridTestSupport;

namespace {

GridContents twoDayGrid()
{
    qoMonth month = makeMonth(QDate(2024, 3, 1), 3, false, true);
    month.DailyPeak = {1.0f, 2.0f, 4.0f};
    month.DailyTotals = {1.0f, 2.0f, 4.0f};
    month.DailyUploads = {0.25f, -1.0f, 0.5f};
    return GridFill({}, QDate(2024, 5, 1)).fill(month);
}

} // namespace

TEST(GridSelectionCopy, SelectAllCopiesEveryRowWithoutHiddenColumnOrMarks)
{
    GridContents grid = twoDayGrid();
    GridSort::sortFlex(grid, 2, true);
    const GridRange all = GridSelection::selectAll(grid);
    EXPECT_EQ(all, (GridRange{4, 5, 0, 1}));
    EXPECT_EQ(GridSelection::copyText(grid, all), u"Date\tPeak\tFreezone\tTotal\tUploads\r"
                                                  u"03-Mar-24\t4.00\t0.00\t4.00\t0.50\r"
                                                  u"02-Mar-24\t2.00\t0.00\t2.00\t-1.00\r"
                                                  u"01-Mar-24\t1.00\t0.00\t1.00\t0.25\r"
                                                  u"Totals\t7.00\t0.00\t7.00\t0.75"_s);
}

TEST(GridSelectionCopy, ABlockReachingIntoTheHiddenColumnStartsAtTheDateAndEmptyGridsCopyNothing)
{
    const GridContents grid = twoDayGrid();
    EXPECT_EQ(GridSelection::copyText(grid, {2, 2, 1, 0}), u"01-Mar-24\t1.00\r02-Mar-24\t2.00"_s);
    GridContents empty;
    empty.cells = {{GridCell{}}};
    EXPECT_TRUE(GridSelection::copyText(empty, {0, 0, 0, 0}).isEmpty());
}

TEST(GridSelectionAddUp, UpwardsSelectionMatchesDownwardsAndSkipsUnknownUploads)
{
    const GridContents grid = twoDayGrid();
    const QString down = GridSelection::addUpText(grid, 1, 3, false);
    EXPECT_EQ(down, GridSelection::addUpText(grid, 3, 1, false));
    EXPECT_EQ(down, u"Totals for selected 3 days:\r\n\r\n"
                    u"Peak:                \t7.00 MB\r\n"
                    u"Freezone:            \t0.00 MB\r\n"
                    u"Total:               \t7.00 MB\r\n"
                    u"Uploads:             \t0.75 MB\r\n"_s);
}

TEST(GridSelectionAddUp, HeaderAndTotalsRowsDoNotCountAndOneDayIsSingular)
{
    const GridContents grid = twoDayGrid();
    EXPECT_TRUE(GridSelection::addUpText(grid, 4, 0, false).startsWith(u"Totals for selected 3 days:"_s));
    const QString one = GridSelection::addUpText(grid, 2, 2, false);
    EXPECT_TRUE(one.startsWith(u"Totals for selected 1 day:\r\n\r\n"_s)) << one.toStdString();
    EXPECT_TRUE(one.contains(u"Peak:                \t2.00 MB"_s));
    EXPECT_TRUE(one.contains(u"Uploads:             \t0.00 MB"_s));
}

TEST(GridSelectionAddUp, LongTitlesKeepFiveBlanksAndMarksAreDropped)
{
    GridContents grid = twoDayGrid();
    grid.cells[0][2].text = u"A very long class title    v"_s;
    const QString text = GridSelection::addUpText(grid, 1, 1, false);
    EXPECT_TRUE(text.contains(u"\r\nA very long class title:     \t1.00 MB\r\n"_s)) << text.toStdString();
}
