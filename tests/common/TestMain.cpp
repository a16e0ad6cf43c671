// SPDX-License-Identifier: MIT
#include "TestEnvironment.h"

#ifdef TALLY_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef TALLY_TEST_GUI
    // Widget tests never need a display, also when they are listed or run by hand.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestEnvironment::setUp();
    int result = 0;
    {
        // Many parts of Qt (event loop, sockets, locale) want an application object; widgets want
        // the QApplication kind.
        TestApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    TestEnvironment::tearDown();
    return result;
}
