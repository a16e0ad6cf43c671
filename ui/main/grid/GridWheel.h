// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where one notch of the mouse wheel takes the grid's top row.
namespace GridWheel {

// Key and button state bits of a wheel notch.
inline constexpr int LeftButton = 0x1;
inline constexpr int Shift = 0x4;
inline constexpr int Control = 0x8;
inline constexpr int MiddleButton = 0x10;

// Rows per notch from the Lines setting: "-2" half the visible span, "-1" the span less one,
// else the number the text starts with (capped below the span); at least 1. Halves round to even.
int linesPerNotch(const QString& linesSetting, int span);
// The new top row (grid rows, 1 = first day; rows = all rows with the titles) for a notch turned
// away from the user when delta > 0. Shift halves the step, Control makes it a third, both a
// quarter, the middle button a fifth; with the left button held the grid stays where it is.
int targetTopRow(int top, int span, int rows, int delta, int keyState, const QString& linesSetting);

} // namespace GridWheel
