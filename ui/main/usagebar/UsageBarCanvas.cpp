// SPDX-License-Identifier: MIT
#include "UsageBarCanvas.h"

#include "UsageBarColors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace UsageBarColors;

UsageBarCanvas::UsageBarCanvas(QImage& surface, const QPalette& palette) : m_surface(surface), m_palette(palette)
{
    if (!m_surface.isNull() && m_surface.format() != QImage::Format_RGB32)
        m_surface.convertTo(QImage::Format_RGB32);
}

void UsageBarCanvas::fillPlain(int64_t left, int64_t top, int64_t right, int64_t bottom, QRgb rgb)
{
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, m_surface.width());
    bottom = std::min<int64_t>(bottom, m_surface.height());
    for (int64_t y = top; y < bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_surface.scanLine(int(y)));
        std::fill(line + left, line + std::max(left, right), rgb);
    }
}

void UsageBarCanvas::fillPlain(const BarRect& rect, QRgb rgb)
{
    fillPlain(rect.left, rect.top, rect.right, rect.bottom, rgb);
}

void UsageBarCanvas::plot(int64_t x, int64_t y, QRgb rgb)
{
    if (x < 0 || y < 0 || x >= m_surface.width() || y >= m_surface.height())
        return;
    reinterpret_cast<QRgb*>(m_surface.scanLine(int(y)))[x] = rgb;
}

void UsageBarCanvas::FillRectColor(const BarRect& rect, uint32_t colour)
{
    fillPlain(rect, toRgb(TranslateSysColor(colour, m_palette)));
}

void UsageBarCanvas::FrameRectColor(const BarRect& rect, uint32_t colour)
{
    if (rect.isEmpty())
        return;
    const QRgb rgb = toRgb(colour);
    const int64_t left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    fillPlain(left, top, right, top + 1, rgb);
    fillPlain(left, bottom - 1, right, bottom, rgb);
    fillPlain(left, top, left + 1, bottom, rgb);
    fillPlain(right - 1, top, right, bottom, rgb);
}

void UsageBarCanvas::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour)
{
    line(x1, y1, x2, y2, toRgb(TranslateSysColor(colour, m_palette)));
}

void UsageBarCanvas::line(int64_t x1, int64_t y1, int64_t x2, int64_t y2, QRgb rgb)
{
    // Straight lines are the common case and may be long; fill them as one-pixel rectangles.
    if (y1 == y2) {
        if (x1 <= x2)
            fillPlain(x1, y1, x2, y1 + 1, rgb);
        else
            fillPlain(x2 + 1, y1, x1 + 1, y1 + 1, rgb);
        return;
    }
    if (x1 == x2) {
        if (y1 <= y2)
            fillPlain(x1, y1, x1 + 1, y2, rgb);
        else
            fillPlain(x1, y2 + 1, x1 + 1, y1 + 1, rgb);
        return;
    }
    const int64_t dx = std::llabs(x2 - x1);
    const int64_t dy = -std::llabs(y2 - y1);
    const int64_t sx = x1 < x2 ? 1 : -1;
    const int64_t sy = y1 < y2 ? 1 : -1;
    int64_t error = dx + dy;
    int64_t x = x1;
    int64_t y = y1;
    while (x != x2 || y != y2) {
        plot(x, y, rgb);
        const int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void UsageBarCanvas::setPixel(int32_t x, int32_t y, uint32_t colour)
{
    plot(x, y, toRgb(colour));
}

void UsageBarCanvas::DrawGradient(uint32_t& colour1, uint32_t& colour2, int32_t x, int32_t y, int32_t a, int32_t b,
                                  bool vertical)
{
    colour1 = TranslateSysColor(colour1, m_palette);
    colour2 = TranslateSysColor(colour2, m_palette);
    const int32_t count = vertical ? a : b;
    // The steps are single precision; with a count of 0 they stay 0 and the one line takes colour 1.
    float stepRed = 0.0f;
    float stepGreen = 0.0f;
    float stepBlue = 0.0f;
    if (count != 0) {
        stepRed = float(red(colour2) - red(colour1)) / float(count);
        stepGreen = float(green(colour2) - green(colour1)) / float(count);
        stepBlue = float(blue(colour2) - blue(colour1)) / float(count);
    }
    const auto channel = [](int start, float step, int32_t i) {
        const float value = float(start) + step * float(i);
        return std::clamp(UsageBarGeometry::roundWhole(value), 0, 255);
    };
    // Lines that would fall outside the image are skipped without changing the colours of the rest.
    const int64_t start = vertical ? x : y;
    const int64_t extent = vertical ? m_surface.width() : m_surface.height();
    const int64_t first = std::max<int64_t>(0, -start);
    const int64_t last = std::min<int64_t>(count, extent - 1 - start);
    for (int64_t i = first; i <= last; ++i) {
        const auto step = int32_t(i);
        const uint32_t colour =
            fromChannels(channel(red(colour1), stepRed, step), channel(green(colour1), stepGreen, step),
                         channel(blue(colour1), stepBlue, step));
        if (vertical)
            line(start + i, y, start + i, b, toRgb(colour));
        else
            line(x, start + i, a, start + i, toRgb(colour));
    }
}

void UsageBarCanvas::hatchRect(const BarRect& rect, int32_t hatchStyle, uint32_t foreground, uint32_t background)
{
    // Our own 8 x 8 hatch cells: one line of each direction through the cell's first pixel.
    const auto horizontal = [](int32_t, int32_t y) { return (y & 7) == 0; };
    const auto vertical = [](int32_t x, int32_t) { return (x & 7) == 0; };
    const auto forward = [](int32_t x, int32_t y) { return ((x - y) & 7) == 0; };
    const auto backward = [](int32_t x, int32_t y) { return ((x + y) & 7) == 0; };
    const auto onLine = [&](int32_t x, int32_t y) {
        switch (hatchStyle) {
        case 0:
            return horizontal(x, y);
        case 1:
            return vertical(x, y);
        case 2:
            return forward(x, y);
        case 3:
            return backward(x, y);
        case 4:
            return horizontal(x, y) || vertical(x, y);
        default:
            return forward(x, y) || backward(x, y);
        }
    };
    if (hatchStyle < 0 || hatchStyle > 5)
        return;
    const QRgb fore = toRgb(TranslateSysColor(foreground, m_palette));
    const QRgb back = toRgb(TranslateSysColor(background, m_palette));
    const int32_t right = std::min<int32_t>(rect.right, m_surface.width());
    const int32_t bottom = std::min<int32_t>(rect.bottom, m_surface.height());
    for (int32_t y = std::max(rect.top, 0); y < bottom; ++y) {
        for (int32_t x = std::max(rect.left, 0); x < right; ++x)
            plot(x, y, onLine(x, y) ? fore : back);
    }
}

void UsageBarCanvas::patternRect(int32_t x, int32_t y, int32_t width, int32_t height, const QImage& pattern)
{
    if (pattern.isNull() || width <= 0 || height <= 0)
        return;
    const QImage tile = pattern.convertToFormat(QImage::Format_RGB32);
    const int64_t right = std::min<int64_t>(int64_t(x) + width, m_surface.width());
    const int64_t bottom = std::min<int64_t>(int64_t(y) + height, m_surface.height());
    for (int64_t row = std::max(y, 0); row < bottom; ++row) {
        const auto* source = reinterpret_cast<const QRgb*>(tile.constScanLine(int(row % tile.height())));
        for (int64_t column = std::max(x, 0); column < right; ++column)
            plot(column, row, source[column % tile.width()]);
    }
}

void UsageBarCanvas::drawRing(const BarRect& rect, uint32_t topLeft, uint32_t bottomRight)
{
    if (rect.isEmpty())
        return;
    const QRgb light = toRgb(TranslateSysColor(topLeft, m_palette));
    const QRgb dark = toRgb(TranslateSysColor(bottomRight, m_palette));
    // The top and left sides stop one pixel short; the corners they leave go to the other colour.
    const int64_t left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    fillPlain(left, top, right - 1, top + 1, light);
    fillPlain(left, top, left + 1, bottom - 1, light);
    fillPlain(left, bottom - 1, right, bottom, dark);
    fillPlain(right - 1, top, right, bottom, dark);
}

void UsageBarCanvas::drawEdge(const BarRect& rect, int borders)
{
    if (borders & RaisedOuter)
        drawRing(rect, SysLight, SysDarkShadow);
    else if (borders & SunkenOuter)
        drawRing(rect, SysButtonShadow, SysButtonHighlight);
    if (rect.isEmpty())
        return;
    const BarRect inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    if (borders & RaisedInner)
        drawRing(inner, SysButtonHighlight, SysButtonShadow);
    else if (borders & SunkenInner)
        drawRing(inner, SysDarkShadow, SysLight);
}
