// SPDX-License-Identifier: MIT
#include "PrivateFolder.h"
#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

TEST(PrivateFolderTest, AFolderOfAnotherUserIsNotPrivateEvenWhenNobodyElseMayWrite)
{
    // Another user's folder: the superuser makes one for "nobody"; anyone else has the root folder.
    QString folder = u"/"_s;
    uid_t owner = 0;
    if (::getuid() == 0) {
        folder = TestEnvironment::freshFolder(u"others"_s);
        owner = 65534;
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), owner, gid_t(-1)), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
    }
    EXPECT_EQ(PrivateFolder::whyNotPrivate(folder), u"owned by user "_s + QString::number(owner));

    const QString mine = TestEnvironment::freshFolder(u"mine"_s);
    ASSERT_EQ(::chmod(QFile::encodeName(mine).constData(), 0755), 0);
    EXPECT_EQ(PrivateFolder::whyNotPrivate(mine), QString());
    EXPECT_EQ(PrivateFolder::whyNotPrivate(mine + u"/missing"_s), u"No such file or directory"_s);
}
