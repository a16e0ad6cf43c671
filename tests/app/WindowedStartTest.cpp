// SPDX-License-Identifier: MIT
#include "FakeProvider.h"
#include "MainWindowSeam.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RegistryStore.h"
#include "RunState.h"
#include "TallyProgram.h"
#include "TestEnvironment.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
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

TEST_F(WindowedStart, ASettingsFileThatCannotBeReadIsReportedInABoxBeforeAnythingIsWritten)
{
    const QString path = RegistryStore::defaultCurrentUserPath();
    const QByteArray text = "Tallymeter registry 1\n\n[Software\\Tallymeter]\n\"debug\"=10\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    QStringList boxes;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes.append(box->text());
            box->close();
        }
    });
    closer.start(50);
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
