// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <sys/types.h>

#include <functional>

// Replaces a file's content all at once: the bytes go to a new temporary file beside the target,
// are synced, and the temporary file is renamed over the target; then the folder is synced so the
// rename survives a crash. A reader sees the old content or the new, never a mixture, and a writer
// killed half-way leaves the target as it was.
namespace AtomicFileWriter {
struct Options
{
    // Permission bits of the new file; the umask applies, as for any newly created file.
    mode_t newFileMode = 0600;
    // Gives the new content the replaced file's mode and, where allowed, its owner and group.
    bool keepExistingModeAndOwner = false;
    // Starts the temporary file's name with a dot, out of ordinary folder listings.
    bool hiddenTemporary = false;
    // Called once the temporary file is complete and synced, just before the rename: lets a test
    // stop a writer at the one moment both files exist.
    std::function<void()> beforeReplace = {};
};

// 0, or the errno of the step that failed. On failure the temporary file is removed and the
// target is untouched. `target` is a native (encoded) path.
int write(const QByteArray& target, const QByteArray& bytes, const Options& options = {});

// The name (without folder) that every temporary file made for `target` starts with, for clearing
// what a killed writer left behind.
QByteArray temporaryNamePrefix(const QByteArray& target, bool hiddenTemporary = false);
} // namespace AtomicFileWriter
