// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// Bits of Settings::OptionFlags, one per check box of the options dialog.
namespace OptionFlag {
inline constexpr uint32_t PwdPrompt = 0x1;
inline constexpr uint32_t SortRemember = 0x2;
inline constexpr uint32_t AutoRefresh = 0x4;
inline constexpr uint32_t MinimiseToTray = 0x8;
inline constexpr uint32_t MultInstances = 0x10;
inline constexpr uint32_t StartupRefresh = 0x20;
inline constexpr uint32_t StartMinimised = 0x40;
inline constexpr uint32_t ShowMarker = 0x80;
inline constexpr uint32_t PwdToolbox = 0x100;
inline constexpr uint32_t DoubleWidth = 0x200;
inline constexpr uint32_t DelayRefresh = 0x400;
inline constexpr uint32_t EstShaping = 0x800;
inline constexpr uint32_t XMLExport = 0x1000;
inline constexpr uint32_t CSVExport = 0x2000;
inline constexpr uint32_t CSVExclude = 0x4000;
inline constexpr uint32_t History = 0x8000;
inline constexpr uint32_t CommaSeparators = 0x10000;
inline constexpr uint32_t QuietMode = 0x20000;
} // namespace OptionFlag

// The in-memory copies of the stored settings. The defaults here are those of a setting that is
// missing from the registry; SettingsStore fills and saves the members.
struct Settings
{
    static constexpr int32_t DefaultOptions = 101356; // 0x18BEC

    int32_t OptionFlags = DefaultOptions;
    QString Username;
    int16_t AccountType = 0; // 0 Quolla, 1 Brindle, 2 Corvo, 3 Dapple, 4 Emberly
    QString Password;        // plain text in memory, scrambled in the registry
    int32_t Interval = 120;  // minutes between automatic refreshes, at least 15
    bool UseProxy = false;
    QString Proxy; // host:port
    QString ProxyUID;
    QString ProxyPWD;                // plain text in memory, scrambled in the registry
    int32_t StartupRefreshDelay = 0; // minutes, at most 30
    int32_t Timeout = 120;           // seconds, 0..10000
    bool SortDir = true;
    int32_t SortCol = 0;
    bool UseJSONFeed = true;
    int16_t GraphTeeOptions = 9;
    int16_t VerCheckOptions = 1;
    int16_t VerCheckInterval = 2;

    bool hasOption(uint32_t bit) const { return (static_cast<uint32_t>(OptionFlags) & bit) != 0; }

    friend bool operator==(const Settings&, const Settings&) = default;
};
