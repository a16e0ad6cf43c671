// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"
#include "qoMonth.h"

#include <QString>

#include <cstdint>

// Bits of RunState::CmdLineFlags, one per command-line switch.
namespace CmdLineFlag {
inline constexpr uint16_t ClearSettings = 0x1; // /C
inline constexpr uint16_t Hidden = 0x2;        // /H
inline constexpr uint16_t Tray = 0x4;          // /T
inline constexpr uint16_t NoAuto = 0x8;        // /NOAUTO
inline constexpr uint16_t NoOld = 0x10;        // /NOOLD
inline constexpr uint16_t Debug = 0x20;        // /D
inline constexpr uint16_t Quiet = 0x40;        // /Q
inline constexpr uint16_t ClearWidths = 0x80;  // /W
} // namespace CmdLineFlag

// The program's run state: one instance for the whole run, passed to the code that needs it.
struct RunState
{
    int16_t ProfileNumber = 0; // 0 = the first profile
    QString DataDir;           // data folder, no trailing separator
    bool IsWine = false;
    uint16_t CmdLineFlags = 0;
    bool CmdLineDebug = false;
    bool CmdLineQuiet = false;

    // Web links of the account's brand; URLXMLUsage is the XML feed's address template.
    QString URLConnections;
    QString URLVolumeUsage;
    QString URLLegacyVolumeUsage;
    QString URLXMLUsage;
    QString URLFaults;
    QString URLToolbox;
    QString URLMail;
    QString URLPhoneWait;
    QString URLSMS;

    LocalDateTime NextRefreshDate;
    bool RefreshInProgress = false;
    int32_t VerCheckTicks = 0;
    // Asks the version check that the options dialog started to stop (its Abort and Cancel).
    bool VerCheckAbort = false;

    // The month shown in the main window.
    qoMonth CurrentMonth;
};
