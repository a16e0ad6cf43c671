// SPDX-License-Identifier: MIT
#include "TestEnvironment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TestEnvironment::setUp();
    int result = 0;
    {
        // Many parts of Qt (event loop, sockets, locale) want an application object.
        QCoreApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    TestEnvironment::tearDown();
    return result;
}
