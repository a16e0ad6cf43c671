// SPDX-License-Identifier: MIT
#pragma once

#include "AppInfo.h"
#include "Dates.h"

#include <QString>

#include <cstdint>

class Clock;
class LogFileWriter;
class RegistryAccess;
class WindowSeam;
struct RunState;
struct Settings;

// The program's one logging entry. A message reaches the log file when its level is at most the
// registry value `debug`, the status bar and debug log box below level 3, and a message box below
// level 2 by the box-mode rule. Lower levels are more important: 1 error, 2 notice, 3 call traces,
// 4 to 6 detail, 10 and above fine detail. Never throws.
class LogFrontEnd
{
public:
    // The debug log box drops its oldest lines once it holds more than this many characters.
    static constexpr qsizetype DebugBoxLimit = 15360;
    // File log level used while the data folder is moved.
    static constexpr int32_t FullDebugLevel = 10;

    LogFrontEnd(const AppInfo& app, RegistryAccess& registry, const Settings& settings, const RunState& run,
                WindowSeam& window, const Clock& clock, LogFileWriter& writer);

    // Box mode: -1 or below a box only when not quiet and the main window is visible (or none is
    // loaded); 1 never; any other value always.
    void LogMessage(const QString& message, int16_t level, int16_t boxMode = -1);
    void WriteLogFile(const QString& text, int16_t level);
    // LogMessage for a report that the log file gets whatever its level, even with the file log
    // off: the loss of the settings that would have turned it on.
    void LogReport(const QString& message, int16_t level, int16_t boxMode = -1);
    void WriteLogWindow(const QString& text);
    void ShowLogMessage(const QString& text, int16_t boxMode);
    // The QuietMode option or a quiet switch: no box of the default mode.
    bool quiet() const;

    // Raise the file log to full detail, keeping the previous `debug` in `debug_old` (-1: there
    // was none), and put it back.
    void EnableDebugLogging();
    void RestoreDebugLogging();

    // True after the last line was written to the log file, or, for a line above the file level,
    // while the file level is above 0.
    bool fileLoggingOn() const { return m_fileLoggingOn; }

    // Where myCDate's failure texts go: to the log with the parser's level and box mode -1.
    DateMessageSink dateSink();

    // One line for the file and the window: CRLF CRLF -> CRLF, then CRLF -> " ", then LF -> " - ".
    static QString normalise(const QString& message);

private:
    void deliver(const QString& message, int16_t level, int16_t boxMode, bool fileWhateverLevel);
    QString logFile() const;

    const AppInfo& m_app;
    RegistryAccess& m_registry;
    const Settings& m_settings;
    const RunState& m_run;
    WindowSeam& m_window;
    const Clock& m_clock;
    LogFileWriter& m_writer;
    bool m_fileLoggingOn = false;
    bool m_reportingWindowError = false;
};
