// SPDX-License-Identifier: MIT
#include "ChartTexts.h"
#include "ChartModel.h"
#include "CoreTestContext.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

TEST(ChartTextsTest, ValueLabelsReadAsMegaGigaOrTerabytes)
{
    CoreTestContext core(u"labels"_s);
    using ChartTexts::ReformatYAxisLabel;
    EXPECT_EQ(ReformatYAxisLabel(u"0"_s, 800, core.log), u"0"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"500"_s, 800, core.log), u"500.0MB"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"750"_s, 1000, core.log), u"750.0MB"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"750"_s, 1200, core.log), u"750MB"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"999"_s, 1001, core.log), u"999MB"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"1000"_s, 1200, core.log), u"1.0GB"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"2500"_s, 5000, core.log), u"2.5GB"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"999999"_s, 1000000, core.log), u"1000.0GB"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"1000000"_s, 1000000, core.log), u"1.0TB"_s);
    EXPECT_EQ(ReformatYAxisLabel(u"3000000"_s, 4000000, core.log), u"3.0TB"_s);
    EXPECT_TRUE(core.logTexts().isEmpty());

    // With the user's decimal sign.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString german = ReformatYAxisLabel(u"2500"_s, 5000, core.log);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(german, u"2,5GB"_s);
}

TEST(ChartTextsTest, ALabelThatIsNoNumberStaysAndIsLogged)
{
    CoreTestContext core(u"badlabel"_s);
    EXPECT_EQ(ChartTexts::ReformatYAxisLabel(u"n/a"_s, 100, core.log), u"n/a"_s);
    ASSERT_EQ(core.logLines().size(), 1);
    EXPECT_EQ(core.logLines().first().level, 3);
    EXPECT_TRUE(core.logLines().first().text.startsWith(
        u"ReformatYAxisLabel: runtime error while formatting axis label 'n/a': [13] "_s));
}

TEST(ChartTextsTest, ValueAxisRunsInWholeStepsOfOneTwoOrFive)
{
    auto scale = ValueAxisScale::forLargest(0);
    EXPECT_EQ(scale.maximum, 10.0);
    EXPECT_EQ(scale.step, 1.0);
    // A figure beyond every scale gets the smallest instead of a search without end.
    scale = ValueAxisScale::forLargest(std::numeric_limits<double>::infinity());
    EXPECT_EQ(scale.maximum, 10.0);
    scale = ValueAxisScale::forLargest(0.3);
    EXPECT_EQ(scale.maximum, 1.0);
    scale = ValueAxisScale::forLargest(10);
    EXPECT_EQ(scale.maximum, 10.0);
    EXPECT_EQ(scale.step, 1.0);
    scale = ValueAxisScale::forLargest(10.5);
    EXPECT_EQ(scale.maximum, 12.0);
    EXPECT_EQ(scale.step, 2.0);
    scale = ValueAxisScale::forLargest(1000);
    EXPECT_EQ(scale.maximum, 1000.0);
    EXPECT_EQ(scale.step, 100.0);
    scale = ValueAxisScale::forLargest(1234);
    EXPECT_EQ(scale.maximum, 1400.0);
    EXPECT_EQ(scale.ticks(), (QList<double>{0, 200, 400, 600, 800, 1000, 1200, 1400}));
}

TEST(ChartTextsTest, CaptionAndAxisTexts)
{
    const LocalDateTime may = *LocalDateTime::fromParts(2010, 5, 3);
    EXPECT_EQ(ChartTexts::GraphCaption(u"Tallyroo"_s, may, u"fred@quolla.example"_s),
              u"Tallyroo Graph for May 2010 [fred]"_s);
    EXPECT_EQ(ChartTexts::GraphCaption(u"Tallyroo"_s, may, QString()), u"Tallyroo Graph for May 2010 [unknown]"_s);
    EXPECT_EQ(ChartTexts::dayAxisLabel(may), u"  3 May"_s);
    EXPECT_EQ(ChartTexts::monthLabel(*LocalDateTime::fromParts(2011, 9, 14)), u"Sep 2011"_s);
}

TEST(ChartTextsTest, ToolTipsNameTheSeriesAndThePointUnderTheMouse)
{
    ChartModel chart;
    for (int i = 0; i < 4; ++i) {
        ChartSeries& series = chart.Series(chart.AddSeries(i < 3 ? SeriesKind::Area : SeriesKind::Line));
        series.Title = u"class"_s + QString::number(i);
        series.AddValue(1234.5 + i, u"May 2010"_s);
        series.AddValue(10.25, u"Jun 2010"_s);
    }
    chart.Series(0).AddNullValue(u"Jul 2010"_s);
    EXPECT_EQ(ChartTexts::dailySeriesToolTip(chart, 1, 0.1), u"class1: 1235.50 MB"_s);
    EXPECT_EQ(ChartTexts::dailySeriesToolTip(chart, 3, 1.0), u"class3: 10.25 MB"_s);
    EXPECT_EQ(ChartTexts::dailySeriesToolTip(chart, 0, 2.0), QString());
    EXPECT_EQ(ChartTexts::dailySeriesToolTip(chart, 4, 0), QString());
    // The monthly tooltip names the point under the mouse inside the stacked areas.
    using ChartTexts::monthlyMouseToolTip;
    EXPECT_EQ(monthlyMouseToolTip(chart, {0.1, 3000}), u"May 2010 class2: 1237 MB"_s);
    EXPECT_EQ(monthlyMouseToolTip(chart, {0.9, 5}), u"Jun 2010 class0: 10 MB"_s);
    EXPECT_EQ(monthlyMouseToolTip(chart, {0.9, 500}), QString());
    EXPECT_EQ(monthlyMouseToolTip(chart, {5.0, 1}), QString());
    // A hidden area reports nothing and the next one rests on the axis in its place.
    chart.Series(0).Active = false;
    EXPECT_EQ(monthlyMouseToolTip(chart, {0.1, 5}), u"May 2010 class1: 1236 MB"_s);
    // The lines of the monthly chart have no tooltip.
    chart.Series(1).Active = false;
    chart.Series(2).Active = false;
    EXPECT_EQ(monthlyMouseToolTip(chart, {0.1, 1234}), QString());
}
