// SPDX-License-Identifier: MIT
#pragma once

#include "Settings.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

// Which key a setting lives under: the shared key, or the key of the current profile.
enum class SettingKey { Shared, Profile };

// How a stored value becomes its setting.
enum class SettingConversion {
    AsIs,       // numbers (16-bit settings checked for overflow) and texts taken as stored
    Positive,   // Boolean: true when the number is above 0
    ExactlyOne, // Boolean: true only for 1
    ZeroIsTrue, // Boolean: true when the number is 0
    Scrambled,  // text: unscrambled on reading, scrambled on saving
};

// How a log line shows a setting's value.
enum class SettingShown { Number, Minutes, Seconds, AccountType, Text, TextOrNone, TrueFalse };

using SettingMember = std::variant<int32_t Settings::*, int16_t Settings::*, bool Settings::*, QString Settings::*>;

// A value as the registry gave it.
struct StoredSetting
{
    bool found = false;
    int32_t number = 0;
    QString text;
};

// A log line, or none.
using SettingLine = std::function<std::optional<QString>(const Settings&, const StoredSetting&)>;

// One stored setting, in reading order. Unless a row gives its own lines, reading logs
// "<title> not found, using default: <value>" or "<title>: <value>" after the prefix.
struct SettingSpec
{
    QString valueName{};
    SettingKey key = SettingKey::Shared;
    SettingMember member{};
    SettingConversion conversion = SettingConversion::AsIs;
    int32_t defaultNumber = 0; // texts default to empty
    std::optional<int32_t> minimum{};
    std::optional<int32_t> maximum{};
    // Read only when this OptionFlags bit is set (readWhenSet) or clear; otherwise the setting
    // takes its default and the skipped line.
    uint32_t conditionBit = 0;
    bool readWhenSet = true;
    QString title{};
    SettingShown shown = SettingShown::Number;
    SettingLine missingLine{};
    SettingLine presentLine{};
    SettingLine skippedLine{}; // none unless given

    bool isText() const { return std::holds_alternative<QString Settings::*>(member); }
};

// One step of the save, in saving order. Unless a row gives its own line, a successful write
// logs "<title>: <value>" after the prefix.
struct SaveSpec
{
    QString valueName{};
    SettingKey key = SettingKey::Shared;
    SettingMember member{};
    SettingConversion conversion = SettingConversion::AsIs;
    QString title{};
    SettingShown shown = SettingShown::Number;
    std::function<std::optional<QString>(const Settings&)> line{};
    QString failureText{}; // before the write's error text
    // Saved only when this OptionFlags bit is set (whenSet) or clear; 0: always.
    uint32_t conditionBit = 0;
    bool whenSet = true;
    bool writeEmptyText = false; // the empty text instead of the member
    bool graphOptions = false;   // written by SaveGraphOptions, whose failure does not stop the save
};

namespace SettingsTable {
const std::vector<SettingSpec>& readOrder();
const std::vector<SaveSpec>& saveOrder();
enum class ReadOutcome { Missing, Present, Skipped };
// The log line after reading a setting, or after saving one; none when the row has none.
std::optional<QString> readLine(const SettingSpec& spec, ReadOutcome outcome, const Settings& settings,
                                const StoredSetting& stored);
std::optional<QString> saveLine(const SaveSpec& step, const Settings& settings);
} // namespace SettingsTable
