// SPDX-License-Identifier: MIT
#include "GridWheel.h"
#include "CoreTestContext.h"
#include "modScroll.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(GridWheelLines, SettingsGiveHalfAPageAPageLessOneOrTheirNumber)
{
    EXPECT_EQ(GridWheel::linesPerNotch(u"-2"_s, 10), 5);
    EXPECT_EQ(GridWheel::linesPerNotch(u"-2"_s, 5), 2); // 2.5 rounds to even
    EXPECT_EQ(GridWheel::linesPerNotch(u"-1"_s, 10), 9);
    EXPECT_EQ(GridWheel::linesPerNotch(u"3"_s, 10), 3);
    EXPECT_EQ(GridWheel::linesPerNotch(u"-5"_s, 10), 5);
    EXPECT_EQ(GridWheel::linesPerNotch(u"12"_s, 10), 9);
    EXPECT_EQ(GridWheel::linesPerNotch(u"0"_s, 10), 1);
    EXPECT_EQ(GridWheel::linesPerNotch(u"x"_s, 10), 1);
    EXPECT_EQ(GridWheel::linesPerNotch(u"-1"_s, 1), 1);
}

TEST(GridWheelTarget, KeysDivideTheStepAndTheLeftButtonHoldsTheGrid)
{
    // 6 lines a notch from row 10 of 40.
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, -120, 0, u"6"_s), 16);
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, 120, 0, u"6"_s), 4);
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, -120, GridWheel::Shift, u"6"_s), 13);
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, -120, GridWheel::Control, u"6"_s), 12);
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, -120, GridWheel::Shift | GridWheel::Control, u"6"_s), 12);
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, -120, GridWheel::MiddleButton, u"6"_s), 11);
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, -120, 0x2, u"6"_s), 16); // right button alone
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, -120, GridWheel::LeftButton, u"6"_s), 10);
}

TEST(GridWheelTarget, AStepThatRoundsAwayStillMovesOneRowAndTheTopStaysInTheGrid)
{
    EXPECT_EQ(GridWheel::targetTopRow(10, 20, 40, -120, GridWheel::MiddleButton, u"1"_s), 11);
    EXPECT_EQ(GridWheel::targetTopRow(2, 20, 40, 120, 0, u"6"_s), 1);
    EXPECT_EQ(GridWheel::targetTopRow(37, 20, 40, -120, 0, u"6"_s), 39);
}

TEST(LoadScrollSettings, TheDesktopsLinesGlideUnlessHandSetValuesSayOtherwise)
{
    CoreTestContext context(u"scroll"_s);
    const QString key = context.app.appKey() + u"\\Scroll"_s;

    ScrollSettings settings = LoadScrollSettings(context.registry, context.app, 3);
    EXPECT_EQ(settings.Lines, u"3"_s);
    EXPECT_TRUE(settings.Smooth);

    // A desktop value that would not fit four characters counts as unreadable: half a page.
    EXPECT_EQ(LoadScrollSettings(context.registry, context.app, 12345).Lines, u"-2"_s);
    EXPECT_EQ(LoadScrollSettings(context.registry, context.app, -1).Lines, u"-1"_s);

    context.setText(key, u"Lines"_s, u"-1"_s);
    context.setText(key, u"Mode"_s, u"Instant"_s);
    settings = LoadScrollSettings(context.registry, context.app, 3);
    EXPECT_EQ(settings.Lines, u"-1"_s);
    EXPECT_FALSE(settings.Smooth);

    // Only the exact word turns the glide on.
    context.setText(key, u"Mode"_s, u"smooth"_s);
    EXPECT_FALSE(LoadScrollSettings(context.registry, context.app, 3).Smooth);
    context.setText(key, u"Mode"_s, u"Smooth"_s);
    EXPECT_TRUE(LoadScrollSettings(context.registry, context.app, 3).Smooth);
}
