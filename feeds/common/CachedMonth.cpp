// SPDX-License-Identifier: MIT
#include "CachedMonth.h"

#include "ResetDates.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace CachedMonth {

std::optional<QString> mismatch(const UsageDataState& month, const LocalDateTime& asked)
{
    if (!month.arrayDailyDates || month.arrayDailyDates->isEmpty())
        return std::nullopt;
    const int16_t resetDay =
        month.intAnniversaryDate >= 1 && month.intAnniversaryDate <= 31 ? month.intAnniversaryDate : int16_t(1);
    const LocalDateTime first = ResetDates::in(resetDay, asked);
    const LocalDateTime next = ResetDates::in(resetDay, asked, 1);
    const auto [earliest, latest] = std::minmax_element(month.arrayDailyDates->begin(), month.arrayDailyDates->end());
    if (earliest->dateOnly() >= first && latest->dateOnly() < next)
        return std::nullopt;
    return u"no cached data for the month from "_s + first.toDateString() + u" to "_s +
           next.addDays(-1).toDateString() + u": the cached days run from "_s + earliest->toDateString() + u" to "_s +
           latest->toDateString();
}

} // namespace CachedMonth
