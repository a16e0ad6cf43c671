// SPDX-License-Identifier: MIT
#include "TallymeterProgram.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
using StoredDataSafety = TallymeterProgram;
} // namespace

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
