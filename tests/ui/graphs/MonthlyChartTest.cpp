// SPDX-License-Identifier: MIT
#include "MonthlyChart.h"
#include "GraphTestMonth.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class MonthlyChartTest : public ::testing::Test
{
protected:
    MonthlyChartTest()
    {
        QString err;
        EXPECT_TRUE(ctx.history.CheckSQLDatabase(err)) << err.toStdString();
    }

    static LocalDateTime day(int year, int month, int d) { return HistoryTestContext::day(year, month, d); }
    // May, June and August 2010 from the 14th, a month of days each: peak 1 and off-peak 2 a
    // day, uploads 0.5 a day, off-peak quota 1000 times the month's number.
    void storeThreeMonths(bool uploads = true)
    {
        for (const int number : {5, 6, 8}) {
            const LocalDateTime first = day(2010, number, 14);
            qoMonth stored = HistoryTestContext::sampleMonth(first, int(first.dayBoundariesTo(first.addMonths(1))));
            stored.DailyPeak.fill(1.0f);
            stored.DailyOffpeak.fill(2.0f);
            stored.DailyUploads.fill(uploads ? 0.5f : 0.0f);
            stored.PeakQuota = 0;
            stored.OffPeakQuota = number == 6 ? 0.0f : float(number * 1000);
            QString err;
            ASSERT_TRUE(ctx.history.qoMonth2SQL(stored, true, err)) << err.toStdString();
        }
    }
    void build() { MonthlyChart(chart, boxes, ctx.history, ctx.core.settings, ctx.core.log).build(); }
    QList<double> ys(int series) const
    {
        QList<double> values;
        for (const ChartPoint& point : chart.Series(series).points())
            values.append(point.y);
        return values;
    }

    HistoryTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    ChartModel chart;
    RecordedBoxes boxes;
};
} // namespace

TEST_F(MonthlyChartTest, StoredMonthsRunFromTheOldestOnTheLeft)
{
    storeThreeMonths();
    ctx.core.settings.GraphTeeOptions = 16;
    build();
    ASSERT_EQ(chart.SeriesCount(), 5);
    EXPECT_EQ(chart.Series(0).kind(), SeriesKind::Area);
    EXPECT_EQ(chart.Series(3).kind(), SeriesKind::Line);
    EXPECT_EQ(chart.Series(0).Title, u"Anytime / Peak"_s);
    EXPECT_EQ(chart.Series(1).Title, u"Offpeak"_s);
    EXPECT_EQ(chart.Series(3).Title, u"Uploads"_s);
    EXPECT_EQ(chart.Series(4).Title, u"Quota"_s);
    EXPECT_EQ(chart.dateAxisFormat, DateAxisFormat::MonthYear);

    ASSERT_EQ(chart.Series(0).PointCount(), 3);
    EXPECT_EQ(chart.Series(0).PointLabel(0), u"May 2010"_s);
    EXPECT_EQ(chart.Series(0).PointLabel(1), u"Jun 2010"_s);
    EXPECT_EQ(chart.Series(0).PointLabel(2), u"Aug 2010"_s);
    EXPECT_EQ(ys(0), (QList<double>{31, 30, 31}));
    EXPECT_EQ(ys(1), (QList<double>{62, 60, 62}));
    EXPECT_EQ(ys(3), (QList<double>{15.5, 15, 15.5}));

    // June has no quota: its place stays empty.
    const ChartSeries& quota = chart.Series(4);
    ASSERT_EQ(quota.PointCount(), 3);
    EXPECT_EQ(quota.YValue(0), 5000.0);
    EXPECT_TRUE(quota.isNullPoint(1));
    EXPECT_EQ(quota.PointLabel(1), u"Jun 2010"_s);
    EXPECT_EQ(quota.YValue(2), 8000.0);
    EXPECT_TRUE(quota.Active);
}

TEST_F(MonthlyChartTest, QuotaLineFollowsTheTargetBitAndUploadsTheHistory)
{
    storeThreeMonths(false);
    ctx.core.settings.GraphTeeOptions = 9;
    build();
    EXPECT_FALSE(chart.Series(4).Active);
    EXPECT_FALSE(chart.Series(3).Active);
    EXPECT_TRUE(chart.Series(0).Active);
}

TEST_F(MonthlyChartTest, AnEmptyHistoryFailsTheBuildAfterLoggingTheReaders)
{
    EXPECT_THROW(build(), RunTimeError);
    EXPECT_FALSE(ctx.logAt(2).filter(u"RefreshMonthlyGraph: failed to call SQLGetMonthlyTotals: "_s).isEmpty());
    // The series stand, titled from the (empty) headers.
    EXPECT_EQ(chart.SeriesCount(), 5);
}
