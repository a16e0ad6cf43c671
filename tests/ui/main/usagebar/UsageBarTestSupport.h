// SPDX-License-Identifier: MIT
#pragma once

#include "UsageBarColors.h"
#include "ctlUsageBar.h"

#include <QImage>

#include <cstdint>
#include <memory>

namespace UsageBarTestSupport {

// The pixel as a 0x00BBGGRR reference, for comparing with the bar's colours.
inline uint32_t at(const QImage& image, int x, int y)
{
    return UsageBarColors::fromRgb(image.pixel(x, y));
}

// A bar of the style in the colour, without caption, at the stored percentage.
inline std::unique_ptr<ctlUsageBar> makeBar(int32_t style, uint32_t colour, int32_t percent)
{
    auto bar = std::make_unique<ctlUsageBar>();
    bar->setScrolling(style);
    bar->setColor(colour);
    bar->setCaptionStyle(0);
    bar->setValue(percent);
    return bar;
}

} // namespace UsageBarTestSupport
