// SPDX-License-Identifier: MIT
#include "UsageBarGeometry.h"
#include "UsageBarTestSupport.h"

#include <QFontMetrics>

#include <cmath>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using UsageBarTestSupport::at;
using UsageBarTestSupport::makeBar;

namespace {
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Black = 0x000000;
constexpr uint32_t Red = 0x0000FF;
constexpr uint32_t Ok = 0x18EE00;
constexpr uint32_t Warn = 0x00FFFF;
constexpr uint32_t Over = 0x0000FF;
constexpr uint32_t MarkerBlue = 0xE16941;

// The main window's bar: style 9, 200 x 17 pixels (h = 7).
QImage glass(uint32_t colour, int32_t percent)
{
    return makeBar(9, colour, percent)->renderToImage({200, 17});
}

QImage glassWithMarker(int32_t position, float marker, bool visible = true)
{
    auto bar = makeBar(9, Ok, 57);
    bar->setMarkerColor(MarkerBlue);
    bar->setMarkerPosition(position);
    bar->setMarker(marker);
    bar->setMarkerVisible(visible);
    return bar->renderToImage({200, 17});
}

QImage styled(int32_t style, int32_t percent, QSize size = {120, 24}, int32_t orientation = 0)
{
    auto bar = makeBar(style, Red, percent);
    bar->setOrientation(orientation);
    return bar->renderToImage(size);
}
} // namespace

TEST(GlassStyle, FillEndsWithThePercentage)
{
    // Row 14 is the last row of the lower band, where the fill has the bar's own colour and the
    // background 0xC0C0C0.
    const QImage empty = glass(Ok, 0);
    EXPECT_EQ(at(empty, 2, 14), 0xEFEFEFu); // the frame covers the one fill column at 0 %
    EXPECT_EQ(at(empty, 3, 14), 0xC0C0C0u);

    const QImage part = glass(Ok, 57);
    EXPECT_EQ(at(part, 3, 14), Ok);
    EXPECT_EQ(at(part, 113, 14), Ok);
    EXPECT_EQ(at(part, 114, 14), 0xC0C0C0u);
    EXPECT_EQ(at(part, 196, 14), 0xC0C0C0u);

    auto over = makeBar(9, Over, 150);
    const QImage full = over->renderToImage({200, 17});
    EXPECT_EQ(over->Value(), 100);
    EXPECT_EQ(at(full, 196, 14), Over);
    // The background stops at R - 3; the frame draws at R - 2 and R - 1.
    EXPECT_EQ(at(full, 197, 14), White);
    EXPECT_EQ(at(full, 198, 14), 0xEFEFEFu);
    EXPECT_EQ(at(full, 199, 10), 0x686868u);
    EXPECT_EQ(full, glass(Over, 100));
}

TEST(GlassStyle, BandsShadeFromLightToTheStateColour)
{
    const QImage part = glass(Ok, 57);
    // Upper band, second row: from LightenColor 0x5BF34B towards 0x11A800 in 7 steps.
    EXPECT_EQ(at(part, 50, 3), 0x50E840u);
    EXPECT_EQ(at(part, 150, 3), 0xFBFBFBu);
    // Lower band, first row (the lower band covers the rows it shares with the upper one).
    EXPECT_EQ(at(part, 50, 7), 0x13BB00u);
    EXPECT_EQ(at(part, 150, 7), 0xE0E0E0u);

    const QImage red = glass(Over, 57);
    EXPECT_EQ(at(red, 50, 3), 0x4040F4u);
    EXPECT_EQ(at(red, 50, 7), 0x0000C8u);
}

TEST(GlassStyle, StateColoursShowInTheLowerBand)
{
    for (const uint32_t colour : {Ok, Warn, Over}) {
        const QImage image = glass(colour, 57);
        EXPECT_EQ(at(image, 50, 14), colour) << std::hex << colour;
        EXPECT_EQ(at(image, 150, 14), 0xC0C0C0u) << std::hex << colour;
    }
}

TEST(GlassStyle, MarkerStripAlongTheTop)
{
    const QImage image = glassWithMarker(0, 50);
    // The strip covers rows 0 to 4 up to m = 100; the frame draws over rows 0 to 2.
    for (const int y : {3, 4}) {
        EXPECT_EQ(at(image, 3, y), MarkerBlue);
        EXPECT_EQ(at(image, 99, y), MarkerBlue);
        EXPECT_EQ(at(image, 100, y), at(glass(Ok, 57), 100, y));
        EXPECT_EQ(at(image, 2, y), 0xEFEFEFu);
    }
    EXPECT_EQ(at(image, 50, 0), 0x686868u);
    EXPECT_EQ(at(image, 50, 1), 0xBEBEBEu);
    EXPECT_EQ(at(image, 50, 2), 0xEFEFEFu);
    EXPECT_NE(at(image, 50, 5), MarkerBlue);
    EXPECT_NE(at(image, 50, 14), MarkerBlue);

    const QImage full = glassWithMarker(0, 100);
    EXPECT_EQ(at(full, 196, 4), MarkerBlue);
    EXPECT_EQ(at(full, 197, 4), White);
}

TEST(GlassStyle, MarkerStripAlongTheBottom)
{
    const QImage image = glassWithMarker(1, 50);
    for (const int y : {13, 14}) {
        EXPECT_EQ(at(image, 3, y), MarkerBlue);
        EXPECT_EQ(at(image, 99, y), MarkerBlue);
        EXPECT_NE(at(image, 100, y), MarkerBlue);
    }
    EXPECT_NE(at(image, 50, 12), MarkerBlue);
    EXPECT_EQ(at(image, 50, 15), 0xEFEFEFu);
    EXPECT_EQ(at(image, 50, 16), 0x686868u);
    EXPECT_NE(at(image, 50, 3), MarkerBlue);
}

TEST(GlassStyle, NoStripWithoutAMarker)
{
    const QImage plain = glass(Ok, 57);
    EXPECT_EQ(glassWithMarker(0, 0), plain);
    EXPECT_EQ(glassWithMarker(2, 50), plain);
    EXPECT_EQ(glassWithMarker(0, 50, false), plain);
    EXPECT_NE(glassWithMarker(0, 1), plain);
}

TEST(GlassStyle, MarkerColourMayBeASystemColour)
{
    auto bar = makeBar(9, Ok, 57);
    bar->setMarkerColor(0x8000000D);
    bar->setMarker(50);
    bar->setMarkerVisible(true);
    const QImage image = bar->renderToImage({200, 17});
    EXPECT_EQ(at(image, 20, 3),
              UsageBarColors::fromQColor(bar->palette().color(QPalette::Active, QPalette::Highlight)));
}

TEST(GlassStyle, CornerPixels)
{
    const QImage image = glass(Ok, 100);
    struct Expected
    {
        int x;
        int y;
        uint32_t colour;
    };
    const Expected corners[] = {
        {0, 0, 0xFFFFFF},    {0, 1, 0xA6ABAC},    {0, 2, 0x7D7E7F},    {1, 0, 0xA7ABAC},    {1, 1, 0x777777},
        {2, 0, 0x7D7E7F},    {2, 2, 0xBEBEBE},    {0, 16, 0xFFFFFF},   {1, 16, 0xA6ABAC},   {2, 16, 0x7D7E7F},
        {0, 14, 0x7D7E7F},   {0, 15, 0xA7ABAC},   {1, 15, 0x777777},   {199, 0, 0xFFFFFF},  {199, 1, 0xBEBEBE},
        {199, 2, 0x7D7E7F},  {198, 2, 0xBEBEBE},  {198, 1, 0x686868},  {199, 16, 0xFFFFFF}, {199, 15, 0xBEBEBE},
        {199, 14, 0x7D7E7F}, {198, 15, 0x777777}, {198, 16, 0xBEBEBE}, {197, 16, 0x7D7E7F},
    };
    for (const Expected& corner : corners)
        EXPECT_EQ(at(image, corner.x, corner.y), corner.colour) << corner.x << ", " << corner.y;
    // Next to the corners, the frame's own lines.
    EXPECT_EQ(at(image, 3, 1), 0xBEBEBEu);
    EXPECT_EQ(at(image, 1, 3), 0xBEBEBEu);
    EXPECT_EQ(at(image, 0, 3), 0x686868u);
    EXPECT_EQ(at(image, 3, 15), 0xEFEFEFu);
}

TEST(GlassStyle, CaptionIsCentredSmoothAndDrawnInTheScreensOwnPixels)
{
    auto bar = makeBar(9, Ok, 0);
    const QImage logical = bar->renderToImage({200, 17});
    // The screens people have: unscaled, 150 % and 200 %.
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        bar->setCaptionStyle(0);
        const QImage plain = bar->renderToImage({200, 17}, ratio);
        bar->setCaptionStyle(1);
        bar->setCaption(u"57.0%"_s);
        const QImage captioned = bar->renderToImage({200, 17}, ratio);
        const QSize device(int(std::ceil(200 * ratio)), int(std::ceil(17 * ratio)));
        ASSERT_EQ(captioned.size(), device);
        EXPECT_EQ(captioned.devicePixelRatio(), ratio);
        // The bar's own figures are the unscaled ones, enlarged.
        if (ratio == 2.0) {
            for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(2, 2), QPoint(199, 16), QPoint(100, 3)})
                EXPECT_EQ(at(plain, 2 * p.x() + 1, 2 * p.y() + 1), at(logical, p.x(), p.y())) << p.x() << ", " << p.y();
        }

        const QFontMetrics metrics(bar->font());
        const BarRect box =
            UsageBarGeometry(200, 17).captionBox(metrics.horizontalAdvance(u"57.0%"_s), metrics.height());
        int changed = 0;
        int black = 0;
        int blended = 0;
        int unevenBlocks = 0;
        for (int y = 0; y < device.height(); ++y) {
            for (int x = 0; x < device.width(); ++x) {
                const uint32_t colour = at(captioned, x, y);
                if (colour == at(plain, x, y))
                    continue;
                ++changed;
                EXPECT_TRUE(x >= std::floor(box.left * ratio) - 1 && x < std::ceil(box.right * ratio) + 1 &&
                            y >= std::floor(box.top * ratio) - 1 && y < std::ceil(box.bottom * ratio) + 1)
                    << x << ", " << y;
                (colour == Black ? black : blended) += 1;
                // An enlarged caption would fill every 2 x 2 block in one colour.
                if (ratio == 2.0 && x % 2 == 0 && y % 2 == 0 && x + 1 < device.width() && y + 1 < device.height() &&
                    (at(captioned, x + 1, y) != colour || at(captioned, x, y + 1) != colour))
                    ++unevenBlocks;
            }
        }
        // Text in black with smoothed edges: shades between the black and the bar behind it.
        EXPECT_GT(black, 5 * ratio * ratio);
        EXPECT_GT(blended, 5 * ratio * ratio);
        EXPECT_GT(changed, 20 * ratio * ratio);
        if (ratio == 2.0) {
            EXPECT_GT(unevenBlocks, 10);
        }
    }
}

TEST(BlockStyles, SolidBarWithBands)
{
    const QImage image = styled(1, 50);
    EXPECT_EQ(at(image, 10, 3), 0x9696FFu); // LightenColor 150 at the top
    EXPECT_EQ(at(image, 10, 12), Red);
    EXPECT_EQ(at(image, 62, 12), Red);
    EXPECT_EQ(at(image, 63, 12), White);
    EXPECT_EQ(at(image, 3, 12), White);
    EXPECT_EQ(at(image, 10, 14), Red);
    EXPECT_EQ(at(image, 10, 20), 0x9696FFu);
    EXPECT_EQ(at(image, 10, 21), White);
    EXPECT_EQ(at(image, 10, 22), 0xEFEFEFu);
    EXPECT_EQ(at(image, 10, 23), 0x686868u);

    // Even at 0 % a short piece shows.
    const QImage empty = styled(1, 0);
    EXPECT_EQ(at(empty, 4, 12), Red);
    EXPECT_EQ(at(empty, 11, 12), Red);
    EXPECT_EQ(at(empty, 12, 12), White);

    // Unknown style numbers draw as the solid bar.
    EXPECT_EQ(styled(12, 50), image);
    EXPECT_EQ(styled(-1, 50), image);
}

TEST(BlockStyles, BlocksWithWhiteGaps)
{
    const QImage image = styled(0, 50);
    EXPECT_EQ(at(image, 9, 12), Red);
    EXPECT_EQ(at(image, 10, 12), White);
    EXPECT_EQ(at(image, 11, 12), White);
    EXPECT_EQ(at(image, 12, 12), Red);
    EXPECT_EQ(at(image, 57, 12), Red);
    EXPECT_EQ(at(image, 58, 12), White);
    EXPECT_EQ(at(image, 60, 12), White);
    // The gaps run through the bands too.
    EXPECT_EQ(at(image, 10, 3), White);
    EXPECT_EQ(at(image, 9, 3), 0x9696FFu);
}

TEST(BlockStyles, SearchingBlocks)
{
    const QImage image = styled(2, 50);
    EXPECT_EQ(at(image, 39, 12), White);
    EXPECT_EQ(at(image, 40, 12), 0xDCDCFFu); // LightenColor 220
    EXPECT_EQ(at(image, 49, 12), 0xC8C8FFu); // LightenColor 200
    EXPECT_EQ(at(image, 50, 12), White);
    EXPECT_EQ(at(image, 52, 12), 0xB4B4FFu); // LightenColor 180
    EXPECT_EQ(at(image, 64, 12), 0x8C8CFFu); // LightenColor 140
    EXPECT_EQ(at(image, 73, 12), 0x7878FFu); // LightenColor 120
    EXPECT_EQ(at(image, 74, 12), White);
    EXPECT_EQ(at(image, 40, 3), 0xDCDCFFu);
    EXPECT_EQ(at(image, 40, 21), 0xDCDCFFu);
    EXPECT_EQ(at(image, 40, 22), 0xEFEFEFu);
}

TEST(BlockStyles, VerticalBarsFillFromTheBottom)
{
    const QImage solid = styled(1, 50, {40, 100}, 1);
    EXPECT_EQ(at(solid, 20, 49), White);
    EXPECT_EQ(at(solid, 20, 50), Red);
    EXPECT_EQ(at(solid, 20, 97), Red);
    EXPECT_EQ(at(solid, 4, 60), 0x9696FFu);
    EXPECT_EQ(at(solid, 8, 60), Red);
    EXPECT_EQ(at(solid, 32, 60), Red);
    EXPECT_EQ(at(solid, 36, 60), 0x9696FFu);
    EXPECT_EQ(at(solid, 37, 60), White);

    const QImage blocks = styled(0, 50, {40, 100}, 1);
    EXPECT_EQ(at(blocks, 20, 51), White);
    EXPECT_EQ(at(blocks, 20, 52), Red);
    EXPECT_EQ(at(blocks, 20, 57), Red);
    EXPECT_EQ(at(blocks, 20, 58), White);
    EXPECT_EQ(at(blocks, 20, 59), White);
    EXPECT_EQ(at(blocks, 20, 60), Red);

    const QImage searching = styled(2, 50, {40, 100}, 1);
    EXPECT_EQ(at(searching, 20, 49), White);
    EXPECT_EQ(at(searching, 20, 50), 0xDCDCFFu);
    EXPECT_EQ(at(searching, 20, 59), 0xC8C8FFu);
    EXPECT_EQ(at(searching, 20, 60), White);

    // Styles beyond 0 to 2 ignore the orientation.
    auto flat = makeBar(3, Red, 50);
    const QImage across = flat->renderToImage({120, 24});
    flat->setOrientation(1);
    EXPECT_EQ(flat->renderToImage({120, 24}), across);
}

TEST(OtherStyles, Flat)
{
    const QImage image = styled(3, 50);
    EXPECT_EQ(at(image, 0, 12), 0x6464FFu); // outline in LightenColor 100
    EXPECT_EQ(at(image, 119, 12), 0x6464FFu);
    EXPECT_EQ(at(image, 1, 1), 0xB4B4FFu); // fill in LightenColor 180
    EXPECT_EQ(at(image, 59, 22), 0xB4B4FFu);
    EXPECT_EQ(at(image, 60, 12), White);
    EXPECT_EQ(at(image, 10, 23), 0x6464FFu);
    // Empty: the fill has no width and the outline stays whole.
    EXPECT_EQ(at(styled(3, 0), 0, 12), 0x6464FFu);
    EXPECT_EQ(at(styled(3, 0), 1, 12), White);
}

TEST(OtherStyles, Etched)
{
    auto bar = makeBar(4, Red, 50);
    const QImage image = bar->renderToImage({120, 24});
    const uint32_t shadow = UsageBarColors::fromQColor(bar->palette().color(QPalette::Active, QPalette::Dark));
    const uint32_t light = UsageBarColors::fromQColor(bar->palette().color(QPalette::Active, QPalette::Light));
    ASSERT_NE(shadow, light);
    EXPECT_EQ(at(image, 0, 12), shadow);
    EXPECT_EQ(at(image, 1, 12), light);
    EXPECT_EQ(at(image, 119, 12), light);
    EXPECT_EQ(at(image, 118, 12), shadow);
    // 59 vertical lines from x = 2, rows 2 to B - 4.
    EXPECT_EQ(at(image, 2, 10), 0x8C8CFFu);
    EXPECT_EQ(at(image, 60, 10), 0xC8C8FFu);
    EXPECT_EQ(at(image, 61, 10), White);
    EXPECT_EQ(at(image, 10, 20), at(image, 10, 2));
    EXPECT_EQ(at(image, 10, 21), White);
}

TEST(OtherStyles, Shaded)
{
    const QImage image = styled(5, 50);
    EXPECT_EQ(at(image, 0, 12), 0x0A0AFFu);  // outline in LightenColor 10
    EXPECT_EQ(at(image, 80, 2), Red);        // background from the colour...
    EXPECT_EQ(at(image, 80, 21), 0x6464FFu); // ...to LightenColor 100
    EXPECT_EQ(at(image, 60, 10), 0x2A2AFFu);
    EXPECT_EQ(at(image, 118, 10), White);
    EXPECT_EQ(at(image, 10, 3), 0xFAFAFFu); // fill from LightenColor 250...
    EXPECT_EQ(at(image, 10, 21), Red);      // ...to the colour
    EXPECT_EQ(at(image, 59, 2), 0x1919FFu); // the fill's end line at f = 59
    EXPECT_EQ(at(image, 59, 21), 0x1919FFu);
    EXPECT_EQ(at(image, 59, 22), White);
}

TEST(OtherStyles, DarkWithGreyCaption)
{
    const QImage image = styled(6, 50);
    EXPECT_EQ(at(image, 0, 12), 0x0000C8u);
    EXPECT_EQ(at(image, 2, 10), Black);
    EXPECT_EQ(at(image, 31, 10), 0x050535u);
    EXPECT_EQ(at(image, 60, 10), 0x0A0A6Au);
    EXPECT_EQ(at(image, 61, 10), Black);
    EXPECT_EQ(at(image, 10, 22), Black);

    auto bar = makeBar(6, Red, 0);
    bar->setCaptionStyle(1);
    bar->setCaption(u"88"_s);
    const QImage captioned = bar->renderToImage({120, 24});
    int grey = 0;
    for (int y = 1; y < 23; ++y) {
        for (int x = 3; x < 117; ++x) {
            // The grey text, its smoothed edges shading into the black.
            const uint32_t pixel = at(captioned, x, y);
            const uint32_t level = pixel & 0xFF;
            EXPECT_TRUE(pixel == level * 0x010101u && level <= 0xC0) << x << ", " << y;
            grey += level > 0 ? 1 : 0;
        }
    }
    EXPECT_GT(grey, 10);
}

TEST(OtherStyles, Hatched)
{
    auto bar = makeBar(7, Red, 50);
    const QImage image = bar->renderToImage({120, 24});
    const uint32_t back = 0x8C8CFF; // LightenColor 140
    EXPECT_EQ(at(image, 8, 5), Red);
    EXPECT_EQ(at(image, 9, 8), Red);
    EXPECT_EQ(at(image, 9, 5), back);
    EXPECT_EQ(at(image, 56, 9), Red);
    EXPECT_EQ(at(image, 58, 9), back);
    EXPECT_EQ(at(image, 59, 9), White);
    EXPECT_EQ(at(image, 9, 21), back);
    EXPECT_EQ(at(image, 9, 22), at(image, 118, 12)); // the bump edge's inner light border
    const QPalette palette = bar->palette();
    EXPECT_EQ(at(image, 0, 12), UsageBarColors::fromQColor(palette.color(QPalette::Active, QPalette::Midlight)));
    EXPECT_EQ(at(image, 119, 12), UsageBarColors::fromQColor(palette.color(QPalette::Active, QPalette::Shadow)));

    bar->setBrushStyle(0);
    const QImage lines = bar->renderToImage({120, 24});
    EXPECT_EQ(at(lines, 9, 8), Red);
    EXPECT_EQ(at(lines, 8, 5), back);
    bar->setBrushStyle(6);
    EXPECT_EQ(at(bar->renderToImage({120, 24}), 9, 8), White);
}

TEST(OtherStyles, Picture)
{
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    tile.setPixel(1, 0, qRgb(0, 0, 255));
    tile.setPixel(0, 1, qRgb(0, 0, 255));
    tile.setPixel(1, 1, qRgb(255, 0, 0));
    auto bar = makeBar(8, Red, 50);
    const QImage bare = bar->renderToImage({120, 24});
    EXPECT_EQ(at(bare, 10, 10), White);
    EXPECT_EQ(at(bare, 0, 10), UsageBarColors::fromQColor(bar->palette().color(QPalette::Active, QPalette::Dark)));

    bar->setImage(tile);
    EXPECT_EQ(bar->Image(), tile);
    const QImage image = bar->renderToImage({120, 24});
    // A pattern 59 pixels wide (f on a scale of 101) and B - 4 high from (2, 2).
    EXPECT_EQ(at(image, 2, 2), 0x0000FFu);
    EXPECT_EQ(at(image, 3, 2), 0xFF0000u);
    EXPECT_EQ(at(image, 60, 21), 0xFF0000u);
    EXPECT_EQ(at(image, 61, 10), White);
    EXPECT_EQ(at(image, 10, 22), White);
}
