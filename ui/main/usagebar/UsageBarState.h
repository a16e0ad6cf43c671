// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

// The properties of one usage bar, as the painter reads them. A new bar starts with these values.
struct UsageBarState
{
    uint32_t Color = 0; // already resolved to a plain colour (0x00BBGGRR)
    int32_t Max = 100;
    int32_t Min = 0;
    int32_t percent = 0;      // the stored position, a whole percentage
    int32_t Scrolling = 0;    // drawing style 0 to 9
    int32_t Orientation = 0;  // 0 horizontal, else vertical (styles 0 to 2)
    int32_t BrushStyle = 4;   // hatch style of style 7
    QImage Image;             // pattern of style 8
    int16_t CaptionStyle = 1; // 0 none, 1 Caption, 2 the percentage
    QString Caption;
    bool MarkerVisible = false;
    int32_t MarkerPosition = 0;      // 0 strip along the top, 1 along the bottom, else none
    uint32_t MarkerColor = 0xFF0000; // may name a system colour; resolved when drawn
    int32_t Marker = 0;              // a whole percentage of the bar's length
};
