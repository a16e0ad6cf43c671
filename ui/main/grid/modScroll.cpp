// SPDX-License-Identifier: MIT
#include "modScroll.h"

#include "AppInfo.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"

using namespace Qt::StringLiterals;

ScrollSettings LoadScrollSettings(RegistryAccess& registry, const AppInfo& app, int systemLines)
{
    ScrollSettings settings;
    // The desktop gives a number; one that would not fit four characters counts as unreadable.
    const QString system = QString::number(systemLines);
    if (systemLines >= -2 && system.size() <= 4)
        settings.Lines = system;
    const QString key = app.appKey() + u"\\Scroll"_s;
    QString value;
    if (registry.GetRegValue(HKEY_CURRENT_USER, key, u"Lines"_s, value))
        settings.Lines = value;
    if (registry.GetRegValue(HKEY_CURRENT_USER, key, u"Mode"_s, value))
        settings.Smooth = value == u"Smooth"_s;
    return settings;
}
