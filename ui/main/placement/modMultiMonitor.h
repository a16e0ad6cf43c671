// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QRect>

#include <cstdint>

// A rectangle in pixels, edges as the window system reports them (right and bottom exclusive).
struct MonitorBounds
{
    int32_t left = 0;
    int32_t right = 0;
    int32_t top = 0;
    int32_t bottom = 0;
};

// The union of all attached monitors and the desktop's rectangle. The union comes in as the
// starting rectangle (zeros from most callers) and is only ever widened; when no monitor widened
// it sideways it becomes the desktop rectangle. Uses QGuiApplication::screens(); the desktop is
// the primary screen's virtual geometry.
void GetMonitorBounds(MonitorBounds& unionBounds, MonitorBounds& desktop);

// The same from given monitor rectangles and desktop rectangle, so it can run without screens.
void GetMonitorBounds(const QList<QRect>& monitors, const QRect& desktopRect, MonitorBounds& unionBounds,
                      MonitorBounds& desktop);
