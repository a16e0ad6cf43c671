// SPDX-License-Identifier: MIT
#include "AxisLabelThinning.h"

#include <algorithm>
#include <cmath>

namespace AxisLabelThinning {

int step(double spacing, double thickness)
{
    if (!(spacing > 0) || !(thickness > 0) || !std::isfinite(spacing) || !std::isfinite(thickness))
        return 1;
    const double needed = std::ceil(thickness / spacing);
    return needed >= 1e6 ? 1000000 : std::max(1, int(needed));
}

QList<qsizetype> keptPlaces(qsizetype count, int step)
{
    const qsizetype span = count - 1;
    if (span <= 0)
        return span == 0 ? QList<qsizetype>{0} : QList<qsizetype>{};
    const qsizetype most = std::max<qsizetype>(1, span / std::max(1, step));
    // Steps of one length where that keeps at least half the labels that would fit; else steps
    // that differ by one at most.
    qsizetype gaps = most;
    for (qsizetype exact = most; exact * 2 >= most; --exact) {
        if (span % exact == 0) {
            gaps = exact;
            break;
        }
    }
    QList<qsizetype> places;
    for (qsizetype j = 0; j <= gaps; ++j)
        places.append(j * span / gaps);
    return places;
}

} // namespace AxisLabelThinning
