// SPDX-License-Identifier: MIT
#include "BillingMonth.h"

#include "ResetDates.h"
#include "qoMonth.h"

#include <map>

BillingMonth BillingMonth::from(const LocalDateTime& first, int16_t resetDay)
{
    const LocalDateTime start = first.dateOnly();
    if (resetDay <= 0)
        return {start, start.addMonths(1), 0};
    return {start, ResetDates::in(resetDay, start, 1), resetDay};
}

BillingMonth BillingMonth::startingIn(int16_t resetDay, const LocalDateTime& day)
{
    return from(ResetDates::in(resetDay, day), resetDay);
}

BillingMonth BillingMonth::containing(int16_t resetDay, const LocalDateTime& day)
{
    const LocalDateTime reset = ResetDates::in(resetDay, day);
    return from(reset <= day.dateOnly() ? reset : ResetDates::in(resetDay, day, -1), resetDay);
}

BillingMonth BillingMonth::holdingMost(int16_t resetDay, const QList<LocalDateTime>& days)
{
    std::map<LocalDateTime, qsizetype> listed;
    for (const LocalDateTime& day : days)
        ++listed[containing(resetDay, day).first];
    LocalDateTime chosen;
    qsizetype most = 0;
    for (const auto& [first, count] : listed) {
        if (count >= most) {
            chosen = first;
            most = count;
        }
    }
    return from(chosen, resetDay);
}

BillingMonth BillingMonth::of(const qoMonth& month)
{
    return from(month.AnniversaryDate, month.ResetDay);
}

LocalDateTime BillingMonth::keyOf(const qoMonth& month)
{
    if (month.AnniversaryDate > LocalDateTime() || month.DailyDates.isEmpty())
        return month.AnniversaryDate.dateOnly();
    return month.DailyDates.first().dateOnly();
}

int16_t BillingMonth::resetDayOf(const qoMonth& month)
{
    return month.ResetDay > 0 ? month.ResetDay : int16_t(month.AnniversaryDate.day());
}

BillingMonth BillingMonth::previous() const
{
    return resetDay > 0 ? startingIn(resetDay, first.addMonths(-1)) : from(first.addMonths(-1), 0);
}

int16_t BillingMonth::latestResetDay(const LocalDateTime& first)
{
    const int day = first.day();
    return int16_t(day == first.daysInMonth() ? 31 : day);
}

int16_t BillingMonth::storedResetDay(const LocalDateTime& first, std::optional<int16_t> kept,
                                     const std::optional<LocalDateTime>& nextFirst,
                                     const std::optional<LocalDateTime>& lastStored)
{
    const int16_t earliest = int16_t(first.day());
    const int16_t latest = latestResetDay(first);
    const int16_t preferred = kept && (*kept == 0 || (*kept >= earliest && *kept <= latest)) ? *kept : latest;
    const auto endsAtNext = [&](int16_t day) { return nextFirst && from(first, day).next == nextFirst->dateOnly(); };
    if (endsAtNext(preferred))
        return preferred;
    // The following month's first day says where this one ended, whatever the account says now.
    for (int16_t day = earliest; day <= latest; ++day) {
        if (endsAtNext(day))
            return day;
    }
    // After a gap the next first day says nothing, but the days stored say how far the month ran: the
    // account has since moved its reset day to an earlier one that this first day can also be.
    if (lastStored && from(first, preferred).next <= lastStored->dateOnly()) {
        for (int16_t day = earliest; day <= latest; ++day) {
            if (from(first, day).next > lastStored->dateOnly())
                return day;
        }
    }
    return preferred;
}
