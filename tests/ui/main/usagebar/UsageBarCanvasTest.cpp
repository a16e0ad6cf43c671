// SPDX-License-Identifier: MIT
#include "UsageBarCanvas.h"
#include "UsageBarColors.h"
#include "UsageBarTestSupport.h"

#include <gtest/gtest.h>

using UsageBarTestSupport::at;

namespace {
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Red = 0x0000FF;

QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QPalette knownPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Highlight, QColor(1, 2, 3));
    palette.setColor(QPalette::Light, QColor(0xF0, 0xF0, 0xF0));
    palette.setColor(QPalette::Dark, QColor(0x40, 0x40, 0x40));
    palette.setColor(QPalette::Midlight, QColor(0xC0, 0xC0, 0xC0));
    palette.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    return palette;
}

// The x positions in row y that are not white.
QList<int> markedColumns(const QImage& image, int y)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        if (at(image, x, y) != White)
            columns.append(x);
    }
    return columns;
}
} // namespace

TEST(UsageBarCanvas, LinesLeaveOutTheirEndPoint)
{
    const QPalette palette = knownPalette();
    QImage image = whiteImage(10, 8);
    UsageBarCanvas canvas(image, palette);
    canvas.DrawLine(2, 1, 6, 1, Red);
    canvas.DrawLine(6, 3, 2, 3, Red); // leftwards: from 6 down to 3
    canvas.DrawLine(8, 0, 8, 3, Red);
    canvas.DrawLine(0, 4, 3, 7, Red);
    EXPECT_EQ(markedColumns(image, 1), (QList<int>{2, 3, 4, 5, 8}));
    EXPECT_EQ(markedColumns(image, 3), (QList<int>{3, 4, 5, 6}));
    EXPECT_EQ(at(image, 8, 2), Red);
    EXPECT_EQ(at(image, 8, 3), White);
    EXPECT_EQ(at(image, 0, 4), Red);
    EXPECT_EQ(at(image, 2, 6), Red);
    EXPECT_EQ(at(image, 3, 7), White);
}

TEST(UsageBarCanvas, DrawingOutsideTheImageIsClipped)
{
    const QPalette palette = knownPalette();
    QImage image = whiteImage(6, 4);
    UsageBarCanvas canvas(image, palette);
    canvas.DrawLine(-100, 1, 1000, 1, Red);
    canvas.FillRectColor({-5, 3, 100, 100}, Red);
    canvas.setPixel(-1, 0, Red);
    canvas.setPixel(6, 0, Red);
    EXPECT_EQ(markedColumns(image, 0), QList<int>());
    EXPECT_EQ(markedColumns(image, 1).size(), 6);
    EXPECT_EQ(markedColumns(image, 3).size(), 6);
}

TEST(UsageBarCanvas, RectanglesExcludeRightAndBottom)
{
    const QPalette palette = knownPalette();
    QImage image = whiteImage(8, 8);
    UsageBarCanvas canvas(image, palette);
    canvas.FillRectColor({1, 1, 3, 3}, 0x8000000D);
    EXPECT_EQ(at(image, 1, 1), 0x030201u);
    EXPECT_EQ(at(image, 2, 2), 0x030201u);
    EXPECT_EQ(at(image, 3, 2), White);
    EXPECT_EQ(at(image, 2, 3), White);

    // An inverted rectangle draws nothing.
    canvas.FillRectColor({6, 5, 5, 7}, Red);
    EXPECT_EQ(markedColumns(image, 5), QList<int>());

    canvas.FrameRectColor({4, 4, 8, 8}, Red);
    EXPECT_EQ(markedColumns(image, 4), (QList<int>{4, 5, 6, 7}));
    EXPECT_EQ(markedColumns(image, 6), (QList<int>{4, 7}));
}

TEST(UsageBarCanvas, GradientStepsInSinglePrecision)
{
    const QPalette palette = knownPalette();
    QImage image = whiteImage(10, 10);
    UsageBarCanvas canvas(image, palette);
    uint32_t from = 0x000000;
    uint32_t to = 0x0000FF;
    // Horizontal lines y = 1 to 3 from x = 2 to 6; 127.5 in the middle goes to 128.
    canvas.DrawGradient(from, to, 2, 1, 6, 2, false);
    EXPECT_EQ(at(image, 2, 1), 0x000000u);
    EXPECT_EQ(at(image, 5, 2), 0x000080u);
    EXPECT_EQ(at(image, 5, 3), 0x0000FFu);
    EXPECT_EQ(at(image, 6, 3), White);
    EXPECT_EQ(markedColumns(image, 4), QList<int>());

    // Vertical lines x = 1 to 5 from y = 5 to 8: 0, 50, 100, 150, 200.
    uint32_t dark = 0x000000;
    uint32_t light = 0x0000C8;
    canvas.DrawGradient(dark, light, 1, 5, 4, 9, true);
    EXPECT_EQ(at(image, 1, 8), 0x000000u);
    EXPECT_EQ(at(image, 3, 5), 0x000064u);
    EXPECT_EQ(at(image, 5, 8), 0x0000C8u);
    EXPECT_EQ(at(image, 5, 9), White);
    EXPECT_EQ(at(image, 6, 5), White);
}

TEST(UsageBarCanvas, GradientCountsOfZeroAndBelow)
{
    const QPalette palette = knownPalette();
    QImage image = whiteImage(10, 6);
    UsageBarCanvas canvas(image, palette);
    uint32_t first = 0x8000000D;
    uint32_t second = 0xFF0000;
    canvas.DrawGradient(first, second, 1, 2, 8, 0, false);
    // The system colour came back resolved; one line in it.
    EXPECT_EQ(first, 0x030201u);
    EXPECT_EQ(markedColumns(image, 2), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(at(image, 1, 2), 0x030201u);
    EXPECT_EQ(markedColumns(image, 3), QList<int>());

    canvas.DrawGradient(first, second, 1, 4, 8, -1, false);
    EXPECT_EQ(markedColumns(image, 4), QList<int>());
}

TEST(UsageBarCanvas, EdgesTakeTheSystemColoursOfTheirBorders)
{
    const QPalette palette = knownPalette();
    QImage image = whiteImage(10, 8);
    UsageBarCanvas(image, palette).drawEdge({0, 0, 10, 8}, UsageBarCanvas::SunkenOuter | UsageBarCanvas::RaisedInner);
    const uint32_t light = 0xF0F0F0;
    const uint32_t dark = 0x404040;
    EXPECT_EQ(at(image, 0, 4), dark);
    EXPECT_EQ(at(image, 5, 0), dark);
    EXPECT_EQ(at(image, 9, 4), light);
    EXPECT_EQ(at(image, 5, 7), light);
    EXPECT_EQ(at(image, 9, 0), light); // the corners the top and left leave
    EXPECT_EQ(at(image, 0, 7), light);
    EXPECT_EQ(at(image, 1, 4), light);
    EXPECT_EQ(at(image, 8, 4), dark);
    EXPECT_EQ(at(image, 2, 4), White);

    QImage bump = whiteImage(10, 8);
    UsageBarCanvas(bump, palette).drawEdge({0, 0, 10, 8}, UsageBarCanvas::RaisedOuter | UsageBarCanvas::SunkenInner);
    EXPECT_EQ(at(bump, 0, 4), 0xC0C0C0u);
    EXPECT_EQ(at(bump, 9, 4), 0x101010u);
    EXPECT_EQ(at(bump, 1, 4), 0x101010u);
    EXPECT_EQ(at(bump, 8, 4), 0xC0C0C0u);
}

TEST(UsageBarCanvas, OtherImageFormatsAreConverted)
{
    const QPalette palette = knownPalette();
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::white);
    UsageBarCanvas(image, palette).setPixel(1, 1, Red);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(at(image, 1, 1), Red);
}
