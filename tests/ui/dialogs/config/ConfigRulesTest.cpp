// SPDX-License-Identifier: MIT
#include "ConfigRules.h"
#include "Settings.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace ConfigRules;

TEST(ConfigRulesTest, NumberBoxesRoundHalvesToEvenAndStayInRange)
{
    EXPECT_EQ(validatedNumber(u"20.5"_s, 15, 999999999), 20);
    EXPECT_EQ(validatedNumber(u"21.5"_s, 15, 999999999), 22);
    EXPECT_EQ(validatedNumber(u"7"_s, 15, 999999999), 15);
    EXPECT_EQ(validatedNumber(u" 45 "_s, 15, 999999999), 45);
    EXPECT_EQ(validatedNumber(u"500"_s, 20, 300), 300);
    EXPECT_EQ(validatedNumber(u"-4"_s, 1, 30), 1);
    // Far beyond a 32-bit number: held at the maximum, no overflow.
    EXPECT_EQ(validatedNumber(u"1e300"_s, 15, 999999999), 999999999);
    EXPECT_EQ(validatedNumber(u"abc"_s, 15, 999999999), std::nullopt);
    EXPECT_EQ(validatedNumber(QString(), 15, 999999999), std::nullopt);
}

TEST(ConfigRulesTest, AccountChangeIgnoresCase)
{
    EXPECT_FALSE(accountChanged(u"fred@quolla.example"_s, u"FRED@Quolla.example"_s));
    EXPECT_TRUE(accountChanged(u"fred@quolla.example"_s, u"fred2@quolla.example"_s));
    EXPECT_TRUE(accountChanged(QString(), u"fred"_s));
}

TEST(ConfigRulesTest, DisplayAndLayoutFlagsLookOnlyAtTheirBits)
{
    const uint32_t base = OptionFlag::AutoRefresh | OptionFlag::History;
    for (uint32_t bit : {OptionFlag::ShowMarker, OptionFlag::EstShaping, OptionFlag::CommaSeparators}) {
        EXPECT_TRUE(displayChanged(base, base | bit));
        EXPECT_TRUE(displayChanged(base | bit, base));
        EXPECT_FALSE(layoutChanged(base, base | bit));
    }
    EXPECT_FALSE(displayChanged(base, base | OptionFlag::QuietMode | OptionFlag::DoubleWidth));
    EXPECT_TRUE(layoutChanged(base, base | OptionFlag::DoubleWidth));
    EXPECT_FALSE(layoutChanged(base | OptionFlag::DoubleWidth, base | OptionFlag::DoubleWidth));
}

TEST(ConfigRulesTest, OptionBoxesCoverEveryKnownBitOnce)
{
    uint32_t seen = 0;
    for (const OptionBox& box : optionBoxes()) {
        EXPECT_EQ(seen & box.bit, 0u) << box.name;
        seen |= box.bit;
    }
    EXPECT_EQ(optionBoxes().size(), 18);
    EXPECT_EQ(seen, 0x3FFFFu);
    EXPECT_EQ(knownOptionBits(), 0x3FFFFu);
}

TEST(ConfigRulesTest, Texts)
{
    EXPECT_EQ(hourSpanText(8, 23), u"08:00 to 23:00"_s);
    EXPECT_EQ(hourSpanText(23, 8), u"23:00 to 08:00"_s);
    EXPECT_EQ(migrationStatusText(-1), u"-1 (unknown migration status)"_s);
    EXPECT_EQ(migrationStatusText(0), u"0 (fatal error during migration)"_s);
    EXPECT_EQ(migrationStatusText(1), u"1 (user declined)"_s);
    EXPECT_EQ(migrationStatusText(2), u"2 (migration completed or unnecessary)"_s);
    EXPECT_EQ(migrationStatusText(3), u"3 (invalid migration status value)"_s);
    EXPECT_EQ(lastVersionCheckText(false, std::nullopt), u"no record of last version check"_s);
    EXPECT_EQ(lastVersionCheckText(true, std::nullopt), u"time of last version check invalid"_s);
    EXPECT_EQ(lastVersionCheckText(true, u"2008-03-20 10:00:00"_s),
              u"last version check performed at 2008-03-20 10:00:00"_s);
    EXPECT_EQ(verCheckOptions(true, true), 3);
    EXPECT_EQ(verCheckOptions(false, true), 2);
    EXPECT_EQ(clampIndex(7, 4), 4);
    EXPECT_EQ(clampIndex(-3, 2), 0);
}
