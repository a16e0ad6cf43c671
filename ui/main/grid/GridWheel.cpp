// SPDX-License-Identifier: MIT
#include "GridWheel.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace GridWheel {

int linesPerNotch(const QString& linesSetting, int span)
{
    double lines = 0;
    const QString setting = linesSetting.trimmed();
    if (setting == u"-2"_s) {
        lines = std::nearbyint(span * 0.5);
    } else if (setting == u"-1"_s) {
        lines = span - 1;
    } else {
        static const QRegularExpression leadingNumber(u"^[-+]?\\d+"_s);
        const QRegularExpressionMatch match = leadingNumber.match(setting);
        lines = match.hasMatch() ? std::abs(match.captured().toDouble()) : 0;
        if (lines >= span)
            lines = span - 1;
    }
    return int(std::max(lines, 1.0));
}

int targetTopRow(int top, int span, int rows, int delta, int keyState, const QString& linesSetting)
{
    if ((keyState & LeftButton) != 0 || delta == 0)
        return top;
    const int direction = delta > 0 ? 1 : -1;
    const int divisor = (keyState & 0xFFFF) / 4 + 1;
    int target = int(std::nearbyint(top - direction * double(linesPerNotch(linesSetting, span)) / divisor));
    if (target == top)
        target = top - direction;
    return std::clamp(target, 1, std::max(1, rows - 1));
}

} // namespace GridWheel
