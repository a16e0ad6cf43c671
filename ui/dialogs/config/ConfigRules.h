// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The options dialog's decisions and display texts, free of widgets.
namespace ConfigRules {

// A check box of the options word with the bit it stands for.
struct OptionBox
{
    const char* name;
    uint32_t bit;
};
// All eighteen, in bit order.
const QList<OptionBox>& optionBoxes();

// A list index held within 0..last.
int clampIndex(int index, int last);
// A value held within minimum..maximum.
int32_t clampToRange(int64_t value, int32_t minimum, int32_t maximum);

// The number-box rule: a numeric text rounded to the nearest whole number (halves to even) and
// held within the range; none when the text is no number.
std::optional<int32_t> validatedNumber(const QString& text, int32_t minimum, int32_t maximum);

// Apply's change flags, against the options word as it was before this Apply.
bool accountChanged(const QString& storedUsername, const QString& typedUsername);
bool displayChanged(uint32_t oldFlags, uint32_t newFlags);
bool layoutChanged(uint32_t oldFlags, uint32_t newFlags);

// The options word's bits that belong to no check box are dropped.
uint32_t knownOptionBits();
// VerCheckOptions: 1 timed, 2 at start-up.
int16_t verCheckOptions(bool timed, bool startup);

// The status line for the profile's VerCheckLast value (none: missing; a time: valid).
QString lastVersionCheckText(bool present, const std::optional<QString>& validTime);
// "<n> (<meaning>)" for DataDirMigration; -1 when missing.
QString migrationStatusText(int32_t status);
// "08:00 to 23:00".
QString hourSpanText(int fromHour, int toHour);

// The interval's lower bound and the ranges of the three up-downs.
inline constexpr int32_t IntervalMinimum = 15;
inline constexpr int32_t IntervalMaximum = 999999999;
inline constexpr int32_t DelayMinimum = 1;
inline constexpr int32_t DelayMaximum = 30;
inline constexpr int32_t TimeoutMinimum = 20;
inline constexpr int32_t TimeoutMaximum = 300;

} // namespace ConfigRules
