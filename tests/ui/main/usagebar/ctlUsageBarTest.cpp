// SPDX-License-Identifier: MIT
#include "ctlUsageBar.h"
#include "RunTimeError.h"
#include "UsageBarColors.h"
#include "UsageBarPainter.h"
#include "UsageBarTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;
using UsageBarTestSupport::at;
using UsageBarTestSupport::makeBar;

namespace {
// The number of the run-time error the action raises, 0 when it raises none.
int32_t errorNumber(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RunTimeError& error) {
        return error.number();
    }
    return 0;
}
} // namespace

TEST(ctlUsageBar, ANewBarHasItsDefaults)
{
    ctlUsageBar bar;
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(bar.Orientation(), 0);
    EXPECT_EQ(bar.Scrolling(), 0);
    EXPECT_EQ(bar.BrushStyle(), 4);
    EXPECT_EQ(bar.Color(), UsageBarColors::fromQColor(bar.palette().color(QPalette::Active, QPalette::Highlight)));
    EXPECT_TRUE(bar.Image().isNull());
    EXPECT_EQ(bar.CaptionStyle(), 1);
    EXPECT_EQ(bar.Caption(), QString());
    EXPECT_FALSE(bar.MarkerVisible());
    EXPECT_EQ(bar.MarkerPosition(), 0);
    EXPECT_EQ(bar.MarkerColor(), 0xFF0000u);
    EXPECT_EQ(bar.Marker(), 0.0f);
    EXPECT_EQ(bar.Font(), bar.font());
}

TEST(ctlUsageBar, ColourIsResolvedOnSettingButTheMarkerColourIsNot)
{
    ctlUsageBar bar;
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Highlight, QColor(0x11, 0x22, 0x33));
    palette.setColor(QPalette::Button, QColor(0x44, 0x55, 0x66));
    bar.setPalette(palette);
    bar.setColor(0x8000000F);
    EXPECT_EQ(bar.Color(), 0x665544u);
    bar.setColor(0x18EE00);
    EXPECT_EQ(bar.Color(), 0x18EE00u);
    bar.setMarkerColor(0x8000000D);
    EXPECT_EQ(bar.MarkerColor(), 0x8000000Du);
}

TEST(ctlUsageBar, ValueIsStoredAsAWholePercentage)
{
    ctlUsageBar bar;
    bar.setValue(57);
    EXPECT_EQ(bar.storedPercent(), 57);
    EXPECT_EQ(bar.Value(), 57);

    bar.setMax(200);
    EXPECT_EQ(bar.Value(), 114); // the percentage stays; Max only scales the reading
    bar.setValue(57);
    EXPECT_EQ(bar.storedPercent(), 28); // 28.5 goes to the even 28
    EXPECT_EQ(bar.Value(), 56);

    // A Min above 0 shifts the range, and the value reads back as set.
    bar.setMin(20);
    bar.setMax(120);
    bar.setValue(70);
    EXPECT_EQ(bar.storedPercent(), 50);
    EXPECT_EQ(bar.Value(), 70);
}

TEST(ctlUsageBar, ValuesAboveTheTopAreHeldAtAFullBar)
{
    ctlUsageBar bar;
    bar.setValue(150);
    EXPECT_EQ(bar.storedPercent(), 100);
    EXPECT_EQ(bar.Value(), 100);
    bar.setValue(21474836); // the largest whose product with 100 fits
    EXPECT_EQ(bar.Value(), 100);

    // Below the bottom the value is kept but the bar draws empty.
    bar.setScrolling(9);
    bar.setCaptionStyle(0);
    bar.setValue(-5);
    EXPECT_EQ(bar.storedPercent(), -5);
    const QImage below = bar.renderToImage({200, 17});
    bar.setValue(0);
    EXPECT_EQ(below, bar.renderToImage({200, 17}));
}

TEST(ctlUsageBar, AnEmptyRangeNeverDivides)
{
    ctlUsageBar bar;
    bar.setValue(40);
    bar.setMax(0);
    EXPECT_EQ(errorNumber([&] { bar.setValue(50); }), 11);
    EXPECT_EQ(bar.storedPercent(), 40);
    // Reading needs no division.
    EXPECT_EQ(bar.Value(), 0);

    bar.setMin(30);
    bar.setMax(30);
    EXPECT_EQ(errorNumber([&] { bar.setValue(30); }), 11);
    EXPECT_EQ(bar.storedPercent(), 40);
    EXPECT_FALSE(bar.renderToImage({50, 17}).isNull());
}

TEST(ctlUsageBar, OutOfRangeNumbersAreOverflows)
{
    ctlUsageBar bar;
    bar.setValue(30);
    EXPECT_EQ(errorNumber([&] { bar.setValue(21474837); }), 6);
    EXPECT_EQ(errorNumber([&] { bar.setValue(-21474837); }), 6);
    EXPECT_EQ(bar.storedPercent(), 30);

    EXPECT_EQ(errorNumber([&] { bar.setCaptionStyle(32768); }), 6);
    EXPECT_EQ(bar.CaptionStyle(), 1);
    bar.setCaptionStyle(-32768);
    EXPECT_EQ(bar.CaptionStyle(), -32768);

    EXPECT_EQ(errorNumber([&] { bar.setMarker(3e9f); }), 6);
    EXPECT_EQ(errorNumber([&] { bar.setMarker(std::nanf("")); }), 6);
    EXPECT_EQ(bar.Marker(), 0.0f);
}

TEST(ctlUsageBar, MarkerIsRoundedHalvesToEven)
{
    ctlUsageBar bar;
    bar.setMarker(57.5f);
    EXPECT_EQ(bar.Marker(), 58.0f);
    bar.setMarker(56.5f);
    EXPECT_EQ(bar.Marker(), 56.0f);
    bar.setMarker(33.49f);
    EXPECT_EQ(bar.Marker(), 33.0f);
    bar.setMarker(-0.5f);
    EXPECT_EQ(bar.Marker(), 0.0f);
}

TEST(ctlUsageBar, CaptionIsStoredWithoutSurroundingBlanks)
{
    ctlUsageBar bar;
    bar.setCaption(u"   5.3%  "_s);
    EXPECT_EQ(bar.Caption(), u"5.3%"_s);
    bar.setCaption(u"  "_s);
    EXPECT_EQ(bar.Caption(), QString());
    bar.setCaption(u"\tx "_s);
    EXPECT_EQ(bar.Caption(), u"\tx"_s);
}

TEST(ctlUsageBar, CaptionTextByStyle)
{
    UsageBarState state;
    state.Caption = u"unlimited"_s;
    state.percent = 57;
    state.CaptionStyle = 1;
    EXPECT_EQ(UsageBarPainter::captionText(state), u"unlimited"_s);
    state.CaptionStyle = 2;
    EXPECT_EQ(UsageBarPainter::captionText(state), u"57 %"_s);
    state.percent = 150;
    EXPECT_EQ(UsageBarPainter::captionText(state), u"100 %"_s);
    state.Scrolling = 2;
    EXPECT_EQ(UsageBarPainter::captionText(state), u"Searching.."_s);
    state.CaptionStyle = 0;
    EXPECT_EQ(UsageBarPainter::captionText(state), QString());
    state.CaptionStyle = 7;
    EXPECT_EQ(UsageBarPainter::captionText(state), QString());
}

TEST(ctlUsageBar, TheWindowShowsWhatTheImageShows)
{
    auto bar = makeBar(9, 0x18EE00, 57);
    bar->setCaptionStyle(1);
    bar->setCaption(u"57.0%"_s);
    bar->setMarkerVisible(true);
    bar->setMarker(40);
    bar->resize(200, 17);
    const QImage onScreen = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(onScreen, bar->renderToImage({200, 17}));

    // A smaller bar keeps its larger off-screen image and shows only its own part of it.
    bar->resize(150, 15);
    const QImage smaller = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(smaller, bar->renderToImage({150, 15}));
    EXPECT_TRUE(bar->renderToImage({0, 15}).isNull());
}

TEST(ctlUsageBar, pDrawCopiesTheOffScreenImage)
{
    auto bar = makeBar(3, 0x0000FF, 50);
    bar->resize(120, 24);
    (void)bar->grab(); // one paint fills the off-screen image
    QImage target(40, 10, QImage::Format_RGB32);
    target.fill(Qt::black);
    {
        QPainter painter(&target);
        bar->pDraw(painter, 58, 0, 4, 3, 10, 2);
    }
    // Columns 58 and 59 are the fill, 60 and 61 the white rest; row 0 is the outline.
    EXPECT_EQ(at(target, 10, 2), 0x6464FFu);
    EXPECT_EQ(at(target, 10, 3), 0xB4B4FFu);
    EXPECT_EQ(at(target, 12, 3), 0xFFFFFFu);
    EXPECT_EQ(at(target, 14, 3), 0x000000u);
    EXPECT_EQ(at(target, 10, 5), 0x000000u);
}
