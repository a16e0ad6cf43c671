// SPDX-License-Identifier: MIT
#include "LogFrontEnd.h"

#include "LocalDateTime.h"
#include "LogFileWriter.h"
#include "NumberConversions.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "WindowSeam.h"

using namespace Qt::StringLiterals;

namespace {
const QString debugValue = u"debug"_s;
const QString debugOldValue = u"debug_old"_s;
const QString logSizeValue = u"logsize"_s;
const QString crlf = u"\r\n"_s;
} // namespace

LogFrontEnd::LogFrontEnd(const AppInfo& app, RegistryAccess& registry, const Settings& settings, const RunState& run,
                         WindowSeam& window, const Clock& clock, LogFileWriter& writer)
    : m_app(app), m_registry(registry), m_settings(settings), m_run(run), m_window(window), m_clock(clock),
      m_writer(writer)
{}

QString LogFrontEnd::normalise(const QString& message)
{
    QString text = message;
    text.replace(u"\r\n\r\n"_s, crlf);
    text.replace(crlf, u" "_s);
    text.replace(u'\n', u" - "_s);
    return text;
}

void LogFrontEnd::LogMessage(const QString& message, int16_t level, int16_t boxMode)
{
    deliver(message, level, boxMode, false);
}

void LogFrontEnd::LogReport(const QString& message, int16_t level, int16_t boxMode)
{
    deliver(message, level, boxMode, true);
}

bool LogFrontEnd::quiet() const
{
    return m_settings.hasOption(OptionFlag::QuietMode) || m_run.CmdLineQuiet;
}

void LogFrontEnd::deliver(const QString& message, int16_t level, int16_t boxMode, bool fileWhateverLevel)
{
    const QString text = normalise(message);
    WriteLogFile(text, level);
    if (fileWhateverLevel && !m_fileLoggingOn && !m_run.DataDir.isEmpty())
        m_writer.WriteToLog(logFile(), LogFileWriter::DefaultMaxSizeKB, text, level);
    if (level < 3)
        WriteLogWindow(text);
    if (level < 2)
        ShowLogMessage(message, boxMode);
}

QString LogFrontEnd::logFile() const
{
    return m_run.DataDir + u"/debug.log"_s;
}

void LogFrontEnd::WriteLogFile(const QString& text, int16_t level)
{
    m_fileLoggingOn = false;
    try {
        // Read afresh for every line, so a changed `debug` applies from the next line on.
        int32_t stored = 0;
        if (!m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.appKey(), debugValue, stored))
            return;
        const int16_t setting = NumberConversions::toInteger(int64_t(stored));
        m_fileLoggingOn = setting > 0;
        if (!m_fileLoggingOn)
            return;
        int32_t maxSize = LogFileWriter::DefaultMaxSizeKB;
        m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.appKey(), logSizeValue, maxSize);
        if (level > setting)
            return;
        // Without a data folder there is nowhere to put the file; the line is lost.
        m_fileLoggingOn = !m_run.DataDir.isEmpty() && m_writer.WriteToLog(logFile(), maxSize, text, level);
    } catch (const RunTimeError&) {
        // A `debug` value beyond 16 bits: no file line.
    }
}

void LogFrontEnd::WriteLogWindow(const QString& text)
{
    if (!m_window.isFormLoaded())
        return;
    try {
        const QString line = text.isEmpty() ? text : m_clock.now().toString() + u" - "_s + text;
        m_window.setStatusText(line);
        // The refresh countdown would flood the debug box.
        if (line.isEmpty() || !m_run.CmdLineDebug || text.contains(u"refresh in "_s, Qt::CaseInsensitive))
            return;

        QString box = m_window.debugLogText();
        while (box.size() > DebugBoxLimit) {
            const qsizetype lineEnd = box.indexOf(crlf);
            // A text without a line break is one long line: it goes as a whole.
            box = lineEnd < 0 ? QString() : box.mid(lineEnd + crlf.size());
        }
        m_window.setDebugLogText(box.isEmpty() ? line : box + crlf + line);
    } catch (const RunTimeError& error) {
        // The report comes back through here; a window that keeps failing must not recurse.
        if (m_reportingWindowError)
            return;
        m_reportingWindowError = true;
        LogMessage(u"Error while displaying status message:"_s + crlf + error.text(), 1);
        m_reportingWindowError = false;
    }
}

void LogFrontEnd::ShowLogMessage(const QString& text, int16_t boxMode)
{
    try {
        const bool visible = !m_window.isFormLoaded() || m_window.isMainWindowVisible();
        bool show = true;
        if (boxMode <= -1)
            show = !quiet() && visible;
        else if (boxMode == 1)
            show = false;
        if (show)
            m_window.messageBox(text, m_app.ProductName, BoxIcon::Exclamation, BoxButtons::Ok);
    } catch (const RunTimeError&) {
        // A box that cannot be shown is not worth more than the log line already written.
    }
}

void LogFrontEnd::EnableDebugLogging()
{
    const QString key = m_app.appKey();
    QString szErr;
    // A `debug_old` left by a run that ended while raised holds the user's own level: keep it,
    // or the raised level would become permanent.
    int32_t saved = 0;
    if (!m_registry.GetRegWordValue(HKEY_CURRENT_USER, key, debugOldValue, saved)) {
        int32_t old = -1;
        m_registry.GetRegWordValue(HKEY_CURRENT_USER, key, debugValue, old);
        m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, debugOldValue, old, szErr);
    }
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, debugValue, FullDebugLevel, szErr);
}

void LogFrontEnd::RestoreDebugLogging()
{
    const QString key = m_app.appKey();
    int32_t saved = 0;
    if (!m_registry.GetRegWordValue(HKEY_CURRENT_USER, key, debugOldValue, saved))
        return;
    if (saved == -1) {
        m_registry.DeleteRegValue(HKEY_CURRENT_USER, key, debugValue);
    } else {
        QString szErr;
        m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, debugValue, saved, szErr);
    }
    m_registry.DeleteRegValue(HKEY_CURRENT_USER, key, debugOldValue);
}

DateMessageSink LogFrontEnd::dateSink()
{
    return [this](const QString& message, int16_t level) { LogMessage(message, level, -1); };
}
