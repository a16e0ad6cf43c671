// SPDX-License-Identifier: MIT
#pragma once

#include "JsonValue.h"
#include "StatusSink.h"
#include "UsageDataState.h"

// Turns the daily records of a usage reply ("data": one entry per day with its "period" and its
// "types") into the state's daily arrays, completes and tidies the column headers and works out the
// month's totals, used, left and percent values. Each day is read with its own traffic entries.
// False, with szLastError and szLastErrorDetail set, when a record cannot be read; what was filled
// before stays.
bool ParseDailyData(UsageDataState& state, const JsonValue& data, const StatusSink& status);

// A column header as shown: a trailing " usage" or "_usage" (any case) dropped, the first letter
// upper-cased.
QString TidyHeader(const QString& header);
