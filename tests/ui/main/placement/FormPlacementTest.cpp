// SPDX-License-Identifier: MIT
#include "FormPlacement.h"
#include "CoreTestContext.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {
// A 1920 x 1080 screen at 96 DPI, in twips.
constexpr int32_t ScreenWidth = 28800;
constexpr int32_t ScreenHeight = 16200;

class FormPlacementTest : public ::testing::Test
{
protected:
    CoreTestContext context{u"FormPlacementTest"_s};
    FormPlacement placement{context.app, context.registry, context.log, context.run};
    const QString config = context.app.configKey();
    const QString config2 = context.app.profileKey(2);

    // The lines logged at the given level that start with the given text.
    QStringList linesStartingWith(const QString& start, int16_t level) const
    {
        QStringList found;
        for (const CoreTestContext::LogLine& line : context.logLines()) {
            if (line.level == level && line.text.startsWith(start))
                found.append(line.text);
        }
        return found;
    }
};
} // namespace

TEST_F(FormPlacementTest, AFirstStartTakesTheDefaults)
{
    const FormPlacementValues values = placement.load(FormPlacement::NormalWidth, ScreenWidth, ScreenHeight);
    EXPECT_EQ(values.height, 7260);
    EXPECT_EQ(values.top, ScreenHeight - 8760);
    EXPECT_EQ(values.left, 1500);
    EXPECT_EQ(values.positionKey, config);
    EXPECT_TRUE(linesStartingWith(u"frmMain.Load: "_s, 8).isEmpty());
}

TEST_F(FormPlacementTest, AFirstStartOnANarrowScreenStartsAtTheLeftEdge)
{
    // Width + 1500 exactly the screen's width still fits; one twip less does not.
    EXPECT_EQ(placement.load(FormPlacement::NormalWidth, 8715, ScreenHeight).left, 1500);
    EXPECT_EQ(placement.load(FormPlacement::NormalWidth, 8714, ScreenHeight).left, 0);
    EXPECT_EQ(placement.load(FormPlacement::DefaultWidth, 13944, ScreenHeight).left, 0);
}

TEST_F(FormPlacementTest, AStoredHeightMovesTheDefaultTop)
{
    context.setDword(config, u"frmMainHeight"_s, 9000);
    const FormPlacementValues values = placement.load(FormPlacement::NormalWidth, ScreenWidth, ScreenHeight);
    EXPECT_EQ(values.height, 9000);
    EXPECT_EQ(values.top, ScreenHeight - 9000 - 1500);
}

TEST_F(FormPlacementTest, StoredValuesAreReadAndLogged)
{
    context.setDword(config, u"frmMainHeight"_s, 8000);
    context.setDword(config, u"frmMainTop"_s, -300);
    context.setDword(config, u"frmMainLeft"_s, 0);
    const FormPlacementValues values = placement.load(FormPlacement::NormalWidth, ScreenWidth, ScreenHeight);
    EXPECT_EQ(values.height, 8000);
    EXPECT_EQ(values.top, -300);
    EXPECT_EQ(values.left, 0);
    EXPECT_EQ(linesStartingWith(u"frmMain.Load: "_s, 8),
              (QStringList{u"frmMain.Load: frmMainHeight: 8000"_s, u"frmMain.Load: frmMainTop: -300"_s,
                           u"frmMain.Load: frmMainLeft: 0"_s}));
}

TEST_F(FormPlacementTest, AProfileWithItsOwnTopReadsItsPositionButTheSharedHeight)
{
    context.run.ProfileNumber = 2;
    context.setDword(config, u"frmMainHeight"_s, 8000);
    context.setDword(config, u"frmMainTop"_s, 100);
    context.setDword(config, u"frmMainLeft"_s, 200);
    context.setDword(config2, u"frmMainTop"_s, 300);
    context.setDword(config2, u"frmMainLeft"_s, 400);
    context.setDword(config2, u"frmMainHeight"_s, 9999);
    const FormPlacementValues values = placement.load(FormPlacement::NormalWidth, ScreenWidth, ScreenHeight);
    EXPECT_EQ(values.positionKey, config2);
    EXPECT_EQ(values.height, 8000);
    EXPECT_EQ(values.top, 300);
    EXPECT_EQ(values.left, 400);
}

TEST_F(FormPlacementTest, AProfileWithoutItsOwnTopReadsTheSharedPosition)
{
    context.run.ProfileNumber = 2;
    context.setDword(config, u"frmMainTop"_s, 100);
    context.setDword(config, u"frmMainLeft"_s, 200);
    // A left alone does not make the position the profile's.
    context.setDword(config2, u"frmMainLeft"_s, 400);
    const FormPlacementValues values = placement.load(FormPlacement::NormalWidth, ScreenWidth, ScreenHeight);
    EXPECT_EQ(values.positionKey, config);
    EXPECT_EQ(values.top, 100);
    EXPECT_EQ(values.left, 200);
}

TEST_F(FormPlacementTest, AProfileWithOnlyItsOwnTopTakesTheDefaultLeft)
{
    context.run.ProfileNumber = 2;
    context.setDword(config, u"frmMainLeft"_s, 200);
    context.setDword(config2, u"frmMainTop"_s, 300);
    const FormPlacementValues values = placement.load(FormPlacement::NormalWidth, ScreenWidth, ScreenHeight);
    EXPECT_EQ(values.top, 300);
    EXPECT_EQ(values.left, 1500);
}

TEST_F(FormPlacementTest, SavingWritesHeightSharedAndPositionToTheProfile)
{
    context.run.ProfileNumber = 2;
    placement.save(QPoint(10, 20), 12000, 8000, false);
    EXPECT_EQ(context.dword(config, u"frmMainHeight"_s), 8000);
    EXPECT_EQ(context.dword(config2, u"frmMainLeft"_s), 10);
    EXPECT_EQ(context.dword(config2, u"frmMainTop"_s), 20);
    EXPECT_FALSE(context.dword(config, u"frmMainWidth"_s).has_value());
    EXPECT_FALSE(context.dword(config, u"frmMainTop"_s).has_value());
    EXPECT_FALSE(context.dword(config2, u"frmMainHeight"_s).has_value());

    // The profile has a position of its own from now on.
    const FormPlacementValues values = placement.load(FormPlacement::NormalWidth, ScreenWidth, ScreenHeight);
    EXPECT_EQ(values.positionKey, config2);
    EXPECT_EQ(values.left, 10);
    EXPECT_EQ(values.top, 20);
    EXPECT_EQ(values.height, 8000);
}

TEST_F(FormPlacementTest, SavingInDoubleWidthKeepsTheWidth)
{
    placement.save(QPoint(-500, 700), 13000, 7500, true);
    EXPECT_EQ(context.dword(config, u"frmMainWidth"_s), 13000);
    EXPECT_EQ(context.dword(config, u"frmMainLeft"_s), -500);
    EXPECT_EQ(context.dword(config, u"frmMainTop"_s), 700);
    EXPECT_EQ(context.dword(config, u"frmMainHeight"_s), 7500);
    EXPECT_EQ(placement.doubleWidth(), 13000);
    EXPECT_EQ(linesStartingWith(u"FormLayout: "_s, 8), QStringList{u"FormLayout: frmMainWidth: 13000"_s});
}

TEST_F(FormPlacementTest, APlatformWithoutPositionsKeepsTheStoredOneAndSavesTheSizes)
{
    // Qt's platform names as they come: Wayland's plugins all start with its name.
    const struct
    {
        QString platform;
        bool positions;
    } platforms[] = {{u"xcb"_s, true},      {u"offscreen"_s, true},    {u"eglfs"_s, true},
                     {u"wayland"_s, false}, {u"wayland-egl"_s, false}, {u"wayland-xcomposite-glx"_s, false},
                     {u"Wayland"_s, false}};
    for (const auto& [platform, positions] : platforms)
        EXPECT_EQ(FormPlacement::platformGivesPositions(platform), positions) << platform.toStdString();

    // Saved on X, then closed on Wayland, where the window reports its frame's offset.
    context.run.ProfileNumber = 2;
    placement.save(QPoint(1500, 3000), 13000, 7500, true);
    placement.save(std::nullopt, 14000, 8000, true);
    EXPECT_EQ(context.dword(config2, u"frmMainLeft"_s), 1500);
    EXPECT_EQ(context.dword(config2, u"frmMainTop"_s), 3000);
    EXPECT_EQ(context.dword(config, u"frmMainHeight"_s), 8000);
    EXPECT_EQ(context.dword(config, u"frmMainWidth"_s), 14000);

    // A profile that never saved a position on X still reads the shared one.
    context.run.ProfileNumber = 3;
    placement.save(std::nullopt, 14000, 8000, true);
    EXPECT_FALSE(context.dword(context.app.profileKey(3), u"frmMainTop"_s).has_value());
    EXPECT_FALSE(context.dword(context.app.profileKey(3), u"frmMainLeft"_s).has_value());
}

TEST_F(FormPlacementTest, DoubleWidthDefaultsWhenNoneIsStored)
{
    EXPECT_EQ(placement.doubleWidth(), 12445);
    EXPECT_EQ(linesStartingWith(u"FormLayout: "_s, 8), QStringList{u"FormLayout: using default frmMainWidth: 12445"_s});
}

TEST(KeepFormOnScreen, ACornerInsideTheMonitorsStays)
{
    int32_t left = 27000;
    int32_t top = 15000;
    // The corner may be inside while the rest hangs over the edge.
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, MonitorBounds{0, 1920, 0, 1080}, TwipsPerPixel{});
    EXPECT_EQ(left, 27000);
    EXPECT_EQ(top, 15000);
}

TEST(KeepFormOnScreen, ACornerOnTheEdgesStays)
{
    int32_t left = 28800;
    int32_t top = 16200;
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, MonitorBounds{0, 1920, 0, 1080}, TwipsPerPixel{});
    EXPECT_EQ(left, 28800);
    EXPECT_EQ(top, 16200);
    left = 0;
    top = 0;
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, MonitorBounds{0, 1920, 0, 1080}, TwipsPerPixel{});
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
}

TEST(KeepFormOnScreen, ALeftBeyondTheRightEdgeComesBackByTheWidth)
{
    int32_t left = 28801;
    int32_t top = 1000;
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, MonitorBounds{0, 1920, 0, 1080}, TwipsPerPixel{});
    EXPECT_EQ(left, 28800 - 7215);
    EXPECT_EQ(top, 1000);
}

TEST(KeepFormOnScreen, ATopAboveAndALeftLeftOfTheMonitorsMoveToTheirEdges)
{
    int32_t left = -1;
    int32_t top = -1;
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, MonitorBounds{0, 1920, 0, 1080}, TwipsPerPixel{});
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
}

TEST(KeepFormOnScreen, ATopBelowTheMonitorsComesBackByTheHeight)
{
    int32_t left = 100;
    int32_t top = 20000;
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, MonitorBounds{0, 1920, 0, 1080}, TwipsPerPixel{});
    EXPECT_EQ(top, 16200 - 7260);
    EXPECT_EQ(left, 100);
}

TEST(KeepFormOnScreen, TwoMonitorsSideBySideKeepAWindowOnTheSecond)
{
    const MonitorBounds both{0, 3200, 0, 1080};
    int32_t left = 40000; // on the second monitor
    int32_t top = 2000;
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, both, TwipsPerPixel{});
    EXPECT_EQ(left, 40000);

    // Left where the second monitor was, after it was unplugged.
    const MonitorBounds first{0, 1920, 0, 1080};
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, first, TwipsPerPixel{});
    EXPECT_EQ(left, 28800 - 7215);
    EXPECT_EQ(top, 2000);
}

TEST(KeepFormOnScreen, AMonitorWithNegativeCoordinatesCounts)
{
    const MonitorBounds bounds{-1280, 1920, -200, 1080};
    int32_t left = -15000;
    int32_t top = -2000;
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, bounds, TwipsPerPixel{});
    EXPECT_EQ(left, -15000);
    EXPECT_EQ(top, -2000);

    left = -30000;
    top = -4000;
    FormPlacement::KeepFormOnScreen(left, top, 7215, 7260, bounds, TwipsPerPixel{});
    EXPECT_EQ(left, -1280 * 15);
    EXPECT_EQ(top, -200 * 15);
}

TEST(KeepFormOnScreen, EachAxisUsesItsOwnTwipsPerPixel)
{
    // 1440 / 144 DPI = 10 across, 1440 / 120 DPI = 12 down.
    const TwipsPerPixel tpp{10.0, 12.0};
    int32_t left = 20000;
    int32_t top = 20000;
    FormPlacement::KeepFormOnScreen(left, top, 5000, 6000, MonitorBounds{0, 1920, 0, 1080}, tpp);
    EXPECT_EQ(left, 19200 - 5000);
    EXPECT_EQ(top, 12960 - 6000);
}

TEST(TwipsPerPixel, ThePrimaryScreenGivesPositiveFigures)
{
    const TwipsPerPixel tpp = TwipsPerPixel::ofPrimaryScreen();
    EXPECT_GT(tpp.x, 0.0);
    EXPECT_GT(tpp.y, 0.0);
    EXPECT_DOUBLE_EQ(tpp.x, 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX());
}
