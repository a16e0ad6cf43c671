// SPDX-License-Identifier: MIT
// The options dialog and the profile menu, also while a refresh fetches.
#include "MainWindowSeamTest.h"

#include "TrayMenu.h"
#include "frmConfig.h"
#include "frmMain.h"
#include "frmVersionCheck.h"
#include "modVersionCheck.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

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

TEST_F(MainWindowSeamTest, OptionsAskedForDuringAFetchOpenAtOnceAndOnlyANewAccountWaits)
{
    // alice's month is held up while the user asks for the options from the tray.
    ProviderRule slow;
    slow.queryContains = u"_TOKEN=alice-"_s;
    slow.useDefaultReply = true;
    slow.delayMs = 1500;
    provider.addRule(slow);
    // The status bar as the program's log fills it.
    const QString& status = core.window.statusText;
    bool openedDuringFetch = false;
    bool quietAppliedDuringFetch = false;
    bool accountWaited = false;
    QPointer<frmConfig> options;
    QTimer::singleShot(200, qApp, [&] {
        ASSERT_TRUE(cycle.accountInUse());
        emit seam.trayMenu()->optionsClicked();
        options = qobject_cast<frmConfig*>(QApplication::activeModalWidget());
        openedDuringFetch = options && options->isVisible() && cycle.accountInUse();
        if (!options)
            return;
        const ConfigControls& ui = options->controls();
        // Another option applies at once.
        ui.chkQuietMode->setChecked(!ui.chkQuietMode->isChecked());
        ui.cmdApply->click();
        quietAppliedDuringFetch = core.settings.hasOption(OptionFlag::QuietMode) == ui.chkQuietMode->isChecked() &&
                                  cycle.accountInUse() && !ui.lblWaiting->isVisible();
        // Another account waits for the refresh, greyed, and the dialog says why, whatever the
        // refresh writes to the status bar meanwhile.
        ui.txtUsername->setText(u"anytime"_s);
        ui.cmdApply->click();
        core.log.LogMessage(u"fetching daily data from the provider"_s, 2);
        accountWaited = options->isVisible() && !ui.cmdOK->isEnabled() && core.settings.Username == u"alice"_s &&
                        !status.contains(u"waiting"_s) && ui.lblWaiting->isVisible();
    });
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(refresh());

    EXPECT_TRUE(openedDuringFetch);
    EXPECT_TRUE(quietAppliedDuringFetch);
    EXPECT_TRUE(accountWaited);
    EXPECT_GE(took.elapsed(), 1500);
    // alice's month went to alice's database, and the new account came after it.
    EXPECT_EQ(monthsIn(u"alice"_s), 2);
    EXPECT_EQ(monthsIn(u"anytime"_s), 0);
    EXPECT_EQ(core.settings.Username, u"anytime"_s);
    // Applied, the dialog stays open as Apply leaves it, without the line.
    ASSERT_TRUE(options && options->isVisible());
    EXPECT_FALSE(options->controls().lblWaiting->isVisible());
    EXPECT_TRUE(options->controls().cmdOK->isEnabled());
    options->controls().cmdCancel->click();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, 2000));
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

TEST_F(MainWindowSeamTest, TheAnswerToACheckForUpdatesHoldsOnlyTheMainWindow)
{
    FakeProvider::Rule newer;
    newer.path = u"/software/Tallyroo/version/"_s;
    newer.body = "<pre>\n9.0.0\nA newer one\n</pre>\n";
    provider.addRule(newer);
    seam.versionCheck()->setSiteBase(provider.baseUrl());
    // Held by the whole program, the dialog would also hold the tray icon.
    QWidget* owner = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<frmVersionCheck*>(QApplication::activeModalWidget())) {
            owner = dialog->parentWidget();
            modality = dialog->windowModality();
            dialog->reject();
        }
    });
    answer.start(20);
    seam.form()->findChild<QAction*>(u"mnuVersionCheck"_s)->trigger();
    EXPECT_EQ(owner, seam.form());
    EXPECT_EQ(modality, Qt::WindowModal);
}
