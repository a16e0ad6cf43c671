// SPDX-License-Identifier: MIT
#pragma once

#include <QList>

#include <cstdint>

// A rectangle as the bar's drawing works with it: right and bottom lie just outside.
struct BarRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool isEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const BarRect&, const BarRect&) = default;
};

// Where each style of the usage bar puts its parts, for a bar of width R and height B whose client
// rectangle starts at (0, 0). Percentages are whole numbers; every position is rounded once, to the
// nearest whole number with halves going to the even neighbour.
class UsageBarGeometry
{
public:
    UsageBarGeometry(int32_t width, int32_t height) : m_width(width), m_height(height) {}

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }

    // The nearest whole number, halves to even, held within the 32-bit range (NaN gives 0).
    static int32_t roundWhole(double value);
    // The share the bar shows: the stored percentage held within 0 to 100, so that a bar never
    // paints past its ends.
    static int32_t drawnPercent(int32_t stored);

    // Style 9 (glass): end of the fill lines, the band height h and the marker's end.
    int32_t glassFillEnd(int32_t percent) const;
    int32_t glassHalfHeight() const;
    int32_t glassMarkerEnd(int32_t marker) const;
    // The marker strip of style 9: 5 rows along the top for position 0, 4 along the bottom for
    // position 1, empty for any other position or a marker of 0 or less.
    BarRect markerStrip(int32_t position, int32_t marker) const;

    // Styles 0 to 2 (blocks, solid, searching; any other style number draws like style 1).
    struct BlockFill
    {
        BarRect fill;       // the filled part (left 3), after the raise to 12 when horizontal
        int32_t blockWidth; // 6 for style 0, else 0
        int32_t blockGap;   // 2
        int32_t bandEnd;    // x2: right end of the horizontal bands
    };
    BlockFill blockFill(int32_t scrolling, int32_t orientation, int32_t percent) const;
    // The white gaps between the blocks of style 0.
    QList<BarRect> blockGaps(const BlockFill& blocks, int32_t orientation) const;
    // Left (horizontal) or top (vertical) of block k (0 to 2) of the searching style.
    int32_t searchingBlockLeft(const BlockFill& blocks, int k, int32_t percent) const;
    int32_t searchingBlockTop(const BlockFill& blocks, int k) const;

    int32_t flatFillEnd(int32_t percent) const;   // style 3
    int32_t etchedCount(int32_t percent) const;   // style 4: gradient lines less one
    int32_t darkCount(int32_t percent) const;     // style 6: gradient lines less one
    int32_t shadedFillEnd(int32_t percent) const; // styles 5, 7 and 8 (a 101 scale)

    // The caption's box for a text of the given size, centred in the bar.
    BarRect captionBox(int32_t textWidth, int32_t textHeight) const;

private:
    int32_t m_width;
    int32_t m_height;
};
