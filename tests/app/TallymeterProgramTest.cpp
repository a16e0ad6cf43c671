// SPDX-License-Identifier: MIT
#include "TestEnvironment.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {
// The built program in a home of its own against the fake provider program, both as processes.
class TallymeterProgram : public ::testing::Test
{
protected:
    TallymeterProgram()
    {
        provider.setStandardErrorFile(home + u"/provider.log"_s);
        provider.start(QStringLiteral(FAKEPROVIDER_PATH),
                       {u"--port"_s, u"0"_s, u"--data"_s, QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s});
        if (provider.waitForStarted() && provider.waitForReadyRead(10000))
            base = QString::fromUtf8(provider.readLine()).trimmed();
        env.insert(u"HOME"_s, home);
        env.insert(u"XDG_CONFIG_HOME"_s, home + u"/config"_s);
        env.insert(u"XDG_DATA_HOME"_s, home + u"/data"_s);
        env.insert(u"XDG_RUNTIME_DIR"_s, home + u"/runtime"_s);
        QDir().mkpath(home + u"/config/tallymeter"_s);
        QDir().mkpath(home + u"/data"_s);
        QDir().mkpath(home + u"/runtime"_s);
    }
    // What the provider has logged so far: a line per request.
    QString providerLog() const { return QString::fromUtf8(TestEnvironment::readFile(home + u"/provider.log"_s)); }

    ~TallymeterProgram() override
    {
        provider.kill();
        provider.waitForFinished();
    }

    // extra: more lines for the shared settings key.
    void writeProfile(const QString& password, const QString& extra = {})
    {
        QFile file(home + u"/config/tallymeter/registry.reg"_s);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QString text =
            u"Tallymeter registry 1\n\n[Software\\Tallymeter]\n\"debug\"=dword:0000000a\n\"URLXMLUsage\"=\""_s + base +
            u"/cgi-bin/new/volume_usage_xml.cgi?username=qoUID&action=login&password=qoPWD\"\n\n"
            u"[Software\\Tallymeter\\Config]\n\"DisableEncryption\"=dword:00000001\n"
            u"\"Username\"=\"alice\"\n\"Password\"=\""_s +
            password + u"\"\n\"Options\"=dword:0001bbec\n"_s + extra +
            u"\n[Software\\Pelborne\\Config]\n\"ToolboxURL\"=\""_s + base +
            u"\"\n\n[Software\\Sarnick\\Config]\n\"ToolboxURL\"=\""_s + base + u"\"\n"_s;
        file.write(text.toUtf8());
    }

    int run(const QStringList& arguments)
    {
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TALLYMETER_PATH), arguments);
        if (!program.waitForFinished(60000)) {
            program.kill();
            return -1;
        }
        output = QString::fromUtf8(program.readAllStandardError());
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
    }

    QString log() const
    {
        QFile file(dataDir + u"/debug.log"_s);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    int storedMonths() const
    {
        sqlite3* db = nullptr;
        int count = -1;
        if (sqlite3_open_v2(QFile::encodeName(dataDir + u"/alice.sl3"_s).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr) == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, "select count(*) from MonthlyData", -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW)
                count = sqlite3_column_int(statement, 0);
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return count;
    }

    QString home = TestEnvironment::freshFolder(
        QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    QString dataDir = home + u"/data/Tallyroo"_s;
    QProcess provider;
    QString base;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString output;
};
} // namespace

TEST_F(TallymeterProgram, HiddenRunRefreshesStoresAndExports)
{
    ASSERT_TRUE(base.startsWith(u"http://127.0.0.1:"_s)) << base.toStdString();
    writeProfile(u"sunshine 42"_s);
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString() << log().toStdString();

    const QString text = log();
    EXPECT_TRUE(text.contains(u"starting Tallyroo "_s));
    EXPECT_TRUE(text.contains(u"retrieved live data for alice from JSON feed"_s)) << text.toStdString();
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
    EXPECT_EQ(run({u"/Q"_s, u"/X"_s}), 2);
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
