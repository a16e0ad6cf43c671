// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <cstdint>

// The day an account's quota resets on in a calendar month: the reset day the provider gives, or
// the month's last day when the month is shorter (a reset on the 31st falls on 28 or 29 February).
// The components, which tell one month's cache file from another's, and the program's billing
// months go by this one rule.
namespace ResetDates {

// Midnight of the reset date in the calendar month `months` after the one that holds day. A reset
// day below 1 counts as 1.
LocalDateTime in(int16_t resetDay, const LocalDateTime& day, int months = 0);

} // namespace ResetDates
