// SPDX-License-Identifier: MIT
#include "StandardLocations.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

TEST(StandardLocations, FollowTheXdgVariablesOfTheTestHome)
{
    const QString home = TestEnvironment::home();
    ASSERT_FALSE(home.isEmpty());
    EXPECT_EQ(StandardLocations::configHome(), home + u"/.config");
    EXPECT_EQ(StandardLocations::dataHome(), home + u"/.local/share");
    EXPECT_EQ(StandardLocations::cacheHome(), home + u"/.cache");
}

TEST(StandardLocations, IgnoreRelativeOrEmptyXdgValues)
{
    const QString home = TestEnvironment::home();
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    ::setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(StandardLocations::configHome(), home + u"/.config");
    EXPECT_EQ(StandardLocations::dataHome(), home + u"/.local/share");
    ::setenv("XDG_CONFIG_HOME", savedConfig.constData(), 1);
    ::setenv("XDG_DATA_HOME", savedData.constData(), 1);
}
