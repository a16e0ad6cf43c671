// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// A folder that belongs to the user alone, for files whose names other users must not be able to
// take first (the single-instance lock and socket), and that every session of the user finds: the
// desktop, an ssh or su session and a scheduler each start the program with runtime and cache
// folders of their own (or none), but with the same home. So the folder is made below the home,
// or, failing that, in the temporary folder, and each is checked before it is used.
namespace PrivateFolder {
// Empty when the folder is safe to hold the user's private files: a real folder (not a link),
// owned by the user, that nobody else can write to. Otherwise why not, such as "owned by user
// 1001".
QString whyNotPrivate(const QString& folder);

// The folders tried in order: $HOME/.cache/<name>, then <temporary folder>/<name>-<uid>. Neither
// XDG_RUNTIME_DIR nor XDG_CACHE_HOME is asked: they differ from one session to the next.
QStringList candidates(const QString& name);

// The first candidate that is there (made with mode 0700 when missing) and private. Empty when
// none is; problem then says what was wrong with each, one per line.
QString forRuntimeFiles(const QString& name, QString& problem);
} // namespace PrivateFolder
