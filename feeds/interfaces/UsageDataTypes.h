// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The value types of the UsageData interfaces, shared by both components.

// One element per day of the month; nothing (no array at all) before the first retrieval.
using DailyDates = std::optional<QList<LocalDateTime>>;
// Megabytes per day; nothing before the first retrieval.
using DailyValues = std::optional<QList<float>>;
// Six column headers: date, peak, off-peak, free zone, total, uploads.
using DailyHeaders = std::array<QString, 6>;
// Six month totals in the same column order.
using MonthTotals = std::array<float, 6>;

// Profiles are numbered 0 to this, on the command line, in the menus and in the components.
constexpr int16_t HighestProfileNumber = 30;
