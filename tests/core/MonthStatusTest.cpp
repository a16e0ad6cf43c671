// SPDX-License-Identifier: MIT
#include "MonthStatus.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Qt::StringLiterals;

TEST(GetUsageStatus, Boundaries)
{
    EXPECT_EQ(GetUsageStatus(0, 10, 500), u"ok"_s);
    EXPECT_EQ(GetUsageStatus(1000, 50, 50), u"ok"_s);
    EXPECT_EQ(GetUsageStatus(1000, 50, 49.99f), u"ok"_s);
    EXPECT_EQ(GetUsageStatus(1000, 50, 50.01f), u"warn"_s);
    EXPECT_EQ(GetUsageStatus(1000, 50, 100), u"warn"_s);
    EXPECT_EQ(GetUsageStatus(1000, 50, 100.01f), u"over"_s);
    EXPECT_EQ(GetUsageStatus(1000, 100, 100), u"ok"_s);
    EXPECT_EQ(GetUsageStatus(1000, 100, 100.01f), u"over"_s);
    EXPECT_EQ(GetUsageStatus(-1, 100, 100.01f), u"over"_s); // only a quota of exactly 0 means none
}

TEST(GetShapingStatusText, EveryState)
{
    EXPECT_EQ(GetShapingStatusText(-32768, u"256"_s), u"Unknown shaping status"_s);
    EXPECT_EQ(GetShapingStatusText(-4, QString()), u"Unknown shaping status"_s);
    EXPECT_EQ(GetShapingStatusText(-3, QString()), u"Possible shaping (tier 3)"_s);
    EXPECT_EQ(GetShapingStatusText(-2, QString()), u"Possible shaping (tier 2)"_s);
    EXPECT_EQ(GetShapingStatusText(-1, u"256"_s), u"Possible shaping (tier 1)"_s);
    EXPECT_EQ(GetShapingStatusText(0, u"256"_s), u"Unshaped"_s);
    EXPECT_EQ(GetShapingStatusText(1, u"256"_s), u"Shaped to 256k"_s);
    EXPECT_EQ(GetShapingStatusText(1, QString()), u"Shaped"_s);
    EXPECT_EQ(GetShapingStatusText(2, u"256"_s), u"Shaped to 2k"_s);
    EXPECT_EQ(GetShapingStatusText(512, QString()), u"Shaped to 512k"_s);
}

TEST(MaxValue, LargerOrTheSecondWhenEqual)
{
    EXPECT_EQ(MaxValue(3, 2), 3);
    EXPECT_EQ(MaxValue(2, 3), 3);
    EXPECT_EQ(MaxValue(-1.5, -2.5), -1.5);
    // 0 and -0 compare equal: the second one comes back.
    EXPECT_TRUE(std::signbit(MaxValue(0.0, -0.0)));
    EXPECT_FALSE(std::signbit(MaxValue(-0.0, 0.0)));
}
