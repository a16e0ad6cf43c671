// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class ctlUsageBar;
class LogFrontEnd;
struct Settings;
struct qoMonth;

// Shows the month's peak and off-peak usage on the two bars: value, caption, colour, the
// elapsed-time marker and a tooltip saying how far the usage is from the target.
void UpdateProgressBar(const qoMonth& month, ctlUsageBar& peak, ctlUsageBar& offPeak, const Settings& settings,
                       LogFrontEnd& log);

// The bar caption of a percentage: one decimal with a '.', padded to line the figures up. The bar
// itself drops the padding from its caption.
QString progressBarCaption(float percent);
