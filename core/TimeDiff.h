// SPDX-License-Identifier: MIT
#pragma once

#include "Dates.h"

#include <QString>

// The time from one date text to another ("yyyy-mm-dd", optionally followed by " HH:mm:ss") as
// "<days> days, <hours>:<minutes>" ("1 day, 3:05", "0 days, 0:00"); whole minute boundaries count,
// seconds do not. "unknown" when a text is no date or the second lies before the first; the
// reason goes to log at level 3 (the date parser's own message goes there too). Pure otherwise.
QString TimeDiff(const QString& from, const QString& to, const DateMessageSink& log = {});
