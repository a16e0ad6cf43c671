// SPDX-License-Identifier: MIT
#pragma once

#include "UsageDataTypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>

struct RunState;

// The program's switches: turns the arguments into RunState::CmdLineFlags, CmdLineQuiet,
// CmdLineDebug and ProfileNumber. Flags are only ever set, never cleared.
class CommandLine
{
public:
    static constexpr int16_t MaxProfile = HighestProfileNumber;

    // The arguments of a command line: blanks separate them, a double quote opens a part in
    // which blanks belong to the argument, and double quotes never become part of an argument.
    static QStringList splitArguments(const QString& commandLine);
    static int GetArgumentCount(const QString& commandLine);
    // Argument n, counted from 1; empty when there are fewer.
    static QString GetArgument(const QString& commandLine, int n);

    // The arguments as one line, quoted where they hold a blank, so splitArguments gives them back.
    static QString joinArguments(const QStringList& arguments);

    // False with the error text at the first argument that is not understood; flags set by the
    // arguments before it stay set.
    static bool ParseCommandLine(const QStringList& arguments, RunState& run, QString& errorText);
    static bool ParseCommandLine(const QString& commandLine, RunState& run, QString& errorText)
    {
        return ParseCommandLine(splitArguments(commandLine), run, errorText);
    }

    // The switches that only make sense for one run and must never be stored in anything that
    // starts the program at login (clear settings, clear column widths, hidden run-once mode).
    static QStringList withoutOneShotSwitches(const QStringList& arguments);

private:
    static bool parseProfile(const QString& number, RunState& run, QString& errorText);
};
