// SPDX-License-Identifier: MIT
#pragma once

#include "modMultiMonitor.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <optional>

struct AppInfo;
class RegistryAccess;
class LogFrontEnd;
struct RunState;

// Twips per pixel of a screen: 1440 / logical DPI (15 at 96 DPI).
struct TwipsPerPixel
{
    double x = 15.0;
    double y = 15.0;
    // The primary screen's figures; 15 by 15 when there is no screen.
    static TwipsPerPixel ofPrimaryScreen();
};

// Where the main window starts, in twips, and the key its top and left were read from.
struct FormPlacementValues
{
    int32_t height = 0;
    int32_t top = 0;
    int32_t left = 0;
    QString positionKey;
};

// The main window's stored position and size. Height and double width are shared by all
// profiles (Config); top and left belong to the profile once it has saved its own.
class FormPlacement
{
public:
    static constexpr int32_t DefaultHeight = 7260;
    static constexpr int32_t DefaultWidth = 12445;
    static constexpr int32_t NormalWidth = 7215;
    static constexpr int32_t MinimumDoubleWidth = 9215;

    FormPlacement(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log, const RunState& run);

    // Chooses the position key and reads height, top and left, with their defaults and log lines.
    FormPlacementValues load(int32_t currentWidthTwips, int32_t screenWidthTwips, int32_t screenHeightTwips);

    // frmMainWidth for the double-width layout, DefaultWidth when none is stored.
    int32_t doubleWidth();

    // Writes height to Config, left and top (x and y of position) to the profile's key, and the
    // width to Config while in double width. Without a position the stored one stays as it was.
    // The caller checks the window state and logs.
    void save(std::optional<QPoint> position, int32_t width, int32_t height, bool doubleWidth);

    // Whether the named Qt platform tells a program where its window is. Wayland does not: what
    // the window reports there is its frame's offset, which must not replace the place that the
    // user's X session keeps.
    static bool platformGivesPositions(const QString& platformName);

    // Pulls the top-left corner back inside the monitors' union (given in pixels).
    static void KeepFormOnScreen(int32_t& left, int32_t& top, int32_t width, int32_t height,
                                 const MonitorBounds& unionPixels, TwipsPerPixel tpp);

private:
    const AppInfo& m_app;
    RegistryAccess& m_registry;
    LogFrontEnd& m_log;
    const RunState& m_run;
};
