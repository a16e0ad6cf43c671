// SPDX-License-Identifier: MIT
#include "modSysTray.h"

#include "CoreTestContext.h"
#include "RecordingTrayBackend.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class modSysTrayTest : public ::testing::Test
{
protected:
    CoreTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    RecordingTrayBackend backend;
    QList<int> sleeps;
    modSysTray tray{ctx.app, ctx.run, ctx.log, backend, [this](int ms) { sleeps.append(ms); }};

    // The log lines that start with prefix, as "level text".
    QStringList logged(const QString& prefix) const
    {
        QStringList lines;
        for (const CoreTestContext::LogLine& line : ctx.logLines()) {
            if (line.text.startsWith(prefix))
                lines.append(QString::number(line.level) + u' ' + line.text);
        }
        return lines;
    }
};
} // namespace

TEST_F(modSysTrayTest, AddKeepsPictureAndTooltipAndLogsTheResult)
{
    backend.answers[u"add"_s] = {false};
    tray.AddTrayIcon(u"none_none"_s, u"Tallyroo"_s);

    ASSERT_EQ(backend.calls.size(), 1);
    EXPECT_EQ(backend.calls[0].op, u"add"_s);
    EXPECT_EQ(backend.calls[0].key, u"none_none"_s);
    EXPECT_EQ(backend.calls[0].tip, u"Tallyroo"_s);
    EXPECT_EQ(tray.LastTrayIcon(), u"none_none"_s);
    EXPECT_EQ(tray.LastTrayToolTip(), u"Tallyroo"_s);
    // A failed add is only logged.
    EXPECT_EQ(logged(u"AddTrayIcon"_s), QStringList({u"20 AddTrayIcon: tooltip: Tallyroo"_s,
                                                     u"20 AddTrayIcon: Shell_NotifyIcon return value: 0"_s}));
}

TEST_F(modSysTrayTest, ModifyPictureAndTooltip)
{
    tray.AddTrayIcon(u"none_none"_s, u"Tallyroo"_s);
    tray.ModifyTrayIcon(u"warn_over"_s);
    tray.ModifyTrayToolTip(u"Tallyroo [joe]: 1 MB"_s);

    ASSERT_EQ(backend.ops(), QStringList({u"add"_s, u"modifyIcon"_s, u"modifyTip"_s}));
    EXPECT_EQ(backend.calls[1].key, u"warn_over"_s);
    EXPECT_EQ(backend.calls[2].tip, u"Tallyroo [joe]: 1 MB"_s);
    EXPECT_EQ(tray.LastTrayIcon(), u"warn_over"_s);
    EXPECT_EQ(tray.LastTrayToolTip(), u"Tallyroo [joe]: 1 MB"_s);
    EXPECT_EQ(logged(u"ModifyTrayIcon"_s), QStringList({u"20 ModifyTrayIcon: new icon"_s,
                                                        u"20 ModifyTrayIcon: Shell_NotifyIcon return value: 1"_s}));
    EXPECT_TRUE(sleeps.isEmpty());
}

TEST_F(modSysTrayTest, FailedTooltipChangeReAddsWithLastPictureAndNewTooltip)
{
    tray.AddTrayIcon(u"none_none"_s, u"Tallyroo"_s);
    tray.ModifyTrayIcon(u"working4"_s);
    backend.answers[u"modifyTip"_s] = {false};
    tray.ModifyTrayToolTip(u"new tip"_s);

    ASSERT_EQ(backend.ops(), QStringList({u"add"_s, u"modifyIcon"_s, u"modifyTip"_s, u"add"_s}));
    EXPECT_EQ(backend.calls[3].key, u"working4"_s);
    EXPECT_EQ(backend.calls[3].tip, u"new tip"_s);
    EXPECT_EQ(tray.LastTrayToolTip(), u"new tip"_s);
    EXPECT_EQ(logged(u"ModifyTrayToolTip: systray"_s),
              QStringList({u"10 ModifyTrayToolTip: systray icon is gone...re-adding it"_s}));
}

TEST_F(modSysTrayTest, FailedTooltipChangeBeforeAnyPictureUsesNoneNone)
{
    backend.answers[u"modifyTip"_s] = {false};
    tray.ModifyTrayToolTip(u"tip"_s);
    ASSERT_EQ(backend.ops(), QStringList({u"modifyTip"_s, u"add"_s}));
    EXPECT_EQ(backend.calls[1].key, u"none_none"_s);
    EXPECT_EQ(backend.calls[1].tip, u"tip"_s);
}

TEST_F(modSysTrayTest, PictureChangeRetriesOnceAfterOneSecond)
{
    tray.AddTrayIcon(u"ok_ok"_s, u"tip"_s);

    // Second attempt succeeds: one failure line, no second one.
    backend.answers[u"modifyIcon"_s] = {false, true};
    tray.ModifyTrayIcon(u"ok_warn"_s);
    EXPECT_EQ(sleeps, QList<int>({1000}));
    EXPECT_EQ(logged(u"ModifyTrayIcon: 2nd attempt"_s),
              QStringList({u"20 ModifyTrayIcon: 2nd attempt: Shell_NotifyIcon return value: 1"_s}));

    // Both fail: two failure lines, still only one wait, no re-adding, the new key remembered.
    backend.calls.clear();
    sleeps.clear();
    backend.answers[u"modifyIcon"_s] = {false, false};
    tray.ModifyTrayIcon(u"over_over"_s);
    EXPECT_EQ(backend.ops(), QStringList({u"modifyIcon"_s, u"modifyIcon"_s}));
    EXPECT_EQ(backend.calls[1].key, u"over_over"_s);
    EXPECT_EQ(sleeps, QList<int>({1000}));
    EXPECT_EQ(tray.LastTrayIcon(), u"over_over"_s);
    QStringList failures;
    for (const CoreTestContext::LogLine& line : ctx.logLines()) {
        if (line.text.contains(u"failed with return value"_s))
            failures.append(QString::number(line.level) + u' ' + line.text);
    }
    EXPECT_EQ(
        failures,
        QStringList({
            u"3 ModifyTrayIcon: Shell_NotifyIcon failed with return value 0 (GetLastError: 0, Err.LastDllError: 0)"_s,
            u"3 ModifyTrayIcon: Shell_NotifyIcon failed with return value 0 (GetLastError: 0, Err.LastDllError: 0)"_s,
            u"3 ModifyTrayIcon: 2nd attempt: Shell_NotifyIcon failed with return value 0 (GetLastError: 0, "
            u"Err.LastDllError: 0)"_s,
        }));

    // A later tray restart shows the remembered new picture.
    tray.taskbarCreated();
    EXPECT_EQ(backend.calls.last().key, u"over_over"_s);
}

TEST_F(modSysTrayTest, TooltipIsCutTo127Characters)
{
    const QString exact(127, u'a');
    tray.AddTrayIcon(u"none_none"_s, exact);
    EXPECT_EQ(backend.calls.last().tip, exact);

    const QString longer = QString(127, u'b') + u'c';
    tray.ModifyTrayToolTip(longer);
    EXPECT_EQ(backend.calls.last().tip, QString(127, u'b'));
    // What is remembered and logged is the whole text.
    EXPECT_EQ(tray.LastTrayToolTip(), longer);
    EXPECT_EQ(logged(u"ModifyTrayToolTip: tooltip: "_s).value(0), u"20 ModifyTrayToolTip: tooltip: "_s + longer);

    // A character of two code units is not split.
    const QString emoji = QString(126, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(modSysTray::trayText(emoji), QString(126, u'x'));
}

TEST_F(modSysTrayTest, LineBreaksReachTheTrayButAreLoggedAsBackslashN)
{
    const QString tip = u"Tallyroo [joe]: \r\npeak: 10 MB\r\nlast refresh: today"_s;
    tray.AddTrayIcon(u"ok_ok"_s, tip);
    EXPECT_EQ(backend.calls.last().tip, tip);
    EXPECT_EQ(logged(u"AddTrayIcon: tooltip"_s),
              QStringList({u"20 AddTrayIcon: tooltip: Tallyroo [joe]: \\npeak: 10 MB\\nlast refresh: today"_s}));
}

TEST_F(modSysTrayTest, HiddenModeShowsNothing)
{
    ctx.run.CmdLineFlags = CmdLineFlag::Hidden;
    tray.AddTrayIcon(u"none_none"_s, u"Tallyroo"_s);
    tray.ModifyTrayIcon(u"working1"_s);
    tray.ModifyTrayToolTip(u"tip"_s);

    EXPECT_TRUE(backend.calls.isEmpty());
    EXPECT_TRUE(tray.LastTrayIcon().isEmpty());
    EXPECT_TRUE(tray.LastTrayToolTip().isEmpty());
    EXPECT_EQ(ctx.logTexts(), QStringList({
                                  u"AddTrayIcon: running in hidden mode, skipping systray icon"_s,
                                  u"ModifyTrayIcon: new icon"_s,
                                  u"ModifyTrayIcon: running in hidden mode, so nothing to do"_s,
                                  u"ModifyTrayToolTip: tooltip: tip"_s,
                              }));
}

TEST_F(modSysTrayTest, TaskbarCreatedReAddsLastPictureAndTooltip)
{
    tray.AddTrayIcon(u"none_none"_s, u"Tallyroo"_s);
    tray.ModifyTrayToolTip(u"usage"_s);
    tray.ModifyTrayIcon(u"working7"_s);
    backend.calls.clear();

    tray.taskbarCreated();
    ASSERT_EQ(backend.ops(), QStringList({u"remove"_s, u"add"_s}));
    EXPECT_EQ(backend.calls[1].key, u"working7"_s);
    EXPECT_EQ(backend.calls[1].tip, u"usage"_s);
    EXPECT_EQ(logged(u"WindowProc"_s),
              QStringList({u"6 WindowProc: detected taskbar restart, re-inserting systray icon"_s}));
    EXPECT_EQ(logged(u"RemoveTrayIcon"_s), QStringList({u"20 RemoveTrayIcon: removing icon"_s,
                                                        u"20 RemoveTrayIcon: Shell_NotifyIcon return value: 1"_s}));
}

TEST_F(modSysTrayTest, RunTimeErrorsAreReportedWithTheirContext)
{
    backend.failingOp = u"remove"_s;
    tray.RemoveTrayIcon();
    backend.failingOp = u"modifyTip"_s;
    tray.ModifyTrayToolTip(u"tip"_s);
    backend.failingOp.clear();
    // An unknown picture is the image list's error; the key is remembered all the same.
    tray.AddTrayIcon(u"nonsense"_s, u"tip"_s);
    tray.ModifyTrayIcon(u"also_nonsense"_s);
    EXPECT_EQ(tray.LastTrayIcon(), u"also_nonsense"_s);

    QStringList errors;
    for (const CoreTestContext::LogLine& line : ctx.logLines()) {
        if (line.level == 1)
            errors.append(line.text);
    }
    // The log file shows the CR LF between context and error as a space.
    EXPECT_EQ(errors, QStringList({
                          u"Error while removing systray icon: [5] Invalid procedure call or argument"_s,
                          u"Error while setting systray tooltip: [5] Invalid procedure call or argument"_s,
                          u"Error setting systray icon: [35601] Element not found"_s,
                          u"Error while updating systray icon: [35601] Element not found"_s,
                      }));
    EXPECT_TRUE(backend.calls.isEmpty());
}
