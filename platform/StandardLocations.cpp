// SPDX-License-Identifier: MIT
#include "StandardLocations.h"

#include <QDir>

namespace {
QString fromEnvironment(const char* name)
{
    return QDir::cleanPath(qEnvironmentVariable(name));
}

bool isAbsoluteSetting(const char* name)
{
    // The XDG rules ignore relative values.
    const QString value = qEnvironmentVariable(name);
    return !value.isEmpty() && QDir::isAbsolutePath(value);
}

QString homeDir()
{
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? QDir::homePath() : QDir::cleanPath(home);
}
} // namespace

namespace StandardLocations {
QString configHome()
{
    return isAbsoluteSetting("XDG_CONFIG_HOME") ? fromEnvironment("XDG_CONFIG_HOME") : homeDir() + u"/.config";
}

QString dataHome()
{
    return isAbsoluteSetting("XDG_DATA_HOME") ? fromEnvironment("XDG_DATA_HOME") : homeDir() + u"/.local/share";
}

QString runtimeDir()
{
    return isAbsoluteSetting("XDG_RUNTIME_DIR") ? fromEnvironment("XDG_RUNTIME_DIR") : QDir::tempPath();
}
} // namespace StandardLocations
