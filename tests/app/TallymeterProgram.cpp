// SPDX-License-Identifier: MIT
#include "TallymeterProgram.h"

#include "RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <QElapsedTimer>
#include <QThread>

#include <csignal>
#include <memory>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

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
    // Qt takes a runtime folder that others may read for none, and makes one in the system's
    // temporary folder instead.
    QFile::setPermissions(home + u"/runtime"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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

bool TallymeterProgram::waitFor(const std::function<bool()>& done, int ms)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

int TallymeterProgram::runIntoClosedPipe(const QStringList& arguments)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return -3;
    ::close(ends[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    QList<QByteArray> texts{QByteArrayLiteral(TALLYMETER_PATH)};
    for (const QString& argument : arguments)
        texts.append(argument.toLocal8Bit());
    const QStringList environment = env.toStringList();
    for (const QString& variable : environment)
        texts.append(variable.toLocal8Bit());
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (qsizetype i = 0; i < texts.size(); ++i)
        (i <= arguments.size() ? argv : envp).push_back(texts[i].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    pid_t child = -1;
    const int spawned = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), envp.data());
    ::close(ends[1]);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        return -3;
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (clock.elapsed() > 60000) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        QThread::msleep(20);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

QString TallymeterProgram::log() const
{
    QFile file(dataDir + u"/debug.log"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

namespace {
// The sample account's database, opened with flags; null when it cannot be opened.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> sampleDatabase(const QString& dataDir, int flags)
{
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(dataDir + u"/alice.sl3"_s).constData(), &db, flags, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> owned(db, &sqlite3_close);
    if (opened != SQLITE_OK)
        owned.reset();
    return owned;
}
} // namespace

int TallymeterProgram::storedMonths() const
{
    const auto db = sampleDatabase(dataDir, SQLITE_OPEN_READONLY);
    int count = -1;
    sqlite3_stmt* statement = nullptr;
    if (db && sqlite3_prepare_v2(db.get(), "select count(*) from MonthlyData", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        count = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return count;
}

QList<QStringList> TallymeterProgram::storedRows(const char* sql) const
{
    const auto db = sampleDatabase(dataDir, SQLITE_OPEN_READONLY);
    QList<QStringList> rows;
    sqlite3_stmt* statement = nullptr;
    if (db && sqlite3_prepare_v2(db.get(), sql, -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                row.append(text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
            }
            rows.append(row);
        }
    }
    sqlite3_finalize(statement);
    return rows;
}

bool TallymeterProgram::addStoredMonth(const QString& firstDay) const
{
    const auto db = sampleDatabase(dataDir, SQLITE_OPEN_READWRITE);
    const QByteArray sql = "insert or replace into MonthlyData(AnniversaryDate, LastUpdate, PeakQuota, OffpeakQuota, "
                           "PlanType) values('" +
                           firstDay.toUtf8() + "', '" + firstDay.toUtf8() + " 12:00:00', 0, 0, 0)";
    return db && sqlite3_exec(db.get(), sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

QStringList TallymeterProgram::dataFiles() const
{
    return QDir(dataDir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QMap<QString, QByteArray> TallymeterProgram::keptFiles() const
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(dataDir).entryList(QDir::Files)) {
        if (name != u"debug.log")
            files.insert(name, TestEnvironment::readFile(dataDir + u'/' + name));
    }
    return files;
}
