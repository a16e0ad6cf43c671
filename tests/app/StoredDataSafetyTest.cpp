// SPDX-License-Identifier: MIT
#include "TallymeterProgram.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {
using StoredDataSafety = TallymeterProgram;

const QString NotStored = u"tallymeter: the month was fetched but not stored in the history database "_s;
const QString NotWritten = u"tallymeter: the month was fetched but not written to the "_s;

QString csvExport(const QString& dataDir)
{
    return dataDir + u'/' + QDate::currentDate().toString(u"yyyyMM"_s) + u".csv"_s;
}
} // namespace

TEST_F(StoredDataSafety, AMonthTheHistoryCannotTakeIsNoSuccess)
{
    // Another program's file under the history database's name: never overwritten, never kept in.
    writeProfile(u"sunshine 42"_s);
    ASSERT_TRUE(QDir().mkpath(dataDir));
    const QByteArray foreign = QByteArray("not a database, but a file of its own\n").repeated(40);
    QFile file(dataDir + u"/alice.sl3"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(foreign);
    file.close();

    EXPECT_EQ(run({u"/H"_s}), 7) << output.toStdString();
    EXPECT_TRUE(output.contains(NotStored + dataDir + u"/alice.sl3\n"_s)) << output.toStdString();
    EXPECT_FALSE(output.contains(NotWritten)) << output.toStdString();
    EXPECT_EQ(TestEnvironment::readFile(dataDir + u"/alice.sl3"_s), foreign);
    EXPECT_TRUE(QFile::exists(dataDir + u"/data.xml"_s));
    EXPECT_TRUE(QFile::exists(csvExport(dataDir)));
}

TEST_F(StoredDataSafety, AnExportThatCannotBeWrittenIsNoSuccess)
{
    writeProfile(u"sunshine 42"_s);
    ASSERT_TRUE(QDir().mkpath(dataDir + u"/data.xml"_s));

    EXPECT_EQ(run({u"/H"_s}), 7) << output.toStdString();
    EXPECT_TRUE(output.contains(NotWritten + u"XML export "_s + dataDir + u"/data.xml\n"_s)) << output.toStdString();
    EXPECT_FALSE(output.contains(NotStored)) << output.toStdString();
    EXPECT_FALSE(output.contains(u"CSV export"_s)) << output.toStdString();
    EXPECT_TRUE(QFileInfo(dataDir + u"/data.xml"_s).isDir());
    EXPECT_EQ(storedMonths(), 2);
    EXPECT_TRUE(QFile::exists(csvExport(dataDir)));
}

TEST_F(StoredDataSafety, ADatabaseLockedByAnotherProgramFailsTheStoreWithinOneWait)
{
    writeProfile(u"sunshine 42"_s);
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    ageLastRefresh();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dataDir + u"/alice.sl3"_s).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);

    QElapsedTimer clock;
    clock.start();
    const int status = run({u"/H"_s});
    const qint64 took = clock.elapsed();
    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(status, 7) << output.toStdString();
    EXPECT_TRUE(output.contains(NotStored)) << output.toStdString();
    // One busy time-out of ten seconds, not one for each operation of the refresh.
    EXPECT_LT(took, 25000);
}

TEST_F(StoredDataSafety, AReaderThatStopsEarlyNeverCutsAStoreShort)
{
    writeProfile(u"sunshine 42"_s);
    // Every line the run writes to its standard output or error meets a closed pipe.
    ASSERT_EQ(runIntoClosedPipe({u"/H"_s}), 0) << log().toStdString();
    EXPECT_EQ(storedMonths(), 2);
    EXPECT_FALSE(QFile::exists(dataDir + u"/alice.sl3-journal"_s));
}

TEST_F(StoredDataSafety, MissingDataAndRuntimeFoldersAreMadePrivateAndUsed)
{
    // Named by the environment but not made yet.
    const QString dataHome = home + u"/fresh/share"_s;
    env.insert(u"XDG_DATA_HOME"_s, dataHome);
    env.insert(u"XDG_RUNTIME_DIR"_s, home + u"/fresh/runtime"_s);
    dataDir = dataHome + u"/Tallyroo"_s;
    writeProfile(u"sunshine 42"_s);
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    EXPECT_FALSE(output.contains(u"data directory"_s)) << output.toStdString();
    EXPECT_EQ(storedMonths(), 2);
    EXPECT_TRUE(log().contains(u"starting Tallyroo "_s));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFileInfo(dataHome).permissions() & others, QFileDevice::Permissions()); // private, mode 0700
    const QString registry = QString::fromUtf8(TestEnvironment::readFile(home + u"/config/tallymeter/registry.reg"_s));
    EXPECT_TRUE(registry.contains(u"\"Path\"=\""_s + dataDir + u'"')) << registry.toStdString();
}

TEST_F(StoredDataSafety, AUserNameRetypedInOtherLettersKeepsItsHistoryAndFiles)
{
    const struct
    {
        QString feed, choice, retyped;
    } feeds[] = {{u"JSON"_s, u"1"_s, u"Alice"_s}, {u"XML"_s, u"0"_s, u"ALICE"_s}};
    for (const auto& [feed, choice, retyped] : feeds) {
        writeProfile(u"sunshine 42"_s, u"\"UseJSONFeed\"=dword:0000000"_s + choice + u'\n');
        ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
        // A month older than the back-fill, which only the account's own database holds.
        ASSERT_TRUE(addStoredMonth(u"2020-01-01"_s));
        const QString files = dataFiles().join(u' ');
        QString registry = QString::fromUtf8(TestEnvironment::readFile(home + u"/config/tallymeter/registry.reg"_s));
        registry.replace(u"\"Username\"=\"alice\""_s, u"\"Username\"=\""_s + retyped + u'"');
        QFile file(home + u"/config/tallymeter/registry.reg"_s);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(registry.toUtf8());
        file.close();

        // Within the minimum interval the retyped name is as fresh as the old one.
        qsizetype seen = log().size();
        ASSERT_EQ(run({u"/H"_s}), 0) << feed.toStdString() << output.toStdString();
        EXPECT_TRUE(log().mid(seen).contains(u"retrieved cached data for "_s + retyped + u" from database"_s))
            << feed.toStdString() << log().mid(seen).toStdString();
        // Once it is due, a live fetch goes on in the same files.
        ageLastRefresh(retyped);
        seen = log().size();
        ASSERT_EQ(run({u"/H"_s}), 0) << feed.toStdString() << output.toStdString();
        const QString second = log().mid(seen);
        EXPECT_TRUE(second.contains(u"retrieved live data for "_s + retyped + u" from "_s + feed + u" feed"_s))
            << feed.toStdString() << second.toStdString();
        EXPECT_TRUE(second.contains(u"SQLGetMonths: retrieved 3 months"_s)) << feed.toStdString();
        EXPECT_FALSE(second.contains(u"cache file not found"_s)) << feed.toStdString() << second.toStdString();
        EXPECT_EQ(storedMonths(), 3);
        EXPECT_EQ(dataFiles().join(u' '), files) << feed.toStdString();
    }
}

TEST_F(StoredDataSafety, TheDataFolderSetIsReadWholeAndNeverRewritten)
{
    writeProfile(u"sunshine 42"_s);
    // Without history: SQLite keeps no database below a path of over 512 bytes.
    setRegistryValue(u"Software\\Tallymeter\\Config"_s, u"Options"_s, RegistryValue::dword(0x1bbec & ~0x8000));
    ASSERT_TRUE(QFile(home + u"/file"_s).open(QIODevice::WriteOnly));
    for (const QString& folder :
         QStringList{home + u"/file/data"_s, home + QString(u'/' + QString(200, u'd')).repeated(15)}) {
        setRegistryValue(u"Software\\Sarnick\\Config"_s, u"Path"_s, RegistryValue::text(folder));
        const bool usable = !folder.endsWith(u"/file/data"_s);
        EXPECT_EQ(run({u"/H"_s}), usable ? 0 : 9) << output.toStdString();
        EXPECT_EQ(output.contains(u"The data folder "_s + folder + u" cannot be used: [20] Not a directory"_s),
                  !usable);
        EXPECT_EQ(QFile::exists(folder + u"/data.xml"_s), usable);
        const QByteArray registry = TestEnvironment::readFile(home + u"/config/tallymeter/registry.reg"_s);
        EXPECT_TRUE(registry.contains((u"\"Path\"=\""_s + folder + u'"').toUtf8()));
    }
    EXPECT_FALSE(QFile::exists(dataDir + u"/data.xml"_s)); // the default folder holds no month
}
