// SPDX-License-Identifier: MIT
#include "TallymeterProgram.h"

#include "RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

TallymeterProgram::TallymeterProgram(bool startProvider)
{
    if (startProvider) {
        provider.setStandardErrorFile(home + u"/provider.log"_s);
        provider.start(QStringLiteral(FAKEPROVIDER_PATH),
                       {u"--port"_s, u"0"_s, u"--data"_s, QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s});
        if (provider.waitForStarted() && provider.waitForReadyRead(10000))
            base = QString::fromUtf8(provider.readLine()).trimmed();
    }
    env.insert(u"HOME"_s, home);
    env.insert(u"XDG_CONFIG_HOME"_s, home + u"/config"_s);
    env.insert(u"XDG_DATA_HOME"_s, home + u"/data"_s);
    env.insert(u"XDG_RUNTIME_DIR"_s, home + u"/runtime"_s);
    QDir().mkpath(home + u"/config/tallymeter"_s);
    QDir().mkpath(home + u"/data"_s);
    QDir().mkpath(home + u"/runtime"_s);
}

TallymeterProgram::~TallymeterProgram()
{
    if (provider.state() != QProcess::NotRunning) {
        provider.kill();
        provider.waitForFinished();
    }
}

QString TallymeterProgram::providerLog() const
{
    return QString::fromUtf8(TestEnvironment::readFile(home + u"/provider.log"_s));
}

void TallymeterProgram::writeProfile(const QString& password, const QString& extra)
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

void TallymeterProgram::setRegistryValue(const QString& key, const QString& name, const RegistryValue& value)
{
    RegistryStore store([this]() -> QString { return home + u"/config/tallymeter/registry.reg"_s; });
    const RegistryStore::Result result = store.setValue(key, name, value);
    ASSERT_TRUE(result.ok()) << result.code << ' ' << result.message.toStdString();
}

void TallymeterProgram::ageLastRefresh(const QString& user)
{
    const QString hourAgo = QDateTime::currentDateTime().addSecs(-3600).toString(u"yyyy-MM-dd HH:mm:ss"_s);
    for (const QString& component : {u"Pelborne"_s, u"Sarnick"_s})
        setRegistryValue(u"Software\\"_s + component + u"\\Config"_s, user, RegistryValue::text(hourAgo));
}

int TallymeterProgram::run(const QStringList& arguments)
{
    QProcess program;
    program.setProcessEnvironment(env);
    // The loop, unlike a blocking wait, lets a provider in this process answer the program.
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&program, &QProcess::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    program.start(QStringLiteral(TALLYMETER_PATH), arguments);
    if (program.waitForStarted(10000) && !ended)
        loop.exec();
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
        return -1;
    }
    if (!ended)
        return -1;
    output = QString::fromUtf8(program.readAllStandardError());
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
}

QString TallymeterProgram::log() const
{
    QFile file(dataDir + u"/debug.log"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

int TallymeterProgram::storedMonths() const
{
    sqlite3* db = nullptr;
    int count = -1;
    if (sqlite3_open_v2(QFile::encodeName(dataDir + u"/alice.sl3"_s).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "select count(*) from MonthlyData", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            count = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return count;
}
