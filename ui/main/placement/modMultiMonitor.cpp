// SPDX-License-Identifier: MIT
#include "modMultiMonitor.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {
// Window-system edges: right and bottom lie just past the last pixel.
int32_t rightEdge(const QRect& rect)
{
    return rect.x() + rect.width();
}

int32_t bottomEdge(const QRect& rect)
{
    return rect.y() + rect.height();
}
} // namespace

void GetMonitorBounds(const QList<QRect>& monitors, const QRect& desktopRect, MonitorBounds& unionBounds,
                      MonitorBounds& desktop)
{
    // The desktop is measured from the origin whatever its own corner says.
    desktop.left = 0;
    desktop.top = 0;
    desktop.right = desktopRect.isValid() ? rightEdge(desktopRect) : 0;
    desktop.bottom = desktopRect.isValid() ? bottomEdge(desktopRect) : 0;

    for (const QRect& monitor : monitors) {
        // A screen without a size is not attached to the desktop.
        if (!monitor.isValid())
            continue;
        unionBounds.left = std::min(unionBounds.left, monitor.x());
        unionBounds.top = std::min(unionBounds.top, monitor.y());
        unionBounds.right = std::max(unionBounds.right, rightEdge(monitor));
        unionBounds.bottom = std::max(unionBounds.bottom, bottomEdge(monitor));
    }

    if (unionBounds.left == 0 && unionBounds.right == 0)
        unionBounds = MonitorBounds{0, desktop.right, 0, desktop.bottom};
}

void GetMonitorBounds(MonitorBounds& unionBounds, MonitorBounds& desktop)
{
    QList<QRect> monitors;
    QRect desktopRect;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        const QList<QScreen*> screens = QGuiApplication::screens();
        monitors.reserve(screens.size());
        for (const QScreen* screen : screens)
            monitors.append(screen->geometry());
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            desktopRect = primary->virtualGeometry();
            if (!desktopRect.isValid())
                desktopRect = primary->geometry();
        }
    }
    GetMonitorBounds(monitors, desktopRect, unionBounds, desktop);
}
