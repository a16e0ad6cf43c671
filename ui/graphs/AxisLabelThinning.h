// SPDX-License-Identifier: MIT
#pragma once

#include <QList>

// Qt's category axes either elide a label that does not fit or draw labels over one another.
// Ours are drawn whole; where whole labels would overlap, only some of them are drawn.
namespace AxisLabelThinning {

// The smallest n for which labels thickness pixels thick, spacing pixels apart, drawn n places
// apart, leave room between them. 1 when there is no room to judge by yet.
int step(double spacing, double thickness);

// The places of the labels drawn out of count when drawn ones must lie at least step places
// apart: always the first and the last, and as many between as fit, evenly spread.
QList<qsizetype> keptPlaces(qsizetype count, int step);

} // namespace AxisLabelThinning
