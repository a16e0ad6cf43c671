// SPDX-License-Identifier: MIT
#include "FileFunctions.h"

#include "ApiErrors.h"
#include "AtomicFileWriter.h"
#include "RenameNoReplace.h"
#include "RunTimeError.h"
#include "UniqueFd.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>

#include <cerrno>
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

// errno, or 0 when the whole file was read into bytes.
int readWholeFile(const QByteArray& path, QByteArray& bytes)
{
    const UniqueFd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC));
    if (!fd.isValid())
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

} // namespace

QByteArray FileOpenBytes(const QString& path)
{
    QByteArray bytes;
    if (const int err = ReadFileBytes(path, bytes))
        throw fileError(err, QFile::encodeName(path), u"FileOpen"_s);
    return bytes;
}

int ReadFileBytes(const QString& path, QByteArray& bytes)
{
    return readWholeFile(QFile::encodeName(path), bytes);
}

QString FileOpen(const QString& path)
{
    const QString content = QString::fromUtf8(FileOpenBytes(path));
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
    SaveFileBytes(path, text.toUtf8());
}

void SaveFileBytes(const QString& path, const QByteArray& bytes)
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

    // 0666 lets the umask decide a new file's mode, as for any newly created file.
    if (const int err = AtomicFileWriter::write(
            target, bytes, {.newFileMode = 0666, .keepExistingModeAndOwner = true, .hiddenTemporary = true}))
        throw fileError(err, target, source);
}

bool SaveNewFileBytes(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    UniqueFd fd(::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.isValid() && errno == EEXIST)
        return false;
    if (!fd.isValid())
        throw fileError(errno, target, u"SaveFile"_s);
    int err = 0;
    for (qsizetype done = 0; err == 0 && done < bytes.size();) {
        const ssize_t put = ::write(fd.get(), bytes.constData() + done, size_t(bytes.size() - done));
        if (put >= 0)
            done += put;
        else if (errno != EINTR)
            err = errno;
    }
    if (err == 0)
        err = fd.close();
    if (err != 0) {
        ::unlink(target.constData());
        throw fileError(err, target, u"SaveFile"_s);
    }
    return true;
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
    text = bracketedError(code, u"failed to rename "_s + oldPath + u" to " + newPath);
    return false;
}
