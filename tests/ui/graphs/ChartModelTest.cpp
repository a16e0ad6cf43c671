// SPDX-License-Identifier: MIT
#include "ChartModel.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
