// SPDX-License-Identifier: MIT
#include "PendingCacheFile.h"
#include "RunTimeError.h"
#include "TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(PendingCacheFile, ReplacesTheCacheFileOnlyWhenCommitted)
{
    const QString folder = TestEnvironment::freshFolder(u"pending"_s);
    const QString cacheFile = folder + u"/alice.xml"_s;
    QFile old(cacheFile);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("good");
    old.close();
    {
        PendingCacheFile pending(cacheFile);
        EXPECT_EQ(pending.path(), folder + u"/.alice.xml.pending"_s);
        pending.save("refused");
        EXPECT_TRUE(QFile::exists(pending.path()));
    }
    EXPECT_EQ(TestEnvironment::readFile(cacheFile), QByteArray("good"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"alice.xml"_s});
    // The cache file takes the time of the reply, which is the time its data are reported with.
    const QDateTime replied = QDateTime::currentDateTime().addSecs(-3600);
    {
        PendingCacheFile pending(cacheFile);
        pending.save("new\xff");
        QFile file(pending.path());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(replied, QFileDevice::FileModificationTime));
        file.close();
        pending.commit();
    }
    EXPECT_EQ(TestEnvironment::readFile(cacheFile), QByteArray("new\xff"));
    EXPECT_EQ(QFileInfo(cacheFile).lastModified(), replied);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"alice.xml"_s});

    // A cache file made read-only is kept, as SaveFile keeps it.
    ASSERT_TRUE(QFile::setPermissions(cacheFile, QFile::ReadOwner));
    {
        PendingCacheFile pending(cacheFile);
        pending.save("newer");
        EXPECT_THROW(pending.commit(), RunTimeError);
    }
    EXPECT_EQ(TestEnvironment::readFile(cacheFile), QByteArray("new\xff"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"alice.xml"_s});
    QFile::setPermissions(cacheFile, QFile::ReadOwner | QFile::WriteOwner);

    PendingCacheFile nowhere(folder + u"/missing/alice.xml"_s);
    EXPECT_THROW(nowhere.save("x"), RunTimeError);
    EXPECT_THROW(nowhere.commit(), RunTimeError);
}

} // namespace
