// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

struct qoMonth;

// The texts of the tray icon's tooltip after a refresh. Pure.
namespace TrayToolTip {
// "<product> [<user without domain, or unknown>]: "
QString prefix(const QString& productName, const QString& username);
// The peak line and, for a plan with an off-peak class, the off-peak line: the shaping state,
// or used / quota MB (percent), or used MB / unlimited.
QString usageLines(const qoMonth& month, bool commaSeparators);
// CRLF "last refresh: " and the month's last update; empty when it has none.
QString lastRefreshLine(const qoMonth& month);
// A percentage with no decimals, halves away from zero.
QString wholePercent(float percent);
} // namespace TrayToolTip
