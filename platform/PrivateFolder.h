// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// A folder that belongs to the user alone, for files whose names other users must not be able to
// take first (the single-instance lock and socket). The runtime folder of the XDG rules is such a
// folder; without one, a folder of our own is made in the user's cache folder or, failing that,
// in the temporary folder, and each is checked before it is used.
namespace PrivateFolder {
// Empty when the folder is safe to hold the user's private files: a real folder (not a link),
// owned by the user, that nobody else can write to. Otherwise why not, such as "owned by user
// 1001".
QString whyNotPrivate(const QString& folder);

// The folders tried in order: $XDG_RUNTIME_DIR, then <cache home>/<name>, then
// <temporary folder>/<name>-<uid>.
QStringList candidates(const QString& name);

// The first candidate that is there (made with mode 0700 when missing) and private. Empty when
// none is; problem then says what was wrong with each, one per line.
QString forRuntimeFiles(const QString& name, QString& problem);
} // namespace PrivateFolder
