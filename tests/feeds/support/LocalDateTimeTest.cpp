// SPDX-License-Identifier: MIT
#include "LocalDateTime.h"
#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

LocalDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    const std::optional<LocalDateTime> value = LocalDateTime::fromParts(year, month, day, hour, minute, second);
    EXPECT_TRUE(value.has_value()) << year << '-' << month << '-' << day << ' ' << hour << ':' << minute;
    return value.value_or(LocalDateTime());
}

QDateTime utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

} // namespace

TEST(LocalDateTime, DefaultIsTheEpochOfTheDaySerials)
{
    const LocalDateTime epoch;
    EXPECT_EQ(epoch.date(), QDate(1899, 12, 30));
    EXPECT_EQ(epoch.toSerial(), 0.0);
    EXPECT_EQ(at(1900, 1, 1).secondsSinceEpoch(), 2 * 86400);
}

TEST(LocalDateTime, FromPartsChecksTheCalendarAndTheRange)
{
    EXPECT_TRUE(LocalDateTime::fromParts(2024, 2, 29));
    EXPECT_FALSE(LocalDateTime::fromParts(2025, 2, 29));
    EXPECT_FALSE(LocalDateTime::fromParts(1900, 2, 29));
    EXPECT_FALSE(LocalDateTime::fromParts(2026, 4, 31));
    EXPECT_FALSE(LocalDateTime::fromParts(2026, 13, 1));
    EXPECT_FALSE(LocalDateTime::fromParts(2026, 0, 1));
    EXPECT_TRUE(LocalDateTime::fromParts(100, 1, 1));
    EXPECT_FALSE(LocalDateTime::fromParts(99, 12, 31));
    EXPECT_TRUE(LocalDateTime::fromParts(9999, 12, 31, 23, 59, 59));
    EXPECT_FALSE(LocalDateTime::fromParts(10000, 1, 1));
    EXPECT_FALSE(LocalDateTime::fromParts(2026, 1, 1, 24, 0, 0));
    EXPECT_FALSE(LocalDateTime::fromParts(2026, 1, 1, 0, 60, 0));
    EXPECT_FALSE(LocalDateTime::fromParts(2026, 1, 1, 0, 0, 60));
    EXPECT_FALSE(LocalDateTime::fromParts(2026, 1, 1, -1, 0, 0));
}

TEST(LocalDateTime, PartsBeforeTheEpochUseFloorDivision)
{
    const LocalDateTime value = at(1899, 12, 29, 6, 7, 8);
    EXPECT_EQ(value.secondsSinceEpoch(), -86400 + 6 * 3600 + 7 * 60 + 8);
    EXPECT_EQ(value.year(), 1899);
    EXPECT_EQ(value.month(), 12);
    EXPECT_EQ(value.day(), 29);
    EXPECT_EQ(value.hour(), 6);
    EXPECT_EQ(value.minute(), 7);
    EXPECT_EQ(value.second(), 8);
    EXPECT_EQ(value.secondsOfDay(), 6 * 3600 + 7 * 60 + 8);
    EXPECT_EQ(value.dateOnly(), at(1899, 12, 29));
    EXPECT_EQ(LocalDateTime::fromSecondsSinceEpoch(-1), at(1899, 12, 29, 23, 59, 59));
}

TEST(LocalDateTime, FromDateDropsMillisecondsAndRefusesAnInvalidDate)
{
    EXPECT_EQ(LocalDateTime::fromDate(QDate(2026, 12, 8), QTime(14, 5, 9, 999)), at(2026, 12, 8, 14, 5, 9));
    EXPECT_EQ(LocalDateTime::fromDate(QDate(2026, 12, 8)), at(2026, 12, 8));
    EXPECT_EQ(LocalDateTime::fromDate(QDate()), LocalDateTime());
    const LocalDateTime value = at(2026, 12, 8, 14, 5, 9);
    EXPECT_EQ(value.date(), QDate(2026, 12, 8));
    EXPECT_EQ(value.time(), QTime(14, 5, 9));
}

TEST(LocalDateTime, SerialsAtTheEdgesOfTheRange)
{
    EXPECT_EQ(LocalDateTime::fromSerial(45658.75), at(2025, 1, 1, 18, 0, 0));
    EXPECT_DOUBLE_EQ(at(2025, 1, 1, 18, 0, 0).toSerial(), 45658.75);
    EXPECT_EQ(LocalDateTime::fromSerial(-657434.0), at(100, 1, 1));
    EXPECT_DOUBLE_EQ(at(100, 1, 1).toSerial(), -657434.0);
    EXPECT_EQ(LocalDateTime::fromSerial(2958465.0), at(9999, 12, 31));
    EXPECT_EQ(LocalDateTime::fromSerial(std::nan("")), LocalDateTime());
    EXPECT_EQ(LocalDateTime::fromSerial(std::numeric_limits<double>::infinity()), LocalDateTime());
}

TEST(LocalDateTime, NegativeSerialFractionsCountForwardFromTheWholeDay)
{
    EXPECT_EQ(LocalDateTime::fromSerial(-1.25), at(1899, 12, 29, 6, 0, 0));
    EXPECT_DOUBLE_EQ(at(1899, 12, 29, 6, 0, 0).toSerial(), -1.25);
    EXPECT_EQ(LocalDateTime::fromSerial(-2.75), at(1899, 12, 28, 18, 0, 0));
    EXPECT_DOUBLE_EQ(at(1899, 12, 28, 18, 0, 0).toSerial(), -2.75);
    EXPECT_DOUBLE_EQ(at(1899, 12, 29).toSerial(), -1.0);
    // Day 0 has no sign of its own: -0.25 and 0.25 are the same moment.
    EXPECT_EQ(LocalDateTime::fromSerial(-0.25), at(1899, 12, 30, 6, 0, 0));
    EXPECT_DOUBLE_EQ(at(1899, 12, 30, 6, 0, 0).toSerial(), 0.25);
}

TEST(LocalDateTime, SerialsRoundToTheNearestSecond)
{
    EXPECT_EQ(LocalDateTime::fromSerial(0.5 + 0.4 / 86400), at(1899, 12, 30, 12, 0, 0));
    EXPECT_EQ(LocalDateTime::fromSerial(0.5 + 0.6 / 86400), at(1899, 12, 30, 12, 0, 1));
    EXPECT_EQ(LocalDateTime::fromSerial(2.0 - 0.2 / 86400), at(1900, 1, 1));
    const LocalDateTime value = at(2026, 12, 8, 14, 5, 9);
    EXPECT_EQ(LocalDateTime::fromSerial(value.toSerial()), value);
    const LocalDateTime early = at(1850, 6, 1, 23, 59, 59);
    EXPECT_EQ(LocalDateTime::fromSerial(early.toSerial()), early);
}

TEST(LocalDateTime, AddMonthsClampsTheDay)
{
    EXPECT_EQ(at(2026, 1, 31, 8, 30).addMonths(1), at(2026, 2, 28, 8, 30));
    EXPECT_EQ(at(2024, 1, 31).addMonths(1), at(2024, 2, 29));
    EXPECT_EQ(at(2026, 3, 31).addMonths(-1), at(2026, 2, 28));
    EXPECT_EQ(at(2024, 3, 31, 23, 59, 59).addMonths(-1), at(2024, 2, 29, 23, 59, 59));
    EXPECT_EQ(at(2026, 5, 31).addMonths(1), at(2026, 6, 30));
    EXPECT_EQ(at(2026, 12, 15).addMonths(1), at(2027, 1, 15));
    EXPECT_EQ(at(2026, 1, 15).addMonths(-1), at(2025, 12, 15));
    EXPECT_EQ(at(2026, 1, 15).addMonths(-25), at(2023, 12, 15));
    EXPECT_EQ(at(2024, 2, 29).addYears(1), at(2025, 2, 28));
    EXPECT_EQ(at(2024, 2, 29).addYears(4), at(2028, 2, 29));
    EXPECT_EQ(at(1899, 12, 30, 6).addMonths(-1), at(1899, 11, 30, 6));
}

TEST(LocalDateTime, BoundaryCountsAreFloorBased)
{
    EXPECT_EQ(at(2026, 1, 1, 10, 0, 59).minuteBoundariesTo(at(2026, 1, 1, 10, 1, 0)), 1);
    EXPECT_EQ(at(2026, 1, 1, 10, 0, 0).minuteBoundariesTo(at(2026, 1, 1, 10, 0, 59)), 0);
    EXPECT_EQ(at(2026, 1, 1, 10, 1, 0).minuteBoundariesTo(at(2026, 1, 1, 10, 0, 59)), -1);
    EXPECT_EQ(at(1899, 12, 29, 23, 59, 59).minuteBoundariesTo(LocalDateTime()), 1);
    EXPECT_EQ(at(1899, 12, 29, 23, 59, 0).minuteBoundariesTo(at(1899, 12, 29, 23, 59, 59)), 0);

    EXPECT_EQ(at(2026, 1, 1, 23, 59, 59).dayBoundariesTo(at(2026, 1, 2)), 1);
    EXPECT_EQ(at(2026, 1, 1).dayBoundariesTo(at(2026, 1, 1, 23, 59, 59)), 0);
    EXPECT_EQ(at(1899, 12, 29, 23, 59, 59).dayBoundariesTo(LocalDateTime()), 1);
    EXPECT_EQ(at(1899, 12, 28, 12).dayBoundariesTo(at(1899, 12, 29, 1)), 1);
    EXPECT_EQ(at(2026, 3, 1).dayBoundariesTo(at(2026, 2, 28, 23)), -1);
}

TEST(LocalDateTime, TextForms)
{
    EXPECT_EQ(at(2026, 3, 5, 7, 8, 9).toString(), QStringLiteral("2026-03-05 07:08:09"));
    EXPECT_EQ(at(2026, 3, 5, 7, 8, 9).toDateString(), QStringLiteral("2026-03-05"));
    EXPECT_EQ(at(100, 1, 1).toString(), QStringLiteral("0100-01-01 00:00:00"));
    EXPECT_EQ(at(9999, 12, 31, 23, 59, 59).toString(), QStringLiteral("9999-12-31 23:59:59"));
    EXPECT_EQ(LocalDateTime::fromSerial(-1.25).toString(), QStringLiteral("1899-12-29 06:00:00"));
}

TEST(LocalDateTime, CalendarQueries)
{
    EXPECT_EQ(at(2024, 2, 10).daysInMonth(), 29);
    EXPECT_EQ(at(2100, 2, 10).daysInMonth(), 28);
    EXPECT_EQ(at(2026, 4, 10).daysInMonth(), 30);
}

TEST(LocalDateTime, FromUtcFollowsDaylightSavingChanges)
{
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 3, 29, 0, 59, 59), berlin), at(2026, 3, 29, 1, 59, 59));
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 3, 29, 1, 0, 0), berlin), at(2026, 3, 29, 3, 0, 0));
    // The autumn change shows 02:30 twice.
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 10, 25, 0, 30), berlin), at(2026, 10, 25, 2, 30));
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 10, 25, 1, 30), berlin), at(2026, 10, 25, 2, 30));
}

TEST(LocalDateTime, FromUtcInAHalfHourZone)
{
    const QTimeZone adelaide("Australia/Adelaide");
    ASSERT_TRUE(adelaide.isValid());
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 6, 1, 0, 0), adelaide), at(2026, 6, 1, 9, 30));
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 1, 1, 0, 0), adelaide), at(2026, 1, 1, 10, 30));
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 4, 4, 16, 29, 59), adelaide), at(2026, 4, 5, 2, 59, 59));
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 4, 4, 16, 30, 0), adelaide), at(2026, 4, 5, 2, 0, 0));
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 12, 31, 13, 29, 59), adelaide), at(2026, 12, 31, 23, 59, 59));
    EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 12, 31, 13, 30, 0), adelaide), at(2027, 1, 1, 0, 0, 0));
}

TEST(LocalDateTime, FromUtcDefaultsToTheSystemZone)
{
    {
        const ScopedTimeZone zone("Europe/Berlin");
        EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 3, 29, 1, 0, 0)), at(2026, 3, 29, 3, 0, 0));
    }
    {
        const ScopedTimeZone zone("Australia/Adelaide");
        EXPECT_EQ(LocalDateTime::fromUtc(utc(2026, 6, 1, 0, 0)), at(2026, 6, 1, 9, 30));
    }
}

TEST(LocalDateTime, SystemClockGivesLocalWallClockTime)
{
    const ScopedTimeZone zone("Australia/Adelaide");
    const LocalDateTime before = LocalDateTime::fromUtc(QDateTime::currentDateTimeUtc());
    const LocalDateTime now = SystemClock().now();
    const LocalDateTime after = LocalDateTime::fromUtc(QDateTime::currentDateTimeUtc());
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
}
