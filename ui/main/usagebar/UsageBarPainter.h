// SPDX-License-Identifier: MIT
#pragma once

#include "UsageBarState.h"

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QSize>

// The one drawing routine of the usage bar: the whole bar of the given client size, drawn into the
// top-left corner of surface (an RGB32 image at least that large), for the window and for tests
// alike. The stored percentage is drawn held within 0 to 100.
namespace UsageBarPainter {

// The caption text the bar shows for its state (empty for caption style 0 and unknown styles).
QString captionText(const UsageBarState& state);

void paint(const UsageBarState& state, const QFont& font, const QPalette& palette, QImage& surface, QSize client);

} // namespace UsageBarPainter
