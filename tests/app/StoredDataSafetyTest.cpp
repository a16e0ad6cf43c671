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

TEST_F(StoredDataSafety, AMissingDataHomeIsMadePrivateAndUsed)
{
    const QString dataHome = home + u"/fresh/share"_s; // a fresh account: not made yet
    env.insert(u"XDG_DATA_HOME"_s, dataHome);
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
