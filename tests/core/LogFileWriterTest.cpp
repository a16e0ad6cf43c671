// SPDX-License-Identifier: MIT
#include "LogFileWriter.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

LogFileWriter fixedTimeWriter()
{
    return LogFileWriter([] { return QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9, 42)); });
}
} // namespace

TEST(LogFileWriter, AppendsStampedLinesReopeningTheFileEachTime)
{
    const QString path = TestEnvironment::freshFolder(u"writer-lines"_s) + u"/debug.log"_s;
    LogFileWriter writer = fixedTimeWriter();
    ASSERT_TRUE(writer.WriteToLog(path, 1024, u"first"_s, 2));
    ASSERT_TRUE(writer.WriteToLog(path, 1024, u"second"_s, 10));
    EXPECT_EQ(readAll(path), u"2026-12-08T14:05:09.042 [2] first\n2026-12-08T14:05:09.042 [10] second\n"_s);

    // Nothing is held open between lines: a removed file simply starts again.
    QFile::remove(path);
    ASSERT_TRUE(writer.WriteToLog(path, 1024, u"third"_s, 3));
    EXPECT_EQ(readAll(path), u"2026-12-08T14:05:09.042 [3] third\n"_s);
}

TEST(LogFileWriter, RotatesToTheOldFileBeforeTheLimit)
{
    const QString folder = TestEnvironment::freshFolder(u"writer-rotation"_s);
    const QString path = folder + u"/debug.log"_s;
    LogFileWriter writer = fixedTimeWriter();
    const QString text = QString(91, u'z'); // 120 bytes a line with its stamp

    qint64 largest = 0;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(writer.WriteToLog(path, 1, text, 5));
        largest = std::max(largest, QFileInfo(path).size());
    }
    EXPECT_LE(largest, 1024);
    ASSERT_TRUE(QFile::exists(folder + u"/debug.old"_s));
    // 8 lines fit below 1 KB; of 20 lines the second full file was moved aside, 4 lines follow.
    EXPECT_EQ(QFileInfo(folder + u"/debug.old"_s).size(), 8 * 120);
    EXPECT_EQ(QFileInfo(path).size(), 4 * 120);
}

TEST(LogFileWriter, NonPositiveLimitMeansTheDefault)
{
    const QString folder = TestEnvironment::freshFolder(u"writer-default"_s);
    const QString path = folder + u"/debug.log"_s;
    LogFileWriter writer = fixedTimeWriter();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(writer.WriteToLog(path, 0, u"line"_s, 1));
    EXPECT_FALSE(QFile::exists(folder + u"/debug.old"_s));
    EXPECT_EQ(LogFileWriter::rotatedName(path), folder + u"/debug.old"_s);
}

TEST(LogFileWriter, UnwritableFolderReportsFailure)
{
    LogFileWriter writer = fixedTimeWriter();
    const QString missing = TestEnvironment::freshFolder(u"writer-missing"_s) + u"/no/such/folder/debug.log"_s;
    EXPECT_FALSE(writer.WriteToLog(missing, 1024, u"lost"_s, 1));
}
