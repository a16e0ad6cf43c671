// SPDX-License-Identifier: MIT
#include "ChartModel.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ChartModelTest, SeriesAreNumberedInOrderAndOutsideIndexesRaise)
{
    ChartModel chart;
    EXPECT_EQ(chart.AddSeries(SeriesKind::Bar), 0);
    EXPECT_EQ(chart.AddSeries(SeriesKind::Line), 1);
    EXPECT_EQ(chart.SeriesCount(), 2);
    EXPECT_EQ(chart.Series(1).kind(), SeriesKind::Line);
    try {
        chart.Series(2);
        FAIL() << "no error for series 2";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), 9);
    }
    EXPECT_THROW(chart.Series(-1), RunTimeError);
    chart.RemoveAllSeries();
    EXPECT_EQ(chart.SeriesCount(), 0);
}

TEST(ChartModelTest, ValuesTakeTheNextPositionAndNullsKeepTheirPlace)
{
    ChartSeries series(SeriesKind::Area);
    series.AddValue(5, u"May 2010"_s);
    series.AddNullValue(u"Jun 2010"_s);
    series.AddValue(7, u"Jul 2010"_s);
    ASSERT_EQ(series.PointCount(), 3);
    EXPECT_EQ(series.XValue(2), 2.0);
    EXPECT_EQ(series.YValue(2), 7.0);
    EXPECT_TRUE(series.isNullPoint(1));
    EXPECT_EQ(series.PointLabel(1), u"Jun 2010"_s);
    EXPECT_THROW(series.YValue(3), RunTimeError);
    series.Clear();
    EXPECT_EQ(series.PointCount(), 0);
}

TEST(ChartModelTest, MousePointIndexFindsThePointWhoseSlotHoldsX)
{
    ChartSeries series(SeriesKind::Bar);
    series.AddXY(40299, 1);
    series.AddXY(40300, 2);
    EXPECT_EQ(series.MousePointIndex(40299.2), 0);
    EXPECT_EQ(series.MousePointIndex(40299.5), 0);
    EXPECT_EQ(series.MousePointIndex(40299.7), 1);
    EXPECT_EQ(series.MousePointIndex(40300.5), 1);
    EXPECT_EQ(series.MousePointIndex(40300.6), -1);
    EXPECT_EQ(series.MousePointIndex(40298.4), -1);
}

TEST(ChartModelTest, LargestDrawnValueStacksBarsPerGroupAndSkipsHiddenAndNullPoints)
{
    ChartModel chart;
    for (int i = 0; i < 4; ++i)
        chart.AddSeries(SeriesKind::Bar);
    chart.Series(3).StackGroup = 1;
    chart.Series(0).AddXY(1, 10);
    chart.Series(0).AddXY(2, 30);
    chart.Series(1).AddXY(1, 25);
    chart.Series(1).AddNullXY(2, 1000);
    chart.Series(2).AddXY(1, 500);
    chart.Series(3).AddXY(2, 40);
    chart.Series(2).Active = false;
    // Day 1 stacks 10 + 25; day 2 has 30 in group 0 and 40 beside it.
    EXPECT_EQ(chart.largestDrawnValue(), 40.0);
    chart.Series(3).Active = false;
    EXPECT_EQ(chart.largestDrawnValue(), 35.0);

    const int32_t line = chart.AddSeries(SeriesKind::Line);
    chart.Series(line).AddXY(1, 36);
    chart.Series(line).AddXY(2, -5);
    EXPECT_EQ(chart.largestDrawnValue(), 36.0);
}
