// SPDX-License-Identifier: MIT
#include "GraphPlacement.h"

#include "AppInfo.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"

using namespace Qt::StringLiterals;

GraphPlacement::GraphPlacement(const AppInfo& app, RegistryAccess& registry) : m_app(app), m_registry(registry) {}

GraphPlacementValues GraphPlacement::load(int32_t mainTop, int32_t mainLeft)
{
    const QString key = m_app.configKey();
    GraphPlacementValues values;
    auto read = [&](const QString& name, int32_t fallback) {
        int32_t value = 0;
        return m_registry.GetRegWordValue(HKEY_CURRENT_USER, key, name, value) ? value : fallback;
    };
    values.state = read(u"frmTeeChartWindowState"_s, Normal) == Maximised ? Maximised : Normal;
    values.height = read(u"frmTeeChartHeight"_s, 6000);
    values.width = read(u"frmTeeChartWidth"_s, 12000);
    const int64_t above = int64_t(mainTop) - values.height - 500;
    values.top = read(u"frmTeeChartTop"_s, above < 0 ? 200 : int32_t(above));
    values.left = read(u"frmTeeChartLeft"_s, mainLeft);
    return values;
}

void GraphPlacement::save(const GraphPlacementValues& values)
{
    const QString key = m_app.configKey();
    QString szErr;
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, u"frmTeeChartWindowState"_s, values.state, szErr);
    if (values.state != Normal)
        return;
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, u"frmTeeChartHeight"_s, values.height, szErr);
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, u"frmTeeChartWidth"_s, values.width, szErr);
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, u"frmTeeChartLeft"_s, values.left, szErr);
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, u"frmTeeChartTop"_s, values.top, szErr);
}
