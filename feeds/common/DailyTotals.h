// SPDX-License-Identifier: MIT
#pragma once

#include "StatusSink.h"
#include "UsageDataState.h"

#include <QString>

// Month arithmetic shared by both components once a retrieval has filled the daily arrays.

// Adds up the daily arrays into arrayDailyTotals and arrayTotals; on a run-time error raises Status
// title & ".CalculateTotals: error [n] d" at level 1 and leaves the month totals unwritten.
void CalculateTotals(UsageDataState& state, const QString& title, const StatusSink& status);

// sngUsed*/sngLeft*/sngPct* from arrayTotals and the quotas (the caller's step after
// CalculateTotals, identical in both components).
void ApplyMonthTotals(UsageDataState& state);

// Drops a trailing " quota" (any case) from a provider's traffic-class name.
QString CleanClassificationName(const QString& name);
