// SPDX-License-Identifier: MIT
#include "UsageBarGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(UsageBarGeometry, RoundingGoesToTheEvenNeighbourAndStaysInRange)
{
    EXPECT_EQ(UsageBarGeometry::roundWhole(2.5), 2);
    EXPECT_EQ(UsageBarGeometry::roundWhole(3.5), 4);
    EXPECT_EQ(UsageBarGeometry::roundWhole(-2.5), -2);
    EXPECT_EQ(UsageBarGeometry::roundWhole(-2.6), -3);
    EXPECT_EQ(UsageBarGeometry::roundWhole(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(UsageBarGeometry::roundWhole(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(UsageBarGeometry::roundWhole(std::nan("")), 0);
}

TEST(UsageBarGeometry, DrawnPercentStaysWithinTheBar)
{
    EXPECT_EQ(UsageBarGeometry::drawnPercent(-5), 0);
    EXPECT_EQ(UsageBarGeometry::drawnPercent(57), 57);
    EXPECT_EQ(UsageBarGeometry::drawnPercent(150), 100);
}

TEST(UsageBarGeometry, GlassFillBandsAndMarker)
{
    const UsageBarGeometry g(200, 17);
    EXPECT_EQ(g.glassFillEnd(0), 3);
    EXPECT_EQ(g.glassFillEnd(57), 114); // 0.57 * 194 + 3 = 113.58
    EXPECT_EQ(g.glassFillEnd(100), 197);
    EXPECT_EQ(g.glassHalfHeight(), 7);
    EXPECT_EQ(UsageBarGeometry(200, 18).glassHalfHeight(), 8); // 7.5
    EXPECT_EQ(UsageBarGeometry(200, 20).glassHalfHeight(), 8); // 8.5

    EXPECT_EQ(g.glassMarkerEnd(50), 100); // 100.5 goes to the even 100
    EXPECT_EQ(g.glassMarkerEnd(49), 99);
    EXPECT_EQ(g.markerStrip(0, 50), (BarRect{3, 0, 100, 5}));
    EXPECT_EQ(g.markerStrip(1, 50), (BarRect{3, 13, 100, 17}));
    EXPECT_EQ(g.markerStrip(0, 100), (BarRect{3, 0, 197, 5}));
    EXPECT_EQ(g.markerStrip(0, 250), g.markerStrip(0, 100));
    EXPECT_TRUE(g.markerStrip(2, 50).isEmpty());
    EXPECT_TRUE(g.markerStrip(-1, 50).isEmpty());
    EXPECT_TRUE(g.markerStrip(0, 0).isEmpty());
    EXPECT_TRUE(g.markerStrip(1, -3).isEmpty());
}

TEST(UsageBarGeometry, HorizontalBlocksSnapToTheirRaster)
{
    const UsageBarGeometry g(120, 24);
    // 0.5 / 0.98 * 117 + 3 = 62.69, so x = 63.
    const auto solid = g.blockFill(1, 0, 50);
    EXPECT_EQ(solid.fill, (BarRect{3, 0, 63, 24}));
    EXPECT_EQ(solid.blockWidth, 0);
    EXPECT_EQ(solid.blockGap, 2);
    EXPECT_EQ(solid.bandEnd, 63);

    const auto blocks = g.blockFill(0, 0, 50);
    EXPECT_EQ(blocks.blockWidth, 6);
    EXPECT_EQ(blocks.fill.right, 59); // 63 less (60 mod 8)
    EXPECT_EQ(blocks.bandEnd, 59);

    // Full: 100 / 98 runs past the end; the bands stop short of the frame.
    const auto fullSolid = g.blockFill(1, 0, 100);
    EXPECT_EQ(fullSolid.fill.right, 121);
    EXPECT_EQ(fullSolid.bandEnd, 117);
    const auto fullBlocks = g.blockFill(0, 0, 100);
    EXPECT_EQ(fullBlocks.fill.right, 115);
    EXPECT_EQ(fullBlocks.bandEnd, 115);

    // Empty: a short piece shows anyway.
    EXPECT_EQ(g.blockFill(1, 0, 0).fill.right, 12);
    EXPECT_EQ(g.blockFill(0, 0, 0).bandEnd, 12);
    EXPECT_EQ(g.blockFill(12, 0, 50).fill, solid.fill);
}

TEST(UsageBarGeometry, BlockGapsFollowTheBlocks)
{
    const UsageBarGeometry g(120, 24);
    const auto gaps = g.blockGaps(g.blockFill(0, 0, 50), 0);
    ASSERT_EQ(gaps.size(), 7);
    EXPECT_EQ(gaps.first(), (BarRect{10, 0, 12, 24}));
    EXPECT_EQ(gaps.last(), (BarRect{58, 0, 60, 24}));

    const UsageBarGeometry tall(40, 100);
    const auto vertical = tall.blockFill(0, 1, 50);
    EXPECT_EQ(vertical.fill.top, 52);
    const auto rows = tall.blockGaps(vertical, 1);
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows.first(), (BarRect{3, 98, 40, 100}));
    EXPECT_EQ(rows.last(), (BarRect{3, 58, 40, 60}));
}

TEST(UsageBarGeometry, VerticalFillSnapsTowardsTheBottom)
{
    const UsageBarGeometry g(40, 100);
    // y = round(100 * (1 - 0.5 / 0.98)) = 49; (49 - 100) rem 2 = -1.
    EXPECT_EQ(g.blockFill(1, 1, 50).fill.top, 50);
    EXPECT_EQ(g.blockFill(1, 1, 0).fill.top, 100);
    EXPECT_EQ(g.blockFill(1, 1, 100).fill.top, -2);
    EXPECT_EQ(g.blockFill(0, 1, 100).fill.top, 4);
}

TEST(UsageBarGeometry, CaptionBoxIsCentred)
{
    const UsageBarGeometry g(200, 17);
    EXPECT_EQ(g.captionBox(25, 13), (BarRect{88, 2, 113, 15})); // 87.5 and 2.0
    EXPECT_EQ(g.captionBox(24, 14), (BarRect{88, 2, 112, 16})); // 1.5 goes to 2
    EXPECT_EQ(g.captionBox(0, 0), (BarRect{100, 8, 100, 8}));   // 8.5 goes to 8
}
