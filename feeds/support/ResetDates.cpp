// SPDX-License-Identifier: MIT
#include "ResetDates.h"

#include <algorithm>

namespace ResetDates {

LocalDateTime in(int16_t resetDay, const LocalDateTime& day, int months)
{
    const QDate date = day.date();
    const QDate first = QDate(date.year(), date.month(), 1).addMonths(months);
    return LocalDateTime::fromDate(first.addDays(std::clamp(int(resetDay), 1, first.daysInMonth()) - 1));
}

} // namespace ResetDates
