// SPDX-License-Identifier: MIT
#include "PendingCacheFile.h"
#include "FileFunctions.h"
#include "RunTimeError.h"
#include "TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified = {})
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.flush(); // before the time is set, which a later write would undo
    if (modified.isValid()) {
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
}

TEST(PendingCacheFile, ReplacesTheCacheFileOnlyWhenCommitted)
{
    const QString folder = TestEnvironment::freshFolder(u"pending"_s);
    const QString cacheFile = folder + u"/alice.xml"_s;
    writeFile(cacheFile, "good");
    {
        PendingCacheFile pending(cacheFile);
        pending.save("refused");
        EXPECT_TRUE(QFile::exists(pending.path()));
        EXPECT_EQ(QFileInfo(pending.path()).absolutePath(), folder);
        EXPECT_TRUE(PendingCacheFile::isPendingName(QFileInfo(pending.path()).fileName(), u"alice.xml"_s))
            << pending.path().toStdString();
        EXPECT_EQ(TestEnvironment::readFile(pending.path()), QByteArray("refused"));
    }
    EXPECT_EQ(TestEnvironment::readFile(cacheFile), QByteArray("good"));
    EXPECT_EQ(filesIn(folder), QStringList{u"alice.xml"_s});
    // The cache file takes the time of the reply, which is the time its data are reported with.
    const QDateTime replied = QDateTime::currentDateTime().addSecs(-3600);
    {
        PendingCacheFile pending(cacheFile);
        pending.save("new\xff");
        writeFile(pending.path(), "new\xff", replied);
        pending.commit();
    }
    EXPECT_EQ(TestEnvironment::readFile(cacheFile), QByteArray("new\xff"));
    EXPECT_EQ(QFileInfo(cacheFile).lastModified(), replied);
    EXPECT_EQ(filesIn(folder), QStringList{u"alice.xml"_s});

    // A cache file made read-only is kept, as SaveFile keeps it.
    ASSERT_TRUE(QFile::setPermissions(cacheFile, QFile::ReadOwner));
    {
        PendingCacheFile pending(cacheFile);
        pending.save("newer");
        EXPECT_THROW(pending.commit(), RunTimeError);
    }
    EXPECT_EQ(TestEnvironment::readFile(cacheFile), QByteArray("new\xff"));
    EXPECT_EQ(filesIn(folder), QStringList{u"alice.xml"_s});
    QFile::setPermissions(cacheFile, QFile::ReadOwner | QFile::WriteOwner);

    PendingCacheFile nowhere(folder + u"/missing/alice.xml"_s);
    EXPECT_THROW(nowhere.save("x"), RunTimeError);
    EXPECT_THROW(nowhere.commit(), RunTimeError);
}

// Two copies of the program fetching one account: each keeps its own reply and its own time
// whichever finishes first, and neither takes the other's file.
TEST(PendingCacheFile, TwoRetrievalsAtOnceKeepTheirOwnReplies)
{
    const QString folder = TestEnvironment::freshFolder(u"pending-two"_s);
    const QString cacheFile = folder + u"/alice-json.txt"_s;
    const QDateTime firstReply = QDateTime::currentDateTime().addSecs(-20);
    const QDateTime secondReply = QDateTime::currentDateTime().addSecs(-10);
    for (const bool firstEndsFirst : {true, false}) {
        SCOPED_TRACE(firstEndsFirst ? "the first ends first" : "the second ends first");
        auto first = std::make_unique<PendingCacheFile>(cacheFile);
        auto second = std::make_unique<PendingCacheFile>(cacheFile);
        first->save("first reply");
        second->save("second reply");
        ASSERT_NE(first->path(), second->path());
        writeFile(first->path(), "first reply", firstReply);
        writeFile(second->path(), "second reply", secondReply);

        std::unique_ptr<PendingCacheFile>& early = firstEndsFirst ? first : second;
        std::unique_ptr<PendingCacheFile>& late = firstEndsFirst ? second : first;
        const QDateTime lateTime = firstEndsFirst ? secondReply : firstReply;
        const QByteArray lateReply = firstEndsFirst ? "second reply" : "first reply";
        early->commit();
        early.reset();

        LocalDateTime when;
        ASSERT_TRUE(FileDate(late->path(), when)) << "the other retrieval's reply went";
        EXPECT_EQ(when, LocalDateTime::fromUtc(QDateTime::fromSecsSinceEpoch(lateTime.toSecsSinceEpoch(), Qt::UTC)));
        EXPECT_EQ(TestEnvironment::readFile(late->path()), lateReply);
        late->commit();
        late.reset();
        EXPECT_EQ(TestEnvironment::readFile(cacheFile), lateReply);
        EXPECT_EQ(filesIn(folder), QStringList{u"alice-json.txt"_s});
    }
}

TEST(PendingCacheFile, OnlyFilesThatKilledRunsLeftAreCleared)
{
    // Past the longest a fetch can wait, with the longest time-out a component takes.
    EXPECT_GE(PendingCacheFile::StaleAfterSeconds, 60 + 30 + 600);

    const QString folder = TestEnvironment::freshFolder(u"pending-stale"_s);
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime stale = now.addSecs(-PendingCacheFile::StaleAfterSeconds - 30);
    const QDateTime recent = now.addSecs(-PendingCacheFile::StaleAfterSeconds + 30);
    const struct
    {
        QString name;
        QDateTime modified;
        bool cleared;
    } files[] = {
        {u".alice.xml.4242-0.pending"_s, stale, true},              // a killed run's
        {u".alice.xml.pending"_s, stale, true},                     // an earlier release's single file
        {u".alice.xml.4243-7.pending"_s, recent, false},            // another copy, still fetching
        {u".alice.xml.4244-1.pending"_s, now, false},               // another copy, just replied
        {u".alice.xml.4245-2.pending"_s, now.addSecs(3600), false}, // a clock set wrong
        {u".alice_h.xml.4242-0.pending"_s, stale, false},           // another cache file's
        {u".bob.alice.xml.1-0.pending"_s, stale, false},            // another user's
        {u".alice.xml.tmp-4242-0"_s, stale, false},                 // a cache file's own temporary
        {u".alice.xml.x-0.pending"_s, stale, false},                // not a name a retrieval gives
        {u".alice.xml.1-.pending"_s, stale, false},
        {u"alice.xml.1-0.pending"_s, stale, false},
        {u"alice.xml"_s, stale, false},
    };
    for (const auto& file : files)
        writeFile(folder + u'/' + file.name, "reply", file.modified);

    PendingCacheFile pending(folder + u"/alice.xml"_s);
    pending.save("mine");
    const QStringList left = filesIn(folder);
    for (const auto& file : files)
        EXPECT_EQ(left.contains(file.name), !file.cleared) << file.name.toStdString();
    EXPECT_TRUE(left.contains(QFileInfo(pending.path()).fileName()));
}

} // namespace
