// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// Handle values of the predefined registry hives, as callers pass them to the registry routines.
inline constexpr uint32_t HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr uint32_t HKEY_CURRENT_USER = 0x80000001u;
inline constexpr uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;
