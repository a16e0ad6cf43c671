// SPDX-License-Identifier: MIT
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
std::unique_ptr<QTemporaryDir>& homeDir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

namespace TestEnvironment {
void setUp()
{
    homeDir() = std::make_unique<QTemporaryDir>(QDir::tempPath() + u"/tallytest-XXXXXX");
    const QString root = homeDir()->path();
    const auto setFolder = [&](const char* variable, const QString& sub) {
        const QString path = sub.isEmpty() ? root : root + u'/' + sub;
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ::setenv(variable, QFile::encodeName(path).constData(), 1);
    };
    setFolder("HOME", {});
    setFolder("XDG_CONFIG_HOME", u".config"_s);
    setFolder("XDG_DATA_HOME", u".local/share"_s);
    setFolder("XDG_CACHE_HOME", u".cache"_s);
    setFolder("XDG_RUNTIME_DIR", u"runtime"_s);
}

void tearDown()
{
    homeDir().reset();
}

QString home()
{
    return homeDir() ? homeDir()->path() : QString();
}

QString freshFolder(const QString& name)
{
    const QString path = home() + u"/work/" + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace TestEnvironment
