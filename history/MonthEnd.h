// SPDX-License-Identifier: MIT
#pragma once

#include "Dates.h"
#include "LocalDateTime.h"

#include <QString>

#include <cstdint>
#include <optional>

class LiteConnection;
class SQLAccess;

// Where a stored month ends: at the next stored month's first day when that lies within the
// month, else where the month's bounds end. The bounds go by the reset day each store keeps in
// Config, unless the next first day, the first day itself or the days stored before the next
// month say otherwise (BillingMonth::storedResetDay).
struct MonthEnd
{
    std::optional<LocalDateTime> next; // the next stored first day, when one parses
    bool tooFar = false;               // next lies beyond the month's bounds and is ignored
    LocalDateTime end;                 // the first day after the month
    int16_t resetDay = 0;              // the reset day the month was stored under

    bool usesNext() const { return next && !tooFar; }

    // The id of the Config row that keeps the account's reset day.
    static QString resetDayKey() { return QStringLiteral("ResetDay"); }

    // A failed query counts as no neighbouring month, or no reset day kept.
    static MonthEnd find(SQLAccess& sql, LiteConnection& conn, const LocalDateTime& firstDay,
                         const DateMessageSink& dateSink);
};
