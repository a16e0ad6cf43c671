// SPDX-License-Identifier: MIT
#include "UsageBarColors.h"

#include <QPalette>

#include <gtest/gtest.h>

using namespace UsageBarColors;

namespace {
QPalette knownPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Highlight, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(0x10, 0x20, 0x30));
    palette.setColor(QPalette::Base, QColor(0xFE, 0xFD, 0xFC));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x81, 0x82));
    return palette;
}
} // namespace

TEST(UsageBarColors, ChannelsFollowTheBlueGreenRedOrder)
{
    EXPECT_EQ(red(0x0000FF), 255);
    EXPECT_EQ(blue(0xFF0000), 255);
    EXPECT_EQ(fromChannels(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(toRgb(0x0000FF), qRgb(255, 0, 0));
    EXPECT_EQ(fromQColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
}

TEST(UsageBarColors, TranslateSysColorResolvesOnlyFlaggedColours)
{
    const QPalette palette = knownPalette();
    EXPECT_EQ(TranslateSysColor(0x123456, palette), 0x123456u);
    EXPECT_EQ(TranslateSysColor(0x8000000D, palette), 0x030201u); // highlight
    EXPECT_EQ(TranslateSysColor(0x8000000F, palette), 0x302010u); // button face
    EXPECT_EQ(TranslateSysColor(0x80000005, palette), 0xFCFDFEu); // window background
    EXPECT_EQ(TranslateSysColor(0x80000011, palette), 0x828180u); // grey text
    // Numbers the desktop does not have read as black.
    EXPECT_EQ(TranslateSysColor(0x80000019, palette), 0u);
    EXPECT_EQ(TranslateSysColor(0x8000001F, palette), 0u);
    EXPECT_EQ(TranslateSysColor(0xFFFFFFFF, palette), 0u);
}

TEST(UsageBarColors, LightenColorDropsTheRemainder)
{
    EXPECT_EQ(LightenColor(0x18EE00, 0), 0x18EE00u);
    EXPECT_EQ(LightenColor(0x18EE00, 255), 0xFFFFFFu);
    EXPECT_EQ(LightenColor(0x18EE00, 75), 0x5BF34Bu);
    // 200 * 155 / 255 is 121.57: truncated, not rounded.
    EXPECT_EQ(LightenColor(0x0000C8, 100), 0x6464DDu);
    EXPECT_EQ(LightenColor(0xFFFFFF, 100), 0xFFFFFFu);
}

TEST(UsageBarColors, GradientColorRoundsEachChannel)
{
    const QPalette palette = knownPalette();
    // Against black: green 238 * 180 / 255 = 168, blue 24 * 180 / 255 = 16.94.
    EXPECT_EQ(GradientColor(0x18EE00, 0x000000, 180, palette), 0x11A800u);
    EXPECT_EQ(GradientColor(0x0000FF, 0x000000, 200, palette), 0x0000C8u);
    EXPECT_EQ(GradientColor(0x0000FF, 0xFF0000, 255, palette), 0x0000FFu);
    EXPECT_EQ(GradientColor(0x0000FF, 0xFF0000, 0, palette), 0xFF0000u);
    // 100 * 255 / 255 + 155 * 0 / 255 for red, 155 * 255 / 255 for blue.
    EXPECT_EQ(GradientColor(0x0000FF, 0xFF0000, 100, palette), 0x9B0064u);
    // System colours are resolved first.
    EXPECT_EQ(GradientColor(0x8000000D, 0x000000, 255, palette), 0x030201u);
}
