// SPDX-License-Identifier: MIT
#include "MonthDays.h"

#include "BillingMonth.h"
#include "qoMonth.h"

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

// Applies a selection or a new order of the days to every series that has one value per day.
template <class Change>
void changeEverySeries(qoMonth& month, qsizetype days, const Change& change)
{
    const auto apply = [&](auto& series) {
        if (series.size() == days)
            change(series);
    };
    apply(month.DailyPeak);
    apply(month.DailyOffpeak);
    apply(month.DailyFreezone);
    apply(month.DailyTotals);
    apply(month.DailyUploads);
    change(month.DailyDates);
}

} // namespace

namespace MonthDays {

void putInDateOrder(qoMonth& month)
{
    const qsizetype days = month.DailyDates.size();
    QList<qsizetype> order(days);
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return month.DailyDates[a] < month.DailyDates[b]; });
    if (std::is_sorted(order.begin(), order.end()))
        return;
    changeEverySeries(month, days, [&](auto& series) {
        const auto listed = series;
        for (qsizetype i = 0; i < days; ++i)
            series[i] = listed[order[i]];
    });
}

QStringList keepOneMonth(qoMonth& month, const BillingMonth& bounds)
{
    const qsizetype days = month.DailyDates.size();
    if (days == 0)
        return {};
    // The store and the read-back go by the date alone.
    const auto dateOf = [&](qsizetype i) { return month.DailyDates[i].dateOnly(); };

    QStringList notes;
    QList<bool> keep(days, true);
    for (qsizetype i = 0; i < days; ++i) {
        const LocalDateTime date = dateOf(i);
        // One line per date, however often it was listed.
        const bool firstOfDate = i == 0 || dateOf(i - 1) != date;
        if (!bounds.contains(date)) {
            keep[i] = false;
            if (firstOfDate)
                notes.append(u"dropping "_s + date.toDateString() + u", which lies outside the month from "_s +
                             bounds.first.toDateString() + u" to "_s + bounds.last().toDateString());
        } else if (i + 1 < days && dateOf(i + 1) == date) {
            keep[i] = false;
            if (firstOfDate)
                notes.append(u"date "_s + date.toDateString() + u" listed more than once, keeping its last entry"_s);
        }
    }
    if (notes.isEmpty())
        return notes;

    changeEverySeries(month, days, [&](auto& series) {
        qsizetype kept = 0;
        for (qsizetype i = 0; i < days; ++i) {
            if (keep[i])
                series[kept++] = series[i];
        }
        series.resize(kept);
    });
    return notes;
}

} // namespace MonthDays
