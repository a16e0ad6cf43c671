// SPDX-License-Identifier: MIT
#include "RegistryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

RegistryFile::Identity identityOf(const struct stat& info)
{
    RegistryFile::Identity identity;
    identity.exists = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedNs = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.changedNs = int64_t(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return identity;
}

int writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += n;
    }
    return 0;
}

void syncFolder(const QString& folder)
{
    // Makes the rename itself durable. The change is already visible, so a folder that cannot be
    // synced (some file systems refuse) is not reported as a failed write.
    const int fd = ::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int renameWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without the flag: a hard link fails rather than replace.
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    return ::unlink(from.constData()) == 0 ? 0 : errno;
}

QString temporaryPrefix(const QString& path)
{
    return path + u".tmp-"_s;
}
} // namespace

namespace RegistryFile {
int identify(const QString& path, Identity& identity)
{
    struct stat info
    {};
    if (::stat(nativePath(path).constData(), &info) != 0) {
        identity = {};
        return errno == ENOENT ? 0 : errno;
    }
    identity = identityOf(info);
    return 0;
}

int readAll(const QString& path, QByteArray& bytes, Identity& identity)
{
    bytes.clear();
    identity = {};
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? 0 : errno;
    struct stat info
    {};
    int rc = ::fstat(fd, &info) == 0 ? 0 : errno;
    if (rc == 0) {
        identity = identityOf(info);
        char buffer[16384];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                rc = errno;
            if (n <= 0)
                break;
            bytes.append(buffer, n);
        }
    }
    ::close(fd);
    return rc;
}

int ensureFolder(const QString& folder)
{
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QString prefix;
    const QStringList parts = absolute.split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        prefix += u'/' + part;
        if (::mkdir(nativePath(prefix).constData(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat info
    {};
    if (::stat(nativePath(absolute).constData(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

Lock::~Lock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the descriptor releases the lock
}

int Lock::acquire(const QString& lockPath)
{
    m_fd = ::open(nativePath(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return errno;
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

int replaceAtomically(const QString& path, const QByteArray& bytes, Identity& written,
                      const std::function<void()>& beforeReplace)
{
    QByteArray temporary = nativePath(temporaryPrefix(path)) + "XXXXXX";
    // mkostemp creates the file with mode 0600: the registry holds scrambled passwords.
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int rc = writeAll(fd, bytes);
    if (rc == 0 && ::fsync(fd) != 0)
        rc = errno;
    if (::close(fd) != 0 && rc == 0)
        rc = errno;
    if (rc == 0) {
        if (beforeReplace)
            beforeReplace();
        if (::rename(temporary.constData(), nativePath(path).constData()) != 0)
            rc = errno;
    }
    if (rc != 0) {
        ::unlink(temporary.constData());
        return rc;
    }
    syncFolder(QFileInfo(path).absolutePath());
    // The rename changed the file's ctime, so take the identity now; the lock keeps other
    // writers out in between.
    return identify(path, written);
}

void removeLeftoverTemporaries(const QString& path)
{
    const QFileInfo info(path);
    const QString prefix = info.fileName() + u".tmp-"_s;
    const QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (name.startsWith(prefix))
            ::unlink(nativePath(folder.filePath(name)).constData());
    }
}

int moveAside(const QString& path, QString& keptAs)
{
    const QString base = path + u".unreadable-"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const QString candidate = attempt == 1 ? base : base + u'-' + QString::number(attempt);
        const int rc = renameWithoutReplacing(nativePath(path), nativePath(candidate));
        if (rc == 0) {
            keptAs = candidate;
            return 0;
        }
        if (rc != EEXIST)
            return rc;
    }
    return EEXIST;
}
} // namespace RegistryFile
