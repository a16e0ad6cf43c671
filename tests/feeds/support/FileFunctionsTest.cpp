// SPDX-License-Identifier: MIT
#include "FileFunctions.h"
#include "ApiErrors.h"
#include "PathIgnoringCase.h"
#include "RunTimeError.h"
#include "ScopedTimeZone.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void setModified(const QString& path, time_t seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

mode_t modeOf(const QString& path)
{
    struct stat st
    {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

// The RunTimeError that fn raises; fails the test when it raises none.
template <typename Fn>
RunTimeError raisedBy(Fn fn)
{
    try {
        fn();
    } catch (const RunTimeError& error) {
        return error;
    }
    ADD_FAILURE() << "no RunTimeError raised";
    return RunTimeError(0, {});
}

} // namespace

TEST(FileOpen, PrefixesEveryLineWithCrLfWhateverTheLineEnds)
{
    const QString folder = TestEnvironment::freshFolder(u"fileopen"_s);
    const struct
    {
        QByteArray content;
        QString expected;
    } cases[] = {
        {"a\nb", u"\r\na\r\nb"_s},
        {"a\nb\n", u"\r\na\r\nb"_s},       // a final line break adds nothing
        {"a\r\nb\r\n", u"\r\na\r\nb"_s},   // CR LF
        {"a\rb\r", u"\r\na\r\nb"_s},       // lone CR
        {"a\r\n\rb", u"\r\na\r\n\r\nb"_s}, // CR LF then a lone CR: an empty line between
        {"a\n\n", u"\r\na\r\n"_s},         // an empty last line
        {"\n", u"\r\n"_s},
        {"", QString()},
        {"gr\xc3\xbc\xc3\x9f", u"\r\ngr\u00fc\u00df"_s}, // UTF-8
    };
    for (const auto& c : cases) {
        const QString path = folder + u"/file.txt";
        writeBytes(path, c.content);
        EXPECT_EQ(FileOpen(path), c.expected) << c.content.toStdString();
    }
}

TEST(FileOpen, RaisesFailuresWithTheOriginalNumbersAndItsSource)
{
    const QString folder = TestEnvironment::freshFolder(u"fileopen-errors"_s);

    RunTimeError missing = raisedBy([&] { FileOpen(folder + u"/missing.txt"); });
    EXPECT_EQ(missing.number(), 53);
    EXPECT_EQ(missing.description(), u"File not found");
    EXPECT_EQ(missing.source(), u"FileOpen");

    RunTimeError noFolder = raisedBy([&] { FileOpen(folder + u"/nowhere/file.txt"); });
    EXPECT_EQ(noFolder.number(), 76);
    EXPECT_EQ(noFolder.description(), u"Path not found");

    RunTimeError isFolder = raisedBy([&] { FileOpen(folder); });
    EXPECT_EQ(isFolder.number(), 75);
    EXPECT_EQ(isFolder.description(), u"Path/File access error");
    EXPECT_EQ(isFolder.source(), u"FileOpen");
}

TEST(FileOpen, UnreadableFileRaisesPermissionDenied)
{
    QString path;
    if (::geteuid() == 0) {
        // The superuser reads any ordinary file, but not a kernel setting that is only written.
        path = u"/proc/sys/vm/drop_caches"_s;
        if (::access("/proc/sys/vm/drop_caches", F_OK) != 0 || ::access("/proc/sys/vm/drop_caches", R_OK) == 0)
            GTEST_SKIP() << "no file here that the superuser cannot read";
    } else {
        path = TestEnvironment::freshFolder(u"fileopen-denied"_s) + u"/secret.txt";
        writeBytes(path, "x");
        ::chmod(QFile::encodeName(path).constData(), 0);
    }
    RunTimeError error = raisedBy([&] { FileOpen(path); });
    EXPECT_EQ(error.number(), 70);
    EXPECT_EQ(error.description(), u"Permission denied");
}

TEST(FileExist, FilesAndFoldersExistMissingPathsDoNot)
{
    const QString folder = TestEnvironment::freshFolder(u"fileexist"_s);
    writeBytes(folder + u"/file.txt", "x");
    EXPECT_TRUE(FileExist(folder + u"/file.txt"));
    EXPECT_TRUE(FileExist(folder));
    EXPECT_FALSE(FileExist(folder + u"/missing.txt"));
    EXPECT_FALSE(FileExist(folder + u"/file.txt/below"));
    EXPECT_FALSE(FileExist(QString()));
}

TEST(SaveFile, WritesTheTextAsItIsAndFileOpenReadsItBack)
{
    const QString path = TestEnvironment::freshFolder(u"savefile"_s) + u"/out.txt";
    SaveFile(path, u"first\r\nsecond \u00e9"_s);
    EXPECT_EQ(readBytes(path), QByteArray("first\r\nsecond \xc3\xa9")); // no line break added
    EXPECT_EQ(FileOpen(path), u"\r\nfirst\r\nsecond \u00e9");

    SaveFile(path, u"shorter"_s);
    EXPECT_EQ(readBytes(path), QByteArray("shorter"));
    SaveFile(path, QString());
    EXPECT_EQ(readBytes(path), QByteArray());
    EXPECT_EQ(QDir(path.section(u'/', 0, -2)).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});
}

TEST(SaveFileBytes, StoresTheBytesExactlyAndFileOpenBytesReadsThemBackUnchanged)
{
    const QString path = TestEnvironment::freshFolder(u"savefilebytes"_s) + u"/feed.xml";
    // Latin-1 and a lone CR: neither is touched on the way in or out.
    const QByteArray bytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r<plan>Gro\xdf</plan>\n");
    SaveFileBytes(path, bytes);
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(FileOpenBytes(path), bytes);
    SaveFileBytes(path, "x");
    EXPECT_EQ(FileOpenBytes(path), QByteArray("x"));

    const RunTimeError missing = raisedBy([&] { FileOpenBytes(path + u".gone"_s); });
    EXPECT_EQ(missing.number(), 53);
    EXPECT_EQ(missing.source(), u"FileOpen");
    const RunTimeError noFolder = raisedBy([&] { SaveFileBytes(path + u"/below"_s, "x"); });
    EXPECT_EQ(noFolder.source(), u"SaveFile");
}

TEST(SaveFile, RefusesAReadOnlyFileAndLeavesItIntact)
{
    const QString path = TestEnvironment::freshFolder(u"savefile-readonly"_s) + u"/locked.txt";
    writeBytes(path, "keep me");
    ::chmod(QFile::encodeName(path).constData(), 0444);

    RunTimeError error = raisedBy([&] { SaveFile(path, u"new"_s); });
    EXPECT_EQ(error.source(), u"SaveFile");
    EXPECT_EQ(error.number(), 75);
    EXPECT_EQ(readBytes(path), QByteArray("keep me"));
    EXPECT_EQ(modeOf(path), mode_t(0444));
}

TEST(SaveFile, RaisesWhenTheFolderIsMissingOrNotAFolder)
{
    const QString folder = TestEnvironment::freshFolder(u"savefile-nofolder"_s);
    RunTimeError missing = raisedBy([&] { SaveFile(folder + u"/missing/out.txt", u"x"_s); });
    EXPECT_EQ(missing.number(), 76);
    EXPECT_EQ(missing.source(), u"SaveFile");

    writeBytes(folder + u"/plain", "I am a file");
    RunTimeError notFolder = raisedBy([&] { SaveFile(folder + u"/plain/out.txt", u"x"_s); });
    EXPECT_EQ(notFolder.number(), 76);
    EXPECT_EQ(notFolder.source(), u"SaveFile");
    EXPECT_EQ(readBytes(folder + u"/plain"), QByteArray("I am a file"));

    RunTimeError isFolder = raisedBy([&] { SaveFile(folder, u"x"_s); });
    EXPECT_EQ(isFolder.source(), u"SaveFile");
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(SaveFile, AFailedWriteKeepsTheOldContentAndLeavesNoTemporaryFile)
{
    const QString folder = TestEnvironment::freshFolder(u"savefile-atomic"_s);
    const QString path = folder + u"/data.txt";
    writeBytes(path, "old content");

    // A file-size limit makes the write fail even for the superuser.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    RunTimeError error = raisedBy([&] { SaveFile(path, QString(4096, u'n')); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(error.source(), u"SaveFile");
    EXPECT_EQ(readBytes(path), QByteArray("old content"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"data.txt"_s});
}

TEST(SaveFile, KeepsAnExistingFilesModeAndGivesNewFilesTheDefault)
{
    const QString folder = TestEnvironment::freshFolder(u"savefile-mode"_s);
    const mode_t previousMask = ::umask(022);
    SaveFile(folder + u"/new.txt", u"x"_s);
    ::umask(previousMask);
    EXPECT_EQ(modeOf(folder + u"/new.txt"), mode_t(0644));

    writeBytes(folder + u"/old.txt", "x");
    ::chmod(QFile::encodeName(folder + u"/old.txt").constData(), 0600);
    SaveFile(folder + u"/old.txt", u"y"_s);
    EXPECT_EQ(modeOf(folder + u"/old.txt"), mode_t(0600));
}

TEST(SaveFile, WritesThroughASymbolicLink)
{
    const QString folder = TestEnvironment::freshFolder(u"savefile-link"_s);
    writeBytes(folder + u"/real.txt", "old");
    ASSERT_TRUE(QFile::link(folder + u"/real.txt", folder + u"/link.txt"));
    SaveFile(folder + u"/link.txt", u"new"_s);
    EXPECT_TRUE(QFileInfo(folder + u"/link.txt").isSymLink());
    EXPECT_EQ(readBytes(folder + u"/real.txt"), QByteArray("new"));
}

TEST(FileDate, GivesTheModificationTimeAsLocalWallClock)
{
    ScopedTimeZone zone("Australia/Brisbane"); // UTC+10, no daylight saving
    const QString path = TestEnvironment::freshFolder(u"filedate"_s) + u"/dated.txt";
    writeBytes(path, "x");
    const QDateTime utc(QDate(2024, 1, 15), QTime(23, 30, 5), QTimeZone::utc());
    const timeval times[2] = {{static_cast<time_t>(utc.toSecsSinceEpoch()), 0},
                              {static_cast<time_t>(utc.toSecsSinceEpoch()), 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), times), 0);

    LocalDateTime when;
    ASSERT_TRUE(FileDate(path, when));
    EXPECT_EQ(when.toString(), u"2024-01-16 09:30:05");
}

TEST(FileDate, FailsAndLeavesTheDateAloneForAMissingFile)
{
    LocalDateTime when = *LocalDateTime::fromParts(2020, 2, 29, 12, 0, 0);
    const LocalDateTime before = when;
    EXPECT_FALSE(FileDate(TestEnvironment::freshFolder(u"filedate-missing"_s) + u"/none.txt", when));
    EXPECT_EQ(when, before);
}

TEST(MyDeleteFile, DeletesOrReportsTheSystemError)
{
    const QString folder = TestEnvironment::freshFolder(u"deletefile"_s);
    writeBytes(folder + u"/gone.txt", "x");
    int32_t code = -99;
    QString text = u"untouched"_s;
    EXPECT_TRUE(MyDeleteFile(folder + u"/gone.txt", code, text));
    EXPECT_FALSE(QFile::exists(folder + u"/gone.txt"));
    EXPECT_EQ(code, -99);
    EXPECT_EQ(text, u"untouched");

    EXPECT_FALSE(MyDeleteFile(folder + u"/gone.txt", code, text));
    EXPECT_EQ(code, 2);
    EXPECT_EQ(text, u"No such file or directory");
}

TEST(MyRenameFile, MovesAFileOrFolder)
{
    const QString folder = TestEnvironment::freshFolder(u"renamefile"_s);
    writeBytes(folder + u"/a.txt", "a");
    QString text;
    EXPECT_TRUE(MyRenameFile(folder + u"/a.txt", folder + u"/b.txt", text));
    EXPECT_EQ(readBytes(folder + u"/b.txt"), QByteArray("a"));
    EXPECT_FALSE(QFile::exists(folder + u"/a.txt"));

    ASSERT_TRUE(QDir(folder).mkdir(u"sub"_s));
    EXPECT_TRUE(MyRenameFile(folder + u"/sub", folder + u"/moved", text));
    EXPECT_TRUE(QFileInfo(folder + u"/moved").isDir());
}

TEST(MyRenameFile, FailsOntoAnExistingTargetWithTheCodeAndBothPaths)
{
    const QString folder = TestEnvironment::freshFolder(u"renamefile-exists"_s);
    const QString from = folder + u"/from.txt";
    const QString to = folder + u"/to.txt";
    writeBytes(from, "from");
    writeBytes(to, "to");
    QString text;
    EXPECT_FALSE(MyRenameFile(from, to, text));
    EXPECT_EQ(text, u"[17] failed to rename " + from + u" to " + to); // EEXIST
    EXPECT_EQ(readBytes(from), QByteArray("from"));
    EXPECT_EQ(readBytes(to), QByteArray("to"));

    EXPECT_FALSE(MyRenameFile(folder + u"/none.txt", folder + u"/other.txt", text));
    EXPECT_EQ(text, u"[2] failed to rename " + folder + u"/none.txt to " + folder + u"/other.txt");
}

TEST(PathIgnoringCase, FindsTheFileUnderTheNameInOtherLettersOrElseTakesTheNameAsTyped)
{
    const QString folder = TestEnvironment::freshFolder(u"pathignoringcase"_s);
    EXPECT_EQ(PathIgnoringCase(folder, u"Alice.sl3"_s), folder + u"/Alice.sl3");
    writeBytes(folder + u"/alice.sl3", "history");
    EXPECT_EQ(PathIgnoringCase(folder, u"ALICE.SL3"_s), folder + u"/alice.sl3");
    // Of several, the one written last; of several written at the same moment, the lowest name.
    writeBytes(folder + u"/ALICE.sl3", "older");
    setModified(folder + u"/ALICE.sl3", 1'700'000'000);
    setModified(folder + u"/alice.sl3", 1'700'000'001);
    EXPECT_EQ(PathIgnoringCase(folder, u"Alice.sl3"_s), folder + u"/alice.sl3");
    setModified(folder + u"/alice.sl3", 1'700'000'000);
    EXPECT_EQ(PathIgnoringCase(folder, u"Alice.sl3"_s), folder + u"/ALICE.sl3");
    // The exact name wins, even over a newer file; a folder is no file of the account.
    writeBytes(folder + u"/Alice.sl3", "exact");
    EXPECT_EQ(PathIgnoringCase(folder, u"Alice.sl3"_s), folder + u"/Alice.sl3");
    ASSERT_TRUE(QDir(folder).mkdir(u"BOB.xml"_s));
    EXPECT_EQ(PathIgnoringCase(folder, u"bob.xml"_s), folder + u"/bob.xml");
    // Without a folder to look in, the name as typed.
    EXPECT_EQ(PathIgnoringCase(folder + u"/none", u"alice.sl3"_s), folder + u"/none/alice.sl3");
}

TEST(GetAPIErrorStr, GivesTheSystemTextOrUnknownError)
{
    EXPECT_EQ(GetAPIErrorStr(2), u"No such file or directory");
    EXPECT_EQ(GetAPIErrorStr(13), u"Permission denied");
    EXPECT_EQ(GetAPIErrorStr(99999), u"Unknown error.");
    EXPECT_EQ(GetAPIErrorStr(-5), u"Unknown error.");
    EXPECT_EQ(GetAPIErrorStr(0x7FFFFFFF), u"Unknown error.");
}
