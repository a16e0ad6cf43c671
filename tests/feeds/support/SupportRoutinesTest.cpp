// SPDX-License-Identifier: MIT
#include "OSVer.h"
#include "RegistryRoutines.h"
#include "RegistryStore.h"
#include "TestEnvironment.h"
#include "Wine.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/utsname.h>

using namespace Qt::StringLiterals;

TEST(OSVerString, NamesTheKernelWithItsMajorAndMinorRelease)
{
    utsname names{};
    ASSERT_EQ(::uname(&names), 0);
    const QString text = OSVerString();
    const QRegularExpressionMatch match = QRegularExpression(u"^(\\S+) (\\d+)\\.(\\d+)$"_s).match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    EXPECT_EQ(match.captured(1), QString::fromLatin1(names.sysname));
    // The release goes on with its patch level and build ("6.1.0-18-amd64"); only two parts are kept.
    EXPECT_TRUE(QString::fromLatin1(names.release).startsWith(match.captured(2) + u'.' + match.captured(3)));
}

TEST(RunningUnderWine, FollowsTheWineKeyOfTheCurrentUser)
{
    RegistryStore::setCurrentUserPath(TestEnvironment::freshFolder(u"wine"_s) + u"/registry.reg");
    EXPECT_FALSE(RunningUnderWine());

    QString error;
    ASSERT_TRUE(WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Wine\\Drives"_s, u"a"_s, u"x"_s, error));
    EXPECT_TRUE(RunningUnderWine());
    RegistryStore::setCurrentUserPath({});
}
