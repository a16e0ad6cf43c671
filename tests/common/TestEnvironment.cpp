// SPDX-License-Identifier: MIT
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
struct Folders
{
    std::unique_ptr<QTemporaryDir> run; // the whole run's folder
    QString home;                       // the current test's home below it
    int testNumber = 0;
    QStringList programFolder; // the test program's folder as the current test began
};

Folders& folders()
{
    static Folders instance;
    return instance;
}

// Points HOME and the XDG variables at new folders below root.
void settleHome(const QString& root)
{
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
    folders().home = root;
}
QStringList programFolderEntries()
{
    if (!QCoreApplication::instance())
        return {};
    return QDir(QCoreApplication::applicationDirPath())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}
} // namespace

namespace TestEnvironment {
void setUp()
{
    folders().run = std::make_unique<QTemporaryDir>(QDir::tempPath() + u"/tallytest-XXXXXX");
    // Code that runs outside a test (static set-up, listing the tests) still gets a private home.
    settleHome(folders().run->path() + u"/outside"_s);
}

void tearDown()
{
    folders().run.reset();
    folders().home.clear();
}

void beginTest()
{
    if (folders().run)
        settleHome(folders().run->path() + u"/test-"_s + QString::number(++folders().testNumber));
    folders().programFolder = programFolderEntries();
}

QStringList strayFiles()
{
    QStringList stray;
    for (const QString& entry : programFolderEntries()) {
        if (!folders().programFolder.contains(entry))
            stray.append(entry);
    }
    return stray;
}

void endTest()
{
    if (!folders().run)
        return;
    const QString finished = folders().home;
    settleHome(folders().run->path() + u"/outside"_s);
    QDir(finished).removeRecursively();
}

QString home()
{
    return folders().home;
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
