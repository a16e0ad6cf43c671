// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"
#include "qoMonth.h"

#include <QString>

// A made-up but plausible month for the benchmarks: every day of the billing month starting on
// firstDay, with amounts that vary by day and by seed so no two months are alike.
struct SyntheticMonthShape
{
    float peakQuota = 25000;
    float offPeakQuota = 50000;
    int16_t peakEnd = 23;
    int peakSpread = 900;     // daily peak amounts stay below this
    int offPeakSpread = 1500; // daily off-peak amounts stay below this
};

inline qoMonth syntheticMonth(const LocalDateTime& firstDay, int seed, const SyntheticMonthShape& shape = {})
{
    const int days = int(firstDay.dayBoundariesTo(firstDay.addMonths(1)));
    qoMonth month;
    month.LastUpdate = firstDay.addDays(days - 1).addHours(22).toString();
    month.IP = QStringLiteral("203.0.113.9");
    month.LastConnect = firstDay.addHours(7).toString();
    month.AnniversaryDate = firstDay;
    month.ShapingSpeed = QStringLiteral("256");
    month.PlanName = QStringLiteral("Home 50");
    month.ProductName = QStringLiteral("Fibre");
    month.PeakQuota = shape.peakQuota;
    month.OffPeakQuota = shape.offPeakQuota;
    month.PeakStart = 8;
    month.PeakEnd = shape.peakEnd;
    month.DailyHeaders = {QStringLiteral("Date"),     QStringLiteral("Peak"),  QStringLiteral("Offpeak"),
                          QStringLiteral("Freezone"), QStringLiteral("Total"), QStringLiteral("Uploads")};
    for (int i = 0; i < days; ++i) {
        const float peak = float((seed * 31 + i * 17) % shape.peakSpread) + 0.37f;
        const float offpeak = float((seed * 13 + i * 29) % shape.offPeakSpread) + 0.61f;
        month.DailyDates.append(firstDay.addDays(i));
        month.DailyPeak.append(peak);
        month.DailyOffpeak.append(offpeak);
        month.DailyFreezone.append(12.5f);
        month.DailyTotals.append(peak + offpeak + 12.5f);
        month.DailyUploads.append(float(i % 7) * 3.25f);
    }
    return month;
}
