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
// $XDG_RUNTIME_DIR, else the system's temporary folder
QString runtimeDir();
} // namespace StandardLocations
