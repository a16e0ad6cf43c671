// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QList>

#include <cstdint>
#include <optional>

struct qoMonth;

// The bounds of one billing month, the one rule that the converters, the month calculations, the
// back-fill and the history all go by. A month runs from one reset date up to the day before the
// next. The reset date of a calendar month is the account's reset day, or the calendar month's
// last day when that month is shorter; so a month that starts on a clamped day (28 Feb for a reset
// on the 31st) is longer than its first day plus one month. Without a reset day a month runs one
// calendar month from its first day.
struct BillingMonth
{
    LocalDateTime first; // midnight of its first day
    LocalDateTime next;  // midnight of the next month's first day
    int16_t resetDay = 0;

    LocalDateTime last() const { return next.addDays(-1); }
    int16_t days() const { return int16_t(first.dayBoundariesTo(next)); }
    bool contains(const LocalDateTime& day) const { return day.dateOnly() >= first && day.dateOnly() < next; }

    // The month that begins on first (midnight taken); resetDay 0: one calendar month long.
    static BillingMonth from(const LocalDateTime& first, int16_t resetDay);
    // The month that begins on the reset date in the calendar month that holds day.
    static BillingMonth startingIn(int16_t resetDay, const LocalDateTime& day);
    // The month that begins on the latest reset date on or before day.
    static BillingMonth containing(int16_t resetDay, const LocalDateTime& day);
    // The month that holds the most of days (not empty); of two that hold as many, the later. A
    // reply's days say its month, whatever the computer's date: the provider's date may already be
    // past the reset while the computer's is not, or still before it.
    static BillingMonth holdingMost(int16_t resetDay, const QList<LocalDateTime>& days);
    // The month of a month record: from its AnniversaryDate by its ResetDay.
    static BillingMonth of(const qoMonth& month);
    // The day a month record is stored and exported under: its first day, or its first listed day
    // when it has none (the zero date); the zero date when it has neither.
    static LocalDateTime keyOf(const qoMonth& month);
    // The day of the month a month record resets on: its reset day, else its first day's.
    static int16_t resetDayOf(const qoMonth& month);
    BillingMonth previous() const;

    // The reset day that gives the longest month beginning on first: 31 when first is the last day
    // of a short month (any later reset day is clamped to it), else first's own day.
    static int16_t latestResetDay(const LocalDateTime& first);
    // The reset day a stored month was kept under, from its first day, the reset day the database
    // keeps for the account (nullopt: an older database without one), the next stored month's first
    // day and the last day stored before it: the kept one when first can be its reset date (0, no
    // reset day, always can), else the latest. A reset day from first's own day to the latest that
    // ends the month exactly where the next stored one begins wins over it, and so does the earliest
    // whose month still holds lastStored: that month was stored under another reset day.
    static int16_t storedResetDay(const LocalDateTime& first, std::optional<int16_t> kept,
                                  const std::optional<LocalDateTime>& nextFirst,
                                  const std::optional<LocalDateTime>& lastStored);

    friend bool operator==(const BillingMonth&, const BillingMonth&) = default;
};
