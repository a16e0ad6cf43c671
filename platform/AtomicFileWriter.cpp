// SPDX-License-Identifier: MIT
#include "AtomicFileWriter.h"

#include "UniqueFd.h"

#include <QStringBuilder>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Keeps the temporary name within the file system's name limit whatever the target's length.
constexpr qsizetype MaxBaseNameLength = 180;
constexpr int MaxNameAttempts = 100;

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

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

// Creates a new temporary file beside target. The process id and a counter make the name unique
// among live writers; one left by a dead writer with the same id is stepped over.
UniqueFd createTemporary(const QByteArray& target, const AtomicFileWriter::Options& options, QByteArray& temporary,
                         int& err)
{
    static std::atomic<unsigned> counter{0};
    const QByteArray folder = folderOf(target);
    QByteArray prefix = folder;
    if (!prefix.endsWith('/'))
        prefix += '/';
    prefix += AtomicFileWriter::temporaryNamePrefix(target, options.hiddenTemporary);
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        temporary = prefix + QByteArray::number(::getpid()) + '-' + QByteArray::number(counter.fetch_add(1));
        UniqueFd fd(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, options.newFileMode));
        err = fd.isValid() ? 0 : errno;
        if (err != EEXIST)
            return fd;
    }
    return UniqueFd();
}

// Everything up to the rename; 0 or errno.
int fillTemporary(UniqueFd& fd, const QByteArray& bytes, const struct stat* existing)
{
    if (const int err = writeAll(fd.get(), bytes))
        return err;
    if (existing) {
        // Best effort: only the superuser may give the file back to another owner.
        [[maybe_unused]] const int owned = ::fchown(fd.get(), existing->st_uid, existing->st_gid);
        ::fchmod(fd.get(), existing->st_mode & 07777);
    }
    if (::fsync(fd.get()) != 0)
        return errno;
    return fd.close();
}

void syncFolder(const QByteArray& folder)
{
    // Makes the rename itself durable. The change is already visible, so a folder that cannot be
    // synced (some file systems refuse) is not reported as a failed write.
    const UniqueFd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.isValid())
        ::fsync(fd.get());
}
} // namespace

namespace AtomicFileWriter {
QByteArray temporaryNamePrefix(const QByteArray& target, bool hiddenTemporary)
{
    const QByteArray base = target.mid(target.lastIndexOf('/') + 1).left(MaxBaseNameLength);
    QByteArray prefix = hiddenTemporary ? QByteArray(".") : QByteArray();
    prefix += base;
    prefix += ".tmp-";
    return prefix;
}

int write(const QByteArray& target, const QByteArray& bytes, const Options& options)
{
    if (target.isEmpty())
        return EINVAL;
    struct stat existing
    {};
    bool keepExisting = false;
    if (options.keepExistingModeAndOwner) {
        keepExisting = ::stat(target.constData(), &existing) == 0;
        if (!keepExisting && errno != ENOENT)
            return errno;
    }

    QByteArray temporary;
    int err = 0;
    UniqueFd fd = createTemporary(target, options, temporary, err);
    if (!fd.isValid())
        return err;
    err = fillTemporary(fd, bytes, keepExisting ? &existing : nullptr);
    if (err == 0) {
        if (options.beforeReplace)
            options.beforeReplace();
        if (::rename(temporary.constData(), target.constData()) != 0)
            err = errno;
    }
    if (err != 0) {
        ::unlink(temporary.constData());
        return err;
    }
    syncFolder(folderOf(target));
    return 0;
}
} // namespace AtomicFileWriter
