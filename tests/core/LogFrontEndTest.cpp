// SPDX-License-Identifier: MIT
#include "CoreTestContext.h"
#include "Dates.h"

#include <QFile>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {
class LogFrontEndTest : public ::testing::Test
{
protected:
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};

    QString debugKey() const { return core.app.appKey(); }
};
} // namespace

TEST_F(LogFrontEndTest, LineBreaksBecomeOneLineButTheBoxKeepsThem)
{
    const QString message = u"a\r\n\r\nb\nc"_s;
    core.log.LogMessage(message, 1);

    ASSERT_EQ(core.logLines().size(), 1);
    EXPECT_EQ(core.logLines().at(0).text, u"a b - c"_s);
    EXPECT_EQ(core.window.statusText, u"2008-03-20 11:00:00 - a b - c"_s);
    ASSERT_EQ(core.window.messageBoxes.size(), 1);
    EXPECT_EQ(core.window.messageBoxes.at(0).text, message);
    EXPECT_EQ(core.window.messageBoxes.at(0).title, u"Tallyroo"_s);
    EXPECT_EQ(core.window.messageBoxes.at(0).icon, BoxIcon::Exclamation);
}

TEST_F(LogFrontEndTest, DoubleLineBreaksCollapseInOneLeftToRightPass)
{
    EXPECT_EQ(LogFrontEnd::normalise(u"x\r\n\r\n\r\ny"_s), u"x  y"_s);
    EXPECT_EQ(LogFrontEnd::normalise(u"x\r\n\r\n\r\n\r\ny"_s), u"x  y"_s);
    EXPECT_EQ(LogFrontEnd::normalise(u"x\ry\n\nz"_s), u"x\ry -  - z"_s);
}

TEST_F(LogFrontEndTest, LevelDecidesWhichSinksALineReaches)
{
    core.log.LogMessage(u"error"_s, 1);
    EXPECT_EQ(core.window.messageBoxes.size(), 1);
    EXPECT_TRUE(core.window.statusText.endsWith(u" - error"_s));

    core.log.LogMessage(u"notice"_s, 2);
    EXPECT_EQ(core.window.messageBoxes.size(), 1);
    EXPECT_TRUE(core.window.statusText.endsWith(u" - notice"_s));

    core.log.LogMessage(u"trace"_s, 3);
    EXPECT_TRUE(core.window.statusText.endsWith(u" - notice"_s));

    const QList<CoreTestContext::LogLine> lines = core.logLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.at(0).level, 1);
    EXPECT_EQ(lines.at(2).text, u"trace"_s);
}

TEST_F(LogFrontEndTest, FileLevelComesFromTheRegistryForEveryLine)
{
    core.setDword(debugKey(), u"debug"_s, 2);
    core.log.LogMessage(u"one"_s, 1, 1);
    core.log.LogMessage(u"two"_s, 2);
    core.log.LogMessage(u"three"_s, 3);
    EXPECT_EQ(core.logTexts(), (QStringList{u"one"_s, u"two"_s}));
    EXPECT_TRUE(core.log.fileLoggingOn());

    core.setDword(debugKey(), u"debug"_s, 3);
    core.log.LogMessage(u"three again"_s, 3);
    EXPECT_EQ(core.logTexts().last(), u"three again"_s);
}

TEST_F(LogFrontEndTest, NoFileLineWithoutAUsableDebugValue)
{
    QFile::remove(core.logFile());
    core.removeValue(debugKey(), u"debug"_s);
    core.log.LogMessage(u"absent"_s, 1, 1);
    EXPECT_FALSE(core.log.fileLoggingOn());

    core.setDword(debugKey(), u"debug"_s, 0);
    core.log.LogMessage(u"zero"_s, 0, 1);
    core.setDword(debugKey(), u"debug"_s, -5);
    core.log.LogMessage(u"negative"_s, -10, 1);
    // Beyond 16 bits the level cannot be taken: the line is lost, nothing else happens.
    core.setDword(debugKey(), u"debug"_s, 70000);
    core.log.LogMessage(u"huge"_s, 1, 1);
    EXPECT_FALSE(core.log.fileLoggingOn());

    EXPECT_FALSE(QFile::exists(core.logFile()));
    EXPECT_TRUE(core.window.statusText.endsWith(u" - huge"_s));
}

TEST_F(LogFrontEndTest, ALevelAboveTheFileLevelLeavesFileLoggingOn)
{
    core.setDword(debugKey(), u"debug"_s, 2);
    core.log.LogMessage(u"detail"_s, 6);
    EXPECT_TRUE(core.log.fileLoggingOn());
    EXPECT_TRUE(core.logLines().isEmpty());
}

TEST_F(LogFrontEndTest, NoDataFolderLosesTheLine)
{
    core.run.DataDir.clear();
    core.log.LogMessage(u"lost"_s, 3);
    EXPECT_FALSE(core.log.fileLoggingOn());
}

// boxMode, QuietMode option, quiet switch, form loaded, main window visible, box expected
using BoxCase = std::tuple<int, bool, bool, bool, bool, bool>;

class BoxModeRule : public LogFrontEndTest, public ::testing::WithParamInterface<BoxCase>
{};

TEST_P(BoxModeRule, DecidesTheMessageBox)
{
    const auto [boxMode, quietOption, quietSwitch, formLoaded, visible, expected] = GetParam();
    if (quietOption)
        core.settings.OptionFlags |= int32_t(OptionFlag::QuietMode);
    core.run.CmdLineQuiet = quietSwitch;
    core.window.formLoaded = formLoaded;
    core.window.mainWindowVisible = visible;

    core.log.LogMessage(u"message"_s, 1, int16_t(boxMode));
    EXPECT_EQ(core.window.messageBoxes.size(), expected ? 1 : 0);
    EXPECT_EQ(core.logTexts(), QStringList{u"message"_s});
}

INSTANTIATE_TEST_SUITE_P(Matrix, BoxModeRule,
                         ::testing::Values(
                             // -1 and below: only when not quiet and visible (or no window yet)
                             BoxCase{-1, false, false, true, true, true}, BoxCase{-1, true, false, true, true, false},
                             BoxCase{-1, false, true, true, true, false}, BoxCase{-1, false, false, true, false, false},
                             BoxCase{-1, false, false, false, false, true},
                             BoxCase{-1, true, false, false, false, false}, BoxCase{-7, false, false, true, true, true},
                             BoxCase{-7, false, true, false, false, false},
                             // 1: never
                             BoxCase{1, false, false, true, true, false}, BoxCase{1, false, false, false, false, false},
                             // anything else: always, quiet or hidden
                             BoxCase{0, true, true, true, false, true}, BoxCase{0, false, false, true, true, true},
                             BoxCase{2, true, false, true, false, true}, BoxCase{-0, false, true, false, false, true}));

TEST_F(LogFrontEndTest, DebugBoxCollectsStampedLinesInDebugModeOnly)
{
    core.log.LogMessage(u"before debug mode"_s, 2);
    EXPECT_TRUE(core.window.debugLog.isEmpty());

    core.run.CmdLineDebug = true;
    core.log.LogMessage(u"first"_s, 2);
    core.log.LogMessage(u"second"_s, 1, 1);
    core.log.LogMessage(u"not for the window"_s, 3);
    EXPECT_EQ(core.window.debugLog, u"2008-03-20 11:00:00 - first\r\n2008-03-20 11:00:00 - second"_s);
}

TEST_F(LogFrontEndTest, RefreshCountdownStaysOutOfTheDebugBox)
{
    core.run.CmdLineDebug = true;
    core.log.LogMessage(u"auto Refresh In 5 minutes"_s, 2);
    EXPECT_EQ(core.window.statusText, u"2008-03-20 11:00:00 - auto Refresh In 5 minutes"_s);
    EXPECT_TRUE(core.window.debugLog.isEmpty());
}

TEST_F(LogFrontEndTest, NoWindowNoStatusLine)
{
    core.run.CmdLineDebug = true;
    core.window.formLoaded = false;
    core.log.LogMessage(u"early"_s, 2);
    EXPECT_TRUE(core.window.calls.isEmpty());
    EXPECT_EQ(core.logTexts(), QStringList{u"early"_s});
}

TEST_F(LogFrontEndTest, DebugBoxDropsOldestLinesPastItsLimit)
{
    core.run.CmdLineDebug = true;
    QStringList lines;
    for (int i = 0; i < 160; ++i)
        lines.append(QString::number(1000 + i) + QString(96, u'x'));
    core.window.debugLog = lines.join(u"\r\n"_s); // 16318 characters
    ASSERT_GT(core.window.debugLog.size(), LogFrontEnd::DebugBoxLimit);

    core.log.LogMessage(u"newest"_s, 2);
    // Ten whole lines of 102 characters with their line breaks bring it to 15298.
    lines = lines.mid(10);
    lines.append(u"2008-03-20 11:00:00 - newest"_s);
    EXPECT_EQ(core.window.debugLog, lines.join(u"\r\n"_s));
}

TEST_F(LogFrontEndTest, DebugBoxDropsOneOverlongLineWhole)
{
    core.run.CmdLineDebug = true;
    core.window.debugLog = QString(LogFrontEnd::DebugBoxLimit + 1, u'y');
    core.log.LogMessage(u"after"_s, 2);
    EXPECT_EQ(core.window.debugLog, u"2008-03-20 11:00:00 - after"_s);
}

TEST_F(LogFrontEndTest, AFailingWindowIsReportedOnceWithoutRecursion)
{
    core.window.failingCall = u"setStatusText"_s;
    core.log.LogMessage(u"status"_s, 2);

    EXPECT_EQ(core.logTexts(), (QStringList{u"status"_s, u"Error while displaying status message: [91] Object "
                                                         u"variable or With block variable not set"_s}));
    EXPECT_EQ(core.window.calls.count(u"setStatusText"_s), 2);
    ASSERT_EQ(core.window.messageBoxes.size(), 1);
    EXPECT_TRUE(core.window.messageBoxes.at(0).text.startsWith(u"Error while displaying status message:\r\n[91]"_s));
}

TEST_F(LogFrontEndTest, DateParserFailuresReachTheLogAtTheirLevel)
{
    LocalDateTime result;
    QString szErr;
    EXPECT_FALSE(myCDate(QString(), result, szErr, core.log.dateSink()));
    EXPECT_FALSE(myCDate(u"2008/03/20"_s, result, szErr, core.log.dateSink()));
    const QList<CoreTestContext::LogLine> lines = core.logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.at(0).level, 12);
    EXPECT_EQ(lines.at(0).text, u"myCDate: empty string specified"_s);
    EXPECT_EQ(lines.at(1).level, 5);
}

TEST_F(LogFrontEndTest, DebugLoggingWithoutADebugValueIsUndoneCompletely)
{
    core.removeValue(debugKey(), u"debug"_s);
    core.log.EnableDebugLogging();
    EXPECT_EQ(core.dword(debugKey(), u"debug"_s), 10);
    EXPECT_EQ(core.dword(debugKey(), u"debug_old"_s), -1);

    core.log.RestoreDebugLogging();
    EXPECT_EQ(core.dword(debugKey(), u"debug"_s), std::nullopt);
    EXPECT_EQ(core.dword(debugKey(), u"debug_old"_s), std::nullopt);
}

TEST_F(LogFrontEndTest, DebugLoggingPutsTheUsersLevelBack)
{
    core.setDword(debugKey(), u"debug"_s, 3);
    core.log.EnableDebugLogging();
    core.log.LogMessage(u"detail while moving"_s, 10);
    core.log.RestoreDebugLogging();
    core.log.LogMessage(u"detail after"_s, 10);

    EXPECT_EQ(core.dword(debugKey(), u"debug"_s), 3);
    EXPECT_EQ(core.logTexts(), QStringList{u"detail while moving"_s});
}

TEST_F(LogFrontEndTest, ARaiseLeftByAnEndedRunKeepsTheSavedLevel)
{
    core.setDword(debugKey(), u"debug"_s, 3);
    core.log.EnableDebugLogging();
    // The run ends without restoring (a cancelled data-folder move); the next start raises again.
    core.log.EnableDebugLogging();
    EXPECT_EQ(core.dword(debugKey(), u"debug_old"_s), 3);

    core.log.RestoreDebugLogging();
    EXPECT_EQ(core.dword(debugKey(), u"debug"_s), 3);
    EXPECT_EQ(core.dword(debugKey(), u"debug_old"_s), std::nullopt);
}

TEST_F(LogFrontEndTest, RestoreWithoutASavedLevelChangesNothing)
{
    core.setDword(debugKey(), u"debug"_s, 4);
    core.log.RestoreDebugLogging();
    EXPECT_EQ(core.dword(debugKey(), u"debug"_s), 4);
}
