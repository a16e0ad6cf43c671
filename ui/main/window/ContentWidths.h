// SPDX-License-Identifier: MIT
#pragma once

struct MainControls;

// The main window's layout is measured in twips for a narrow dialog font. Desktop fonts are wider,
// so the boxes are given the width their longest texts need in the window's font, and the window
// grows as a whole by as much as its summary page then needs: a twip is counted against the font,
// as dialog units are.
namespace ContentWidths {
// Gives each summary and account box the width its longest text needs.
void fitBoxes(MainControls& ui);
// How many times wider than designed (at least 1) the tabs must be for the summary page to show
// every box whole, given the pixels the design gives them.
double widening(const MainControls& ui, int designTabPixels);
} // namespace ContentWidths
