// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QString>

#include <cstdint>

class Clock;
class LogFrontEnd;
struct RunState;
struct qoMonth;

// Writes a month as a comma-separated file in the data folder: a title line, one line per day
// and a totals line, numbers with two decimals in the C locale, cells parted by a comma and a
// blank. A cell holding a comma, a double quote or a line break (a class name may) is quoted as
// RFC 4180 has it, right after the comma, with the blank inside the quotes; no cell begins with
// a character that spreadsheets take for the start of a formula, and a text that would once its
// blank is trimmed is quoted too.
class modCSV
{
public:
    modCSV(const RunState& run, LogFrontEnd& log, const Clock& clock) : m_run(run), m_log(log), m_clock(clock) {}

    // The file is named after the month's first day, "yyyymm", with "-" and the profile number
    // for profiles other than 0. bExcludeFuture leaves out the days after today; the totals
    // still cover the whole month. The old file is replaced only once the new one is written.
    bool qoMonth2CSV(const qoMonth& month, const QString& folder, bool bExcludeFuture, QString& szErr);

    // The export's path in folder.
    static QString fileName(const QString& folder, const LocalDateTime& firstDay, int16_t profileNumber);
    // The file's text without its final line break. Throws RunTimeError when a daily series is
    // shorter than DailyDates.
    static QString csvText(const qoMonth& month, bool bExcludeFuture, const LocalDateTime& today);

private:
    const RunState& m_run;
    LogFrontEnd& m_log;
    const Clock& m_clock;
};
