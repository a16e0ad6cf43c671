// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "Dates.h"
#include "RunState.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

QString CommandLine::joinArguments(const QStringList& arguments)
{
    QStringList parts;
    for (const QString& argument : arguments) {
        QString plain = argument;
        plain.remove(u'"'); // in the line, quotes only mark where an argument begins and ends
        parts.append(plain.contains(u' ') || plain.isEmpty() ? u'"' + plain + u'"' : plain);
    }
    return parts.join(u' ');
}

bool CommandLine::parseProfile(const QString& number, RunState& run, QString& errorText)
{
    const std::optional<double> read = readNumericText(number);
    const double value = read.value_or(0);
    if (!read || !std::isfinite(value)) {
        errorText = u"non-numeric profile numbers specified: "_s + number;
        return false;
    }
    const QString rangeText =
        u"specified profile number \""_s + number + u"\" out of valid range 1-"_s + QString::number(MaxProfile);
    // Halves go to the even neighbour, as the conversion to a 16-bit number does.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<int16_t>::min() || rounded > std::numeric_limits<int16_t>::max()) {
        errorText = rangeText;
        return false;
    }
    run.ProfileNumber = static_cast<int16_t>(rounded);
    if (run.ProfileNumber < 0 || run.ProfileNumber > MaxProfile) {
        errorText = rangeText;
        return false;
    }
    return true;
}

bool CommandLine::ParseCommandLine(const QStringList& arguments, RunState& run, QString& errorText)
{
    errorText.clear();
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        const QString upper = argument.toUpper();
        const QString prefix = upper.left(2);
        if (prefix == u"/C"_s) {
            run.CmdLineFlags |= CmdLineFlag::ClearSettings;
        } else if (prefix == u"/H"_s) {
            run.CmdLineFlags |= CmdLineFlag::Hidden;
            run.CmdLineQuiet = true;
        } else if (prefix == u"/T"_s) {
            run.CmdLineFlags |= CmdLineFlag::Tray;
        } else if (upper == u"/NOAUTO"_s) {
            run.CmdLineFlags |= CmdLineFlag::NoAuto;
        } else if (upper == u"/NOOLD"_s) {
            run.CmdLineFlags |= CmdLineFlag::NoOld;
        } else if (prefix == u"/D"_s) {
            run.CmdLineFlags |= CmdLineFlag::Debug;
            run.CmdLineDebug = true;
        } else if (prefix == u"/Q"_s) {
            run.CmdLineFlags |= CmdLineFlag::Quiet;
            run.CmdLineQuiet = true;
        } else if (prefix == u"/W"_s) {
            run.CmdLineFlags |= CmdLineFlag::ClearWidths;
        } else if (prefix == u"/P"_s) {
            if (!parseProfile(argument.mid(2), run, errorText))
                return false;
        } else if (argument.startsWith(u'/')) {
            errorText = u"unknown switch: "_s + argument;
            return false;
        } else {
            errorText = u"unknown parameter: "_s + argument;
            return false;
        }
    }
    return true;
}
