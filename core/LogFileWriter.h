// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

// Stands in for the outside logging component: appends one time-stamped line per call to the log
// file, opening and closing the file each time, and keeps the file under its size limit by moving
// it aside to the same name with the extension ".old" before a line would pass the limit.
class LogFileWriter
{
public:
    // Local time with milliseconds for the line stamps.
    using TimeSource = std::function<QDateTime()>;

    static constexpr int32_t DefaultMaxSizeKB = 1024;

    explicit LogFileWriter(TimeSource now);

    // One line "yyyy-MM-ddTHH:mm:ss.zzz [level] text". maxSizeKB of 0 or less means the default.
    // False when the file could not be written.
    bool WriteToLog(const QString& fileName, int32_t maxSizeKB, const QString& text, int16_t level);

    // The file that a full log file is moved to: debug.log -> debug.old.
    static QString rotatedName(const QString& fileName);

private:
    TimeSource m_now;
};
