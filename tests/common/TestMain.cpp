// SPDX-License-Identifier: MIT
#include "ProgramExit.h"
#include "TestEnvironment.h"

#ifdef TALLY_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

namespace {
// Gives every test a home of its own (see TestEnvironment), and a program that has not begun to
// end: a test of the exit routine runs it on the one application object the tests share. A test
// that leaves files beside its program (a build folder) fails.
class FreshHomePerTest : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { TestEnvironment::beginTest(); }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        const QStringList stray = TestEnvironment::strayFiles();
        EXPECT_TRUE(stray.isEmpty()) << "left in the test program's folder: " << stray.join(u", ").toStdString();
        ProgramExit::reset();
        TestEnvironment::endTest();
    }
};
} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef TALLY_TEST_GUI
    // Widget tests never need a display, also when they are listed or run by hand.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // The same number and date formats whoever runs the tests, as under CTest.
    qputenv("LC_ALL", "C.UTF-8");
    TestEnvironment::setUp();
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHomePerTest);
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
