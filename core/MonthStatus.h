// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// The state of a traffic class: "ok" (no quota, or use not ahead of the time gone), "warn" (use
// ahead of the time gone) or "over" (past the quota). It also names the tray picture.
QString GetUsageStatus(float quota, float elapsed, float percent);
// The display text of a shaping state; speed is the plan's shaping speed in kbit/s.
QString GetShapingStatusText(int16_t status, const QString& speed);
// b when a <= b, else a.
double MaxValue(double a, double b);
