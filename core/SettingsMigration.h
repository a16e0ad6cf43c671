// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class LogFrontEnd;
class RegistryAccess;
struct AppInfo;

// Brings values that earlier releases left under the shared settings key into today's names and
// forms. Each step acts only while there is something to move, so running it at every start is
// harmless.
class SettingsMigration
{
public:
    SettingsMigration(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log);

    void MigrateRegSettings();

private:
    void migrateChartPlacement();
    void migrateProxySwitch();
    void removeRetiredValue(const QString& valueName);
    // Logs a step's failure; the migration goes on with the next step.
    template <typename Step>
    void guarded(Step step);

    const AppInfo& m_app;
    RegistryAccess& m_registry;
    LogFrontEnd& m_log;
};
