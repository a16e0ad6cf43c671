// SPDX-License-Identifier: MIT
#pragma once

#include "UsageDataTypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>

struct RunState;

// The program's switches: turns the arguments, as the system split them (argv), into
// RunState::CmdLineFlags, CmdLineQuiet, CmdLineDebug and ProfileNumber. Flags are only ever set,
// never cleared.
class CommandLine
{
public:
    static constexpr int16_t MaxProfile = HighestProfileNumber;

    // The arguments as one line for the log, quoted where they hold a blank (or are empty).
    static QString joinArguments(const QStringList& arguments);

    // False with the error text at the first argument that is not understood; flags set by the
    // arguments before it stay set.
    static bool ParseCommandLine(const QStringList& arguments, RunState& run, QString& errorText);

private:
    static bool parseProfile(const QString& number, RunState& run, QString& errorText);
};
