// SPDX-License-Identifier: MIT
#include "DailyChart.h"
#include "BillingMonth.h"
#include "GraphTestMonth.h"
#include "MonthCalcs.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class DailyChartTest : public ::testing::Test
{
protected:
    DailyChartTest() { core.clock.set(*LocalDateTime::fromParts(2010, 5, 3, 10, 0, 0)); }

    void build(bool latestMonth = true)
    {
        DailyChart daily(chart, boxes, core.settings, core.log, core.clock, latestMonth);
        daily.build(month);
    }
    QList<double> ys(int series) const
    {
        QList<double> values;
        for (const ChartPoint& point : chart.Series(series).points())
            values.append(point.y);
        return values;
    }
    QList<bool> nulls(int series) const
    {
        QList<bool> values;
        for (const ChartPoint& point : chart.Series(series).points())
            values.append(point.isNull);
        return values;
    }
    static double serial(int dayOfMonth) { return HistoryTestContext::day(2010, 5, dayOfMonth).toSerial(); }

    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    qoMonth month = graphMonth();
    ChartModel chart;
    RecordedBoxes boxes;
};
} // namespace

TEST_F(DailyChartTest, BarsCarryTheDaysAndLeaveFutureDaysAndUnknownUploadsUndrawn)
{
    build();
    ASSERT_EQ(chart.SeriesCount(), 6);
    EXPECT_EQ(chart.Series(0).kind(), SeriesKind::Bar);
    EXPECT_EQ(chart.Series(4).kind(), SeriesKind::Line);
    QStringList titles;
    for (int i = 0; i < 6; ++i)
        titles.append(chart.Series(i).Title);
    EXPECT_EQ(titles, (QStringList{u"Peak"_s, u"Offpeak"_s, u"Freezone"_s, u"Uploads"_s, u"Quota Average"_s,
                                   u"Quota Target"_s}));
    EXPECT_EQ(chart.Series(3).StackGroup, 1);
    EXPECT_EQ(chart.Series(2).StackGroup, 0);

    // The axis runs over the whole month; the days after the last listed one draw nothing.
    EXPECT_EQ(chart.Series(0).XValue(0), serial(1));
    EXPECT_EQ(chart.Series(0).XValue(30), serial(31));
    EXPECT_EQ(ys(0).mid(0, 3), (QList<double>{10, 20, 30}));
    const QList<bool> toCome(28, true);
    EXPECT_EQ(nulls(0), (QList<bool>{false, false, false} + toCome));
    EXPECT_EQ(nulls(2), (QList<bool>{false, false, false} + toCome));
    EXPECT_EQ(nulls(3), (QList<bool>{false, true, false} + toCome));
    EXPECT_EQ(ys(3)[0], 2.0);
}

TEST_F(DailyChartTest, WithoutALastUpdateEveryDayIsDrawnAndTheTargetLiesAtZero)
{
    month.LastUpdate = u"unknown"_s;
    build();
    EXPECT_EQ(nulls(0).mid(0, 3), (QList<bool>(3, false)));
    EXPECT_EQ(ys(4), (QList<double>{11, 16.5, 22}));
    EXPECT_EQ(ys(5), (QList<double>(31, 0.0)));
}

TEST_F(DailyChartTest, ABadLastUpdateIsReadAgainForEveryPointOfBarsAndLines)
{
    month.LastUpdate = u"unknown"_s;
    build();
    int bad = 0;
    for (const auto& line : core.logLines()) {
        if (line.text.startsWith(u"myCDate: "_s)) {
            EXPECT_EQ(line.level, 5);
            ++bad;
        }
    }
    // Four bar series of three listed days, the average over them, the target over the month.
    EXPECT_EQ(bad, 4 * 3 + 3 + 31);
}

TEST_F(DailyChartTest, AverageAndTargetStopAtTheLastUpdateOfTheNewestMonth)
{
    build(true);
    // Running average of peak and off-peak (free zone and uploads never count).
    EXPECT_EQ(ys(4), (QList<double>{11, 16.5, 22}));
    EXPECT_EQ(chart.Series(4).XValue(2), serial(3));
    // The quota left, as the month calculations find it, over the days left from the 3rd on;
    // level to the month's end.
    MonthCalcs calcs(core.app, core.registry, core.log, core.settings, core.run, core.clock);
    QString err;
    ASSERT_TRUE(calcs.qoMonthCalcs(month, err));
    const double perDay = double(month.PeakQuotaLeft + month.OffpeakQuotaLeft) / (BillingMonth::of(month).days() - 2);
    EXPECT_EQ(ys(5).mid(2), QList<double>(29, perDay));

    // A provider an evening ahead lists the first day before the clock reaches it: the day is drawn,
    // and the target is what the window shows as remaining per day.
    month = HistoryTestContext::sampleMonth(HistoryTestContext::day(2010, 6, 1), 1);
    core.clock.set(*LocalDateTime::fromParts(2010, 5, 31, 21));
    month.LastUpdate = core.clock.now().toString();
    build(true);
    ASSERT_TRUE(!nulls(0).first() && calcs.qoMonthCalcs(month, err));
    EXPECT_FLOAT_EQ(float(ys(5).last()), month.AvgRemainingPeak + month.AvgRemainingOffpeak);
}

TEST_F(DailyChartTest, AnEarlierMonthDrawsBothLinesOverEveryDay)
{
    core.clock.set(*LocalDateTime::fromParts(2010, 7, 1));
    month = HistoryTestContext::sampleMonth(HistoryTestContext::day(2010, 4, 1), 30);
    build(false);
    ASSERT_EQ(ys(4).size(), 30);
    EXPECT_EQ(ys(4).last(), (month.TotalPeak + month.TotalOffpeak) / 30);
    // On the last day the quota left is all for that day.
    EXPECT_EQ(ys(5).last(), month.PeakQuota + month.OffPeakQuota - month.TotalPeak - month.TotalOffpeak);
}

TEST_F(DailyChartTest, AMonthWithoutOffPeakCountsPeakAloneAgainstThePeakQuota)
{
    core.clock.set(*LocalDateTime::fromParts(2010, 7, 1));
    month.DailyHeaders[DailyHeader::Offpeak].clear();
    month.DailyHeaders[DailyHeader::Freezone] = u"Local"_s;
    build(false);
    EXPECT_FALSE(chart.Series(1).Active);
    EXPECT_EQ(chart.Series(1).PointCount(), 0);
    EXPECT_EQ(ys(4), (QList<double>{10, 15, 20}));
    EXPECT_EQ(ys(5).first(), 290.0 / 31);
    EXPECT_EQ(chart.Series(2).Title, u"Local"_s);
}

TEST_F(DailyChartTest, NoUploadsDisablesTheBoxAndNarrowsTheBars)
{
    month.DailyHeaders[DailyHeader::Uploads].clear();
    boxes.uploads = true;
    core.settings.GraphTeeOptions = 9;
    build();
    EXPECT_FALSE(chart.Series(3).Active);
    EXPECT_FALSE(boxes.enabled);
    EXPECT_FALSE(boxes.uploads);
    // The uploads still fill their series under the total's title.
    EXPECT_EQ(chart.Series(3).PointCount(), 31);
    EXPECT_EQ(chart.Series(3).Title, QString());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(chart.Series(i).BarWidthPercent, 70) << i;
}

TEST_F(DailyChartTest, OptionBitsChooseTheSeriesAndSetTheBoxes)
{
    core.settings.GraphTeeOptions = 9;
    build();
    EXPECT_TRUE(chart.Series(3).Active);
    EXPECT_TRUE(chart.Series(4).Active);
    EXPECT_FALSE(chart.Series(5).Active);
    EXPECT_TRUE(boxes.uploads);
    EXPECT_TRUE(boxes.average);
    EXPECT_EQ(chart.Series(0).BarWidthPercent, 80);
    EXPECT_EQ(chart.Series(3).BarWidthPercent, 80);

    core.settings.GraphTeeOptions = 16;
    build();
    EXPECT_FALSE(chart.Series(3).Active);
    EXPECT_FALSE(chart.Series(4).Active);
    EXPECT_TRUE(chart.Series(5).Active);
    EXPECT_FALSE(boxes.uploads);
    EXPECT_FALSE(boxes.average);
    EXPECT_EQ(chart.Series(1).BarWidthPercent, 70);
}

TEST_F(DailyChartTest, ADailyArrayShorterThanTheDatesRaises)
{
    month.DailyFreezone.removeLast();
    try {
        build();
        FAIL() << "no error";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.text(), u"[9] Subscript out of range"_s);
    }
}

TEST_F(DailyChartTest, ScanDataArrayCountsTheClassTitles)
{
    ChartModel four;
    for (int i = 0; i < 4; ++i)
        four.AddSeries(SeriesKind::Bar);
    ColumnTitles titles{u"Date"_s, u"Anytime"_s, QString(), u"Freezone"_s, u"Total"_s, QString()};
    EXPECT_EQ(DailyChart::ScanDataArray(titles, four), 3);
    EXPECT_EQ(four.Series(0).Title, u"Anytime"_s);
    EXPECT_EQ(four.Series(1).Title, QString());
    EXPECT_EQ(four.Series(3).Title, QString());
    titles[DailyHeader::Total].clear();
    EXPECT_EQ(DailyChart::ScanDataArray(titles, four), 2);
}
