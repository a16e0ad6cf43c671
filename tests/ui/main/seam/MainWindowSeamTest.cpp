// SPDX-License-Identifier: MIT
#include "MainWindowSeam.h"
#include "DailyGrid.h"
#include "DefaultLocale.h"
#include "FakeProvider.h"
#include "GridFill.h"
#include "LiteConnection.h"
#include "LiteStatement.h"
#include "MonthDisplay.h"
#include "PasswordScrambler.h"
#include "ProviderLinks.h"
#include "RefreshCycle.h"
#include "SettingsStore.h"
#include "SharedRegistry.h"
#include "TestEnvironment.h"
#include "TrayMenu.h"
#include "ctlUsageBar.h"
#include "frmConfig.h"
#include "frmMain.h"
#include "modSQL.h"
#include "modSysTray.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const LocalDateTime Now = *LocalDateTime::fromParts(2024, 3, 20, 12, 0, 0);

// The program's windows as start-up leaves them (main window shown, tray icon added), over a
// refresh cycle that fetches the sample account from the local fake provider.
class MainWindowSeamTest : public ::testing::Test
{
protected:
    MainWindowSeamTest()
    {
        provider.setToday(Now.date());
        EXPECT_TRUE(provider.start());
        core.clock.set(Now);
        core.settings.Username = u"alice"_s;
        core.settings.Password = u"sunshine 42"_s;
        core.settings.Timeout = 10;
        core.useProvider(provider.baseUrl());
        QString error;
        EXPECT_TRUE(history.CheckSQLDatabase(error)) << error.toStdString();

        seam.attach({core.app, core.settings, core.run, core.log, core.registry, core.clock, seam, cycle, history,
                     mainRoutines, store, links});
        seam.showMainWindow(false);
        seam.form()->setEndProgram([this] { ++ended; });
        seam.AddTrayIcon(u"none_none"_s, core.app.ProductName);
    }

    bool refresh()
    {
        bool fromcache = false;
        return cycle.RefreshData(fromcache, true, true);
    }
    // Months in the database of a user; 0 when it has none.
    int monthsIn(const QString& user) const
    {
        if (!QFile::exists(core.run.DataDir + u'/' + user + u".sl3"_s))
            return 0;
        LiteConnection conn;
        conn.Open(core.run.DataDir + u'/' + user + u".sl3"_s);
        LiteStatement count = conn.Prepare(u"select count(*) from MonthlyData"_s);
        return count.Step() ? int(count.ColumnValue(0).toInteger()) : -1;
    }
    QString text(const QString& control, int index = -1) const
    {
        const auto* box = qobject_cast<QLineEdit*>(seam.form()->control({control, index}));
        return box ? box->text() : u"<none>"_s;
    }

    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    SharedRegistry shared{core};
    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
    modSQL history{core.app, core.settings, core.run, core.log};
    MainWindowSeam seam;
    MainRoutines mainRoutines{core.app, core.settings, core.run, seam, core.log, history.storedMonthsReader()};
    RefreshCycle cycle{core.app,      core.settings, core.run, seam,        core.log,
                       core.registry, core.clock,    history,  mainRoutines};
    PasswordScrambler scrambler{core.app, core.registry, core.log};
    SettingsStore store{core.app, core.registry, core.log, scrambler, core.settings, core.run};
    QStringList opened;
    ProviderLinks links{core.app, core.settings, core.run, core.registry, core.log, seam, [this](const QString& link) {
                            opened << link;
                            return true;
                        }};
    int ended = 0;
};
} // namespace

TEST_F(MainWindowSeamTest, StartShowsTheEmptyPictureAndTheProductName)
{
    EXPECT_TRUE(seam.isFormLoaded());
    EXPECT_TRUE(seam.isMainWindowVisible());
    EXPECT_EQ(seam.tray()->LastTrayIcon(), u"none_none"_s);
    EXPECT_EQ(seam.tray()->LastTrayToolTip(), u"Tallyroo"_s);
    EXPECT_EQ(text(u"txtUsername"_s), u"unknown"_s);
}

TEST_F(MainWindowSeamTest, ARefreshPutsTheMonthOnTheWindowAndItsStateOnTheTray)
{
    ASSERT_TRUE(refresh());
    const qoMonth& month = core.run.CurrentMonth;
    EXPECT_EQ(seam.tray()->LastTrayIcon(), MonthDisplay::TrayPictureKey(month));
    EXPECT_TRUE(seam.tray()->LastTrayToolTip().startsWith(u"Tallyroo [alice]: "_s))
        << seam.tray()->LastTrayToolTip().toStdString();

    EXPECT_EQ(text(u"txtUsername"_s), u"alice"_s);
    EXPECT_EQ(text(u"txtLastRefresh"_s), month.LastUpdate);
    EXPECT_NE(text(u"txtTotal"_s, 0), u"-"_s);
    // The grid below its titles: one row a day of the month so far, then the totals.
    EXPECT_EQ(seam.form()->dailyGrid().model().rowCount(), 20 + 1);
    // The peak bar shows the used share; the animation stopped with the refresh.
    EXPECT_TRUE(seam.form()->prXPStatusPeak().Caption().endsWith(u'%'))
        << seam.form()->prXPStatusPeak().Caption().toStdString();
    EXPECT_FALSE(seam.form()->tmrAnimate().isActive());
    EXPECT_TRUE(seam.form()->refreshControlsEnabled());
    // The month list holds the stored month and its back-filled predecessor, newest first.
    ASSERT_EQ(seam.form()->cboHistory().count(), 2);
    EXPECT_EQ(seam.form()->cboHistory().itemText(0), u"March 2024"_s);
}

TEST_F(MainWindowSeamTest, AFailedRefreshShowsTheErrorPicture)
{
    core.settings.Password = u"not the password"_s;
    EXPECT_FALSE(refresh());
    EXPECT_EQ(seam.tray()->LastTrayIcon(), u"error"_s);
    EXPECT_TRUE(seam.tray()->LastTrayToolTip().contains(u"Invalid username or password"_s))
        << seam.tray()->LastTrayToolTip().toStdString();
    EXPECT_TRUE(seam.form()->refreshControlsEnabled());
}

TEST_F(MainWindowSeamTest, TheAnimationCyclesNineFramesOnTheTray)
{
    seam.setTrayAnimation(true);
    EXPECT_TRUE(seam.form()->tmrAnimate().isActive());
    seam.setTrayAnimation(false);
    EXPECT_FALSE(seam.form()->tmrAnimate().isActive());

    // The ticks by hand: the timer itself would add frames of its own while events run.
    QStringList frames;
    for (int tick = 0; tick < 10; ++tick) {
        seam.commands()->tmrAnimate_Timer();
        frames << seam.tray()->LastTrayIcon();
    }
    EXPECT_EQ(frames.first(), u"working1"_s);
    EXPECT_EQ(frames.at(8), u"working9"_s);
    EXPECT_EQ(frames.last(), u"working1"_s);
}

TEST_F(MainWindowSeamTest, TheLinkMenuFollowsTheLinksOfTheProfile)
{
    core.settings.AccountType = 1;
    links.SetURLs();
    EXPECT_EQ(seam.trayMenu()->linksMenu().title(), ProviderLinks::menuCaption(1));
    int shown = 0;
    for (const TrayMenu::LinkItem& link : TrayMenu::linkItems()) {
        const QAction* item = seam.trayMenu()->item(QString::fromLatin1(link.objectName));
        ASSERT_NE(item, nullptr) << link.objectName;
        EXPECT_EQ(item->isVisible(), !(core.run.*link.link).isEmpty()) << link.objectName;
        shown += item->isVisible() ? 1 : 0;
    }
    // A brand has some links and not all of them.
    EXPECT_GT(shown, 0);
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

TEST_F(MainWindowSeamTest, TheMonthListAndTheRefreshControlsAreTheWindows)
{
    seam.setMonthListSelecting(true);
    seam.clearMonthList();
    seam.addMonthListItem(u"March 2024"_s);
    seam.setMonthListIndex(0);
    seam.setMonthListSelecting(false);
    EXPECT_EQ(seam.form()->cboHistory().currentText(), u"March 2024"_s);
    EXPECT_FALSE(seam.form()->bIgnoreHistoryClick);

    seam.setRefreshControlsEnabled(false);
    EXPECT_FALSE(seam.form()->refreshControlsEnabled());
    EXPECT_FALSE(seam.trayMenu()->item(u"mnuPopup_Refresh"_s)->isEnabled());
    seam.setRefreshControlsEnabled(true);
    EXPECT_TRUE(seam.trayMenu()->item(u"mnuPopup_Refresh"_s)->isEnabled());
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

TEST_F(MainWindowSeamTest, AProfileChosenDuringAFetchWaitsForTheRefreshToEnd)
{
    core.setText(u"Software\\Tallymeter\\Config1"_s, u"Username"_s, u"anytime"_s);
    // alice's month is on its way while the user picks the other profile.
    ProviderRule slow;
    slow.queryContains = u"_TOKEN=alice-"_s;
    slow.useDefaultReply = true;
    slow.delayMs = 400;
    provider.addRule(slow);
    QTimer::singleShot(100, seam.form(), [this] { emit seam.form()->profileChosen(1); });

    ASSERT_TRUE(refresh());
    // alice's month went to alice's database; the switch came after it.
    EXPECT_EQ(core.run.ProfileNumber, 1);
    EXPECT_EQ(core.settings.Username, u"anytime"_s);
    EXPECT_EQ(monthsIn(u"alice"_s), 2);
    EXPECT_EQ(monthsIn(u"anytime"_s), 0);
    EXPECT_EQ(text(u"txtUsername"_s), u"anytime"_s);
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

TEST_F(MainWindowSeamTest, TheGridShowsEveryClassAsTheMonthsCsvDoes)
{
    core.settings.OptionFlags |= int32_t(OptionFlag::CSVExport);
    ASSERT_TRUE(refresh());
    const QList<QByteArray> csv = TestEnvironment::readFile(core.run.DataDir + u"/202403.csv"_s).trimmed().split('\n');
    const GridContents& grid = seam.form()->dailyGrid().contents();
    ASSERT_EQ(csv.size(), grid.rowCount());
    // The sample account names its classes "Peak", "Off-peak", "Freezone", "Total", "Uploads".
    ASSERT_EQ(csv.first().trimmed(), QByteArray("Date, Peak, Off-peak, Freezone, Total, Uploads"));
    for (int row = 1; row < grid.rowCount(); ++row) {
        const QList<QByteArray> fields = csv.at(row).split(',');
        ASSERT_EQ(fields.size(), grid.columnCount() - 1);
        for (int column = 2; column < grid.columnCount(); ++column) {
            const double shown = QString(grid.text(row, column)).remove(u',').toDouble();
            const double exported = fields.at(column - 1).trimmed().toDouble();
            // The totals row adds up the days as shown; the export takes the provider's totals.
            EXPECT_NEAR(shown, exported, grid.isDayRow(row) ? 0.0 : 0.011)
                << "row " << row << ", " << grid.text(0, column).toStdString();
        }
    }
}

TEST_F(MainWindowSeamTest, FiguresOnScreenFollowTheLocaleAndTheExportsKeepTheirForm)
{
    struct GermanLocale
    {
        GermanLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
        ~GermanLocale() { QLocale::setDefault(QLocale::c()); }
    } inGerman;
    core.settings.OptionFlags |= int32_t(OptionFlag::CSVExport | OptionFlag::CommaSeparators);
    ASSERT_TRUE(refresh());

    const qoMonth& month = core.run.CurrentMonth;
    const GridContents& grid = seam.form()->dailyGrid().contents();
    const int totals = grid.rowCount() - 1;
    // Thousands in groups of a "." and two decimals after a ",".
    const QRegularExpression german(u"^-?\\d{1,3}(\\.\\d{3})*,\\d\\d$"_s);
    EXPECT_TRUE(german.match(grid.text(totals, 2)).hasMatch()) << grid.text(totals, 2).toStdString();
    EXPECT_TRUE(german.match(text(u"txtTotal"_s, 0)).hasMatch()) << text(u"txtTotal"_s, 0).toStdString();
    EXPECT_NEAR(gridCellValue(grid.text(totals, 2)).value_or(0), month.TotalPeak, 0.011);
    EXPECT_TRUE(seam.tray()->LastTrayToolTip().contains(u"."_s + QString::number(int(month.TotalPeak) % 1000)))
        << seam.tray()->LastTrayToolTip().toStdString();

    const QByteArray csv = TestEnvironment::readFile(core.run.DataDir + u"/202403.csv"_s);
    EXPECT_TRUE(csv.contains(QByteArray("Totals, " + QByteArray::number(month.TotalPeak, 'f', 2) + ", ")))
        << csv.constData();
}

TEST_F(MainWindowSeamTest, ApplyWithAnEmptyUserNameKeepsOneOptionsDialog)
{
    // The boxes are answered as they come; any other dialog that comes up modal is a second
    // options dialog, counted and closed.
    QStringList boxes;
    int secondDialogs = 0;
    frmConfig* first = nullptr;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes << box->text();
            box->done(QMessageBox::Ok);
        } else if (auto* other = qobject_cast<frmConfig*>(modal); other && other != first) {
            ++secondDialogs;
            other->reject();
        }
    });
    answer.start(10);

    bool forward = false;
    QTimer::singleShot(0, [&] {
        first = qobject_cast<frmConfig*>(QApplication::activeModalWidget());
        if (!first) {
            ADD_FAILURE() << "no options dialog";
            return;
        }
        const ConfigControls& ui = first->controls();
        ui.tabConfig->setCurrentIndex(3);
        ui.txtUsername->clear();
        ui.cmdApply->click();
        // The tray's Options while the dialog is open brings the same one forward too.
        emit seam.trayMenu()->optionsClicked();
        forward = first->isVisible() && ui.tabConfig->currentIndex() == 0 && first->focusWidget() == ui.txtUsername &&
                  QApplication::activeModalWidget() == first;
        first->reject();
    });
    seam.showOptionsDialog(OptionsFocus::None);

    EXPECT_EQ(secondDialogs, 0);
    EXPECT_TRUE(forward);
    EXPECT_TRUE(boxes.contains(
        u"Login details for this profile haven't been specified yet.\r\nPlease enter them, and try refreshing."_s))
        << boxes.join(u" | "_s).toStdString();
    EXPECT_TRUE(core.settings.Username.isEmpty());
    EXPECT_TRUE(core.logTexts().contains(u"RefreshData: no username specified, aborting refresh"_s));

    // Closed, the next request opens a dialog of its own again.
    first = nullptr;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* again = qobject_cast<frmConfig*>(QApplication::activeModalWidget());
        opened = again != nullptr;
        if (again)
            again->reject();
    });
    seam.showOptionsDialog(OptionsFocus::None);
    EXPECT_TRUE(opened);
}

TEST_F(MainWindowSeamTest, OptionsAppliedDuringAFetchWaitForTheRefreshToEnd)
{
    // alice's month is on its way while the user types another account into the open dialog.
    ProviderRule slow;
    slow.queryContains = u"_TOKEN=alice-"_s;
    slow.useDefaultReply = true;
    slow.delayMs = 400;
    provider.addRule(slow);
    bool refreshed = false;
    bool waitedGreyed = false;
    QTimer::singleShot(0, qApp, [&] {
        auto* options = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(options);
        QTimer::singleShot(150, options, [&, options] {
            options->findChild<QLineEdit*>(u"txtUsername"_s)->setText(u"anytime"_s);
            options->findChild<QPushButton*>(u"cmdOK"_s)->click();
            waitedGreyed = options->isVisible() && !options->findChild<QPushButton*>(u"cmdOK"_s)->isEnabled();
            EXPECT_EQ(core.settings.Username, u"alice"_s);
        });
        refreshed = refresh();
    });
    seam.showOptionsDialog(OptionsFocus::None);

    EXPECT_TRUE(refreshed);
    EXPECT_TRUE(waitedGreyed);
    EXPECT_EQ(monthsIn(u"alice"_s), 2);
    EXPECT_EQ(monthsIn(u"anytime"_s), 0);
    // Applied once the refresh had ended.
    EXPECT_EQ(core.settings.Username, u"anytime"_s);
    EXPECT_TRUE(core.logTexts().contains(u"configuration settings saved"_s));
}

TEST_F(MainWindowSeamTest, TheOptionsMenuShowsThePeakTimesUnderTheMonthsClassTitles)
{
    ASSERT_TRUE(refresh());
    QString peak;
    QString offpeak;
    QTimer::singleShot(0, [&] {
        auto* options = qobject_cast<frmConfig*>(QApplication::activeModalWidget());
        if (!options) {
            ADD_FAILURE() << "no options dialog";
            return;
        }
        peak = options->controls().lblPeakTimeName->text();
        offpeak = options->controls().lblOffpeakTimeName->text();
        options->reject();
    });
    seam.form()->menus().mnuConfig->trigger();
    // The summary's column titles as the month names its classes ("Offpeak" until then).
    EXPECT_EQ(peak, u"Peak time:"_s);
    EXPECT_EQ(offpeak, u"Off-peak time:"_s);
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

TEST_F(MainWindowSeamTest, AStoredMonthAfterAShapedOneShowsItsStatusInTheSystemColour)
{
    core.settings.Username = u"anytime"_s;
    core.settings.Password = u"anytime-pass"_s;
    ASSERT_TRUE(refresh());
    const auto* status = qobject_cast<QLineEdit*>(seam.form()->control({u"txtStatus"_s}));
    ASSERT_TRUE(status);
    ASSERT_EQ(status->palette().color(QPalette::Text), QColor(255, 0, 0));

    QComboBox& months = seam.form()->cboHistory();
    ASSERT_EQ(months.count(), 2);
    months.setCurrentIndex(1);
    emit months.activated(1);
    EXPECT_EQ(status->text(), u"n/a"_s);
    EXPECT_EQ(status->palette().color(QPalette::Text), QApplication::palette(status).color(QPalette::ButtonText));
}

TEST_F(MainWindowSeamTest, MonthNamesOnScreenAreTheUsersAndTheListReadsThemBack)
{
    const DefaultLocale german(DefaultLocale::german());
    ASSERT_TRUE(refresh());
    QComboBox& months = seam.form()->cboHistory();
    ASSERT_EQ(months.count(), 2);
    EXPECT_EQ(months.itemText(0), u"M\u00e4rz 2024"_s);
    EXPECT_EQ(months.itemText(1), u"Februar 2024"_s);

    months.setCurrentIndex(1);
    emit months.activated(1);
    EXPECT_EQ(core.run.CurrentMonth.AnniversaryDate.date().month(), 2);
    const auto* summary = qobject_cast<QGroupBox*>(seam.form()->control({u"frameDownloadSummary"_s}));
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->title(), u"Summary for Februar 2024"_s);
    const QStringList status = core.logTexts().filter(u"viewing data for "_s);
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status.first().startsWith(u"viewing data for Februar 2024, last updated "_s))
        << status.first().toStdString();

    seam.commands()->cmdTeeGraph_Click();
    QString caption;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == u"frmTeeGraph"_s)
            caption = window->windowTitle();
    EXPECT_EQ(caption, u"Tallyroo Graph for Februar 2024 [alice]"_s);
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
