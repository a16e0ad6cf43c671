// SPDX-License-Identifier: MIT
#include "UsageBarGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// The fill of styles 0 to 2 and 9 starts inside a three-pixel frame.
constexpr int32_t kInnerLeft = 3;
} // namespace

int32_t UsageBarGeometry::roundWhole(double value)
{
    if (std::isnan(value))
        return 0;
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    constexpr double lowest = std::numeric_limits<int32_t>::min();
    constexpr double highest = std::numeric_limits<int32_t>::max();
    return int32_t(std::clamp(rounded, lowest, highest));
}

int32_t UsageBarGeometry::drawnPercent(int32_t stored)
{
    return std::clamp(stored, 0, 100);
}

int32_t UsageBarGeometry::glassFillEnd(int32_t percent) const
{
    constexpr int32_t left = 2;
    return roundWhole(percent / 100.0 * (m_width - left - 4) + left + 1);
}

int32_t UsageBarGeometry::glassHalfHeight() const
{
    return roundWhole((m_height - 3) / 2.0);
}

int32_t UsageBarGeometry::glassMarkerEnd(int32_t marker) const
{
    return roundWhole(marker / 100.0 * (m_width - kInnerLeft - 4) + kInnerLeft + 1);
}

BarRect UsageBarGeometry::markerStrip(int32_t position, int32_t marker) const
{
    if (marker <= 0)
        return {};
    // A marker past the month's end would otherwise run into the frame.
    const int32_t end = glassMarkerEnd(std::min(marker, 100));
    if (position == 0)
        return {kInnerLeft, 0, end, 5};
    if (position == 1)
        return {kInnerLeft, m_height - 4, end, m_height};
    return {};
}

UsageBarGeometry::BlockFill UsageBarGeometry::blockFill(int32_t scrolling, int32_t orientation, int32_t percent) const
{
    BlockFill blocks{{kInnerLeft, 0, m_width, m_height}, scrolling == 0 ? 6 : 0, 2, 0};
    const int32_t step = blocks.blockWidth + blocks.blockGap;
    // 98 rather than 100: a full bar reaches the frame.
    double share = std::max(0.0, percent / 98.0);
    BarRect& fill = blocks.fill;
    if (orientation == 0) {
        const int32_t x = roundWhole((m_width - kInnerLeft) * share + kInnerLeft);
        fill.right = std::max(kInnerLeft, x - (x - fill.left) % step);
        // A short piece of bar shows even at 0 %.
        if (fill.right < 15)
            fill.right = 12;
        blocks.bandEnd = fill.right + 4 > m_width ? fill.right - 4 : fill.right;
    } else {
        share = 1.0 - share;
        const int32_t y = roundWhole(m_height * share);
        // C++'s remainder takes the dividend's sign, as the block raster needs.
        fill.top = std::min(m_height, y - (y - fill.bottom) % step);
        blocks.bandEnd = fill.right;
    }
    return blocks;
}

QList<BarRect> UsageBarGeometry::blockGaps(const BlockFill& blocks, int32_t orientation) const
{
    QList<BarRect> gaps;
    const int32_t w = blocks.blockWidth;
    const int32_t g = blocks.blockGap;
    if (orientation == 0) {
        for (int32_t x = blocks.fill.left + w; x <= blocks.fill.right; x += w + g)
            gaps.append({x + 1, 0, x + 1 + g, m_height});
    } else {
        for (int32_t y = blocks.fill.bottom; y >= blocks.fill.top + w; y -= w + g)
            gaps.append({kInnerLeft, y - 2, m_width, y - 2 + g});
    }
    return gaps;
}

int32_t UsageBarGeometry::searchingBlockLeft(const BlockFill& blocks, int k, int32_t percent) const
{
    return roundWhole(blocks.fill.right + (blocks.blockGap + 10) * k - (100 - percent) / 100.0 * 45);
}

int32_t UsageBarGeometry::searchingBlockTop(const BlockFill& blocks, int k) const
{
    return blocks.fill.top + (blocks.blockGap + 10) * k;
}

int32_t UsageBarGeometry::flatFillEnd(int32_t percent) const
{
    return roundWhole(percent / 100.0 * m_width);
}

int32_t UsageBarGeometry::etchedCount(int32_t percent) const
{
    return roundWhole(percent / 100.0 * (m_width - 4));
}

int32_t UsageBarGeometry::darkCount(int32_t percent) const
{
    return roundWhole(percent / 100.0 * (m_width - 5));
}

int32_t UsageBarGeometry::shadedFillEnd(int32_t percent) const
{
    return roundWhole(percent / 101.0 * m_width);
}

BarRect UsageBarGeometry::captionBox(int32_t textWidth, int32_t textHeight) const
{
    const int32_t left = roundWhole(m_width / 2.0 - textWidth / 2.0);
    const int32_t top = roundWhole(m_height / 2.0 - textHeight / 2.0);
    return {left, top, left + textWidth, top + textHeight};
}
