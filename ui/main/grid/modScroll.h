// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class RegistryAccess;
struct AppInfo;

// How the grid answers the mouse wheel: rows per notch ("-1" a page less one row, "-2" half a
// page) and whether it glides there a row at a time.
struct ScrollSettings
{
    QString Lines = QStringLiteral("-2");
    bool Smooth = true;
};

// The desktop's wheel setting, overridden by hand-set values "Lines" and "Mode" ("Smooth" or
// anything else) under the program's "Scroll" key. Nothing in the program writes them.
ScrollSettings LoadScrollSettings(RegistryAccess& registry, const AppInfo& app, int systemLines);
