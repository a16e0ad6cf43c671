// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Usage figures as the history database keeps them: two decimals, a half rounded away from zero,
// taken from the seven significant digits a single holds (1234.565 gives 1234.57). The store, the
// exports, the feed converters and the read-back all round here, so a month carries one set of
// figures whether it came from the provider or from the database.
namespace TwoDecimals {

// The text the database and the exports are given: "1234.57", "-0.50", "0.00".
QString text(float value);
// The number that text stands for, as the database holds it.
double stored(float value);
// A figure as the month holds it once stored and read back.
float figure(float value);
// A sum of stored figures has two decimals; brought back to them, so that neither the order of
// the additions nor their rounding shows in the single it becomes.
float sum(double total);

} // namespace TwoDecimals
