// SPDX-License-Identifier: MIT
#pragma once

#include <QList>

class QChart;
class QLegendMarker;

// Qt's legend lays its entries out from the top and clips those it has no room for, one of them
// through its middle. Ours shows only whole entries: those that do not fit are left out from the
// last one up (the lines come last, and the check boxes below the chart name every line).
namespace LegendFit {

// Shows as many of entries, from the first, as the chart's legend holds whole at the chart's
// present size, and hides the others. entries are the legend's markers in the legend's order.
void showWholeEntries(QChart* chart, const QList<QLegendMarker*>& entries);

} // namespace LegendFit
