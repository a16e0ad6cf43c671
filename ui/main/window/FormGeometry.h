// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>

// The main window's layout arithmetic in twips, free of widgets: the sizes the window snaps to,
// where the button row, the tabs and the grid go, and the conversions to and from pixels.
//
// The window's size is that of the QMainWindow (menu and status bars inside it; title bar and
// border belong to the desktop), so the room the layout leaves for the window's own frame is the
// menu bar's height.
class FormGeometry
{
public:
    static constexpr int32_t MinimumHeight = 7260;
    static constexpr int32_t NormalWidth = 7215;
    static constexpr int32_t MinimumDoubleWidth = 9215;

    // Design-time places of the window's containers.
    static constexpr int32_t TabLeft = 90;
    static constexpr int32_t TabTop = 480;
    static constexpr int32_t TabWidth = 6960;
    static constexpr int32_t PicMainHeight = 495;
    static constexpr int32_t GridOnTabLeft = 120;
    static constexpr int32_t GridOnTabTop = 420;
    static constexpr int32_t NormalGridWidth = 6630;
    static constexpr int32_t GridGapBesideTabs = 90;

    struct Inputs
    {
        int32_t width = NormalWidth;
        int32_t height = MinimumHeight;
        bool doubleWidth = false;
        bool debugMode = false;
        int32_t picMainHeight = PicMainHeight;
        int32_t statusBarHeight = 0;
        int32_t menuBarHeight = 0;
        int32_t tabTop = TabTop;
        int32_t tabWidth = TabWidth;
        // The grid's top in its container: the window in double width, the tabs in normal width.
        int32_t gridTop = GridOnTabTop;
    };

    struct Layout
    {
        int32_t width = 0;
        int32_t height = 0;
        // In the client area below the menu bar.
        int32_t picMainTop = 0;
        int32_t tabHeight = 0;
        int32_t gridWidth = 0;
        int32_t gridHeight = 0;
        // Only laid out in debug mode.
        std::optional<int32_t> frameDebugHeight;
        std::optional<int32_t> txtDebugListHeight;
        int32_t statusPanel2Width = 0;
    };

    // The resize layout of a window in the normal state.
    static Layout resizeLayout(const Inputs& in);
    // The grid's left edge beside the tabs in double width.
    static int32_t gridLeftBesideTabs(int32_t tabLeft, int32_t tabWidth)
    {
        return tabLeft + tabWidth + GridGapBesideTabs;
    }

    FormGeometry() = default;
    FormGeometry(double twipsPerPixelX, double twipsPerPixelY);

    double twipsPerPixelX() const { return m_x; }
    double twipsPerPixelY() const { return m_y; }

    int pixelsX(int32_t twips) const;
    int pixelsY(int32_t twips) const;
    // The fewest pixels that measure at least the twips: a size snapped to a minimum must not
    // read back below it.
    int pixelsAtLeastX(int32_t twips) const;
    int pixelsAtLeastY(int32_t twips) const;
    int32_t twipsX(int pixels) const;
    int32_t twipsY(int pixels) const;

private:
    double m_x = 15.0;
    double m_y = 15.0;
};
