// SPDX-License-Identifier: MIT
#include "DailyTotals.h"

#include <QList>

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct Line
{
    QString text;
    int16_t level;
};

class DailyTotals : public ::testing::Test
{
protected:
    void days(QList<float> peak, QList<float> offPeak, QList<float> freezone, QList<float> uploads = {})
    {
        if (uploads.isEmpty())
            uploads = QList<float>(peak.size(), 0.0f);
        state.arrayDailyPeak = peak;
        state.arrayDailyOffPeak = offPeak;
        state.arrayDailyFreezone = freezone;
        state.arrayDailyUploads = uploads;
        state.arrayDailyTotals = QList<float>(peak.size(), 0.0f);
    }
    void calculate() { CalculateTotals(state, u"Sarnick"_s, sink); }

    UsageDataState state;
    QList<Line> lines;
    StatusSink sink = [this](const QString& text, int16_t level) { lines.append({text, level}); };
};

TEST_F(DailyTotals, AddUpEachDayAndTheMonthPerClass)
{
    days({100, 100}, {50, 50}, {25, 25}, {999, 999});
    calculate();
    EXPECT_EQ(*state.arrayDailyTotals, (QList<float>{175, 175}));
    EXPECT_EQ(state.arrayTotals, (MonthTotals{0, 200, 100, 50, 350, 0}));
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(DailyTotals, UploadsCountInNoTotal)
{
    days({0}, {0}, {0}, {512});
    calculate();
    EXPECT_EQ(*state.arrayDailyTotals, QList<float>{0});
    EXPECT_EQ(state.arrayTotals[4], 0);
    EXPECT_EQ(state.arrayTotals[5], 0);
}

TEST_F(DailyTotals, MonthSumsAreAddedInDoublePrecision)
{
    // Ten days of 0.1 add up to 1.0000001 in single precision, to 1 when added in double.
    days(QList<float>(10, 0.1f), QList<float>(10, 0.1f), QList<float>(10, 0.0f));
    calculate();
    EXPECT_EQ(state.arrayTotals[1], 1.0f);
    EXPECT_EQ(state.arrayTotals[2], 1.0f);
    EXPECT_EQ(state.arrayTotals[4], 2.0f);
}

TEST_F(DailyTotals, WithoutDailyArraysTheMonthTotalsKeepTheirValues)
{
    state.arrayTotals = {0, 1, 2, 3, 6, 0};
    calculate();
    EXPECT_EQ(state.arrayTotals, (MonthTotals{0, 1, 2, 3, 6, 0}));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].text, u"Sarnick.CalculateTotals: error [9] Subscript out of range"_s);
    EXPECT_EQ(lines[0].level, 1);
}

TEST_F(DailyTotals, AShortArrayStopsAfterTheDaysItHas)
{
    days({10, 20, 30}, {1, 2, 3}, {5});
    calculate();
    EXPECT_EQ(*state.arrayDailyTotals, (QList<float>{16, 0, 0}));
    EXPECT_EQ(state.arrayTotals, MonthTotals{});
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].text, u"Sarnick.CalculateTotals: error [9] Subscript out of range"_s);
}

TEST_F(DailyTotals, ASumBeyondASingleOverflowsAndLeavesTheMonth)
{
    const float big = std::numeric_limits<float>::max();
    days({big, big}, {0, 0}, {0, 0});
    state.arrayTotals = {0, 7, 7, 7, 7, 0};
    calculate();
    EXPECT_EQ((*state.arrayDailyTotals)[0], big);
    EXPECT_EQ(state.arrayTotals, (MonthTotals{0, 7, 7, 7, 7, 0}));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].text, u"Sarnick.CalculateTotals: error [6] Overflow"_s);
}

TEST_F(DailyTotals, MissingPerDayTotalsAreCreated)
{
    days({1, 2}, {3, 4}, {5, 6});
    state.arrayDailyTotals.reset();
    calculate();
    EXPECT_EQ(*state.arrayDailyTotals, (QList<float>{9, 12}));
}

TEST(MonthTotals, UsedLeftAndPercentFollowTheQuotas)
{
    UsageDataState state;
    state.arrayTotals = {0, 120, 30, 4, 154, 0};
    state.sngQuotaPeak = 100;
    state.sngQuotaOffpeak = 0;
    state.sngPctOffPeak = 0;
    ApplyMonthTotals(state);
    EXPECT_EQ(state.sngUsedPeak, 120);
    EXPECT_EQ(state.sngUsedOffpeak, 30);
    EXPECT_EQ(state.sngUsedFreezone, 4);
    EXPECT_EQ(state.sngLeftPeak, 0);
    EXPECT_EQ(state.sngLeftOffPeak, 0);
    EXPECT_FLOAT_EQ(state.sngPctPeak, 120);
    EXPECT_EQ(state.sngPctOffPeak, 0);

    state.sngQuotaOffpeak = 120;
    ApplyMonthTotals(state);
    EXPECT_EQ(state.sngLeftOffPeak, 90);
    EXPECT_FLOAT_EQ(state.sngPctOffPeak, 25);
}

TEST(ClassificationNames, ATrailingQuotaWordIsDropped)
{
    EXPECT_EQ(CleanClassificationName(u"Peak quota"_s), u"Peak"_s);
    EXPECT_EQ(CleanClassificationName(u"Off-peak Quota"_s), u"Off-peak"_s);
    EXPECT_EQ(CleanClassificationName(u"Peak QUOTA"_s), u"Peak"_s);
    EXPECT_EQ(CleanClassificationName(u"Peak usage"_s), u"Peak usage"_s);
    EXPECT_EQ(CleanClassificationName(u" quota for peak"_s), u" quota for peak"_s);
    // The last six characters go wherever the word was found.
    EXPECT_EQ(CleanClassificationName(u"Peak quota used"_s), u"Peak quot"_s);
    EXPECT_EQ(CleanClassificationName(u"P quota"_s), u"P"_s);
    EXPECT_EQ(CleanClassificationName(QString()), QString());
}

} // namespace
