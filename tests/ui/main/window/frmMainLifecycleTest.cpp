// SPDX-License-Identifier: MIT
#include "frmMainTestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

TEST_F(frmMainTest, MinimisingHidesInTheTrayAndLeavesTheWindowNormal)
{
    setOption(OptionFlag::MinimiseToTray, false);
    frmMain& w = open();
    w.show();
    settle();

    w.setWindowState(Qt::WindowMinimized);
    settle();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(logged(u"frmMain: minimising to systray"_s));
    EXPECT_EQ(ended, 0);

    w.mnuPopup_Show_Click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(logged(u"frmMain: restoring main window from systray"_s));
}

TEST_F(frmMainTest, WithoutATrayMinimisingStaysOnTheTaskBar)
{
    trayThere = false;
    frmMain& w = open();
    w.show();
    settle();

    w.setWindowState(Qt::WindowMinimized);
    settle();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(logged(u"frmMain: minimising to systray"_s));

    // The Minimise button cannot hide it either.
    w.setWindowState(Qt::WindowNoState);
    settle();
    find<QPushButton>(u"cmdMinimise"_s)->click();
    settle();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.windowState() & Qt::WindowMinimized);
}

TEST_F(frmMainTest, ClosingWithMinimiseToTrayHidesInsteadOfEnding)
{
    setOption(OptionFlag::MinimiseToTray, true);
    frmMain& w = open();
    QSignalSpy ending(&w, &frmMain::aboutToEnd);
    w.show();
    settle();

    EXPECT_FALSE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(ending.count(), 0);
    EXPECT_TRUE(logged(u"frmMain_Unload: minimising to systray instead of closing..."_s));
    EXPECT_TRUE(
        logged(u"frmMain_QueryUnload: cancel: 0, unloadmode: 1 (unload statement from code), windowstate: 0"_s));
    // Hiding saved the placement.
    EXPECT_EQ(core.dword(core.app.configKey(), u"frmMainHeight"_s), w.heightTwips());
}

TEST_F(frmMainTest, WithoutATrayClosingWithMinimiseToTrayMinimisesToTheTaskBar)
{
    setOption(OptionFlag::MinimiseToTray, true);
    trayThere = false;
    frmMain& w = open();
    w.show();
    settle();

    EXPECT_FALSE(w.close());
    settle();
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(
        logged(u"frmMain_Unload: no notification area to hide in, minimising to the task bar instead of closing..."_s));
    EXPECT_FALSE(logged(u"terminating Tallyroo"_s));
}

TEST_F(frmMainTest, ExitEndsTheProgramEvenWithMinimiseToTray)
{
    setOption(OptionFlag::MinimiseToTray, true);
    frmMain& w = open();
    QSignalSpy ending(&w, &frmMain::aboutToEnd);
    w.show();
    settle();

    find<QPushButton>(u"cmdClose"_s)->click();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(ending.count(), 1);
    EXPECT_FALSE(w.isVisible());
    const QStringList lines = core.logTexts();
    const qsizetype exit = lines.indexOf(u"mnuFile_Exit_Click: initiating exit routines..."_s);
    ASSERT_GE(exit, 0);
    EXPECT_EQ(lines.at(exit + 1), u"frmMain_Unload: cancel: -1, windowstate: 0"_s);
    EXPECT_LT(lines.indexOf(u"terminating Tallyroo"_s), lines.indexOf(u"frmMain_Unload: ending program execution"_s));
    EXPECT_TRUE(core.dword(core.app.configKey(), u"frmMainTop"_s).has_value());

    // Once ending, a second Exit or close does not run the exit routines again.
    w.mnuFile_Exit_Click();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(ended, 1);
}

TEST_F(frmMainTest, EscapeActsAsMinimiseWithMinimiseToTrayElseAsExit)
{
    setOption(OptionFlag::MinimiseToTray, true);
    frmMain& w = open();
    EXPECT_EQ(w.cancelButton(), find<QPushButton>(u"cmdMinimise"_s));
    w.show();
    settle();
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ended, 0);

    setOption(OptionFlag::MinimiseToTray, false);
    w.updateCancelButton();
    EXPECT_EQ(w.cancelButton(), find<QPushButton>(u"cmdClose"_s));
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(ended, 1);
}

TEST_F(frmMainTest, ButtonsAndMenusEmitTheirCommands)
{
    frmMain& w = open();
    QSignalSpy refresh(&w, &frmMain::refreshRequested);
    QSignalSpy reload(&w, &frmMain::reloadRequested);
    QSignalSpy help(&w, &frmMain::helpPageRequested);
    QSignalSpy profile(&w, &frmMain::profileChosen);

    find<QPushButton>(u"cmdRefresh"_s)->click();
    w.findChild<QAction*>(u"mnuRefresh"_s)->trigger();
    w.findChild<QAction*>(u"mnuReload"_s)->trigger();
    w.findChild<QAction*>(u"mnuHelp_FAQ"_s)->trigger();
    w.findChild<QAction*>(u"mnuProfile_30"_s)->trigger();
    EXPECT_EQ(refresh.count(), 2);
    EXPECT_EQ(reload.count(), 1);
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toString(), u"FAQ"_s);
    ASSERT_EQ(profile.count(), 1);
    EXPECT_EQ(profile.at(0).at(0).toInt(), 30);
    EXPECT_EQ(w.findChild<QAction*>(u"mnuAbout"_s)->text(), u"&About Tallyroo..."_s);

    w.setRefreshControlsEnabled(false);
    EXPECT_FALSE(w.refreshControlsEnabled());
    EXPECT_FALSE(w.findChild<QAction*>(u"mnuReload"_s)->isEnabled());
    EXPECT_FALSE(w.cboHistory().isEnabled());
}

TEST_F(frmMainTest, MonthListChoicesAreIgnoredWhileTheListIsFilled)
{
    frmMain& w = open();
    QSignalSpy chosen(&w, &frmMain::historyChosen);
    w.cboHistory().addItems({u"March 2024"_s, u"February 2024"_s});

    w.bIgnoreHistoryClick = true;
    emit w.cboHistory().activated(1);
    EXPECT_EQ(chosen.count(), 0);

    w.bIgnoreHistoryClick = false;
    emit w.cboHistory().activated(1);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), u"February 2024"_s);
    EXPECT_EQ(chosen.at(0).at(1).toInt(), 1);
}

TEST_F(frmMainTest, RightButtonOnTheAccountPanelAsksForTheProfileMenuUnlessRefreshing)
{
    frmMain& w = open();
    QSignalSpy asked(&w, &frmMain::profileMenuRequested);
    w.show();
    settle();
    auto* label = find<QLabel>(u"lblUsername"_s);

    QTest::mouseRelease(label, Qt::LeftButton);
    EXPECT_EQ(asked.count(), 0);
    QTest::mouseRelease(label, Qt::RightButton);
    // Once, although the label lies on the panel's background that asks too.
    EXPECT_EQ(asked.count(), 1);
    QTest::mouseRelease(find<QWidget>(u"Picture1"_s), Qt::RightButton);
    EXPECT_EQ(asked.count(), 2);

    w.setRefreshControlsEnabled(false);
    QTest::mouseRelease(find<QLabel>(u"Label7"_s), Qt::RightButton);
    EXPECT_EQ(asked.count(), 2);
}

TEST_F(frmMainTest, ShowFromTheTrayDefersOnlyToTheOptionsDialog)
{
    frmMain& form = open();
    form.hide();

    QDialog options;
    options.setObjectName(u"frmConfig"_s);
    options.show();
    form.mnuPopup_Show_Click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(logged(u"frmMain: frmConfig is visible, so bringing it to foreground"_s));
    options.hide();

    // Another dialog of the program: the window still comes back.
    QDialog about;
    about.setObjectName(u"frmAbout"_s);
    about.show();
    form.mnuPopup_Show_Click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(logged(u"frmMain: restoring main window from systray"_s));
}
