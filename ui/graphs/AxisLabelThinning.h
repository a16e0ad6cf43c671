// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

// Qt's category axes either elide a label that does not fit or draw labels over one another.
// Ours are drawn whole; where whole labels would overlap, only every n-th is drawn.
namespace AxisLabelThinning {

// The smallest n for which labels thickness pixels thick, spacing pixels apart, drawn every n-th,
// leave room between them. 1 when there is no room to judge by yet.
int step(double spacing, double thickness);

// The labels with every step-th kept, from the first; the others give way to texts of zero width,
// each different, because a category axis tells its labels apart by their texts. Texts of a
// place are the same at every step.
QStringList thinned(const QStringList& labels, int step);

// Whether a label as thinned draws nothing.
bool isBlank(const QString& label);

} // namespace AxisLabelThinning
