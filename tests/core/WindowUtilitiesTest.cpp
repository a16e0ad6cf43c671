// SPDX-License-Identifier: MIT
#include "WindowUtilities.h"
#include "CoreTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(MemoryMinimise, LogsItsCall)
{
    CoreTestContext core(u"MemoryMinimise"_s);
    MemoryMinimise(core.log);
    ASSERT_FALSE(core.logLines().isEmpty());
    EXPECT_EQ(core.logLines().last().text, u"calling MemoryMinimise"_s);
    EXPECT_EQ(core.logLines().last().level, 6);
}
