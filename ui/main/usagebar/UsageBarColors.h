// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPalette>
#include <QRgb>

#include <cstdint>

// Colours of the usage bar are 24-bit references in the order 0x00BBGGRR (red in the low byte). A
// reference with the top bit set names system colour n (0x80000000 + n), which the bar resolves
// through a QPalette, the stand-in for the desktop's system colours.
namespace UsageBarColors {

inline constexpr uint32_t SystemColorFlag = 0x80000000u;
inline constexpr uint32_t SysHighlight = SystemColorFlag + 13;
inline constexpr uint32_t SysButtonFace = SystemColorFlag + 15;
inline constexpr uint32_t SysButtonShadow = SystemColorFlag + 16;
inline constexpr uint32_t SysButtonHighlight = SystemColorFlag + 20;
inline constexpr uint32_t SysDarkShadow = SystemColorFlag + 21;
inline constexpr uint32_t SysLight = SystemColorFlag + 22;

inline constexpr int red(uint32_t colour)
{
    return int(colour & 0xFFu);
}
inline constexpr int green(uint32_t colour)
{
    return int((colour >> 8) & 0xFFu);
}
inline constexpr int blue(uint32_t colour)
{
    return int((colour >> 16) & 0xFFu);
}
inline constexpr uint32_t fromChannels(int r, int g, int b)
{
    return uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16);
}

// A plain reference as an opaque pixel value, and back (the alpha byte is dropped).
inline constexpr QRgb toRgb(uint32_t colour)
{
    return qRgb(red(colour), green(colour), blue(colour));
}
inline constexpr uint32_t fromRgb(QRgb rgb)
{
    return fromChannels(qRed(rgb), qGreen(rgb), qBlue(rgb));
}
inline uint32_t fromQColor(const QColor& colour)
{
    return fromRgb(colour.rgb());
}

// The palette's colour for system colour number index; 0x000000 for a number the desktop does not
// have, as the platform answers for those.
uint32_t systemColor(uint32_t index, const QPalette& palette);

// A system colour reference resolved to its plain colour; a plain reference comes back unchanged.
uint32_t TranslateSysColor(uint32_t colour, const QPalette& palette);

// Each channel k becomes min(255, k * (255 - a) / 255 + a) with a whole-number division, a from 0
// (unchanged) to 255 (white).
uint32_t LightenColor(uint32_t colour, int amount);

// Each channel round(a * k1 / 255 + (255 - a) * k2 / 255), halves to even; both colours resolved
// first. Against black it darkens c1 to a/255 of its brightness.
uint32_t GradientColor(uint32_t colour1, uint32_t colour2, int amount, const QPalette& palette);

} // namespace UsageBarColors
