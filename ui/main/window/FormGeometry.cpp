// SPDX-License-Identifier: MIT
#include "FormGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// Twips per pixel below one would turn a pixel into nothing; such a screen is taken as 96 DPI.
double usableFactor(double factor)
{
    return factor >= 1.0 ? factor : 15.0;
}

} // namespace

FormGeometry::FormGeometry(double twipsPerPixelX, double twipsPerPixelY)
    : m_x(usableFactor(twipsPerPixelX)), m_y(usableFactor(twipsPerPixelY))
{}

FormGeometry::Layout FormGeometry::resizeLayout(const Inputs& in)
{
    Layout out;
    out.height = std::max(in.height, MinimumHeight);
    out.picMainTop = out.height - in.picMainHeight - in.statusBarHeight - in.menuBarHeight - 60;
    out.tabHeight = out.picMainTop - in.tabTop - 90;
    if (in.doubleWidth) {
        out.width = std::max(in.width, MinimumDoubleWidth);
        out.gridWidth = out.width - in.tabWidth - 400 - 30;
        out.gridHeight = out.tabHeight - in.gridTop + 540;
    } else {
        out.width = NormalWidth;
        out.gridHeight = out.tabHeight - in.gridTop - 120;
        out.gridWidth = NormalGridWidth;
    }
    if (in.debugMode) {
        out.frameDebugHeight = out.tabHeight - 540;
        out.txtDebugListHeight = *out.frameDebugHeight - 480;
    }
    out.statusPanel2Width = out.width - 420;
    return out;
}

int FormGeometry::pixelsX(int32_t twips) const
{
    return int(std::lround(twips / m_x));
}

int FormGeometry::pixelsY(int32_t twips) const
{
    return int(std::lround(twips / m_y));
}

int FormGeometry::pixelsAtLeastX(int32_t twips) const
{
    const int pixels = pixelsX(twips);
    return twipsX(pixels) < twips ? pixels + 1 : pixels;
}

int FormGeometry::pixelsAtLeastY(int32_t twips) const
{
    const int pixels = pixelsY(twips);
    return twipsY(pixels) < twips ? pixels + 1 : pixels;
}

int32_t FormGeometry::twipsX(int pixels) const
{
    return int32_t(std::lround(pixels * m_x));
}

int32_t FormGeometry::twipsY(int pixels) const
{
    return int32_t(std::lround(pixels * m_y));
}
