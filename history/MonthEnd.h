// SPDX-License-Identifier: MIT
#pragma once

#include "Dates.h"
#include "LocalDateTime.h"

#include <optional>

class LiteConnection;
class SQLAccess;

// Where a stored month ends: at the next stored month's first day when that lies at most a
// month later, else one calendar month after its own first day.
struct MonthEnd
{
    std::optional<LocalDateTime> next; // the next stored first day, when one parses
    bool tooFar = false;               // next lies more than a month away and is ignored
    LocalDateTime end;                 // the first day after the month

    bool usesNext() const { return next && !tooFar; }

    // A failed query counts as no later month.
    static MonthEnd find(SQLAccess& sql, LiteConnection& conn, const LocalDateTime& firstDay,
                         const DateMessageSink& dateSink);
};
