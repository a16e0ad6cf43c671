// SPDX-License-Identifier: MIT
// How long the program lives: hidden in the tray, behind its dialogs, and at Exit.
#include "MainWindowSeamTest.h"

#include "QtTrayBackend.h"
#include "TrayMenu.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

TEST_F(MainWindowSeamTest, StartingMinimisedWithoutANotificationAreaWaitsOnTheTaskBar)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // the test platform has none
    seam.form()->hide();
    seam.showMainWindow(true);
    EXPECT_TRUE(seam.isMainWindowVisible());
    EXPECT_TRUE(seam.form()->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(
        core.logTexts().contains(u"Main: no notification area to start in, starting minimised on the task bar"_s));
}

TEST_F(MainWindowSeamTest, WhileTheNotificationAreaIsGoneTheWindowStaysOnTheTaskBar)
{
    // A stand-in notification area that comes, goes and comes back.
    bool area = true;
    QtTrayBackend& backend = *seam.trayBackend();
    backend.setSingleClickRestores(false);
    backend.setAvailability([&area] { return area; });
    const auto setArea = [&](bool present) {
        area = present;
        backend.areaChanged();
    };
    setArea(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return backend.isShown(); }, 2000));
    core.settings.OptionFlags |= int32_t(OptionFlag::MinimiseToTray);
    frmMain& form = *seam.form();

    const struct
    {
        const char* way;
        std::function<void()> hide;
    } ways[] = {
        {"Minimise button", [&] { form.findChild<QPushButton*>(u"cmdMinimise"_s)->click(); }},
        {"close box", [&] { form.close(); }},
        {"window minimised", [&] { form.setWindowState(Qt::WindowMinimized); }},
    };
    for (const bool present : {true, false}) {
        setArea(present);
        ASSERT_TRUE(QTest::qWaitFor([&] { return backend.isShown() == present; }, 2000)) << present;
        for (const auto& [way, hide] : ways) {
            seam.restoreMainWindow();
            QTest::qWait(20);
            ASSERT_TRUE(form.isVisible() && !form.isMinimized()) << way;
            hide();
            QTest::qWait(20);
            if (present) {
                EXPECT_FALSE(form.isVisible()) << way;
            } else {
                EXPECT_TRUE(form.isVisible() && form.isMinimized()) << way;
            }
        }
    }
    EXPECT_EQ(ended, 0);

    // Hidden in the area when it goes, the window comes back to the task bar.
    setArea(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return backend.isShown(); }, 2000));
    form.mnuFile_MinToTray_Click();
    ASSERT_FALSE(form.isVisible());
    setArea(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isVisible() && form.isMinimized(); }, 2000));
    EXPECT_TRUE(core.logTexts().contains(u"SysTray: the notification area has gone"_s));

    // Started minimised meanwhile, it waits on the task bar too.
    form.hide();
    seam.showMainWindow(true);
    EXPECT_TRUE(form.isVisible() && form.isMinimized());
}

TEST_F(MainWindowSeamTest, WhatWaitsForTheWindowComesWhenItIsBackFromTheTaskBarOrTheTray)
{
    frmMain& form = *seam.form();
    int ran = 0;
    // No notification area here: minimised, the window waits on the task bar.
    form.setWindowState(Qt::WindowMinimized);
    ASSERT_FALSE(seam.isMainWindowInView());
    EXPECT_FALSE(seam.ShowTrayMessage(u"Tallyroo"_s, u"not shown without an icon in an area"_s));
    seam.whenMainWindowInView([&ran] { ++ran; });
    QTest::qWait(50);
    EXPECT_EQ(ran, 0);
    seam.restoreMainWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran == 1; }, 2000));
    // Once: hidden and back again, nothing more runs.
    form.hide();
    seam.restoreMainWindow();
    QTest::qWait(50);
    EXPECT_EQ(ran, 1);
}

TEST_F(MainWindowSeamTest, ExitTakesTheIconAwayAndEndsTheProgramOnce)
{
    core.settings.OptionFlags |= int32_t(OptionFlag::MinimiseToTray);
    seam.exitProgram();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(seam.isMainWindowVisible());
    EXPECT_TRUE(core.logTexts().contains(u"RemoveTrayIcon: removing icon"_s));
    seam.exitProgram();
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindowSeamTest, TheGraphCommandLoadsTheGraphWindowAndExitUnloadsIt)
{
    ASSERT_TRUE(refresh());
    EXPECT_FALSE(seam.isGraphWindowLoaded());
    seam.commands()->cmdTeeGraph_Click();
    EXPECT_TRUE(seam.isGraphWindowLoaded());

    seam.exitProgram();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(seam.isGraphWindowLoaded());
}

TEST_F(MainWindowSeamTest, HiddenInTheTrayTheProgramOutlivesEveryWindowItOpens)
{
    ASSERT_TRUE(refresh());
    // A stand-in notification area, so closing the window hides it in the tray.
    seam.form()->setTrayPresent([] { return true; });
    core.settings.OptionFlags |= int32_t(OptionFlag::MinimiseToTray | OptionFlag::AutoRefresh);
    seam.form()->close();
    ASSERT_FALSE(seam.isMainWindowVisible());

    // Every request to end the program that the application sees, however it arises.
    struct QuitCounter : QObject
    {
        int quits = 0;
        bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Quit && ++quits > 0; }
    } counter;
    qApp->installEventFilter(&counter);
    const auto closeModalSoon = [] {
        QTimer::singleShot(50, qApp, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
    };
    const int requestsBefore = int(provider.requests().size());
    QTimer::singleShot(0, qApp, [&] {
        closeModalSoon();
        seam.showOptionsDialog(OptionsFocus::None);
        closeModalSoon();
        seam.showAboutDialog();
        closeModalSoon();
        seam.showPasswordDialog();
        closeModalSoon();
        seam.messageBox(u"a message"_s, core.app.Title, BoxIcon::Information, BoxButtons::Ok);
        seam.showGraphWindow(core.run.CurrentMonth);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != seam.form() && window->isVisible())
                window->close();
        }
        QCoreApplication::processEvents();
        // The refresh timer still refreshes once the next refresh is due.
        core.clock.set(Now.addMinutes(200));
        seam.form()->tmrRefresh().start(10);
        QElapsedTimer waited;
        waited.start();
        while (int(provider.requests().size()) == requestsBefore && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::exit(7);
    });
    EXPECT_EQ(QCoreApplication::exec(), 7);
    qApp->removeEventFilter(&counter);
    EXPECT_EQ(counter.quits, 0);
    EXPECT_EQ(ended, 0);
    EXPECT_GT(int(provider.requests().size()), requestsBefore);
    EXPECT_FALSE(seam.isMainWindowVisible());
}

TEST_F(MainWindowSeamTest, TheTrayStaysLiveWhileADialogHoldsTheMainWindow)
{
    // On X11 the tray icon is a little window of the program's own, with no owner; this stands in.
    struct IconWindow : QWidget
    {
        int presses = 0;
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } icon;
    icon.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    icon.resize(24, 24);
    icon.show();
    // The window waits hidden in the tray while a refresh asks for the password.
    frmMain& form = *seam.form();
    form.setTrayPresent([] { return true; });
    form.mnuFile_MinToTray_Click();
    ASSERT_FALSE(seam.isMainWindowVisible());
    core.settings.Password.clear();
    form.setEndProgram([this] {
        ++ended;
        QCoreApplication::exit(0);
    });
    const int32_t optionsBefore = core.settings.OptionFlags;

    int iconPresses = 0;
    bool shown = false;
    bool promptInFront = false;
    bool promptReturned = false;
    QTimer::singleShot(0, qApp, [&] {
        QTimer::singleShot(0, qApp, [&] {
            QWidget* prompt = QApplication::activeModalWidget();
            QTest::mouseClick(icon.windowHandle(), Qt::LeftButton, {}, QPoint(12, 12));
            iconPresses = icon.presses;
            seam.trayMenu()->item(u"mnuPopup_Show"_s)->trigger();
            QCoreApplication::processEvents();
            shown = seam.isMainWindowVisible();
            promptInFront =
                prompt && prompt->objectName() == u"frmPasswordEntry"_s && QApplication::activeWindow() == prompt;
            // Behind the prompt the window takes no clicks: its layout button stays as it was.
            QWidget* layout = form.control({u"cmdChangeLayout"_s});
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, layout->mapTo(&form, layout->rect().center()));
            seam.trayMenu()->item(u"mnuPopup_Exit"_s)->trigger();
        });
        seam.showPasswordDialog();
        promptReturned = true;
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);

    EXPECT_EQ(iconPresses, 1);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(promptInFront);
    EXPECT_EQ(core.settings.OptionFlags, optionsBefore);
    // Exit ends the prompt's wait with no password, and the program once.
    EXPECT_TRUE(promptReturned);
    EXPECT_TRUE(core.settings.Password.isEmpty());
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(seam.isMainWindowVisible());
    EXPECT_TRUE(core.logTexts().contains(u"RemoveTrayIcon: removing icon"_s));
}

TEST_F(MainWindowSeamTest, ExitDuringAFetchEndsItAtOnceAndLeavesNoTrace)
{
    core.settings.OptionFlags |= int32_t(OptionFlag::CSVExport | OptionFlag::XMLExport);
    // alice's month never comes. While it waits, options applied meanwhile wait for the refresh,
    // and then the user chooses Exit in the tray menu.
    ProviderRule held;
    held.queryContains = u"_TOKEN=alice-"_s;
    held.neverAnswer = true;
    provider.addRule(held);
    bool applied = false;
    QElapsedTimer sinceExit;
    QObject::connect(&provider, &FakeProvider::requestRecorded, seam.form(), [&] {
        if (!provider.requests().constLast().rawQuery.contains("_TOKEN=alice-"))
            return;
        QTimer::singleShot(0, seam.form(), [&] {
            cycle.whenAccountFree([&] { applied = true; });
            sinceExit.start();
            seam.trayMenu()->item(u"mnuPopup_Exit"_s)->trigger();
        });
    });

    EXPECT_FALSE(refresh());
    ASSERT_TRUE(sinceExit.isValid());
    EXPECT_LT(sinceExit.elapsed(), 1000); // the fetch's own limit is 10 s
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(applied);
    EXPECT_FALSE(core.run.RefreshInProgress);
    // Nothing stored, exported or scheduled as after a fetch.
    EXPECT_EQ(monthsIn(u"alice"_s), 0);
    EXPECT_FALSE(QFile::exists(core.run.DataDir + u"/data.xml"_s));
    EXPECT_FALSE(QFile::exists(core.run.DataDir + u"/202403.csv"_s));
    const QStringList log = core.logTexts();
    EXPECT_FALSE(log.contains(u"RefreshData: fetch failed, will attempt again in 15 minutes"_s));
    // After the exit routine took the icon away nothing put it back or changed it.
    const qsizetype removed = log.lastIndexOf(u"RemoveTrayIcon: removing icon"_s);
    ASSERT_GE(removed, 0);
    const QStringList after = log.mid(removed + 1);
    for (const QString& change : {u"AddTrayIcon"_s, u"ModifyTrayIcon"_s, u"ModifyTrayToolTip"_s})
        EXPECT_TRUE(after.filter(change).isEmpty()) << after.join(u'\n').toStdString();
    // Nor does a request to show bring the window back.
    seam.restoreMainWindow();
    EXPECT_FALSE(seam.isMainWindowVisible());
}
