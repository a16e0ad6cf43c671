// SPDX-License-Identifier: MIT
#pragma once

struct qoMonth;

// A fetched month made to carry the figures the history database will keep, so that the month on
// screen, its exports, the stored month and the month read back at the next start agree to the
// last digit.
namespace StoredFigures {

// Rounds every day's figures to two decimals as the store does, then works the daily and month
// totals out from them as the database adds them up, and the quotas' remainders and the shares
// used from those totals.
void keepAsStored(qoMonth& month);

} // namespace StoredFigures
