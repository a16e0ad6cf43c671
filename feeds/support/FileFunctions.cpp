// SPDX-License-Identifier: MIT
#include "FileFunctions.h"

#include "ApiErrors.h"
#include "RunTimeError.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int32_t DiskFull = 61;

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

bool folderExists(const QByteArray& path)
{
    struct stat st
    {};
    return ::stat(folderOf(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The run-time error the original numbering gives a failed file operation.
RunTimeError fileError(int err, const QByteArray& path, const QString& source)
{
    using namespace RunTimeErrorNumber;
    switch (err) {
    case ENOENT:
        if (folderExists(path))
            return RunTimeError(FileNotFound, u"File not found"_s, source);
        return RunTimeError(PathNotFound, u"Path not found"_s, source);
    case ENOTDIR:
    case ENAMETOOLONG:
        return RunTimeError(PathNotFound, u"Path not found"_s, source);
    case EACCES:
    case EPERM:
    case ETXTBSY:
        return RunTimeError(PermissionDenied, u"Permission denied"_s, source);
    case ENOSPC:
    case EDQUOT:
        return RunTimeError(DiskFull, u"Disk full"_s, source);
    default:
        return RunTimeError(PathFileAccessError, u"Path/File access error"_s, source);
    }
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now, so that a failing close (a late write error) can be reported; returns errno or 0.
    int close()
    {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// errno, or 0 when the whole file was read into bytes.
int readWholeFile(const QByteArray& path, QByteArray& bytes)
{
    FileDescriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    struct stat st
    {};
    if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode))
        return EISDIR;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        bytes.append(chunk, got);
    }
}

// errno, or 0 when all bytes were written.
int writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return errno;
        done += put;
    }
    return 0;
}

// The real file behind a symbolic link, so that saving replaces the file and keeps the link.
QByteArray resolvedTarget(const QByteArray& path)
{
    struct stat st
    {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.constData(), nullptr);
    if (!real)
        return path;
    QByteArray target(real);
    std::free(real);
    return target;
}

// Creates a new temporary file next to target; the file descriptor, or -1 with errno set.
int createTemporary(const QByteArray& target, QByteArray& temporary)
{
    static std::atomic<unsigned> counter{0};
    const QByteArray folder = folderOf(target);
    // Keep the temporary name within the file system's name limit whatever the target's length.
    const QByteArray base = target.mid(target.lastIndexOf('/') + 1).left(180);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + (folder.endsWith('/') ? "" : "/") + '.' + base + ".tmp-" + QByteArray::number(::getpid()) +
                    '-' + QByteArray::number(counter.fetch_add(1));
        // 0666 lets the umask decide a new file's mode, as for any newly created file.
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// 0, or errno. Falls back for file systems without the no-replace flag.
int renameNoReplace(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    int err = errno;
    if (err != EINVAL && err != ENOSYS)
        return err;
    // A hard link fails when the target exists, which gives the same guarantee for files.
    if (::link(from, to) == 0) {
        if (::unlink(from) == 0)
            return 0;
        err = errno;
        ::unlink(to);
        return err;
    }
    err = errno;
    if (err != EPERM && err != EOPNOTSUPP)
        return err;
    // Folders, or a file system without hard links: check, then rename.
    struct stat st
    {};
    if (::lstat(to, &st) == 0)
        return EEXIST;
    return ::rename(from, to) == 0 ? 0 : errno;
}

} // namespace

QString FileOpen(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    QByteArray bytes;
    if (const int err = readWholeFile(native, bytes))
        throw fileError(err, native, u"FileOpen"_s);

    const QString content = QString::fromUtf8(bytes);
    QString text;
    text.reserve(content.size() + content.size() / 16 + 2);
    qsizetype start = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const QChar c = content.at(i);
        if (c != u'\n' && c != u'\r')
            continue;
        text += u"\r\n" + QStringView(content).mid(start, i - start);
        if (c == u'\r' && i + 1 < content.size() && content.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < content.size())
        text += u"\r\n" + QStringView(content).mid(start);
    return text;
}

bool FileExist(const QString& path)
{
    struct stat st
    {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

void SaveFile(const QString& path, const QString& text)
{
    const QString source = u"SaveFile"_s;
    const QByteArray target = resolvedTarget(QFile::encodeName(path));
    if (target.isEmpty())
        throw fileError(EINVAL, target, source);

    struct stat existing
    {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (!exists && errno != ENOENT)
        throw fileError(errno, target, source);
    // A folder, or a read-only file, cannot be replaced. The mode bits are checked rather than
    // access(): a superuser may write anything, but the read-only flag still means "keep this".
    if (exists && (S_ISDIR(existing.st_mode) || !(existing.st_mode & S_IWUSR)))
        throw RunTimeError(RunTimeErrorNumber::PathFileAccessError, u"Path/File access error"_s, source);

    QByteArray temporary;
    FileDescriptor fd(createTemporary(target, temporary));
    if (fd.get() < 0)
        throw fileError(errno, target, source);
    const auto fail = [&](int err) {
        ::unlink(temporary.constData());
        return fileError(err, target, source);
    };
    if (const int err = writeAll(fd.get(), text.toUtf8()))
        throw fail(err);
    if (exists) {
        // Best effort: only the superuser may give the file back to another owner.
        [[maybe_unused]] const int owned = ::fchown(fd.get(), existing.st_uid, existing.st_gid);
        ::fchmod(fd.get(), existing.st_mode & 07777);
    }
    if (::fsync(fd.get()) != 0)
        throw fail(errno);
    if (const int err = fd.close())
        throw fail(err);
    if (::rename(temporary.constData(), target.constData()) != 0)
        throw fail(errno);

    // Make the rename itself durable; a failure here no longer risks the content.
    FileDescriptor folderFd(::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        ::fsync(folderFd.get());
}

bool FileDate(const QString& path, LocalDateTime& when)
{
    struct stat st
    {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    when = LocalDateTime::fromUtc(QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec, Qt::UTC));
    return true;
}

bool MyDeleteFile(const QString& path, int32_t& code, QString& text)
{
    if (::unlink(QFile::encodeName(path).constData()) == 0)
        return true;
    code = errno;
    text = GetAPIErrorStr(code);
    return false;
}

bool MyRenameFile(const QString& oldPath, const QString& newPath, QString& text)
{
    int32_t code = renameNoReplace(QFile::encodeName(oldPath).constData(), QFile::encodeName(newPath).constData());
    if (code == 0)
        return true;
    text = u'[' + QString::number(code) + u"] failed to rename " + oldPath + u" to " + newPath;
    return false;
}
