// SPDX-License-Identifier: MIT
#include "DataMigration.h"
#include "CoreTestContext.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
class RecordingProgress final : public MigrationProgress
{
public:
    QStringList statuses;
    int finishedCount = 0;
    std::function<bool(const QStringList&)> cancelWhen = [](const QStringList&) { return false; };

    void setStatus(const QString& text) override { statuses.append(text); }
    bool cancelRequested() override { return cancelWhen(statuses); }
    void finished() override { ++finishedCount; }
};

class DataMigrationTest : public ::testing::Test
{
protected:
    DataMigrationTest()
    {
        QDir().mkpath(from);
        QDir().mkpath(to);
    }

    void write(const QString& folder, const QString& name, const QByteArray& content)
    {
        QFile file(QDir(folder).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray read(const QString& folder, const QString& name)
    {
        QFile file(QDir(folder).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList files(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    bool migrate() { return migration.DoMigration(from, to, error); }

    CoreTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    QString from = ctx.folder + u"/old"_s;
    QString to = ctx.folder + u"/new"_s;
    RecordingProgress progress;
    DataMigration migration{ctx.log, ctx.run, progress};
    QString error;
};
} // namespace

TEST_F(DataMigrationTest, NothingToMoveSucceeds)
{
    write(from, u"alice-json.txt"_s, "cache");
    EXPECT_TRUE(migrate());
    EXPECT_EQ(error, u"DoMigration: no data files found to migrate"_s);
    EXPECT_EQ(progress.statuses.last(), u"no data files found to migrate, nothing to do!"_s);
    EXPECT_EQ(progress.finishedCount, 1);
    EXPECT_EQ(files(from), QStringList{u"alice-json.txt"_s});
}

TEST_F(DataMigrationTest, MovesTheDataFilesInPatternOrderAndTheLogFollows)
{
    for (const QString& name :
         {u"b.htm"_s, u"a.htm"_s, u"debug.log"_s, u"alice.sl3"_s, u"202403.csv"_s, u"alice-json.txt"_s})
        write(from, name, name.toUtf8());
    ctx.run.DataDir = from; // the log is in the old folder
    QStringList copied;
    progress.cancelWhen = [&](const QStringList& statuses) {
        // Where the log goes while the second file is copied (after one status per pattern).
        if (statuses.size() == 7)
            copied.append(ctx.run.DataDir);
        return false;
    };
    ASSERT_TRUE(migrate()) << error.toStdString();
    EXPECT_EQ(progress.statuses.mid(0, 5),
              (QStringList{u"searching for "_s + from + u"/debug.*"_s, u"searching for "_s + from + u"/*.htm"_s,
                           u"searching for "_s + from + u"/*.sl3"_s, u"searching for "_s + from + u"/*.csv"_s,
                           u"searching for "_s + from + u"/*.xml"_s}));
    EXPECT_EQ(progress.statuses[5], u"copying file 1 of 5: debug.log"_s);
    EXPECT_EQ(progress.statuses[6], u"copying file 2 of 5: a.htm"_s);
    EXPECT_EQ(progress.statuses[8], u"copying file 4 of 5: alice.sl3"_s);
    EXPECT_EQ(copied, QStringList{to}); // the log moved once it was copied
    // The line that reports the log's copy is in the log that stays, not in the one deleted.
    EXPECT_TRUE(ctx.logTexts().contains(u"DoMigration: copying debug.log, return value: True"_s));
    EXPECT_EQ(files(to), (QStringList{u"202403.csv"_s, u"a.htm"_s, u"alice.sl3"_s, u"b.htm"_s, u"debug.log"_s}));
    EXPECT_EQ(read(to, u"alice.sl3"_s), "alice.sl3");
    EXPECT_EQ(files(from), QStringList{u"alice-json.txt"_s}); // matches no pattern
    EXPECT_EQ(progress.statuses.last(), u"Successfully migrated 5 data files"_s);
}

TEST_F(DataMigrationTest, FileMatchingTwoPatternsIsHandledOnce)
{
    write(from, u"debug.xml"_s, "x");
    ASSERT_TRUE(migrate());
    EXPECT_EQ(progress.statuses[5], u"copying file 1 of 1: debug.xml"_s);
    EXPECT_EQ(files(to), QStringList{u"debug.xml"_s});
}

TEST_F(DataMigrationTest, CopyFailingMidwayKeepsEverySource)
{
    for (const QString& name : {u"1.csv"_s, u"2.csv"_s, u"3.csv"_s, u"4.csv"_s, u"5.csv"_s})
        write(from, name, "data");
    // Something in the way that cannot be replaced, not even by the superuser: a folder of the
    // third file's name.
    QDir().mkpath(to + u"/3.csv/inside"_s);
    EXPECT_FALSE(migrate());
    const QString systemError = u"[21] "_s + QString::fromLocal8Bit(std::strerror(EISDIR));
    EXPECT_EQ(error, u"DoMigration: failed to copy data file(s):\r\n"_s + systemError);
    EXPECT_EQ(progress.statuses.last(), u"Failed to copy data file(s):\r\n"_s + systemError);
    EXPECT_EQ(files(from).size(), 5);
    EXPECT_EQ(files(to), (QStringList{u"1.csv"_s, u"2.csv"_s})); // no half-written temporary left
    EXPECT_EQ(progress.finishedCount, 1);
}

TEST_F(DataMigrationTest, CancelWhileCopyingReturnsFailureWithSourcesIntact)
{
    for (const QString& name : {u"1.csv"_s, u"2.csv"_s, u"3.csv"_s})
        write(from, name, "data");
    // One status per pattern searched, then one per copy: cancelled before the third copy.
    progress.cancelWhen = [](const QStringList& statuses) { return statuses.size() >= 7; };
    EXPECT_FALSE(migrate());
    EXPECT_EQ(error, u"user-initiated abort during migration"_s);
    EXPECT_EQ(progress.statuses.last(), error);
    EXPECT_EQ(files(from).size(), 3);
    EXPECT_EQ(files(to).size(), 2);
}

TEST_F(DataMigrationTest, NewerTargetIsKept)
{
    write(from, u"data.xml"_s, "old");
    write(to, u"data.xml"_s, "newer");
    QFile target(to + u"/data.xml"_s);
    ASSERT_TRUE(target.open(QIODevice::ReadWrite));
    target.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime);
    target.close();
    write(from, u"old.csv"_s, "copied");
    write(to, u"old.csv"_s, "stale");
    QFile stale(to + u"/old.csv"_s);
    ASSERT_TRUE(stale.open(QIODevice::ReadWrite));
    stale.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
    stale.close();
    EXPECT_TRUE(migrate());
    EXPECT_EQ(read(to, u"data.xml"_s), "newer");
    EXPECT_EQ(read(to, u"old.csv"_s), "copied");
    // The old file was not copied, so it is not deleted either, and the log says where it is.
    EXPECT_EQ(files(from), QStringList{u"data.xml"_s});
    EXPECT_EQ(read(from, u"data.xml"_s), "old");
    EXPECT_TRUE(ctx.logTexts().contains(u"DoMigration: keeping newer data.xml in the destination, the older one "_s
                                        u"stays in "_s +
                                        from));
}

TEST_F(DataMigrationTest, AFileInTheNewFolderUnderOtherLettersIsReplacedNotJoined)
{
    write(to, u"ALICE.sl3"_s, "stale");
    QFile stale(to + u"/ALICE.sl3"_s);
    ASSERT_TRUE(stale.open(QIODevice::ReadWrite));
    stale.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
    stale.close();
    write(from, u"alice.sl3"_s, "history");
    // Two files of the move itself whose names differ so: neither takes the other's place.
    write(from, u"Alice.xml"_s, "cache");
    write(from, u"alice.xml"_s, "other cache");
    ASSERT_TRUE(migrate()) << error.toStdString();
    EXPECT_EQ(files(to), (QStringList{u"ALICE.sl3"_s, u"Alice.xml"_s, u"alice.xml"_s}));
    EXPECT_EQ(read(to, u"ALICE.sl3"_s), "history");
    EXPECT_EQ(read(to, u"Alice.xml"_s), "cache");
    EXPECT_EQ(read(to, u"alice.xml"_s), "other cache");
    EXPECT_TRUE(files(from).isEmpty());
}

TEST_F(DataMigrationTest, AFolderThatCannotBeListedFailsTheMove)
{
    write(from, u"alice.sl3"_s, "history");
    // The undefined-behaviour checker needs file handles the first time it meets a type: a move
    // of nothing and a reported error meet them all first.
    const QString empty = ctx.folder + u"/empty"_s;
    QDir().mkpath(empty);
    QString ignored;
    ASSERT_TRUE(migration.DoMigration(empty, to, ignored)) << ignored.toStdString();
    ctx.log.LogMessage(u"before the handles run out"_s, 1);
    progress.finishedCount = 0;
    // Root may list any folder whatever its mode; running out of file handles stops everyone.
    rlimit handles{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &handles), 0);
    const int lowestFree = ::dup(0);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit none = handles;
    none.rlim_cur = rlim_t(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const bool moved = migrate();
    ::setrlimit(RLIMIT_NOFILE, &handles);
    EXPECT_FALSE(moved);
    EXPECT_TRUE(error.startsWith(u"DoMigration: GetFileList failed to retrieve file list:\r\n[24] "_s))
        << error.toStdString();
    EXPECT_EQ(files(from), QStringList{u"alice.sl3"_s});
    EXPECT_TRUE(files(to).isEmpty());
    EXPECT_EQ(progress.finishedCount, 1);
}
