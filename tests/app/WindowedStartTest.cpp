// SPDX-License-Identifier: MIT
#include "FakeProvider.h"
#include "LogFrontEnd.h"
#include "MainWindowSeam.h"
#include "QtTrayBackend.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RegistryStore.h"
#include "RunState.h"
#include "Settings.h"
#include "SignalHandOff.h"
#include "StandardLocations.h"
#include "TallyProgram.h"
#include "TestEnvironment.h"
#include "TrayMenu.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {
// Closes each message box as it opens and keeps its text and owner.
struct MessageBoxCloser
{
    QStringList boxes;
    QStringList owners; // the object names of the windows the boxes stood over
    QTimer timer;

    MessageBoxCloser()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.append(box->text());
                owners.append(box->parentWidget() ? box->parentWidget()->objectName() : QString());
                box->close();
            }
        });
        timer.start(20);
    }
};

const LocalDateTime Now = *LocalDateTime::fromParts(2024, 3, 20, 12, 0, 0);
const QString Config = u"Software\\Tallymeter\\Config"_s;

// The program's start with windows (offscreen), against the fake provider in this process.
class WindowedStart : public ::testing::Test
{
protected:
    WindowedStart()
    {
        provider.setToday(Now.date());
        EXPECT_TRUE(provider.start());
        QString error;
        registry.WriteRegWordValue(HKEY_CURRENT_USER, u"Software\\Tallymeter"_s, u"debug"_s, 10, error);
        registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"DisableEncryption"_s, 1, error);
        registry.WriteRegStringValue(HKEY_CURRENT_USER, Config, u"Username"_s, u"alice"_s, error);
        registry.WriteRegStringValue(HKEY_CURRENT_USER, Config, u"Password"_s, u"sunshine 42"_s, error);
        registry.WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Pelborne\\Config"_s, u"ToolboxURL"_s,
                                     provider.baseUrl(), error);
    }

    std::optional<int> start(const QStringList& arguments)
    {
        program = std::make_unique<TallyProgram>(arguments, TestEnvironment::home(), clock);
        return program->Main();
    }
    bool has(const QString& key, const QString& name)
    {
        QString text;
        int32_t number = 0;
        return registry.GetRegValue(HKEY_CURRENT_USER, key, name, text) ||
               registry.GetRegWordValue(HKEY_CURRENT_USER, key, name, number);
    }
    QString logged() const
    {
        return QString::fromUtf8(TestEnvironment::readFile(program->run().DataDir + u"/debug.log"_s));
    }

    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
    SystemRegistry registry;
    FixedClock clock{Now};
    std::unique_ptr<TallyProgram> program;
};
} // namespace

TEST_F(WindowedStart, InTheTrayWithoutColumnWidthsTheMonthStillComes)
{
    QString error;
    registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"Col2"_s, 1500, error);
    registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"frmMainWidth"_s, 12000, error);
    ASSERT_EQ(start({u"/W"_s, u"/T"_s}), std::nullopt);

    EXPECT_FALSE(has(Config, u"Col2"_s));
    EXPECT_FALSE(has(Config, u"frmMainWidth"_s));
    EXPECT_TRUE(has(Config, u"Username"_s));
    // No notification area here: the window waits minimised on the task bar.
    const frmMain* form = program->mainWindow()->form();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(program->run().CurrentMonth.AnniversaryDate.month(), 3);
    // The provider's shaping speed reads as the kbit/s the sentence names.
    const auto* plan = form->findChild<QLineEdit*>(u"txtUnlimited"_s);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->text(), u"You have a limited account, and will be shaped to 256k once quota is reached"_s);
    const QString log = logged();
    EXPECT_TRUE(log.contains(u"Main: clearing column width settings"_s));
    EXPECT_TRUE(log.contains(u"Main: performing very first refresh"_s)) << log.toStdString();
    // The diagnostic report of a debug level of 10 or more.
    for (const QString& line :
         {u"WriteDebugInfo: Logger.dll version: 1.3.2"_s, u"WriteDebugInfo: Sarnick version: 1.0.8"_s,
          u"WriteDebugInfo: Pelborne version: 1.0.2"_s,
          QString(u"WriteDebugInfo: datafile path: "_s + program->run().DataDir)})
        EXPECT_TRUE(log.contains(line)) << line.toStdString();
}

TEST_F(WindowedStart, ClearingTheSettingsLeavesEveryProfileEmptyAndAsksForTheLogin)
{
    QString error;
    registry.WriteRegStringValue(HKEY_CURRENT_USER, Config + u'3', u"Username"_s, u"carol"_s, error);
    // The login box and the options dialog that follow it are closed as they come.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(50);
    ASSERT_EQ(start({u"/C"_s, u"/NOAUTO"_s}), std::nullopt);

    EXPECT_FALSE(has(Config, u"Username"_s));
    EXPECT_FALSE(has(Config + u'3', u"Username"_s));
    EXPECT_TRUE(program->mainWindow()->form()->isVisible());
    const QString log = logged();
    EXPECT_TRUE(log.contains(u"Main: clearing reg settings"_s));
    EXPECT_TRUE(log.contains(u"RefreshData: no username specified, aborting refresh"_s)) << log.toStdString();
    EXPECT_TRUE(provider.requests().isEmpty());
}

TEST_F(WindowedStart, AUserNameRetypedInOtherLettersShowsTheStoredMonthFromItsOwnFiles)
{
    QString error;
    registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"UseJSONFeed"_s, 0, error);
    registry.WriteRegStringValue(
        HKEY_CURRENT_USER, u"Software\\Tallymeter"_s, u"URLXMLUsage"_s,
        provider.baseUrl() + u"/cgi-bin/new/volume_usage_xml.cgi?username=qoUID&action=login&password=qoPWD"_s, error);
    // The very first refresh stores the month and the one before it.
    ASSERT_EQ(start({}), std::nullopt);
    const QString dataDir = program->run().DataDir;
    const auto files = [&dataDir] {
        return QDir(dataDir).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(u' ');
    };
    const QString before = files();
    program.reset();

    QStringList boxes;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&boxes] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            const auto* box = qobject_cast<QMessageBox*>(modal);
            boxes.append(box ? box->text() : modal->windowTitle());
            modal->close();
        }
    });
    closer.start(50);
    // With the history the month comes from the account's database; without it, from the feed's
    // cache file.
    const struct
    {
        QString retyped;
        int32_t options;
        QString source;
    } starts[] = {{u"Alice"_s, 0x18BEC, u" from database"_s}, {u"ALICE"_s, 0x10BEC, u" from cached XML XML file"_s}};
    for (const auto& [retyped, options, source] : starts) {
        registry.WriteRegStringValue(HKEY_CURRENT_USER, Config, u"Username"_s, retyped, error);
        registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"Options"_s, options, error);
        QFile::remove(dataDir + u"/debug.log"_s);
        ASSERT_EQ(start({u"/NOAUTO"_s}), std::nullopt);
        const QString log = logged();
        EXPECT_TRUE(log.contains(u"retrieved cached data for "_s + retyped + source)) << log.toStdString();
        EXPECT_EQ(program->run().CurrentMonth.AnniversaryDate.month(), 3);
        EXPECT_FALSE(log.contains(u"error loading cache file"_s)) << log.toStdString();
        if (options & 0x8000) {
            EXPECT_TRUE(log.contains(u"SQLGetMonths: retrieved 2 months"_s)) << log.toStdString();
        }
        program.reset();
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    EXPECT_EQ(files(), before);
}

TEST_F(WindowedStart, ExitFromTheTrayWhileTheStartUpRefreshAsksForThePasswordEndsTheProgram)
{
    QString error;
    registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"Options"_s, 101356 | OptionFlag::PwdPrompt, error);
    bool prompted = false;
    QTimer exitSoon;
    QObject::connect(&exitSoon, &QTimer::timeout, [&] {
        const QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != u"frmPasswordEntry"_s)
            return;
        prompted = true;
        exitSoon.stop();
        program->mainWindow()->trayMenu()->item(u"mnuPopup_Exit"_s)->trigger();
    });
    exitSoon.start(20);
    // The start-up ends where the exit came, without reaching the program's main loop.
    EXPECT_EQ(start({}), TallyProgram::Ok);
    ASSERT_TRUE(prompted);
    EXPECT_TRUE(provider.requests().isEmpty());
    const QString log = logged();
    EXPECT_TRUE(log.contains(u"RefreshData: no password specified, aborting refresh"_s)) << log.toStdString();
    EXPECT_TRUE(log.contains(u"terminating Tallyroo"_s));

    // The exit asked the shared application to quit; one turn of its loop takes that back, so the
    // next test's loops run.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST_F(WindowedStart, AStartWhileAHiddenRunWaitsSaysAnInstanceIsRunning)
{
    // A hidden run of the program holds the single-instance lock while the provider keeps it
    // waiting.
    ProviderRule held;
    held.path = u"/cgi-bin/api.cgi"_s;
    held.neverAnswer = true;
    provider.addRule(held);
    QProcess hidden;
    hidden.start(QStringLiteral(TALLYMETER_PATH), {u"/H"_s});
    ASSERT_TRUE(hidden.waitForStarted());
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!provider.requests().isEmpty() || hidden.state() == QProcess::NotRunning)
            loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_FALSE(provider.requests().isEmpty()) << hidden.readAllStandardError().toStdString();

    // The start's message box is read and closed as it comes.
    QStringList boxes;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    answer.start(20);
    EXPECT_EQ(start({}), TallyProgram::AlreadyRunning);
    answer.stop();
    hidden.kill();
    hidden.waitForFinished();

    EXPECT_EQ(boxes.join(u'|').toStdString(), "An instance of Tallyroo is already running.\r\n"
                                              "Shut it down before attempting to start another instance.");
    EXPECT_FALSE(program->mainWindow()->isFormLoaded());
    const QString log = logged();
    // The hidden run was asked, and said it had no window to show.
    EXPECT_TRUE(log.contains(u"Main: another instance asked to show the main window"_s)) << log.toStdString();
    EXPECT_TRUE(log.contains(u"Main: failed to find and activate existing instance"_s));
    EXPECT_FALSE(log.contains(u"Main: successfully found and activated existing instance"_s));
}

TEST_F(WindowedStart, ASettingsFileThatCannotBeReadIsReportedInABoxBeforeAnythingIsWritten)
{
    const QString path = RegistryStore::defaultCurrentUserPath();
    const QByteArray text = "Tallymeter registry 1\n\n[Software\\Tallymeter]\n\"debug\"=10\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    MessageBoxCloser closer;
    const QStringList& boxes = closer.boxes;
    ASSERT_EQ(start({u"/NOOLD"_s, u"/NOAUTO"_s}), std::nullopt);

    const QStringList kept = QFileInfo(path).dir().entryList({u"registry.reg.unreadable-*"_s});
    ASSERT_EQ(kept.size(), 1);
    const QString keptAs = QFileInfo(path).dir().filePath(kept.first());
    EXPECT_EQ(TestEnvironment::readFile(keptAs), text);
    const QString report = u"The settings file "_s + path + u" could not be read (line 4: malformed value). "_s +
                           u"It was kept as "_s + keptAs + u" and Tallyroo starts with default settings."_s;
    EXPECT_EQ(boxes, QStringList{report});
    EXPECT_TRUE(logged().contains(report)) << logged().toStdString();
    // The start went on with default settings in a fresh file.
    EXPECT_TRUE(program->mainWindow()->form()->isVisible());
    EXPECT_FALSE(has(u"Software\\Tallymeter"_s, u"debug"_s));
}

TEST_F(WindowedStart, CommandLineNotUnderstoodIsShownInABoxAndEndsTheStart)
{
    MessageBoxCloser closer;
    const QStringList& boxes = closer.boxes;
    EXPECT_EQ(start({u"--help"_s}), TallyProgram::BadCommandLine);
    EXPECT_EQ(boxes.join(u'|').toStdString(), "Error processing command line parameters:\r\nunknown parameter: --help"
                                              "\r\n\r\nTallymeter aborting...");
    EXPECT_FALSE(program->mainWindow()->isFormLoaded());
}

TEST_F(WindowedStart, ASignalWhileTheDataFolderQuestionIsOpenEndsThroughTheExitRoutine)
{
    // The data files in the program's folder: the start asks whether to move them.
    QString error;
    registry.WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Sarnick\\Config"_s, u"Path"_s, TestEnvironment::home(),
                                 error);
    // As the program's main hands a signal to its windows.
    const SignalHandOff handOff([this](int) { program->window().exitProgram(); });
    bool asked = false;
    QTimer hangUp;
    QObject::connect(&hangUp, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->text().contains(u"Do you want to allow Tallyroo to migrate your data directory?"_s))
            return;
        asked = true;
        hangUp.stop();
        ::raise(SIGHUP);
    });
    hangUp.start(20);
    EXPECT_EQ(start({}), TallyProgram::Ok);
    ASSERT_TRUE(asked);
    EXPECT_EQ(SignalHandOff::received(), SIGHUP);
    const QString log = logged();
    EXPECT_TRUE(log.contains(u"CheckDataDirectory: program is ending, so the question stays for the next start"_s))
        << log.toStdString();
    EXPECT_TRUE(log.contains(u"terminating Tallyroo"_s));
    EXPECT_FALSE(log.contains(u"cancelled"_s)) << log.toStdString();
    // Nobody answered: the question comes again at the next start.
    EXPECT_FALSE(has(Config, u"DataDirMigration"_s));
    EXPECT_FALSE(program->mainWindow()->isFormLoaded());
    EXPECT_TRUE(provider.requests().isEmpty());

    // The exit asked the shared application to quit; one turn of its loop takes that back.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST_F(WindowedStart, ASettingsFileBrokenWhileTheProgramRunsIsLeftAsItIsAndToldOnceSeen)
{
    // Level 20: what the tray icon was asked to show.
    QString error;
    registry.WriteRegWordValue(HKEY_CURRENT_USER, u"Software\\Tallymeter"_s, u"debug"_s, 20, error);
    program = std::make_unique<TallyProgram>(QStringList{}, TestEnvironment::home(), clock);
    // A stand-in notification area, where the program starts hidden by default.
    program->mainWindow()->trayBackend()->setAvailability([] { return true; });
    ASSERT_EQ(program->Main(), std::nullopt);
    frmMain& form = *program->mainWindow()->form();
    TrayMenu& tray = *program->mainWindow()->trayMenu();
    ASSERT_FALSE(form.isVisible());
    ASSERT_EQ(program->run().CurrentMonth.AnniversaryDate.month(), 3);
    const QString dataDir = program->run().DataDir;
    const QString path = RegistryStore::defaultCurrentUserPath();
    const QByteArray good = TestEnvironment::readFile(path);
    const QByteArray slip = "\"debug\"=dword:00000014";
    ASSERT_TRUE(good.contains(slip));
    const QString line = QString::number(good.left(good.indexOf(slip)).count('\n') + 1);
    QByteArray broken = good;
    broken.replace(slip, "\"debug\"=20");
    const auto edit = [&path](const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)); // in place, as an editor may
        file.write(text);
    };
    edit(broken);
    const QStringList files = QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden);
    const qsizetype logBefore = logged().size();
    const Settings lastRead = program->settings();
    const QStringList dataFiles = QDir(dataDir).entryList(QDir::Files | QDir::Hidden);

    MessageBoxCloser closer;
    const QStringList& boxes = closer.boxes;
    // Options from the tray, a user and a proxy user typed and OK; a dialog that stays open keeps
    // what was typed and is cancelled. True when OK closed it.
    bool entryKept = true;
    const auto applyOptions = [&](const QString& user, const QString& proxyUser) {
        bool okPressed = false;
        bool closedByOk = false;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* options = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!options || qobject_cast<QMessageBox*>(options))
                return;
            auto* username = options->findChild<QLineEdit*>(u"txtUsername"_s);
            auto* proxyUID = options->findChild<QLineEdit*>(u"txtProxyUID"_s);
            if (!okPressed) {
                okPressed = true;
                username->setText(user);
                proxyUID->setText(proxyUser);
                options->findChild<QPushButton*>(u"cmdOK"_s)->click();
                closedByOk = !options->isVisible();
            } else if (options->isVisible()) {
                entryKept = entryKept && username->text() == user && proxyUID->text() == proxyUser;
                options->findChild<QPushButton*>(u"cmdCancel"_s)->click();
            }
        });
        driver.start(20);
        emit tray.optionsClicked();
        return closedByOk;
    };

    // A refresh and an OK in the options, both from the tray, meet the damaged file.
    emit tray.refreshClicked();
    EXPECT_FALSE(applyOptions(u"bob"_s, u"carol"_s));
    EXPECT_TRUE(entryKept);
    // Nothing of the refused save is in use: an hour on, the refresh fetches the account last saved,
    // the caption names it, and no file was made for the refused one.
    clock.advanceSeconds(3600);
    provider.clearRequests();
    emit tray.refreshClicked();
    ASSERT_FALSE(provider.requests().isEmpty());
    for (const FakeProvider::Request& request : provider.requests())
        EXPECT_TRUE(request.target.contains("alice")) << request.target.toStdString();
    EXPECT_TRUE(form.windowTitle().endsWith(u" [alice]"_s)) << form.windowTitle().toStdString();
    EXPECT_EQ(QDir(dataDir).entryList(QDir::Files | QDir::Hidden), dataFiles);

    EXPECT_EQ(TestEnvironment::readFile(path), broken);
    EXPECT_EQ(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden), files);
    const QString notice = u"The settings file "_s + path + u" cannot be read (line "_s + line +
                           u": malformed value). Tallyroo goes on with the settings it last read, and changes are "_s
                           u"not saved until the file is mended."_s;
    const QString notSaved = u"SaveRegSettings: settings not saved:\r\n["_s + QString::number(EBADMSG) + u"] "_s +
                             path + u" cannot be read (line "_s + line +
                             u": malformed value); changes are not saved until it is mended."_s;
    // Hidden, the window shows no box of the notice: the icon names the file, and the refused save
    // is said over the dialog. Brought back, the window shows the box, once.
    EXPECT_EQ(boxes, QStringList{notSaved}) << boxes.join(u'\n').toStdString();
    EXPECT_EQ(closer.owners, QStringList{u"frmConfig"_s});
    EXPECT_TRUE(logged().mid(logBefore).contains(u"ShowTrayMessage: Tallyroo: "_s + notice));
    emit tray.showClicked();
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.size() == 2; }, 2000));
    EXPECT_EQ(boxes, (QStringList{notSaved, notice}));
    EXPECT_EQ(closer.owners.value(1), u"frmMain"_s);
    // The graph window's options, saved as it opens, at each click and as it closes, are told of by
    // the notice alone.
    emit tray.graphClicked();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == u"frmTeeGraph"_s && window->isVisible()) {
            for (int click = 0; click < 2; ++click)
                window->findChild<QCheckBox*>(u"chkShowTarget"_s)->click();
            window->findChild<QPushButton*>(u"cmdClose"_s)->click();
        }
    }
    form.mnuFile_MinToTray_Click();
    emit tray.showClicked();
    QTest::qWait(200);
    // The settings last read stay in use, the log level among them.
    const QString log = logged().mid(logBefore);
    EXPECT_EQ(log.count(notice), 2) << log.toStdString(); // its own line and the tray icon's
    EXPECT_TRUE(log.contains(LogFrontEnd::normalise(notSaved))) << log.toStdString();
    EXPECT_FALSE(log.contains(u"configuration settings saved"_s));
    int32_t debug = 0;
    EXPECT_TRUE(registry.GetRegWordValue(HKEY_CURRENT_USER, u"Software\\Tallymeter"_s, u"debug"_s, debug));
    EXPECT_EQ(debug, 20);
    EXPECT_EQ(program->settings(), lastRead);
    EXPECT_EQ(program->run().DataDir, dataDir);

    // Mended, the file takes the next save, and nothing more is told.
    edit(good);
    EXPECT_TRUE(applyOptions(u"alice"_s, u"dave"_s));
    closer.timer.stop();
    EXPECT_TRUE(TestEnvironment::readFile(path).contains("\"ProxyUID\"=\"dave\"\n"));
    EXPECT_EQ(boxes.size(), 2) << boxes.join(u'\n').toStdString();
    EXPECT_EQ(logged().count(notice), 2);
    EXPECT_TRUE(logged().mid(logBefore).contains(u"configuration settings saved"_s));
}

TEST_F(WindowedStart, AStoredDataFolderThatCannotBeMadeLeavesEveryFileOfTheRunInItsOwnFolder)
{
    // A file where the stored folder would be made, as a share that is not mounted.
    const QString stored = TestEnvironment::freshFolder(u"share"_s) + u"/file/data"_s;
    QFile(QFileInfo(stored).path()).open(QIODevice::WriteOnly);
    QString error;
    registry.WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Sarnick\\Config"_s, u"Path"_s, stored, error);
    // The time of the cache file the stored folder holds, from the user's last run.
    const QByteArray lastRefresh = "\"alice\"=\"2024-03-20 11:00:00\"";
    registry.WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Pelborne\\Config"_s, u"alice"_s,
                                 u"2024-03-20 11:00:00"_s, error);
    MessageBoxCloser closer;
    ASSERT_EQ(start({}), std::nullopt);
    // The start's word on the folder, and no other: the very first refresh cached, stored and
    // reported in this run's folder, and the file still names the stored one, and the time of its
    // cache file, for the next start.
    const QString runFolder = StandardLocations::dataHome() + u"/Tallyroo"_s;
    EXPECT_EQ(closer.boxes.size(), 1) << closer.boxes.join(u'\n').toStdString();
    for (const QString& file : {u"alice-json.txt"_s, u"alice.sl3"_s})
        EXPECT_TRUE(QFileInfo::exists(runFolder + u'/' + file)) << file.toStdString();
    EXPECT_TRUE(logged().contains(u"WriteDebugInfo: datafile path: "_s + runFolder));
    const QByteArray file = TestEnvironment::readFile(RegistryStore::defaultCurrentUserPath());
    EXPECT_TRUE(file.contains(QByteArray("\"Path\"=\"" + stored.toUtf8() + '"')));
    EXPECT_TRUE(file.contains(lastRefresh)) << file.toStdString();
}

TEST_F(WindowedStart, ASettingsSlipBeforeAnyFetchLeavesTheFeedWithTheSettingsLastRead)
{
    // No fetch at the start: the feed component has read nothing of the file when it goes bad.
    ASSERT_EQ(start({u"/NOOLD"_s, u"/NOAUTO"_s}), std::nullopt);
    QByteArray text = TestEnvironment::readFile(RegistryStore::defaultCurrentUserPath());
    text.replace("\"debug\"=dword:0000000a", "\"debug\"=10");
    QFile file(RegistryStore::defaultCurrentUserPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) > 0);
    file.close();
    MessageBoxCloser closer;
    emit program->mainWindow()->trayMenu()->refreshClicked();
    // The month came from the profile's address, as before the slip, and nothing failed.
    EXPECT_EQ(program->run().CurrentMonth.AnniversaryDate.month(), 3);
    EXPECT_TRUE(closer.boxes.isEmpty()) << closer.boxes.join(u'\n').toStdString();
    EXPECT_TRUE(logged().contains(u"Tallyroo goes on with the settings it last read"_s));
}
