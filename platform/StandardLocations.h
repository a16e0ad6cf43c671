// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where per-user files live on this desktop (the XDG base directories), in place of the
// platform's special folders. Read from the environment at every call, so a test that points
// HOME and the XDG variables at a temporary folder never touches the real ones.
namespace StandardLocations {
// $XDG_CONFIG_HOME, else $HOME/.config
QString configHome();
// $XDG_DATA_HOME, else $HOME/.local/share
QString dataHome();
// $XDG_CACHE_HOME, else $HOME/.cache
QString cacheHome();

// Makes a folder with every missing level, each with mode (less the umask). True when the folder
// is there afterwards; else errorNumber is the system's error number.
bool makeFolders(const QString& folder, unsigned mode, int& errorNumber);
// Makes a per-user folder as makeFolders does, each missing level private (mode 0700) as the XDG
// rules ask of a base folder that is not there yet (a fresh account without a desktop login).
bool makePrivateFolder(const QString& folder, int& errorNumber);
} // namespace StandardLocations
