// SPDX-License-Identifier: MIT
#pragma once

#include "UsageBarState.h"

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QSize>

// The one drawing routine of the usage bar: the whole bar of the given client size (logical pixels),
// drawn into the top-left corner of surface (an RGB32 image at least client x ratio pixels large),
// for the window and for tests alike. The stored percentage is drawn held within 0 to 100.
// The bar's figures are set in whole logical pixels: on a scaled screen they are drawn so and
// enlarged to the device pixels, and the caption is drawn over them in device pixels, smoothed.
namespace UsageBarPainter {

// The caption text the bar shows for its state (empty for caption style 0 and unknown styles).
QString captionText(const UsageBarState& state);

void paint(const UsageBarState& state, const QFont& font, const QPalette& palette, QImage& surface, QSize client,
           qreal ratio = 1.0);

} // namespace UsageBarPainter
