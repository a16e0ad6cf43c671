// SPDX-License-Identifier: MIT
#include "FormGeometry.h"

#include <gtest/gtest.h>

namespace {

FormGeometry::Inputs window(int32_t width, int32_t height, bool doubleWidth)
{
    FormGeometry::Inputs in;
    in.width = width;
    in.height = height;
    in.doubleWidth = doubleWidth;
    in.statusBarHeight = 300;
    in.menuBarHeight = 330;
    in.gridTop = doubleWidth ? 0 : FormGeometry::GridOnTabTop;
    return in;
}

} // namespace

TEST(FormGeometryResize, HeightSnapsUpToTheMinimumAndNotBeyond)
{
    EXPECT_EQ(FormGeometry::resizeLayout(window(7215, 7259, false)).height, 7260);
    EXPECT_EQ(FormGeometry::resizeLayout(window(7215, 100, true)).height, 7260);
    EXPECT_EQ(FormGeometry::resizeLayout(window(7215, 7260, false)).height, 7260);
    EXPECT_EQ(FormGeometry::resizeLayout(window(7215, 9000, false)).height, 9000);
}

TEST(FormGeometryResize, NormalWidthIsAlwaysFixedAndDoubleWidthHasAFloor)
{
    EXPECT_EQ(FormGeometry::resizeLayout(window(5000, 7260, false)).width, 7215);
    EXPECT_EQ(FormGeometry::resizeLayout(window(12445, 7260, false)).width, 7215);
    EXPECT_EQ(FormGeometry::resizeLayout(window(9214, 7260, true)).width, 9215);
    EXPECT_EQ(FormGeometry::resizeLayout(window(9215, 7260, true)).width, 9215);
    EXPECT_EQ(FormGeometry::resizeLayout(window(12445, 7260, true)).width, 12445);
}

TEST(FormGeometryResize, DebugFrameIsOnlyLaidOutInDebugMode)
{
    FormGeometry::Inputs in = window(7215, 7260, false);
    EXPECT_FALSE(FormGeometry::resizeLayout(in).frameDebugHeight.has_value());
    in.debugMode = true;
    const FormGeometry::Layout out = FormGeometry::resizeLayout(in);
    ASSERT_TRUE(out.frameDebugHeight.has_value());
    EXPECT_EQ(*out.frameDebugHeight, out.tabHeight - 540);
    EXPECT_EQ(*out.txtDebugListHeight, *out.frameDebugHeight - 480);
}

TEST(FormGeometryPixels, MinimumSizesNeverReadBackSmaller)
{
    const FormGeometry at96(15.0, 15.0);
    EXPECT_EQ(at96.pixelsX(7215), 481);
    EXPECT_EQ(at96.pixelsAtLeastX(7215), 481);
    // 9215 / 15 = 614.3: 614 pixels would measure 9210, below the floor.
    EXPECT_EQ(at96.pixelsX(9215), 614);
    EXPECT_EQ(at96.pixelsAtLeastX(9215), 615);
    EXPECT_GE(at96.twipsX(at96.pixelsAtLeastX(9215)), 9215);

    const FormGeometry at120(12.0, 12.0);
    for (int32_t twips : {7215, 7260, 9215})
        EXPECT_GE(at120.twipsY(at120.pixelsAtLeastY(twips)), twips) << twips;
    EXPECT_EQ(at120.twipsX(100), 1200);

    // A screen reporting no sensible DPI is measured as 96 DPI.
    const FormGeometry broken(0.0, -3.0);
    EXPECT_EQ(broken.twipsPerPixelX(), 15.0);
    EXPECT_EQ(broken.pixelsY(7260), 484);
}
