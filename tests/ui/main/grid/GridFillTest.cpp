// SPDX-License-Identifier: MIT
#include "GridFill.h"
#include "DefaultLocale.h"
#include "GridTestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using namespace GridTestSupport;

namespace {

const QDate March1(2024, 3, 1);

GridContents fillAt(const qoMonth& month, QDate today, bool estShaping = false,
                    std::vector<std::pair<QString, int16_t>>* lines = nullptr)
{
    GridFill fill({false, estShaping}, today, [lines](const QString& text, int16_t level) {
        if (lines)
            lines->emplace_back(text, level);
    });
    return fill.fill(month);
}

// Rows whose cell in the column is shaded as a shaped day.
QList<int> shadedRows(const GridContents& grid, int column)
{
    QList<int> rows;
    for (int row = 1; row < grid.rowCount() - 1; ++row)
        if (grid.cells[row][column].backColour == GridContents::ShapedColour)
            rows << row;
    return rows;
}

QList<int> range(int from, int to)
{
    QList<int> rows;
    for (int r = from; r <= to; ++r)
        rows << r;
    return rows;
}

} // namespace

TEST(GridFillLayout, MonthWithoutOffpeakTakesEveryColumnByItsTitle)
{
    qoMonth month = makeMonth(March1, 3, false, false);
    month.DailyPeak = {1.5f, 2.0f, 3.25f};
    month.DailyFreezone = {0.5f, 0.0f, 1.0f};
    month.DailyTotals = {2.0f, 2.0f, 4.25f};
    const GridContents grid = fillAt(month, QDate(2024, 5, 1));

    ASSERT_EQ(grid.rowCount(), 5);
    ASSERT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(columnTexts(grid, 0).first(), u"45352"_s); // 1 March 2024 as a day serial
    EXPECT_EQ(grid.text(0, 1), u"Date"_s);
    EXPECT_EQ(grid.text(0, 2), u"Peak"_s);
    EXPECT_EQ(grid.text(0, 3), u"Freezone"_s);
    EXPECT_EQ(grid.text(0, 4), u"Total"_s);
    EXPECT_EQ(columnTexts(grid, 1), (QStringList{u"01-Mar-24"_s, u"02-Mar-24"_s, u"03-Mar-24"_s, u"Totals"_s}));
    EXPECT_EQ(columnTexts(grid, 2), (QStringList{u"1.50"_s, u"2.00"_s, u"3.25"_s, u"6.75"_s}));
    EXPECT_EQ(columnTexts(grid, 3), (QStringList{u"0.50"_s, u"0.00"_s, u"1.00"_s, u"1.50"_s}));
    EXPECT_EQ(columnTexts(grid, 4), (QStringList{u"2.00"_s, u"2.00"_s, u"4.25"_s, u"8.25"_s}));
    EXPECT_EQ(grid.text(4, 0), GridContents::TotalsKey);
    for (int c = 1; c < 5; ++c)
        EXPECT_TRUE(grid.cells[4][c].bold) << c;
    EXPECT_EQ(grid.uploadsColumn, -1);
}

TEST(GridFillLayout, UnknownUploadsStayOutOfTheTotalButKeepTheirText)
{
    qoMonth month = makeMonth(March1, 3, true, true);
    month.DailyOffpeak = {4.0f, 0.0f, 1.0f};
    month.DailyFreezone = {0.25f, 0.25f, 0.0f};
    month.DailyUploads = {1.0f, -1.0f, 2.5f};
    const GridContents grid = fillAt(month, QDate(2024, 5, 1));

    ASSERT_EQ(grid.columnCount(), 7);
    const int uploads = columnOf(grid, u"Uploads"_s);
    ASSERT_EQ(uploads, 6);
    EXPECT_EQ(grid.uploadsColumn, uploads);
    EXPECT_EQ(columnTexts(grid, uploads), (QStringList{u"1.00"_s, u"-1.00"_s, u"2.50"_s, u"3.50"_s}));
    EXPECT_EQ(columnTexts(grid, columnOf(grid, u"OffPeak"_s)).last(), u"5.00"_s);
    EXPECT_EQ(columnTexts(grid, columnOf(grid, u"Freezone"_s)).last(), u"0.50"_s);
}

TEST(GridFillLayout, ColumnsTakeTheSeriesOfTheirTitlesSlotWhateverTheTitleSays)
{
    qoMonth month = makeMonth(March1, 2, false, false);
    month.DailyHeaders[2] = u"Off-peak"_s;
    month.DailyOffpeak = {4.0f, 5.0f};
    month.DailyHeaders[3] = u"Bonus"_s;
    month.DailyFreezone = {7.0f, 7.0f};
    std::vector<std::pair<QString, int16_t>> lines;
    const GridContents grid = fillAt(month, QDate(2024, 5, 1), false, &lines);
    EXPECT_EQ(columnTexts(grid, columnOf(grid, u"Off-peak"_s)), (QStringList{u"4.00"_s, u"5.00"_s, u"9.00"_s}));
    EXPECT_EQ(columnTexts(grid, columnOf(grid, u"Bonus"_s)), (QStringList{u"7.00"_s, u"7.00"_s, u"14.00"_s}));
    for (const auto& [text, level] : lines)
        EXPECT_GT(level, 2) << text.toStdString(); // nothing for the status bar

    // A peak class titled "Total" also fills the total column.
    EXPECT_EQ(GridFill::columnSeries(4, u"Total"_s, u"Total"_s), 1);
    EXPECT_EQ(GridFill::columnSeries(4, u"Total"_s, u"Peak"_s), 4);
    EXPECT_EQ(GridFill::columnSeries(2, u"Night"_s, u"Total"_s), 2);
}

TEST(GridFillToday, TodaysRowIsLightBlueExceptTheHiddenColumn)
{
    qoMonth month = makeMonth(March1, 5, false, false);
    const GridContents grid = fillAt(month, QDate(2024, 3, 4));
    EXPECT_EQ(grid.todayRow, 4);
    EXPECT_EQ(grid.todayIndex, 3);
    EXPECT_FALSE(grid.cells[4][0].backColour);
    for (int c = 1; c < grid.columnCount(); ++c)
        EXPECT_EQ(grid.cells[4][c].backColour, GridContents::TodayColour) << c;
    EXPECT_FALSE(grid.cells[3][1].backColour);

    const GridContents past = fillAt(month, QDate(2024, 4, 4));
    EXPECT_EQ(past.todayRow, -1);
    for (const auto& row : past.cells)
        for (const GridCell& cell : row)
            EXPECT_FALSE(cell.backColour);
}

TEST(GridFillMarks, SmallestPositiveIsBlueLargestRedEarlierRowsWinAndZeroColumnsStayPlain)
{
    qoMonth month = makeMonth(March1, 7, false, false);
    month.DailyPeak = {0.0f, 3.0f, 1.0f, 5.0f, 1.0f, 5.0f, 0.5f};
    const GridContents grid = fillAt(month, QDate(2024, 3, 7)); // today holds a partial 0.5
    const int peak = columnOf(grid, u"Peak"_s);
    for (int row = 1; row <= 7; ++row) {
        const GridCell& cell = grid.cells[row][peak];
        if (row == 3) {
            EXPECT_EQ(cell.foreColour, GridContents::MinimumColour);
            EXPECT_TRUE(cell.bold);
        } else if (row == 4) {
            EXPECT_EQ(cell.foreColour, GridContents::MaximumColour);
            EXPECT_TRUE(cell.bold);
        } else {
            EXPECT_FALSE(cell.foreColour) << row;
            EXPECT_FALSE(cell.bold) << row;
        }
    }
    const int freezone = columnOf(grid, u"Freezone"_s);
    for (int row = 1; row <= 7; ++row)
        EXPECT_FALSE(grid.cells[row][freezone].foreColour) << row;
}

TEST(GridFillMarks, UnderACommaDecimalLocaleAZeroColumnStillStaysPlain)
{
    const DefaultLocale german(DefaultLocale::german());
    qoMonth month = makeMonth(March1, 3, false, false);
    month.DailyPeak = {2.0f, 0.5f, 1.25f};
    const GridContents grid = fillAt(month, QDate(2024, 5, 1));
    const int peak = columnOf(grid, u"Peak"_s);
    const int freezone = columnOf(grid, u"Freezone"_s);
    EXPECT_EQ(grid.text(1, freezone), u"0,00"_s);
    EXPECT_EQ(grid.text(1, 1), u"01-M\u00e4rz-24"_s);
    for (int row = 1; row <= 3; ++row) {
        EXPECT_FALSE(grid.cells[row][freezone].foreColour) << row;
        EXPECT_FALSE(grid.cells[row][freezone].bold) << row;
    }
    EXPECT_EQ(grid.cells[1][peak].foreColour, GridContents::MaximumColour);
    EXPECT_EQ(grid.cells[2][peak].foreColour, GridContents::MinimumColour);
}

TEST(GridFillMarks, TodayReplacesOnlyAZeroMinimumAndCanBeTheMaximum)
{
    qoMonth month = makeMonth(March1, 3, false, false);
    month.DailyPeak = {0.0f, 0.0f, 2.0f};
    const GridContents grid = fillAt(month, QDate(2024, 3, 3));
    const int peak = columnOf(grid, u"Peak"_s);
    EXPECT_TRUE(grid.cells[3][peak].bold);
    // Minimum and maximum fall on the same cell: the later colour, red, stays.
    EXPECT_EQ(grid.cells[3][peak].foreColour, GridContents::MaximumColour);
    EXPECT_FALSE(grid.cells[1][peak].foreColour);
}

namespace {

// 30 days of March with a combined quota of 10,000 MB and 400 MB a day on average.
qoMonth combinedQuotaMonth(float percentUsed)
{
    qoMonth month = makeMonth(March1, 30, false, true);
    month.PeakQuota = 10000;
    month.AvgPeak = 400;
    month.ElapsedPeak = 50;
    month.PercentPeak = percentUsed;
    return month;
}

} // namespace

TEST(GridFillShaping, WarnShadesFromTheEstimatedDayInEveryColumnButFreeZoneAndTotal)
{
    const GridContents grid = fillAt(combinedQuotaMonth(60), QDate(2024, 3, 10), true);
    EXPECT_EQ(shadedRows(grid, columnOf(grid, u"Peak"_s)), range(26, 30));
    EXPECT_EQ(shadedRows(grid, columnOf(grid, u"Uploads"_s)), range(26, 30));
    EXPECT_TRUE(shadedRows(grid, columnOf(grid, u"Freezone"_s)).isEmpty());
    EXPECT_TRUE(shadedRows(grid, columnOf(grid, u"Total"_s)).isEmpty());
    EXPECT_TRUE(shadedRows(grid, 1).isEmpty());
    EXPECT_FALSE(grid.cells[31][2].backColour); // the totals row
}

TEST(GridFillShaping, AnEstimateAlreadyPastStartsAtToday)
{
    const GridContents grid = fillAt(combinedQuotaMonth(60), QDate(2024, 3, 28), true);
    const int peak = columnOf(grid, u"Peak"_s);
    EXPECT_EQ(shadedRows(grid, peak), range(28, 30));
    EXPECT_EQ(grid.cells[27][peak].backColour, std::nullopt);
}

TEST(GridFillShaping, OkStateNoAverageOrTheOptionOffShadeNothing)
{
    const int peak = 2;
    EXPECT_TRUE(shadedRows(fillAt(combinedQuotaMonth(40), QDate(2024, 3, 10), true), peak).isEmpty());
    EXPECT_TRUE(shadedRows(fillAt(combinedQuotaMonth(60), QDate(2024, 3, 10), false), peak).isEmpty());
    qoMonth idle = combinedQuotaMonth(60);
    idle.AvgPeak = 0;
    EXPECT_TRUE(shadedRows(fillAt(idle, QDate(2024, 3, 10), true), peak).isEmpty());
}

TEST(GridFillShaping, PastMonthShadesFromTheFirstDayTheRunningSumExceedsTheQuota)
{
    qoMonth month = combinedQuotaMonth(110);
    month.PeakQuota = 975;
    month.DailyPeak = QList<float>(30, 50.0f);
    const GridContents grid = fillAt(month, QDate(2024, 5, 1), true);
    EXPECT_EQ(shadedRows(grid, columnOf(grid, u"Peak"_s)), range(20, 30));

    month.PeakQuota = 1000; // reached on day 20, exceeded on day 21
    EXPECT_EQ(shadedRows(fillAt(month, QDate(2024, 5, 1), true), 2), range(21, 30));
}

TEST(GridFillShaping, SeparateQuotasShadeOnlyTheClassInWarning)
{
    qoMonth month = makeMonth(March1, 30, true, false);
    month.PeakQuota = 5000;
    month.AvgPeak = 100;
    month.ElapsedPeak = 50;
    month.PercentPeak = 30;
    month.OffPeakQuota = 2000;
    month.AvgOffpeak = 200;
    month.ElapsedOffpeak = 50;
    month.PercentOffPeak = 70;
    const GridContents grid = fillAt(month, QDate(2024, 3, 5), true);
    EXPECT_TRUE(shadedRows(grid, columnOf(grid, u"Peak"_s)).isEmpty());
    EXPECT_EQ(shadedRows(grid, columnOf(grid, u"OffPeak"_s)), range(11, 30));
    EXPECT_TRUE(shadedRows(grid, columnOf(grid, u"Total"_s)).isEmpty());
}
