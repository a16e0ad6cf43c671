// SPDX-License-Identifier: MIT
#include "Timezone.h"
#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace {

QDateTime utc(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(12, 0), QTimeZone::utc());
}

} // namespace

TEST(GMTOffset, HoursToAddToLocalTimeForUtc)
{
    const QDateTime summer = utc(2026, 7, 1);
    const QDateTime winter = utc(2026, 1, 15);
    EXPECT_EQ(GMTOffsetAt(summer, QTimeZone::utc()), 0.0f);
    EXPECT_EQ(GMTOffsetAt(summer, QTimeZone("Australia/Brisbane")), -10.0f);
    EXPECT_EQ(GMTOffsetAt(winter, QTimeZone("Australia/Brisbane")), -10.0f);
    EXPECT_EQ(GMTOffsetAt(summer, QTimeZone("Australia/Darwin")), -9.5f);
    EXPECT_EQ(GMTOffsetAt(summer, QTimeZone(5 * 3600 + 45 * 60)), -5.75f);
}

TEST(GMTOffset, IncludesDaylightTimeWhileItIsInForce)
{
    EXPECT_EQ(GMTOffsetAt(utc(2026, 1, 15), QTimeZone("Australia/Sydney")), -11.0f);
    EXPECT_EQ(GMTOffsetAt(utc(2026, 7, 1), QTimeZone("Australia/Sydney")), -10.0f);
    EXPECT_EQ(GMTOffsetAt(utc(2026, 1, 15), QTimeZone("Australia/Adelaide")), -10.5f);
    EXPECT_EQ(GMTOffsetAt(utc(2026, 7, 1), QTimeZone("America/New_York")), 4.0f);
    EXPECT_EQ(GMTOffsetAt(utc(2026, 1, 15), QTimeZone("America/New_York")), 5.0f);
}

TEST(GMTOffset, UnreadableZoneGivesZero)
{
    EXPECT_EQ(GMTOffsetAt(utc(2026, 7, 1), QTimeZone()), 0.0f);
    EXPECT_EQ(GMTOffsetAt(QDateTime(), QTimeZone("Australia/Brisbane")), 0.0f);
}

TEST(GMTOffset, UsesTheSystemZone)
{
    {
        const ScopedTimeZone zone("UTC");
        EXPECT_EQ(GMTOffset(), 0.0f);
    }
    {
        const ScopedTimeZone zone("Australia/Brisbane");
        EXPECT_EQ(GMTOffset(), -10.0f);
    }
    {
        const ScopedTimeZone zone("Australia/Darwin");
        EXPECT_EQ(GMTOffset(), -9.5f);
    }
}
