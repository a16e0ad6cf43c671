// SPDX-License-Identifier: MIT
#include "UsageBarPainter.h"

#include "UsageBarCanvas.h"
#include "UsageBarColors.h"
#include "UsageBarGeometry.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using namespace UsageBarColors;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

struct Pixel
{
    int32_t x;
    int32_t y;
    uint32_t colour;
};

// Everything one draw needs: the surface, the sizes and the properties.
struct Drawing
{
    const UsageBarState& state;
    UsageBarCanvas& canvas;
    UsageBarGeometry geometry;
    int32_t percent;

    int32_t R() const { return geometry.width(); }
    int32_t B() const { return geometry.height(); }
    uint32_t lighten(int amount) const { return LightenColor(state.Color, amount); }
    uint32_t darken(int amount) const { return GradientColor(state.Color, kBlack, amount, canvas.palette()); }

    void gradient(uint32_t colour1, uint32_t colour2, int32_t x, int32_t y, int32_t a, int32_t b, bool vertical)
    {
        canvas.DrawGradient(colour1, colour2, x, y, a, b, vertical);
    }
};

// The rounded glass frame of styles 0 to 2 and 9, drawn over the bar's outer three pixels.
void drawFrame(Drawing& d)
{
    UsageBarCanvas& c = d.canvas;
    const int32_t R = d.R();
    const int32_t B = d.B();
    c.DrawLine(2, 1, R - 2, 1, 0xBEBEBE);
    c.DrawLine(2, B - 2, R - 2, B - 2, 0xEFEFEF);
    c.DrawLine(1, 2, 1, B - 2, 0xBEBEBE);
    c.DrawLine(2, 2, 2, B - 2, 0xEFEFEF);
    c.DrawLine(2, 2, R - 2, 2, 0xEFEFEF);
    c.DrawLine(R - 2, 2, R - 2, B - 2, 0xEFEFEF);
    c.FrameRectColor({0, 0, R, B}, 0x686868);
    // The corners are rounded off pixel by pixel, top left, bottom left, top right, bottom right.
    const Pixel corners[] = {
        {0, 0, 0xFFFFFF},         {0, 1, 0xA6ABAC},         {0, 2, 0x7D7E7F},         {1, 0, 0xA7ABAC},
        {1, 1, 0x777777},         {2, 0, 0x7D7E7F},         {2, 2, 0xBEBEBE},

        {0, B - 1, 0xFFFFFF},     {1, B - 1, 0xA6ABAC},     {2, B - 1, 0x7D7E7F},     {0, B - 3, 0x7D7E7F},
        {0, B - 2, 0xA7ABAC},     {1, B - 2, 0x777777},

        {R - 1, 0, 0xFFFFFF},     {R - 1, 1, 0xBEBEBE},     {R - 1, 2, 0x7D7E7F},     {R - 2, 2, 0xBEBEBE},
        {R - 2, 1, 0x686868},

        {R - 1, B - 1, 0xFFFFFF}, {R - 1, B - 2, 0xBEBEBE}, {R - 1, B - 3, 0x7D7E7F}, {R - 2, B - 2, 0x777777},
        {R - 2, B - 1, 0xBEBEBE}, {R - 3, B - 1, 0x7D7E7F},
    };
    for (const Pixel& pixel : corners)
        c.setPixel(pixel.x, pixel.y, pixel.colour);
}

void drawGlass(Drawing& d)
{
    const UsageBarGeometry& g = d.geometry;
    const int32_t R = d.R();
    const int32_t fillEnd = g.glassFillEnd(d.percent);
    const int32_t h = g.glassHalfHeight();
    // The lower band is drawn after the upper one and covers the rows they share.
    d.gradient(0xFFFFFF, 0xE0E0E0, 2, 2, R - 3, h, false);
    d.gradient(0xE0E0E0, 0xC0C0C0, 2, h, R - 3, h, false);
    d.gradient(d.lighten(75), d.darken(180), 2, 2, fillEnd, h, false);
    d.gradient(d.darken(200), d.state.Color, 2, h, fillEnd, h, false);
    if (d.state.MarkerVisible && d.state.Marker > 0)
        d.canvas.FillRectColor(g.markerStrip(d.state.MarkerPosition, d.state.Marker), d.state.MarkerColor);
    drawFrame(d);
}

void drawBlocks(Drawing& d)
{
    const UsageBarGeometry& g = d.geometry;
    const UsageBarState& s = d.state;
    const int32_t R = d.R();
    const int32_t B = d.B();
    const UsageBarGeometry::BlockFill blocks = g.blockFill(s.Scrolling, s.Orientation, d.percent);
    const uint32_t band = d.lighten(150);
    if (s.Orientation == 0) {
        const int32_t x2 = blocks.bandEnd;
        if (s.Scrolling == 2) {
            for (int k = 0; k < 3; ++k)
                d.gradient(d.lighten(220 - 40 * k), d.lighten(200 - 40 * k), g.searchingBlockLeft(blocks, k, d.percent),
                           3, 9, B - 2, true);
        } else {
            d.gradient(band, s.Color, 4, 3, x2, 6, false);
            d.canvas.FillRectColor({4, 8, x2, B - 8}, s.Color);
            d.gradient(s.Color, band, 4, B - 10, x2, 6, false);
        }
    } else {
        const int32_t top = blocks.fill.top;
        if (s.Scrolling == 2) {
            for (int k = 0; k < 3; ++k)
                d.gradient(d.lighten(220 - 40 * k), d.lighten(200 - 40 * k), R - 2, g.searchingBlockTop(blocks, k), 2,
                           9, false);
        } else {
            d.gradient(band, s.Color, 4, top, 4, B, true);
            d.canvas.FillRectColor({9, top, R - 8, B}, s.Color);
            d.gradient(s.Color, band, R - 8, top, 4, B, true);
        }
    }
    if (s.Scrolling == 0) {
        for (const BarRect& gap : g.blockGaps(blocks, s.Orientation))
            d.canvas.FillRectColor(gap, kWhite);
    }
    drawFrame(d);
}

void drawFlat(Drawing& d)
{
    d.canvas.FrameRectColor({0, 0, d.R(), d.B()}, d.lighten(100));
    d.canvas.FillRectColor({1, 1, d.geometry.flatFillEnd(d.percent), d.B() - 1}, d.lighten(180));
}

void drawEtched(Drawing& d)
{
    d.canvas.drawEdge({0, 0, d.R(), d.B()}, UsageBarCanvas::SunkenOuter | UsageBarCanvas::RaisedInner);
    d.gradient(d.lighten(140), d.lighten(200), 2, 2, d.geometry.etchedCount(d.percent), d.B() - 3, true);
}

void drawShaded(Drawing& d)
{
    const int32_t R = d.R();
    const int32_t B = d.B();
    d.canvas.FrameRectColor({0, 0, R, B}, d.lighten(10));
    const int32_t fillEnd = d.geometry.shadedFillEnd(d.percent);
    d.gradient(d.state.Color, d.lighten(100), 2, 2, R - 2, B - 5, false);
    d.gradient(d.lighten(250), d.state.Color, 3, 3, fillEnd, B - 6, false);
    d.canvas.DrawLine(fillEnd, 2, fillEnd, B - 2, d.lighten(25));
}

void drawDark(Drawing& d)
{
    d.canvas.FrameRectColor({0, 0, d.R(), d.B()}, d.darken(200));
    const uint32_t end = LightenColor(d.darken(100), 10);
    d.gradient(kBlack, end, 2, 2, d.geometry.darkCount(d.percent), d.B() - 2, true);
}

void drawHatched(Drawing& d)
{
    d.canvas.drawEdge({0, 0, d.R(), d.B()}, UsageBarCanvas::RaisedOuter | UsageBarCanvas::SunkenInner);
    const BarRect fill{2, 2, d.geometry.shadedFillEnd(d.percent), d.B() - 2};
    d.canvas.hatchRect(fill, d.state.BrushStyle, d.state.Color, d.lighten(140));
}

void drawPicture(Drawing& d)
{
    d.canvas.drawEdge({0, 0, d.R(), d.B()}, UsageBarCanvas::SunkenOuter);
    if (!d.state.Image.isNull())
        d.canvas.patternRect(2, 2, d.geometry.shadedFillEnd(d.percent), d.B() - 4, d.state.Image);
}

void drawCaption(const Drawing& d, const QFont& font, QImage& surface)
{
    if (d.state.CaptionStyle == 0)
        return;
    const QString text = UsageBarPainter::captionText(d.state);
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(toRgb(d.state.Scrolling == 6 ? 0xC0C0C0 : kBlack)));
    const QFontMetrics metrics = painter.fontMetrics();
    const BarRect box = d.geometry.captionBox(metrics.horizontalAdvance(text), metrics.height());
    painter.drawText(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

} // namespace

namespace UsageBarPainter {

QString captionText(const UsageBarState& state)
{
    switch (state.CaptionStyle) {
    case 1:
        return state.Caption;
    case 2:
        if (state.Scrolling == 2)
            return u"Searching.."_s;
        return QString::number(std::min(state.percent, 100)) + u" %"_s;
    default:
        return {};
    }
}

void paint(const UsageBarState& state, const QFont& font, const QPalette& palette, QImage& surface, QSize client,
           qreal ratio)
{
    if (surface.isNull() || client.isEmpty() || !(ratio > 0))
        return;
    const bool scaled = ratio != 1.0;
    QImage logical = scaled ? QImage(client, QImage::Format_RGB32) : QImage();
    if (scaled && logical.isNull())
        return;
    surface.setDevicePixelRatio(ratio);
    UsageBarCanvas canvas(scaled ? logical : surface, palette);
    Drawing d{state, canvas, UsageBarGeometry(client.width(), client.height()),
              UsageBarGeometry::drawnPercent(state.percent)};
    canvas.FillRectColor({0, 0, d.R(), d.B()}, state.Scrolling == 6 ? kBlack : kWhite);
    switch (state.Scrolling) {
    case 9:
        drawGlass(d);
        break;
    case 3:
        drawFlat(d);
        break;
    case 4:
        drawEtched(d);
        break;
    case 5:
        drawShaded(d);
        break;
    case 6:
        drawDark(d);
        break;
    case 7:
        drawHatched(d);
        break;
    case 8:
        drawPicture(d);
        break;
    default:
        drawBlocks(d);
        break;
    }
    if (scaled) {
        QPainter painter(&surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        // Whole multiples keep every pixel's edge sharp; others are smoothed rather than uneven.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, ratio != std::round(ratio));
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(client)), logical);
    }
    drawCaption(d, font, surface);
}

} // namespace UsageBarPainter
