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

TEST_F(StoredDataSafety, AUserNameRetypedInOtherLettersIsFetchedNotFailed)
{
    const struct
    {
        QString feed, choice, component, retyped;
    } feeds[] = {{u"JSON"_s, u"1"_s, u"Pelborne"_s, u"Alice"_s}, {u"XML"_s, u"0"_s, u"Sarnick"_s, u"ALICE"_s}};
    for (const auto& [feed, choice, component, retyped] : feeds) {
        writeProfile(u"sunshine 42"_s, u"\"UseJSONFeed\"=dword:0000000"_s + choice + u'\n');
        ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
        // Within the minimum interval: the registry finds the last refresh under either spelling,
        // the file system has no cache file under the new one.
        QString registry = QString::fromUtf8(TestEnvironment::readFile(home + u"/config/tallymeter/registry.reg"_s));
        registry.replace(u"\"Username\"=\"alice\""_s, u"\"Username\"=\""_s + retyped + u'"');
        QFile file(home + u"/config/tallymeter/registry.reg"_s);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(registry.toUtf8());
        file.close();
        ASSERT_EQ(run({u"/H"_s}), 0) << feed.toStdString() << output.toStdString();
        EXPECT_TRUE(log().contains(u"retrieved live data for "_s + retyped + u" from "_s + feed + u" feed"_s))
            << feed.toStdString();
        EXPECT_TRUE(log().contains(component + u".RetrieveData: cache file not found, fetching live data instead: "_s))
            << feed.toStdString();
    }
}
