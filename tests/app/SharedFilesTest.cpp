// SPDX-License-Identifier: MIT
// Files the program shares with the user and with its other copies: the settings file edited by
// hand while a run goes on, and the cache files of one account that two runs fetch at once.
#include "FakeProvider.h"
#include "TallymeterProgram.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

class SharedFiles : public TallymeterProgram
{
protected:
    SharedFiles() : TallymeterProgram(false)
    {
        if (server.start())
            base = server.baseUrl();
    }

    // Starts the program once per argument list, all at once; each run's exit status and standard
    // error, -1 for one that did not end in time.
    QList<QPair<int, QString>> runTogether(const QList<QStringList>& runs)
    {
        std::vector<std::unique_ptr<QProcess>> programs;
        QEventLoop loop;
        int running = 0;
        for (const QStringList& arguments : runs) {
            auto& program = programs.emplace_back(std::make_unique<QProcess>());
            program->setProcessEnvironment(env);
            QObject::connect(program.get(), &QProcess::finished, &loop, [&] {
                if (--running == 0)
                    loop.quit();
            });
            program->start(QStringLiteral(TALLYMETER_PATH), arguments);
            running += program->waitForStarted(10000) ? 1 : 0;
        }
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        if (running > 0)
            loop.exec();
        QList<QPair<int, QString>> results;
        for (const auto& program : programs) {
            int status = -1;
            if (program->state() != QProcess::NotRunning) {
                program->kill();
                program->waitForFinished();
            } else {
                status = program->exitStatus() == QProcess::NormalExit ? program->exitCode() : -2;
            }
            results.append({status, QString::fromUtf8(program->readAllStandardError())});
        }
        return results;
    }

    // Every usage reply keeps the program waiting a while.
    void slowUsageReplies(const QString& path, const QString& query)
    {
        server.clearRules();
        FakeProvider::Rule slow;
        slow.path = path;
        slow.queryContains = query;
        slow.useDefaultReply = true;
        slow.delayMs = 1500;
        server.addRule(slow);
    }

    FakeProvider server{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
};

void writeAged(const QString& path, const QDateTime& modified)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a reply nobody finished with");
    file.flush();
    ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

TEST_F(SharedFiles, TwoRunsOfOneAccountAtOnceBothStoreTheirMonth)
{
    ASSERT_NE(server.port(), 0);
    const struct
    {
        const char* feed;
        QString choice, cacheFile, usagePath, usageQuery;
    } feeds[] = {
        {"JSON", u"1"_s, u"alice-json.txt"_s, u"/cgi-bin/api.cgi"_s, u"_TOKEN=alice-"_s},
        {"XML", u"0"_s, u"alice.xml"_s, u"/cgi-bin/new/volume_usage_xml.cgi"_s, u"username=alice"_s},
    };
    for (const auto& feed : feeds) {
        SCOPED_TRACE(feed.feed);
        QDir(dataDir).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dataDir));
        // Several copies allowed.
        writeProfile(u"sunshine 42"_s, u"\"UseJSONFeed\"=dword:0000000"_s + feed.choice + u'\n');
        setRegistryValue(u"Software\\Tallymeter\\Config"_s, u"Options"_s, RegistryValue::dword(0x1bbec | 0x10));
        // Every usage reply, this month's and the back-fill's, keeps both runs waiting together.
        slowUsageReplies(feed.usagePath, feed.usageQuery);

        // What a run killed in the middle left two hours ago (far past the longest time-out), and
        // what other copies, this release and an earlier one, have just parked.
        const QString start = dataDir + u"/."_s + feed.cacheFile;
        const QString left = start + u".4194301-0.pending"_s;
        const QStringList parked = {start + u".4194302-0.pending"_s, start + u".pending"_s};
        writeAged(left, QDateTime::currentDateTime().addSecs(-2 * 3600));
        for (const QString& path : parked)
            writeAged(path, QDateTime::currentDateTime().addSecs(-5));

        const QList<QPair<int, QString>> results = runTogether({{u"/H"_s}, {u"/H"_s}});
        for (const auto& [status, output] : results) {
            EXPECT_EQ(status, 0) << output.toStdString();
            EXPECT_FALSE(output.contains(u"unknown"_s)) << output.toStdString();
        }
        EXPECT_FALSE(log().contains(u"invalid last refresh date"_s)) << log().toStdString();
        EXPECT_EQ(log().count(u"terminating Tallyroo"_s), 2) << log().toStdString();
        EXPECT_EQ(storedMonths(), 2);
        EXPECT_TRUE(QFile::exists(dataDir + u'/' + feed.cacheFile));
        EXPECT_FALSE(QFile::exists(left));
        // Each run took away its own, and only its own.
        QStringList parkedNames;
        for (const QString& path : parked)
            parkedNames.append(QFileInfo(path).fileName());
        parkedNames.sort();
        EXPECT_EQ(QDir(dataDir).entryList({u"*.pending"_s}, QDir::Files | QDir::Hidden, QDir::Name), parkedNames);
    }
}

TEST_F(SharedFiles, ASettingsFileBrokenDuringAHiddenRunIsLeftAsItIsAndToldOnce)
{
    ASSERT_NE(server.port(), 0);
    writeProfile(u"sunshine 42"_s);
    const QString path = home + u"/config/tallymeter/registry.reg"_s;
    const QByteArray good = TestEnvironment::readFile(path);
    QByteArray broken = good;
    broken.replace("\"debug\"=dword:0000000a", "\"debug\"=10");
    ASSERT_NE(broken, good);
    // The slip comes while the run waits for its month.
    slowUsageReplies(u"/cgi-bin/api.cgi"_s, u"_TOKEN=alice-"_s);
    bool slipped = false;
    QObject::connect(&server, &FakeProvider::requestRecorded, &server, [&] {
        if (slipped || !server.requests().last().rawQuery.contains("_TOKEN=alice-"))
            return;
        slipped = true;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(broken);
    });

    // The month is stored; only the settings are not written.
    EXPECT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    ASSERT_TRUE(slipped);
    EXPECT_EQ(storedMonths(), 2);
    EXPECT_EQ(TestEnvironment::readFile(path), broken);
    EXPECT_EQ(QDir(home + u"/config/tallymeter"_s).entryList({u"registry.reg*"_s}, QDir::Files),
              (QStringList{u"registry.reg"_s, u"registry.reg.lock"_s}));
    const QString notice = u"The settings file "_s + path +
                           u" cannot be read (line 4: malformed value). Tallyroo goes on with the settings it last "_s
                           u"read, and changes are not saved until the file is mended."_s;
    EXPECT_EQ(output.count(notice), 1) << output.toStdString();
    // The log level is among the settings kept.
    EXPECT_EQ(log().count(notice), 1) << log().toStdString();
    EXPECT_TRUE(log().contains(u"terminating Tallyroo"_s));
}

} // namespace
