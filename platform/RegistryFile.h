// SPDX-License-Identifier: MIT
#pragma once

#include "UniqueFd.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <cstdint>
#include <functional>

// The file operations under the registry store: reading, replacing atomically, locking and
// keeping a damaged file aside. Every function returns 0 or an errno value.
namespace RegistryFile {
// What tells one version of the file from another without reading it. Writers replace the file
// by rename, so every change gives a new inode; size and times catch an edit made in place.
struct Identity
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;

    friend bool operator==(const Identity&, const Identity&) = default;
};

// A missing file is not an error: it gives exists == false.
int identify(const QString& path, Identity& identity);
// A missing file reads as empty, with exists == false.
int readAll(const QString& path, QByteArray& bytes, Identity& identity);

// Creates the folder and its missing parents, each readable by the owner only.
int ensureFolder(const QString& folder);

// An exclusive advisory lock held on a separate file, since the data file itself is replaced.
class Lock
{
public:
    // Waits until the lock is free.
    int acquire(const QString& lockPath);

private:
    UniqueFd m_fd; // closing the descriptor releases the lock
};

// Writes the bytes to a new owner-only temporary file beside `path`, syncs it, calls
// `beforeReplace` (a test seam) and renames it over `path`; `written` is the new file's identity.
int replaceAtomically(const QString& path, const QByteArray& bytes, Identity& written,
                      const std::function<void()>& beforeReplace = {});
// Removes temporary files that a writer killed before its rename left behind. Only safe while
// holding the lock, since every writer makes its temporary file under it.
void removeLeftoverTemporaries(const QString& path);
// Renames `path` to `path`.unreadable-<yyyyMMdd-HHmmss>, never over an existing file.
int moveAside(const QString& path, QString& keptAs);
} // namespace RegistryFile
