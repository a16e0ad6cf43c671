// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QImage>

// The drawing of the tray's pictures: each function paints one picture into a square image of
// the given size. Lines and shapes scale with the size and snap to whole pixels where that keeps
// small sizes crisp.
namespace TrayPictures {
// The state colours: "ok", "warn", "over"; anything else is the grey of an unknown state.
QColor stateColour(const QString& state);

QImage meter(int size, const QColor& peak, const QColor& offPeak);
QImage error(int size);
// frame 1..9: a segment that goes once around in nine steps.
QImage working(int size, int frame);
QImage timer(int size, bool enabled);
QImage application(int size);
} // namespace TrayPictures
