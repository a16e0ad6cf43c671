// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

class Clock;
class LocalDateTime;
class LogFrontEnd;
class RegistryAccess;
struct AppInfo;
struct RunState;
struct Settings;
struct qoMonth;

// Derives what a filled month record does not carry: quota left and share used, the share of the
// month's peak and off-peak hours gone, averages per elapsed day and allowances per remaining day.
class MonthCalcs
{
public:
    MonthCalcs(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log, const Settings& settings,
               const RunState& run, const Clock& clock);

    // Completes the month in place. False after a run-time failure (an overflow, a division by
    // zero), with szErr "qoMonthCalcs failed: [n] description"; fields written before it keep
    // their new values. An unreadable LastUpdate is no failure: the present stands in and the
    // date parser's message stays in szErr.
    bool qoMonthCalcs(qoMonth& month, QString& szErr);

private:
    // The profile's hand-set PeakStartTime / PeakEndTime, read afresh on every call.
    void applyPeakHourOverride(const QString& valueName, int16_t& hour);
    void currentMonth(qoMonth& month, const LocalDateTime& nextAnniversary, int16_t days, QString& szErr);
    void hourWindowShares(qoMonth& month, int32_t periodSecs, const LocalDateTime& lastUpdate);
    void logSummary(const qoMonth& month);

    const AppInfo& m_app;
    RegistryAccess& m_registry;
    LogFrontEnd& m_log;
    const Settings& m_settings;
    const RunState& m_run;
    const Clock& m_clock;
};
