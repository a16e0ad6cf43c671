// SPDX-License-Identifier: MIT
#include "SettingsMigration.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "NumberConversions.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunTimeError.h"

using namespace Qt::StringLiterals;

SettingsMigration::SettingsMigration(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log)
    : m_app(app), m_registry(registry), m_log(log)
{}

template <typename Step>
void SettingsMigration::guarded(Step step)
{
    try {
        step();
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"Error while migrating registry settings:\r\n"_s + error.text(), 1);
    }
}

void SettingsMigration::MigrateRegSettings()
{
    migrateChartPlacement();
    guarded([this] { migrateProxySwitch(); });
    guarded([this] { removeRetiredValue(u"WebMailLoginType"_s); });
    guarded([this] { removeRetiredValue(u"UseXMLFeed"_s); });
}

void SettingsMigration::migrateChartPlacement()
{
    const QString key = m_app.configKey();
    QString text;
    if (m_registry.GetRegValue(HKEY_CURRENT_USER, key, u"frmTeeChartHeight"_s, text) ||
        !m_registry.GetRegValue(HKEY_CURRENT_USER, key, u"frmChartHeight"_s, text))
        return;

    m_log.LogMessage(u"MigrateRegSettings: migrating Chart settings to TeeChart"_s, 6);
    for (const QString& part : {u"Height"_s, u"Left"_s, u"Top"_s, u"Width"_s, u"WindowState"_s}) {
        guarded([&] {
            QString old;
            if (!m_registry.GetRegValue(HKEY_CURRENT_USER, key, u"frmChart"_s + part, old))
                return;
            const int32_t value = NumberConversions::toLong(old);
            QString szErr;
            m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, u"frmTeeChart"_s + part, value, szErr);
        });
    }
}

void SettingsMigration::migrateProxySwitch()
{
    const QString key = m_app.configKey();
    int32_t useProxy = 0;
    if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, key, u"UseProxy"_s, useProxy))
        return;

    QString proxy;
    int32_t setting = 0;
    if (m_registry.GetRegValue(HKEY_CURRENT_USER, key, u"Proxy"_s, proxy)) {
        setting = proxy.isEmpty() ? 0 : 1;
        m_log.LogMessage(u"MigrateRegSettings: migrating proxy config; setting to "_s + QString::number(setting), 6);
    } else {
        m_log.LogMessage(u"MigrateRegSettings: migrating proxy config; no proxy found, so setting to 0"_s, 6);
    }
    QString szErr;
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, u"UseProxy"_s, setting, szErr);
}

void SettingsMigration::removeRetiredValue(const QString& valueName)
{
    int32_t value = 0;
    if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), valueName, value))
        m_registry.DeleteRegValue(HKEY_CURRENT_USER, m_app.configKey(), valueName);
}
