// SPDX-License-Identifier: MIT
#include "DailyTotals.h"

#include "RunTimeError.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int32_t OverflowError = 6;

const QList<float>& dailyArray(const DailyValues& values)
{
    if (!values)
        throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
    return *values;
}

float element(const QList<float>& values, qsizetype index)
{
    if (index < 0 || index >= values.size())
        throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
    return values.at(index);
}

// A Single holds the value or the assignment overflows.
float toSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        throw RunTimeError(OverflowError, u"Overflow"_s);
    return float(value);
}

} // namespace

void CalculateTotals(UsageDataState& state, const QString& title, const StatusSink& status)
{
    try {
        const QList<float>& peak = dailyArray(state.arrayDailyPeak);
        const QList<float>& offPeak = dailyArray(state.arrayDailyOffPeak);
        const QList<float>& freezone = dailyArray(state.arrayDailyFreezone);
        // The per-day totals are this routine's output: sized here whatever the caller left.
        if (!state.arrayDailyTotals || state.arrayDailyTotals->size() != peak.size())
            state.arrayDailyTotals = QList<float>(peak.size(), 0.0f);
        QList<float>& totals = *state.arrayDailyTotals;

        double sumPeak = 0;
        double sumOffPeak = 0;
        double sumFree = 0;
        for (qsizetype i = 0; i < peak.size(); ++i) {
            const double dayPeak = element(peak, i);
            const double dayOffPeak = element(offPeak, i);
            const double dayFree = element(freezone, i);
            sumPeak += dayPeak;
            sumOffPeak += dayOffPeak;
            sumFree += dayFree;
            totals[i] = toSingle(dayPeak + dayOffPeak + dayFree);
        }

        // Converted together so that an overflow leaves every month slot as it was.
        const float monthPeak = toSingle(sumPeak);
        const float monthOffPeak = toSingle(sumOffPeak);
        const float monthFree = toSingle(sumFree);
        const float monthAll = toSingle(sumPeak + sumOffPeak + sumFree);
        state.arrayTotals[1] = monthPeak;
        state.arrayTotals[2] = monthOffPeak;
        state.arrayTotals[3] = monthFree;
        state.arrayTotals[4] = monthAll;
    } catch (const RunTimeError& e) {
        if (status)
            status(title + u".CalculateTotals: error "_s + e.text(), 1);
    }
}

void ApplyMonthTotals(UsageDataState& state)
{
    state.sngUsedPeak = state.arrayTotals[1];
    state.sngUsedOffpeak = state.arrayTotals[2];
    state.sngUsedFreezone = state.arrayTotals[3];

    state.sngLeftPeak = state.sngQuotaPeak - state.sngUsedPeak;
    if (state.sngLeftPeak < 0)
        state.sngLeftPeak = 0;
    state.sngLeftOffPeak = state.sngQuotaOffpeak - state.sngUsedOffpeak;
    if (state.sngLeftOffPeak < 0)
        state.sngLeftOffPeak = 0;

    if (state.sngQuotaPeak > 0)
        state.sngPctPeak = state.sngUsedPeak / state.sngQuotaPeak * 100;
    if (state.sngQuotaOffpeak > 0)
        state.sngPctOffPeak = state.sngUsedOffpeak / state.sngQuotaOffpeak * 100;
}

QString CleanClassificationName(const QString& name)
{
    const qsizetype found = name.toLower().indexOf(u" quota"_s);
    if (found >= 1)
        return name.left(name.size() - 6);
    return name;
}
