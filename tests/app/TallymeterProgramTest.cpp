// SPDX-License-Identifier: MIT
#include "TallymeterProgram.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::StringLiterals;

TEST_F(TallymeterProgram, HiddenRunRefreshesStoresAndExports)
{
    ASSERT_TRUE(base.startsWith(u"http://127.0.0.1:"_s)) << base.toStdString();
    writeProfile(u"sunshine 42"_s);
    // The exit routine's own lines are of the finest level.
    setRegistryValue(u"Software\\Tallymeter"_s, u"debug"_s, RegistryValue::dword(20));
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString() << log().toStdString();

    const QString text = log();
    EXPECT_TRUE(text.contains(u"starting Tallyroo "_s));
    EXPECT_TRUE(text.contains(u"retrieved live data for alice from JSON feed"_s)) << text.toStdString();
    // It ends through the exit routine, after the refresh.
    qsizetype at = text.indexOf(u"retrieved live data for alice"_s);
    for (const QString& line : {u"mnuFile_Exit_Click: initiating exit routines..."_s,
                                u"frmMain_Unload: cancel: -1, windowstate: 0"_s, u"frmMain_Unload: calling unload..."_s,
                                u"terminating Tallyroo"_s, u"frmMain_Unload: ending program execution"_s}) {
        const qsizetype next = text.indexOf(line, at);
        EXPECT_GT(next, at) << line.toStdString();
        at = std::max(at, next);
    }
    EXPECT_FALSE(text.contains(u"sunshine 42"_s)); // the password never reaches the log
    EXPECT_EQ(storedMonths(), 2);                  // this month and the back-filled one
    EXPECT_TRUE(QFile::exists(dataDir + u"/data.xml"_s));
    EXPECT_TRUE(QFile::exists(dataDir + u'/' + QDate::currentDate().toString(u"yyyyMM"_s) + u".csv"_s));
    // Nothing is left running: the lock is given back.
    EXPECT_EQ(run({u"/H"_s}), 0) << output.toStdString();
}

TEST_F(TallymeterProgram, HiddenRunReportsAFailedRefreshInItsStatus)
{
    writeProfile(u"wrong"_s);
    EXPECT_EQ(run({u"/H"_s}), 1) << output.toStdString();
    EXPECT_EQ(storedMonths(), 0); // the database is made, nothing is stored
}

TEST_F(TallymeterProgram, BadCommandLineEndsWithItsMessage)
{
    writeProfile(u"sunshine 42"_s);
    EXPECT_EQ(run({u"/H"_s, u"/X"_s}), 2);
    EXPECT_TRUE(
        log().contains(u"Error processing command line parameters: unknown switch: /X Tallymeter aborting..."_s))
        << log().toStdString();
}

TEST_F(TallymeterProgram, BothFeedsNameTheProgramAndItsVersionToTheProvider)
{
    const QString agent = u"User-Agent: Tallyroo 1.3.2 ("_s;
    writeProfile(u"sunshine 42"_s);
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    QString requests = providerLog();
    EXPECT_TRUE(requests.contains(u"api.cgi "_s + agent + u"Pelborne COM 1.0.2; Linux "_s)) << requests.toStdString();
    EXPECT_TRUE(log().contains(u"starting Tallyroo 1.3.2"_s));

    writeProfile(u"sunshine 42"_s, u"\"UseJSONFeed\"=dword:00000000\n"_s);
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    requests = providerLog();
    EXPECT_TRUE(requests.contains(u"volume_usage_xml.cgi "_s + agent + u"Sarnick COM 1.0.8; Linux "_s))
        << requests.toStdString();
    EXPECT_FALSE(requests.contains(u"unknown app"_s));
}

TEST_F(TallymeterProgram, WithoutADisplayOnlyTheRunOnceModeStarts)
{
    writeProfile(u"sunshine 42"_s);
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    // A platform that needs no display (the tests' offscreen one) would start the windows.
    env.remove(u"QT_QPA_PLATFORM"_s);
    EXPECT_EQ(run({}), 6);
    EXPECT_TRUE(output.contains(u"no display"_s)) << output.toStdString();
    EXPECT_TRUE(output.contains(u"/H"_s));
    // It ended before taking the single-instance lock or touching the provider.
    EXPECT_FALSE(QFileInfo::exists(lockFolder()));
    EXPECT_TRUE(providerLog().isEmpty()) << providerLog().toStdString();
    EXPECT_EQ(run({u"/H"_s}), 0) << output.toStdString();
}

TEST_F(TallymeterProgram, ADisplayThatIsNamedButGoneEndsAsWithoutOne)
{
    // An ssh session's DISPLAY whose forwarding has ended: no X server behind the name.
    int number = 4711;
    while (QFile::exists(u"/tmp/.X11-unix/X"_s + QString::number(number)))
        ++number;
    const QString display = u':' + QString::number(number);
    env.insert(u"DISPLAY"_s, display);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"XDG_SESSION_TYPE"_s);
    writeProfile(u"sunshine 42"_s);
    EXPECT_EQ(run({}), 6);
    EXPECT_TRUE(
        output.contains(u"no display to show the window on (the X display \""_s + display + u"\" cannot be opened)"_s))
        << output.toStdString();
    EXPECT_TRUE(output.contains(u"/H"_s));
    EXPECT_FALSE(QFileInfo::exists(lockFolder()));
}

TEST_F(TallymeterProgram, ASettingsFileWithASlipIsKeptAsideAndReportedOnce)
{
    writeProfile(u"sunshine 42"_s);
    const QString folder = home + u"/config/tallymeter"_s;
    QByteArray text = TestEnvironment::readFile(folder + u"/registry.reg"_s);
    ASSERT_TRUE(text.contains("\"debug\"=dword:0000000a\n"));
    text.replace("\"debug\"=dword:0000000a\n", "\"debug\"=10\n"); // line 4
    QFile file(folder + u"/registry.reg"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();

    // Default settings hold no login: the refresh fails, and says why.
    EXPECT_EQ(run({u"/H"_s}), 1) << output.toStdString();
    const QStringList kept = QDir(folder).entryList({u"registry.reg.unreadable-*"_s});
    ASSERT_EQ(kept.size(), 1) << output.toStdString();
    const QString report = u"The settings file "_s + folder + u"/registry.reg could not be read (line 4: malformed "_s +
                           u"value). It was kept as "_s + folder + u'/' + kept.first() +
                           u" and Tallyroo starts with default settings."_s;
    EXPECT_EQ(output.count(report), 1) << output.toStdString();
    EXPECT_TRUE(log().contains(report)) << log().toStdString();
    EXPECT_EQ(TestEnvironment::readFile(folder + u'/' + kept.first()), text);

    // The next start finds the fresh file: nothing more is kept or reported, the copy stays.
    EXPECT_EQ(run({u"/H"_s}), 1) << output.toStdString();
    EXPECT_FALSE(output.contains(u"could not be read"_s)) << output.toStdString();
    EXPECT_EQ(QDir(folder).entryList({u"registry.reg.unreadable-*"_s}), kept);
    EXPECT_EQ(TestEnvironment::readFile(folder + u'/' + kept.first()), text);
}

TEST_F(TallymeterProgram, ASettingsFileWithAByteOrderMarkReadsAsWritten)
{
    writeProfile(u"sunshine 42"_s);
    const QString path = home + u"/config/tallymeter/registry.reg"_s;
    const QByteArray text = "\xEF\xBB\xBF" + TestEnvironment::readFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();

    EXPECT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    EXPECT_TRUE(log().contains(u"retrieved live data for alice from JSON feed"_s)) << log().toStdString();
    EXPECT_TRUE(QDir(home + u"/config/tallymeter"_s).entryList({u"*unreadable*"_s}).isEmpty());
}

TEST_F(TallymeterProgram, AHandEditedKeyOfAnyNameCostsNoSettingAcrossRefreshes)
{
    // "%5C" puts a backslash inside one component; every refresh saves the settings file.
    writeProfile(u"sunshine 42"_s, u"\n[Software\\Odd%5C]\n\"note\"=\"by hand\"\n"_s);
    for (int start = 1; start <= 2; ++start)
        ASSERT_EQ(run({u"/H"_s}), 0) << "start " << start << "\n" << output.toStdString() << log().toStdString();
    const QString folder = home + u"/config/tallymeter"_s;
    EXPECT_TRUE(
        TestEnvironment::readFile(folder + u"/registry.reg"_s).contains("[Software\\Odd%5c]\n\"note\"=\"by hand\"\n"));
    EXPECT_TRUE(QDir(folder).entryList({u"*unreadable*"_s}).isEmpty());
}

// A short name: the running copy's socket lies below the test's home, within a local socket's 107 bytes.
TEST_F(TallymeterProgram, OneCopyInAnySession)
{
    // The desktop's copy, with its window up; then its settings file goes bad by hand.
    writeProfile(u"sunshine 42"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"DISPLAY"_s, u":0"_s);
    QProcess desktop;
    desktop.setProcessEnvironment(env);
    desktop.start(QStringLiteral(TALLYMETER_PATH), {u"/NOAUTO"_s});
    ASSERT_TRUE(waitFor([&] { return log().contains(u"frmMain.Load: loading form"_s); }, 30000)) << log().toStdString();
    // Saved whole, as an editor does, so the running copy never reads it half written.
    QSaveFile settings(home + u"/config/tallymeter/registry.reg"_s);
    const QByteArray broken = TestEnvironment::readFile(settings.fileName()).replace("dword:0000000a", "10");
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly) && settings.write(broken) > 0 && settings.commit());

    // Starts from the menu and from a scheduler in an ssh or su session (runtime and cache folders
    // of its own, or none): each hands over to the running copy.
    env.insert(u"XDG_CACHE_HOME"_s, home + u"/elsewhere"_s);
    // Without a runtime folder Qt makes one in the temporary folder: this test's own.
    env.insert(u"TMPDIR"_s, home);
    for (const QString& runtime : QStringList{home + u"/elsewhere"_s, QString()}) {
        runtime.isEmpty() ? env.remove(u"XDG_RUNTIME_DIR"_s) : env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        EXPECT_EQ(run({}), 4) << output.toStdString();
        EXPECT_EQ(run({u"/H"_s}), 4);
        EXPECT_EQ(output.count(u"An instance of Tallyroo is already running."_s), 1) << output.toStdString();
    }
    EXPECT_EQ(log().count(u"Main: another instance asked to show the main window"_s), 4) << log().toStdString();
    desktop.terminate();
    EXPECT_TRUE(desktop.waitForFinished(20000));
    // Only the copy that runs may set the file aside, and it leaves it for the user to mend.
    EXPECT_EQ(TestEnvironment::readFile(settings.fileName()), broken);
    EXPECT_TRUE(QDir(home + u"/config/tallymeter"_s).entryList({u"*unreadable*"_s}).isEmpty());
}
