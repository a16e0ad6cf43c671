// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

class LogFrontEnd;
struct AppInfo;
struct qoMonth;

// Writes a summary of a month (quotas, amounts left, totals, averages, percentages, shaping
// texts, billing day, last update and the program's version) as one record in the rowset XML
// persistence format, for other programs to read.
class modXML
{
public:
    modXML(const AppInfo& app, LogFrontEnd& log) : m_app(app), m_log(log) {}

    // szError is left alone on success. The old file is replaced only once the new one is
    // written.
    bool qoMonth2XML(const qoMonth& month, const QString& szFile, QString& szError);

    // The export file of a profile: "data", the profile number unless 0, ".xml" in the folder.
    static QString fileName(const QString& dataDir, int16_t profileNumber);
    // The file's content. Throws RecordsetError when a value does not fit its field.
    static QString xmlText(const qoMonth& month, const AppInfo& app, LogFrontEnd& log);

private:
    const AppInfo& m_app;
    LogFrontEnd& m_log;
};
