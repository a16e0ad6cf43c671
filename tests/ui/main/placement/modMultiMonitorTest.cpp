// SPDX-License-Identifier: MIT
#include "modMultiMonitor.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {
void expectBounds(const MonitorBounds& bounds, int32_t left, int32_t right, int32_t top, int32_t bottom)
{
    EXPECT_EQ(bounds.left, left);
    EXPECT_EQ(bounds.right, right);
    EXPECT_EQ(bounds.top, top);
    EXPECT_EQ(bounds.bottom, bottom);
}
} // namespace

TEST(GetMonitorBounds, OneMonitorGivesItsEdgesAndTheDesktop)
{
    MonitorBounds unionBounds;
    MonitorBounds desktop;
    GetMonitorBounds({QRect(0, 0, 1280, 1024)}, QRect(0, 0, 1280, 1024), unionBounds, desktop);
    expectBounds(unionBounds, 0, 1280, 0, 1024);
    expectBounds(desktop, 0, 1280, 0, 1024);
}

TEST(GetMonitorBounds, MonitorsSideBySideAndStackedWidenTheUnion)
{
    MonitorBounds unionBounds;
    MonitorBounds desktop;
    GetMonitorBounds({QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024), QRect(0, 1080, 800, 600)},
                     QRect(0, 0, 1920, 1080), unionBounds, desktop);
    expectBounds(unionBounds, 0, 3200, 0, 1680);
    expectBounds(desktop, 0, 1920, 0, 1080);
}

TEST(GetMonitorBounds, MonitorLeftOfAndAboveThePrimaryGivesNegativeEdges)
{
    MonitorBounds unionBounds;
    MonitorBounds desktop;
    GetMonitorBounds({QRect(0, 0, 1920, 1080), QRect(-1280, -200, 1280, 1024)}, QRect(0, 0, 1920, 1080), unionBounds,
                     desktop);
    expectBounds(unionBounds, -1280, 1920, -200, 1080);
}

TEST(GetMonitorBounds, TheDesktopIsMeasuredFromTheOrigin)
{
    MonitorBounds unionBounds;
    MonitorBounds desktop;
    GetMonitorBounds({}, QRect(-1280, 0, 3200, 1080), unionBounds, desktop);
    expectBounds(desktop, 0, 1920, 0, 1080);
}

TEST(GetMonitorBounds, NoMonitorsGiveTheDesktopRectangle)
{
    MonitorBounds unionBounds;
    MonitorBounds desktop;
    GetMonitorBounds({}, QRect(0, 0, 1024, 768), unionBounds, desktop);
    expectBounds(unionBounds, 0, 1024, 0, 768);
    expectBounds(desktop, 0, 1024, 0, 768);
}

TEST(GetMonitorBounds, AScreenWithoutSizeIsSkipped)
{
    MonitorBounds unionBounds;
    MonitorBounds desktop;
    GetMonitorBounds({QRect(), QRect(5000, 5000, 0, 0)}, QRect(0, 0, 1024, 768), unionBounds, desktop);
    expectBounds(unionBounds, 0, 1024, 0, 768);
}

TEST(GetMonitorBounds, TheIncomingUnionIsOnlyWidened)
{
    MonitorBounds unionBounds{-100, 5000, -50, 4000};
    MonitorBounds desktop;
    GetMonitorBounds({QRect(0, 0, 1920, 1080)}, QRect(0, 0, 1920, 1080), unionBounds, desktop);
    expectBounds(unionBounds, -100, 5000, -50, 4000);
}

TEST(GetMonitorBounds, TheScreensOfTheApplicationAreCovered)
{
    MonitorBounds unionBounds;
    MonitorBounds desktop;
    GetMonitorBounds(unionBounds, desktop);
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(unionBounds.left, primary.left());
    EXPECT_LE(unionBounds.top, primary.top());
    EXPECT_GE(unionBounds.right, primary.x() + primary.width());
    EXPECT_GE(unionBounds.bottom, primary.y() + primary.height());
    EXPECT_GT(desktop.right, 0);
    EXPECT_GT(desktop.bottom, 0);
}
