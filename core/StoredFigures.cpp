// SPDX-License-Identifier: MIT
#include "StoredFigures.h"

#include "TwoDecimals.h"
#include "qoMonth.h"

#include <algorithm>

namespace {

void roundEach(QList<float>& series)
{
    for (float& value : series)
        value = TwoDecimals::figure(value);
}

float sumOf(const QList<float>& series)
{
    double total = 0;
    for (const float value : series)
        total += TwoDecimals::stored(value);
    return TwoDecimals::sum(total);
}

float leftOf(float quota, float used)
{
    return std::max(quota - used, 0.0f);
}

} // namespace

namespace StoredFigures {

void keepAsStored(qoMonth& month)
{
    roundEach(month.DailyPeak);
    roundEach(month.DailyOffpeak);
    roundEach(month.DailyFreezone);
    roundEach(month.DailyUploads);

    // The database keeps no daily total: it adds the day's three figures when it reads them.
    for (qsizetype i = 0; i < month.DailyTotals.size(); ++i) {
        month.DailyTotals[i] = TwoDecimals::sum(TwoDecimals::stored(month.DailyPeak.value(i)) +
                                                TwoDecimals::stored(month.DailyOffpeak.value(i)) +
                                                TwoDecimals::stored(month.DailyFreezone.value(i)));
    }

    month.TotalPeak = sumOf(month.DailyPeak);
    month.TotalOffpeak = sumOf(month.DailyOffpeak);
    month.TotalFreezone = sumOf(month.DailyFreezone);
    month.PeakQuotaLeft = leftOf(month.PeakQuota, month.TotalPeak);
    month.OffpeakQuotaLeft = leftOf(month.OffPeakQuota, month.TotalOffpeak);
    if (month.PeakQuota > 0)
        month.PercentPeak = month.TotalPeak / month.PeakQuota * 100;
}

} // namespace StoredFigures
