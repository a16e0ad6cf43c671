// SPDX-License-Identifier: MIT
#include "MonthCalcs.h"

#include "AppInfo.h"
#include "BillingMonth.h"
#include "Dates.h"
#include "LocalDateTime.h"
#include "LogFrontEnd.h"
#include "NumberConversions.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "qoMonth.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using NumberConversions::divide;
using NumberConversions::toInteger;
using NumberConversions::toLong;
using NumberConversions::toSingle;

namespace {
constexpr int64_t secondsPerHour = 3600;

QString hourText(int16_t hour)
{
    return QString::number(hour) + u":00"_s;
}

// A whole-second count: the nearest 32-bit integer, halves to even.
int32_t roundedSeconds(double value)
{
    return toLong(roundHalfEven(value));
}
} // namespace

MonthCalcs::MonthCalcs(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log, const Settings& settings,
                       const RunState& run, const Clock& clock)
    : m_app(app), m_registry(registry), m_log(log), m_settings(settings), m_run(run), m_clock(clock)
{}

bool MonthCalcs::qoMonthCalcs(qoMonth& month, QString& szErr)
{
    try {
        m_log.LogMessage(u"calling qoMonthCalcs to calculate averages, percentages, remaining, and elapsed times"_s, 3);
        applyPeakHourOverride(u"PeakStartTime"_s, month.PeakStart);
        applyPeakHourOverride(u"PeakEndTime"_s, month.PeakEnd);
        if (month.OffPeakQuota > 0) {
            m_log.LogMessage(u"qoMonthCalcs: peak time starts at "_s + hourText(month.PeakStart), 6);
            m_log.LogMessage(u"qoMonthCalcs: peak time ends at "_s + hourText(month.PeakEnd), 6);
        }

        // One quota over both classes: the off-peak use counts against it too.
        if (!month.DailyHeaders[DailyHeader::Offpeak].isEmpty() && month.PeakQuota > 0 && month.OffPeakQuota == 0) {
            m_log.LogMessage(u"qoMonthCalcs: combining quota and glimratime/offpeak totals"_s, 6);
            month.TotalPeak = toSingle(double(month.TotalPeak) + double(month.TotalOffpeak));
        }

        if (month.PeakQuota > 0) {
            month.PeakQuotaLeft = toSingle(double(month.PeakQuota) - double(month.TotalPeak));
            if (month.PeakQuotaLeft < 0)
                month.PeakQuotaLeft = 0;
            month.PercentPeak = toSingle(divide(month.TotalPeak, month.PeakQuota) * 100);
        }
        if (month.OffPeakQuota > 0) {
            month.OffpeakQuotaLeft = toSingle(double(month.OffPeakQuota) - double(month.TotalOffpeak));
            if (month.OffpeakQuotaLeft < 0)
                month.OffpeakQuotaLeft = 0;
            month.PercentOffPeak = toSingle(divide(month.TotalOffpeak, month.OffPeakQuota) * 100);
        }

        const LocalDateTime nextAnniversary = BillingMonth::of(month).next;
        const int16_t days = toInteger(month.AnniversaryDate.dayBoundariesTo(nextAnniversary));

        if (nextAnniversary.secondsTo(m_clock.now()) < 0) {
            currentMonth(month, nextAnniversary, days, szErr);
        } else {
            m_log.LogMessage(u"qoMonthCalcs: performing calcs for historical month"_s, 6);
            month.ElapsedPeak = 100;
            month.ElapsedOffpeak = 100;
            month.AvgPeak = toSingle(divide(month.TotalPeak, days));
            month.AvgOffpeak = toSingle(divide(month.TotalOffpeak, days));
            month.AvgFreezone = toSingle(divide(month.TotalFreezone, days));
            month.AvgRemainingPeak = 0;
            month.AvgRemainingOffpeak = 0;
        }

        if (month.AvgRemainingPeak > month.PeakQuotaLeft)
            month.AvgRemainingPeak = month.PeakQuotaLeft;
        if (month.AvgRemainingOffpeak > month.OffpeakQuotaLeft)
            month.AvgRemainingOffpeak = month.OffpeakQuotaLeft;
        if (month.AvgRemainingPeak < 0)
            month.AvgRemainingPeak = 0;
        if (month.AvgRemainingOffpeak < 0)
            month.AvgRemainingOffpeak = 0;

        logSummary(month);
        return true;
    } catch (const RunTimeError& error) {
        szErr = u"qoMonthCalcs failed: "_s + error.text();
        return false;
    }
}

void MonthCalcs::applyPeakHourOverride(const QString& valueName, int16_t& hour)
{
    int32_t value = 0;
    if (!m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.profileKey(m_run.ProfileNumber), valueName, value))
        return;
    m_log.LogMessage(u"qoMonthCalcs: found "_s + valueName + u" registry setting: "_s + QString::number(value), 4);
    // An hour outside the day would leave the peak window empty and every refresh failing on it.
    if (value < 0 || value > 23) {
        m_log.LogMessage(u"qoMonthCalcs: ignoring "_s + valueName + u" registry setting "_s + QString::number(value) +
                             u", as it is not an hour from 0 to 23"_s,
                         2);
        return;
    }
    hour = int16_t(value);
}

void MonthCalcs::currentMonth(qoMonth& month, const LocalDateTime& nextAnniversary, int16_t days, QString& szErr)
{
    m_log.LogMessage(u"qoMonthCalcs: performing calcs for current month"_s, 6);
    LocalDateTime lastUpdate;
    if (!myCDate(month.LastUpdate, lastUpdate, szErr, m_log.dateSink())) {
        m_log.LogMessage(u"qoMonthCalcs: failed to find last update time, defaulting to NOW for elapsed time calcs"_s,
                         3);
        lastUpdate = m_clock.now();
    }
    const int32_t periodSecs = toLong(month.AnniversaryDate.secondsTo(nextAnniversary));

    if (month.PeakQuota > 0 && month.OffPeakQuota == 0) {
        // One anytime quota: the whole of the time counts.
        const int32_t elapsedSecs = toLong(month.AnniversaryDate.secondsTo(lastUpdate));
        month.ElapsedPeak = toSingle(divide(elapsedSecs, periodSecs) * 100);
        month.ElapsedOffpeak = 0;
    } else {
        hourWindowShares(month, periodSecs, lastUpdate);
    }
    // The last update is the computer's time, the month the provider's: a month the provider began
    // before the computer's date has none of its time gone yet, and no month more than all of it.
    month.ElapsedPeak = std::clamp(month.ElapsedPeak, 0.0f, 100.0f);
    month.ElapsedOffpeak = std::clamp(month.ElapsedOffpeak, 0.0f, 100.0f);

    const double elapsedPeak = month.ElapsedPeak;
    const double elapsedOffpeak = month.ElapsedOffpeak;
    if (elapsedPeak > 0)
        month.AvgPeak = toSingle(divide(month.TotalPeak, days * elapsedPeak / 100));
    month.AvgRemainingPeak =
        elapsedPeak == 100 ? 0.0f : toSingle(divide(month.PeakQuotaLeft, (1 - elapsedPeak / 100) * days));
    if (elapsedOffpeak > 0)
        month.AvgOffpeak = toSingle(divide(month.TotalOffpeak, days * elapsedOffpeak / 100));
    month.AvgRemainingOffpeak =
        elapsedOffpeak == 100 ? 0.0f : toSingle(divide(month.OffpeakQuotaLeft, (1 - elapsedOffpeak / 100) * days));
    if (!(elapsedPeak <= 0 && elapsedOffpeak <= 0)) {
        // With two quotas both shares run to 100, so their sum runs to 200.
        const double scale = month.OffPeakQuota > 0 ? 200 : 100;
        month.AvgFreezone = toSingle(divide(month.TotalFreezone, (elapsedOffpeak + elapsedPeak) * days / scale));
    }
}

void MonthCalcs::hourWindowShares(qoMonth& month, int32_t periodSecs, const LocalDateTime& lastUpdate)
{
    const int16_t peakStart = month.PeakStart;
    const int16_t peakEnd = month.PeakEnd;
    const LocalDateTime lastUpdateDay = lastUpdate.dateOnly();
    const int32_t daySecs = toLong(month.AnniversaryDate.secondsTo(lastUpdateDay));
    const int32_t sinceMidnight = toLong(lastUpdateDay.secondsTo(lastUpdate));
    const int hour = lastUpdate.hour();

    // Peak hours wrap through midnight: from peakStart to peakEnd of the next day.
    const int16_t peakHours = toInteger(int64_t(24) - peakStart + peakEnd);
    const int16_t offpeakHours = toInteger(int64_t(peakStart) - peakEnd);
    int32_t peakSecs = roundedSeconds(divide(toLong(int64_t(peakHours) * daySecs), 24));
    int32_t offSecs = roundedSeconds(divide(toLong(int64_t(offpeakHours) * daySecs), 24));

    const QString hourNote = u"(hour="_s + QString::number(hour) + u')';
    if (hour < peakStart && hour >= peakEnd) {
        m_log.LogMessage(u"qoMonthCalcs: currently in offpeak period "_s + hourNote, 6);
        peakSecs = toLong(int64_t(peakSecs) + peakEnd * secondsPerHour);
        offSecs = toLong(int64_t(offSecs) + sinceMidnight - peakEnd * secondsPerHour);
    } else if (hour < peakEnd) {
        m_log.LogMessage(u"qoMonthCalcs: currently in first peak period "_s + hourNote, 6);
        peakSecs = toLong(int64_t(peakSecs) + sinceMidnight);
    } else {
        m_log.LogMessage(u"qoMonthCalcs: currently in second peak period "_s + hourNote, 6);
        peakSecs = toLong(int64_t(peakSecs) + sinceMidnight - offpeakHours * secondsPerHour);
        offSecs = toLong(int64_t(offSecs) + offpeakHours * secondsPerHour);
    }

    month.ElapsedPeak = toSingle(divide(peakSecs, divide(toLong(int64_t(peakHours) * periodSecs), 24)) * 100);
    if (offpeakHours == 0)
        month.ElapsedOffpeak = 0;
    else
        month.ElapsedOffpeak = toSingle(divide(offSecs, divide(toLong(int64_t(offpeakHours) * periodSecs), 24)) * 100);
}

void MonthCalcs::logSummary(const qoMonth& month)
{
    const bool commas = m_settings.hasOption(OptionFlag::CommaSeparators);
    const auto percent = [commas](float value) -> QString {
        return FormatTwoDecimals(singleText(value), commas) + u'%';
    };
    const QString peak = month.OffPeakQuota > 0 ? u"peak "_s : QString();
    m_log.LogMessage(u"qoMonthCalcs: "_s + peak + u"quota usage: "_s + percent(month.PercentPeak), 6);
    m_log.LogMessage(u"qoMonthCalcs: "_s + peak + u"elapsed time: "_s + percent(month.ElapsedPeak), 6);
    if (month.OffPeakQuota > 0) {
        m_log.LogMessage(u"qoMonthCalcs: offpeak quota usage: "_s + percent(month.PercentOffPeak), 6);
        m_log.LogMessage(u"qoMonthCalcs: offpeak elapsed time: "_s + percent(month.ElapsedOffpeak), 6);
    }
}
