// SPDX-License-Identifier: MIT
#pragma once

#include "Dates.h"
#include "LocalDateTime.h"

#include <cstdint>
#include <optional>

class LiteConnection;
class SQLAccess;

// Where a stored month ends: at the next stored month's first day when that lies within the
// month, else where the month's bounds end. The database keeps no reset day; the stored first
// days imply it (BillingMonth::impliedResetDay).
struct MonthEnd
{
    std::optional<LocalDateTime> next; // the next stored first day, when one parses
    bool tooFar = false;               // next lies beyond the month's bounds and is ignored
    LocalDateTime end;                 // the first day after the month
    int16_t resetDay = 0;              // the reset day the stored first days imply

    bool usesNext() const { return next && !tooFar; }

    // A failed query counts as no neighbouring month.
    static MonthEnd find(SQLAccess& sql, LiteConnection& conn, const LocalDateTime& firstDay,
                         const DateMessageSink& dateSink);
};
