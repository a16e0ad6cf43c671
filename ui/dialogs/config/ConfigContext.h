// SPDX-License-Identifier: MIT
#pragma once

#include "ProgramServices.h"

#include <QString>
#include <QStringList>

// What the options dialog reads and brings up to date, and how the program was started (for the
// start-with-the-desktop entry).
struct ConfigContext : ProgramServices
{
    // The arguments the program was started with, after the program's own name.
    QStringList programArguments;
    // The program's executable.
    QString programPath;
};
