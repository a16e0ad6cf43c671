// SPDX-License-Identifier: MIT
#include "RenameNoReplace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
