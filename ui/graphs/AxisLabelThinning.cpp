// SPDX-License-Identifier: MIT
#include "AxisLabelThinning.h"

#include <cmath>

namespace {
constexpr QChar ZeroWidthSpace(0x200B);
}

namespace AxisLabelThinning {

int step(double spacing, double thickness)
{
    if (!(spacing > 0) || !(thickness > 0) || !std::isfinite(spacing) || !std::isfinite(thickness))
        return 1;
    const double needed = std::ceil(thickness / spacing);
    return needed >= 1e6 ? 1000000 : std::max(1, int(needed));
}

QStringList thinned(const QStringList& labels, int step)
{
    // A blank's text follows from its place alone, so that relabelling from one step to another
    // never gives a label a text that another label still has.
    QStringList result;
    result.reserve(labels.size());
    for (qsizetype i = 0; i < labels.size(); ++i)
        result.append(step <= 1 || i % step == 0 ? labels.at(i) : QString(i + 1, ZeroWidthSpace));
    return result;
}

bool isBlank(const QString& label)
{
    for (const QChar c : label) {
        if (c != ZeroWidthSpace && !c.isSpace())
            return false;
    }
    return true;
}

} // namespace AxisLabelThinning
