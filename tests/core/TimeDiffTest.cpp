// SPDX-License-Identifier: MIT
#include "TimeDiff.h"
#include "TestPrinters.h"

#include <QList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
struct Logged
{
    QString text;
    int16_t level;
};

class TimeDiffTest : public ::testing::Test
{
protected:
    QString diff(const QString& from, const QString& to)
    {
        return TimeDiff(from, to, [this](const QString& text, int16_t level) { logged.append({text, level}); });
    }
    QList<Logged> logged;
};
} // namespace

TEST_F(TimeDiffTest, DaysHoursAndTwoDigitMinutes)
{
    EXPECT_EQ(diff(u"2024-03-01 10:00:00"_s, u"2024-03-02 13:05:00"_s), u"1 day, 3:05"_s);
    EXPECT_EQ(diff(u"2024-03-01 10:00:00"_s, u"2024-03-01 10:00:00"_s), u"0 days, 0:00"_s);
    EXPECT_EQ(diff(u"2024-03-01 10:00:00"_s, u"2024-03-03 10:10:00"_s), u"2 days, 0:10"_s);
    EXPECT_EQ(diff(u"2024-03-01 10:00:00"_s, u"2024-03-01 23:59:00"_s), u"0 days, 13:59"_s);
    // Across a month and a leap day.
    EXPECT_EQ(diff(u"2024-02-28 00:00:00"_s, u"2024-03-01 00:00:00"_s), u"2 days, 0:00"_s);
    EXPECT_TRUE(logged.isEmpty());
}

TEST_F(TimeDiffTest, MinuteBoundariesCountNotSeconds)
{
    EXPECT_EQ(diff(u"2024-03-01 10:00:59"_s, u"2024-03-01 10:01:00"_s), u"0 days, 0:01"_s);
    EXPECT_EQ(diff(u"2024-03-01 10:00:00"_s, u"2024-03-01 10:00:59"_s), u"0 days, 0:00"_s);
}

TEST_F(TimeDiffTest, DatesWithoutTimeAreMidnight)
{
    EXPECT_EQ(diff(u"2024-03-01"_s, u"2024-03-02 06:30:00"_s), u"1 day, 6:30"_s);
}

TEST_F(TimeDiffTest, ReversedDatesAreUnknownAndLogged)
{
    EXPECT_EQ(diff(u"2024-03-02 13:05:00"_s, u"2024-03-01 10:00:00"_s), u"unknown"_s);
    ASSERT_EQ(logged.size(), 1);
    EXPECT_EQ(logged[0].text, u"TimeDiff: negative time diff between '2024-03-02 13:05:00' & '2024-03-01 10:00:00'"_s);
    EXPECT_EQ(logged[0].level, 3);
}

TEST_F(TimeDiffTest, TextThatIsNoDateIsUnknownAndLogged)
{
    EXPECT_EQ(diff(u"unknown"_s, u"2024-03-01 10:00:00"_s), u"unknown"_s);
    EXPECT_EQ(diff(u"2024-03-01 10:00:00"_s, QString()), u"unknown"_s);
    QStringList own;
    for (const Logged& line : logged) {
        if (line.text.startsWith(u"TimeDiff: "_s)) {
            own.append(line.text);
            EXPECT_EQ(line.level, 3);
        }
    }
    ASSERT_EQ(own.size(), 2);
    EXPECT_TRUE(own[0].startsWith(u"TimeDiff: failed to convert date string 'unknown': "_s)) << own[0].toStdString();
    EXPECT_TRUE(own[1].startsWith(u"TimeDiff: failed to convert date string '': "_s)) << own[1].toStdString();
}

TEST(TimeDiffWithoutLog, StillAnswers)
{
    EXPECT_EQ(TimeDiff(u"2024-03-01 10:00:00"_s, u"2024-03-01 09:00:00"_s), u"unknown"_s);
    EXPECT_EQ(TimeDiff(u"2024-03-01 10:00:00"_s, u"2024-03-31 12:00:00"_s), u"30 days, 2:00"_s);
}
