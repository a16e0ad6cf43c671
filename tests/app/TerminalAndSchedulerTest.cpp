// SPDX-License-Identifier: MIT
// What a terminal or a scheduler learns from the program: a command line it does not understand,
// and where its single-instance lock lives.
#include "SingleInstance.h"
#include "TallymeterProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// The folder's permission bits; -1 when it is missing.
int modeOf(const QString& folder)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

bool makeFolder(const QString& folder, int mode)
{
    return QDir().mkpath(folder) && ::chmod(QFile::encodeName(folder).constData(), mode_t(mode)) == 0;
}
} // namespace

TEST_F(TallymeterProgram, CommandLineNotUnderstoodIsNamedOnStandardErrorBeforeTheDisplayIsLookedFor)
{
    writeProfile(u"sunshine 42"_s);
    const struct
    {
        QStringList arguments;
        bool display;
        int status;
        QString error; // the one line on standard error; empty: none about the command line
    } cases[] = {
        {{u"--help"_s}, false, 2, u"unknown parameter: --help"_s},
        {{u"/NOAUTO"_s, u"/X"_s}, false, 2, u"unknown switch: /X"_s},
        {{u"/P31"_s}, false, 2, u"specified profile number \"31\" out of valid range 1-30"_s},
        {{u"/Pone"_s}, false, 2, u"non-numeric profile numbers specified: one"_s},
        {{u"/H"_s, u"/X"_s}, false, 2, u"unknown switch: /X"_s},
        {{u"/Q"_s, u"extra"_s}, true, 2, u"unknown parameter: extra"_s},
        // Understood, but there is no display: that is what it says.
        {{u"/T"_s, u"/NOAUTO"_s}, false, 6, QString()},
    };
    for (const auto& [arguments, display, status, error] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        if (display)
            env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        else
            env.remove(u"QT_QPA_PLATFORM"_s);
        EXPECT_EQ(run(arguments), status) << output.toStdString();
        if (error.isEmpty()) {
            EXPECT_FALSE(output.contains(u"command line"_s)) << output.toStdString();
            EXPECT_TRUE(output.contains(u"no display"_s)) << output.toStdString();
            continue;
        }
        EXPECT_EQ(output.count(u"Error processing command line parameters: "_s + error), 1) << output.toStdString();
        EXPECT_FALSE(output.contains(u"no display"_s)) << output.toStdString();
    }
    // None of them got as far as the lock or the provider.
    EXPECT_FALSE(QFileInfo::exists(lockFolder()));
    EXPECT_TRUE(providerLog().isEmpty()) << providerLog().toStdString();
}

TEST_F(TallymeterProgram, TheLockLivesOnlyInAFolderOfTheUsersOwn)
{
    writeProfile(u"sunshine 42"_s);
    const QString uid = QString::number(::getuid());
    const QString base = u"/"_s + QFileInfo(SingleInstance::baseName(u"Tallymeter"_s, home)).fileName();
    const QString lockName = base + u".lock"_s;
    const QString tmp = home + u"/tmp"_s;
    const QString cache = lockFolder();
    const QString fallback = tmp + u"/tallymeter-"_s + uid;
    env.insert(u"TMPDIR"_s, tmp);
    // What another user could have put into the shared temporary folder first: a lock that looks
    // held by a live copy, and a socket beside it.
    ASSERT_TRUE(QDir().mkpath(tmp));
    QFile hostile(tmp + lockName);
    ASSERT_TRUE(hostile.open(QIODevice::WriteOnly));
    hostile.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                  QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + "\n\n");
    hostile.close();
    QFile(tmp + base + u".socket"_s).open(QIODevice::WriteOnly);

    // A first start makes the folder below the home, for the user alone.
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    EXPECT_EQ(modeOf(cache), 0700);

    // A cache folder that is not the user's alone is passed over; the temporary folder then gets a
    // folder of the user's own.
    ASSERT_TRUE(makeFolder(cache, 0777));
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    EXPECT_EQ(modeOf(fallback), 0700);

    // Where none is to be had, the start ends and says why, rather than use one.
    ASSERT_TRUE(QDir().rmdir(cache));
    ASSERT_TRUE(QFile::link(fallback, cache));
    ASSERT_TRUE(makeFolder(fallback, 0757));
    EXPECT_EQ(run({u"/H"_s}), 8) << output.toStdString();
    for (const QString& reason :
         QStringList{cache + u": a symbolic link"_s, fallback + u": others may write to it (mode 757)"_s})
        EXPECT_TRUE(output.contains(reason)) << reason.toStdString() << '\n' << output.toStdString();
    EXPECT_TRUE(output.contains(u"Tallyroo found no folder of your own to keep its single-instance lock in"_s));
    EXPECT_TRUE(QDir(fallback).isEmpty());
    // The shared folder's files were never touched.
    EXPECT_TRUE(QFile::exists(tmp + lockName));
    EXPECT_EQ(QDir(tmp).entryList(QDir::Files | QDir::System).size(), 2);
}
