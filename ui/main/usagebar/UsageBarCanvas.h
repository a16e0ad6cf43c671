// SPDX-License-Identifier: MIT
#pragma once

#include "UsageBarGeometry.h"

#include <QImage>
#include <QPalette>

#include <cstdint>

// The drawing layer of the usage bar: filled rectangles, outlines, one-pixel lines, single pixels,
// gradients, hatch and picture-pattern fills and three-dimensional edges, written straight into the
// pixels of an RGB32 image with no antialiasing, so that every pixel is where the bar's drawing
// puts it. Colours are 0x00BBGGRR references; system colours resolve through the palette. Drawing
// outside the image is clipped.
class UsageBarCanvas
{
public:
    // The borders of a three-dimensional edge, in the platform's numbering.
    enum EdgeBorder : int {
        RaisedOuter = 0x1,
        SunkenOuter = 0x2,
        RaisedInner = 0x4,
        SunkenInner = 0x8,
    };

    // The image is converted to RGB32 when it has another format.
    UsageBarCanvas(QImage& surface, const QPalette& palette);

    const QPalette& palette() const { return m_palette; }

    // Fills the rectangle (right and bottom excluded) in the resolved colour; an inverted or empty
    // rectangle draws nothing.
    void FillRectColor(const BarRect& rect, uint32_t colour);
    // A one-pixel outline just inside the rectangle; the colour is used as given.
    void FrameRectColor(const BarRect& rect, uint32_t colour);
    // A one-pixel line from (x1, y1) towards (x2, y2), the end point itself not drawn.
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
    // One pixel in the colour as given.
    void setPixel(int32_t x, int32_t y, uint32_t colour);

    // A two-colour gradient of n + 1 lines: vertical lines from (x + i, y) to (x + i, b) with n = a,
    // or horizontal lines from (x, y + i) to (a, y + i) with n = b. Both colours are resolved and
    // written back. A count of 0 draws one line in the first colour; a negative count draws none.
    void DrawGradient(uint32_t& colour1, uint32_t& colour2, int32_t x, int32_t y, int32_t a, int32_t b, bool vertical);

    // Hatch fill of the rectangle: lines of the hatch style (0 horizontal, 1 vertical, 2 forward
    // diagonal, 3 backward diagonal, 4 cross, 5 diagonal cross) in the foreground colour on the
    // background colour, the pattern anchored at the image's origin. Other styles draw nothing.
    void hatchRect(const BarRect& rect, int32_t hatchStyle, uint32_t foreground, uint32_t background);
    // The picture tiled from the image's origin over width x height pixels at (x, y).
    void patternRect(int32_t x, int32_t y, int32_t width, int32_t height, const QImage& pattern);
    // The edge's outer border on the rectangle's outermost pixels, its inner border one further in;
    // borders is a combination of EdgeBorder values.
    void drawEdge(const BarRect& rect, int borders);

private:
    void fillPlain(int64_t left, int64_t top, int64_t right, int64_t bottom, QRgb rgb);
    void fillPlain(const BarRect& rect, QRgb rgb);
    void line(int64_t x1, int64_t y1, int64_t x2, int64_t y2, QRgb rgb);
    void plot(int64_t x, int64_t y, QRgb rgb);
    void drawRing(const BarRect& rect, uint32_t topLeft, uint32_t bottomRight);

    QImage& m_surface;
    const QPalette& m_palette;
};
