// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

class LogFrontEnd;
class RegistryAccess;
struct AppInfo;
struct RunState;

// What the program runs with, for the log: the components' versions at every start and, at the
// highest debug level, a report of the environment.
class Diagnostics
{
public:
    Diagnostics(const AppInfo& app, const RunState& run, RegistryAccess& registry, LogFrontEnd& log);

    // The components' own versions, or "unknown" (with a level-2 log line) when one cannot be made.
    QString SarnickVer();
    QString PelborneVer();
    // The log writer and the database wrapper are built into the program.
    QString LoggerVer() const;
    QString qoSQLVer() const;
    // The charting library (Qt Charts, versioned with Qt).
    QString TeeChartVer() const;

    // The report, one "WriteDebugInfo: " line each at level 10.
    void WriteDebugInfo();
    // Its lines, without the prefix.
    QStringList debugInfoLines();

private:
    QString componentVersion(const QString& progId, const QString& failureText);

    const AppInfo& m_app;
    const RunState& m_run;
    RegistryAccess& m_registry;
    LogFrontEnd& m_log;
};
