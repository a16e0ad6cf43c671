// SPDX-License-Identifier: MIT
#include "CacheFolder.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class CacheFolder : public ::testing::Test
{
protected:
    StatusSink sink()
    {
        return [this](const QString& text, int16_t level) { lines.append({text, level}); };
    }

    QList<QPair<QString, int16_t>> lines;
};

TEST_F(CacheFolder, TheProgramsFolderComesFirst)
{
    const QString program = TestEnvironment::freshFolder(u"program"_s);
    const QString perUser = TestEnvironment::freshFolder(u"data"_s) + u"/Pelborne"_s;
    EXPECT_EQ(DeriveCacheFolder(program, u"/component"_s, perUser, sink()), program);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(perUser));
}

TEST_F(CacheFolder, WithoutTheProgramsFolderTheComponentsOwnIsUsed)
{
    const QString component = TestEnvironment::freshFolder(u"component"_s);
    EXPECT_EQ(DeriveCacheFolder(QString(), component, u"/unused"_s, sink()), component);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].first, u"PathOfCaller failed, defaulting to App.Path"_s);
    EXPECT_EQ(lines[0].second, 4);
}

TEST_F(CacheFolder, AFolderThatCannotTakeFilesGivesWayToThePerUserFolder)
{
    const QString perUser = TestEnvironment::freshFolder(u"data"_s) + u"/Sarnick"_s;
    EXPECT_EQ(DeriveCacheFolder(u"/no/such/folder"_s, QString(), perUser, sink()), perUser);
    EXPECT_TRUE(QFileInfo(perUser).isDir());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].first, u"cannot write to /no/such/folder, using "_s + perUser);
    EXPECT_EQ(lines[0].second, 6);

    // Neither the program's folder nor the component's known.
    lines.clear();
    EXPECT_EQ(DeriveCacheFolder(QString(), QString(), perUser, sink()), perUser);
    EXPECT_EQ(lines.size(), 2);
}

TEST_F(CacheFolder, AnInstalledFolderTheUserCannotWriteToIsPassedOver)
{
    // A folder whose mode forbids writing stops every user but root; procfs refuses new files to
    // root too, so the rule is checked whoever runs the tests.
    QStringList unwritable{u"/proc/self"_s};
    const QString installed = TestEnvironment::freshFolder(u"installed"_s);
    ASSERT_TRUE(QFile::setPermissions(installed, QFile::ReadOwner | QFile::ExeOwner));
    if (!QFileInfo(installed).isWritable())
        unwritable.append(installed);
    const QString perUser = TestEnvironment::freshFolder(u"data"_s) + u"/Pelborne"_s;
    for (const QString& folder : unwritable)
        EXPECT_EQ(DeriveCacheFolder(folder, QString(), perUser, sink()), perUser) << qPrintable(folder);
    QFile::setPermissions(installed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
