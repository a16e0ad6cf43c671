// SPDX-License-Identifier: MIT
#include "StandardLocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

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

QString cacheHome()
{
    return isAbsoluteSetting("XDG_CACHE_HOME") ? fromEnvironment("XDG_CACHE_HOME") : homeDir() + u"/.cache";
}

bool makeFolders(const QString& folder, unsigned mode, int& errorNumber)
{
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    // From the outermost level inwards, so each missing level is made with the mode asked for.
    for (qsizetype slash = path.indexOf(u'/', 1);; slash = path.indexOf(u'/', slash + 1)) {
        const QString level = slash < 0 ? path : path.left(slash);
        if (!QFileInfo(level).isDir() && ::mkdir(QFile::encodeName(level).constData(), mode_t(mode)) != 0 &&
            errno != EEXIST) {
            errorNumber = errno;
            return false;
        }
        if (slash < 0)
            break;
    }
    if (QFileInfo(path).isDir())
        return true;
    errorNumber = ENOTDIR;
    return false;
}

bool makePrivateFolder(const QString& folder, int& errorNumber)
{
    return makeFolders(folder, 0700, errorNumber);
}
} // namespace StandardLocations
