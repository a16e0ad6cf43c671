// SPDX-License-Identifier: MIT
#include "AtomicFileWriter.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
using TestEnvironment::readFile;

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

mode_t modeOf(const QString& path)
{
    struct stat st
    {};
    ::stat(native(path).constData(), &st);
    return st.st_mode & 07777;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// What the folder holds at the moment the writer calls its hook before the rename.
struct SeenBeforeReplace
{
    QStringList files;
    QByteArray target;
};
} // namespace

TEST(AtomicFileWriter, TheTemporaryFileSitsBesideTheTargetUntilTheRename)
{
    const QString folder = TestEnvironment::freshFolder(u"atomic-temporary"_s);
    const QString path = folder + u"/data.reg"_s;
    ASSERT_EQ(AtomicFileWriter::write(native(path), "old"), 0);

    for (const bool hidden : {false, true}) {
        const QByteArray before = readFile(path);
        SeenBeforeReplace seen;
        AtomicFileWriter::Options options;
        options.hiddenTemporary = hidden;
        options.beforeReplace = [&] { seen = {filesIn(folder), readFile(path)}; };
        ASSERT_EQ(AtomicFileWriter::write(native(path), "new " + QByteArray::number(hidden), options), 0);

        EXPECT_EQ(seen.target, before) << hidden;
        ASSERT_EQ(seen.files.size(), 2) << seen.files.join(u',').toStdString();
        const QString temporary = seen.files.at(seen.files.at(0) == u"data.reg" ? 1 : 0);
        EXPECT_TRUE(
            temporary.startsWith(QString::fromUtf8(AtomicFileWriter::temporaryNamePrefix(native(path), hidden))));
        EXPECT_EQ(temporary.startsWith(u".data.reg.tmp-"_s), hidden) << temporary.toStdString();
        EXPECT_EQ(filesIn(folder), QStringList{u"data.reg"_s});
        EXPECT_EQ(readFile(path), "new " + QByteArray::number(hidden));
    }
}

TEST(AtomicFileWriter, NewFilesGetTheGivenModeAndReplacedFilesKeepTheirsOnlyWhenAsked)
{
    const QString folder = TestEnvironment::freshFolder(u"atomic-mode"_s);
    const mode_t previousMask = ::umask(022);
    const QString fresh = folder + u"/fresh"_s;
    EXPECT_EQ(AtomicFileWriter::write(native(fresh), "x"), 0);
    EXPECT_EQ(modeOf(fresh), mode_t(0600));
    const QString shared = folder + u"/shared"_s;
    EXPECT_EQ(AtomicFileWriter::write(native(shared), "x", {.newFileMode = 0666}), 0);
    EXPECT_EQ(modeOf(shared), mode_t(0644)); // the umask applies
    ::umask(previousMask);

    ASSERT_EQ(::chmod(native(shared).constData(), 0640), 0);
    EXPECT_EQ(AtomicFileWriter::write(native(shared), "y", {.keepExistingModeAndOwner = true}), 0);
    EXPECT_EQ(modeOf(shared), mode_t(0640));
    EXPECT_EQ(AtomicFileWriter::write(native(shared), "z"), 0);
    EXPECT_EQ(modeOf(shared), mode_t(0600));
    EXPECT_EQ(readFile(shared), "z");
}

TEST(AtomicFileWriter, AFailedRenameReportsErrnoAndLeavesNoTemporaryFile)
{
    const QString folder = TestEnvironment::freshFolder(u"atomic-failure"_s);
    ASSERT_TRUE(QDir(folder).mkdir(u"sub"_s));
    ASSERT_TRUE(QFile(folder + u"/sub/inside"_s).open(QIODevice::WriteOnly));

    bool hookCalled = false;
    EXPECT_EQ(AtomicFileWriter::write(native(folder + u"/sub"_s), "x", {.beforeReplace = [&] { hookCalled = true; }}),
              EISDIR);
    EXPECT_TRUE(hookCalled);
    EXPECT_TRUE(filesIn(folder).isEmpty()) << filesIn(folder).join(u',').toStdString();
    EXPECT_TRUE(QFileInfo(folder + u"/sub/inside"_s).exists());

    EXPECT_EQ(AtomicFileWriter::write(native(folder + u"/missing/file"_s), "x"), ENOENT);
    EXPECT_EQ(AtomicFileWriter::write(QByteArray(), "x"), EINVAL);
}

TEST(AtomicFileWriter, ATargetNameAtTheLengthLimitStillGetsATemporaryFile)
{
    const QString folder = TestEnvironment::freshFolder(u"atomic-long"_s);
    const QString path = folder + u'/' + QString(255, u'n');
    ASSERT_EQ(AtomicFileWriter::write(native(path), "long"), 0);
    EXPECT_EQ(readFile(path), "long");
    EXPECT_EQ(filesIn(folder).size(), 1);
    EXPECT_LE(AtomicFileWriter::temporaryNamePrefix(native(path), true).size(), 200);
}
