// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

struct BillingMonth;
struct qoMonth;

// The days of a month that a component fetched, made the month that the rest of the program takes
// (the store, the grid, the exports): in date order, each date once, and only the dates within the
// month's bounds. The database keeps one row per date and reads a month back by the same bounds;
// the month record must agree.
namespace MonthDays {

// A provider may list the days in any order. Stable: the entries of one date keep the order they
// were listed in. Series that do not have one value per day are left as they came.
void putInDateOrder(qoMonth& month);

// On a month in date order: a date listed more than once keeps its last entry (the one the
// database would keep, its rows being replaced by date), and a date outside the bounds, before or
// after, is dropped. The totals are left to the caller, which works them out from the days kept as
// they are stored. Returns a line for the log per date dropped, without the caller's name; none
// when the month was whole.
QStringList keepOneMonth(qoMonth& month, const BillingMonth& bounds);

} // namespace MonthDays
