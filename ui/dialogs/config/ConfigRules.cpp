// SPDX-License-Identifier: MIT
#include "ConfigRules.h"

#include "Dates.h"
#include "Settings.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace ConfigRules {

const QList<OptionBox>& optionBoxes()
{
    static const QList<OptionBox> boxes{
        {"chkPwdPrompt", OptionFlag::PwdPrompt},
        {"chkSortRemember", OptionFlag::SortRemember},
        {"chkAutoRefresh", OptionFlag::AutoRefresh},
        {"chkMinimiseToTray", OptionFlag::MinimiseToTray},
        {"chkMultInstances", OptionFlag::MultInstances},
        {"chkStartupRefresh", OptionFlag::StartupRefresh},
        {"chkStartMinimised", OptionFlag::StartMinimised},
        {"chkShowMarker", OptionFlag::ShowMarker},
        {"chkPwdToolbox", OptionFlag::PwdToolbox},
        {"chkDoubleWidth", OptionFlag::DoubleWidth},
        {"chkDelayRefresh", OptionFlag::DelayRefresh},
        {"chkEstShaping", OptionFlag::EstShaping},
        {"chkXMLExport", OptionFlag::XMLExport},
        {"chkCSVExport", OptionFlag::CSVExport},
        {"chkCSVExclude", OptionFlag::CSVExclude},
        {"chkHistory", OptionFlag::History},
        {"chkCommaSeparators", OptionFlag::CommaSeparators},
        {"chkQuietMode", OptionFlag::QuietMode},
    };
    return boxes;
}

int clampIndex(int index, int last)
{
    return std::clamp(index, 0, last);
}

int32_t clampToRange(int64_t value, int32_t minimum, int32_t maximum)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, minimum, maximum));
}

std::optional<int32_t> validatedNumber(const QString& text, int32_t minimum, int32_t maximum)
{
    const std::optional<double> number = readNumericText(text);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    // Held within the range before rounding, so a huge number cannot overflow the conversion.
    const double held = std::clamp(*number, static_cast<double>(minimum), static_cast<double>(maximum));
    return clampToRange(static_cast<int64_t>(roundHalfEven(held)), minimum, maximum);
}

bool accountChanged(const QString& storedUsername, const QString& typedUsername)
{
    return storedUsername.toUpper() != typedUsername.toUpper();
}

bool displayChanged(uint32_t oldFlags, uint32_t newFlags)
{
    const uint32_t display = OptionFlag::ShowMarker | OptionFlag::EstShaping | OptionFlag::CommaSeparators;
    return ((oldFlags ^ newFlags) & display) != 0;
}

bool layoutChanged(uint32_t oldFlags, uint32_t newFlags)
{
    return ((oldFlags ^ newFlags) & OptionFlag::DoubleWidth) != 0;
}

uint32_t knownOptionBits()
{
    uint32_t bits = 0;
    for (const OptionBox& box : optionBoxes())
        bits |= box.bit;
    return bits;
}

int16_t verCheckOptions(bool timed, bool startup)
{
    return static_cast<int16_t>((timed ? 1 : 0) | (startup ? 2 : 0));
}

QString lastVersionCheckText(bool present, const std::optional<QString>& validTime)
{
    if (!present)
        return u"no record of last version check"_s;
    if (!validTime)
        return u"time of last version check invalid"_s;
    return u"last version check performed at "_s + *validTime;
}

QString migrationStatusText(int32_t status)
{
    QString meaning;
    switch (status) {
    case -1:
        meaning = u"unknown migration status"_s;
        break;
    case 0:
        meaning = u"fatal error during migration"_s;
        break;
    case 1:
        meaning = u"user declined"_s;
        break;
    case 2:
        meaning = u"migration completed or unnecessary"_s;
        break;
    default:
        meaning = u"invalid migration status value"_s;
        break;
    }
    return QString::number(status) + u" ("_s + meaning + u')';
}

QString hourSpanText(int fromHour, int toHour)
{
    const auto twoDigits = [](int hour) { return QString::number(hour).rightJustified(2, u'0'); };
    return twoDigits(fromHour) + u":00 to "_s + twoDigits(toHour) + u":00"_s;
}

} // namespace ConfigRules
