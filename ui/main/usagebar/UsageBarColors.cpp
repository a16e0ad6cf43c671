// SPDX-License-Identifier: MIT
#include "UsageBarColors.h"

#include "UsageBarGeometry.h"

#include <algorithm>
#include <iterator>

namespace UsageBarColors {

namespace {
struct SystemRole
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Numbers 0 to 30 of the desktop's system colours, each with the palette role that plays its part
// on a Qt desktop. Number 25 is unused on the platform and reads as black.
constexpr SystemRole kSystemRoles[] = {
    {QPalette::Active, QPalette::Button},            // 0 scroll bar
    {QPalette::Active, QPalette::Window},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},         // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    {QPalette::Active, QPalette::Window},            // 4 menu
    {QPalette::Active, QPalette::Base},              // 5 window background
    {QPalette::Active, QPalette::Shadow},            // 6 window frame
    {QPalette::Active, QPalette::WindowText},        // 7 menu text
    {QPalette::Active, QPalette::Text},              // 8 window text
    {QPalette::Active, QPalette::HighlightedText},   // 9 caption text
    {QPalette::Active, QPalette::Window},            // 10 active border
    {QPalette::Inactive, QPalette::Window},          // 11 inactive border
    {QPalette::Active, QPalette::Dark},              // 12 application workspace
    {QPalette::Active, QPalette::Highlight},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},   // 14 highlighted text
    {QPalette::Active, QPalette::Button},            // 15 button face
    {QPalette::Active, QPalette::Dark},              // 16 button shadow
    {QPalette::Disabled, QPalette::Text},            // 17 grey text
    {QPalette::Active, QPalette::ButtonText},        // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active, QPalette::Light},             // 20 button highlight
    {QPalette::Active, QPalette::Shadow},            // 21 dark shadow
    {QPalette::Active, QPalette::Midlight},          // 22 light
    {QPalette::Active, QPalette::ToolTipText},       // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase},       // 24 tooltip background
    {QPalette::Active, QPalette::NoRole},            // 25 unused
    {QPalette::Active, QPalette::Link},              // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},         // 27 active caption gradient
    {QPalette::Inactive, QPalette::Highlight},       // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},         // 29 highlighted menu item
    {QPalette::Active, QPalette::Window},            // 30 menu bar
};
} // namespace

uint32_t systemColor(uint32_t index, const QPalette& palette)
{
    if (index >= std::size(kSystemRoles) || kSystemRoles[index].role == QPalette::NoRole)
        return 0x000000;
    const SystemRole& entry = kSystemRoles[index];
    return fromQColor(palette.color(entry.group, entry.role));
}

uint32_t TranslateSysColor(uint32_t colour, const QPalette& palette)
{
    if (colour & SystemColorFlag)
        return systemColor(colour & ~SystemColorFlag, palette);
    return colour;
}

uint32_t LightenColor(uint32_t colour, int amount)
{
    const auto lighten = [amount](int channel) { return std::min(255, channel * (255 - amount) / 255 + amount); };
    return fromChannels(lighten(red(colour)), lighten(green(colour)), lighten(blue(colour)));
}

uint32_t GradientColor(uint32_t colour1, uint32_t colour2, int amount, const QPalette& palette)
{
    const uint32_t c1 = TranslateSysColor(colour1, palette);
    const uint32_t c2 = TranslateSysColor(colour2, palette);
    const auto mix = [amount](int k1, int k2) {
        const double value = amount * double(k1) / 255.0 + (255 - amount) * double(k2) / 255.0;
        return std::clamp(UsageBarGeometry::roundWhole(value), 0, 255);
    };
    return fromChannels(mix(red(c1), red(c2)), mix(green(c1), green(c2)), mix(blue(c1), blue(c2)));
}

} // namespace UsageBarColors
