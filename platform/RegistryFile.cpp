// SPDX-License-Identifier: MIT
#include "RegistryFile.h"

#include "AtomicFileWriter.h"
#include "RenameNoReplace.h"
#include "UniqueFd.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
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
    const UniqueFd fd(::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC));
    if (!fd.isValid())
        return errno == ENOENT ? 0 : errno;
    struct stat info
    {};
    if (::fstat(fd.get(), &info) != 0)
        return errno;
    identity = identityOf(info);
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        bytes.append(buffer, n);
    }
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

int Lock::acquire(const QString& lockPath)
{
    m_fd = UniqueFd(::open(nativePath(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!m_fd.isValid())
        return errno;
    while (::flock(m_fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

int replaceAtomically(const QString& path, const QByteArray& bytes, Identity& written,
                      const std::function<void()>& beforeReplace)
{
    // Owner-only: the registry holds scrambled passwords.
    if (const int rc =
            AtomicFileWriter::write(nativePath(path), bytes, {.newFileMode = 0600, .beforeReplace = beforeReplace});
        rc != 0)
        return rc;
    // The rename changed the file's ctime, so take the identity now; the lock keeps other
    // writers out in between.
    return identify(path, written);
}

void removeLeftoverTemporaries(const QString& path)
{
    const QByteArray prefix = AtomicFileWriter::temporaryNamePrefix(nativePath(path));
    const QDir folder = QFileInfo(path).absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (nativePath(name).startsWith(prefix))
            ::unlink(nativePath(folder.filePath(name)).constData());
    }
}

int moveAside(const QString& path, QString& keptAs)
{
    const QString base = path + u".unreadable-"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const QString candidate = attempt == 1 ? base : base + u'-' + QString::number(attempt);
        const int rc = renameNoReplace(nativePath(path).constData(), nativePath(candidate).constData());
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
