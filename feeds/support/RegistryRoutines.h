// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryHive.h"

#include <QString>

#include <cstdint>

// The registry routines over the registry store (platform/RegistryStore). The hive is a handle
// value such as HKEY_CURRENT_USER; key paths use "\" between components. None of them throws:
// each reports through its result and, where it has one, its by-reference output.

// True when the key exists.
bool RegKeyExists(uint32_t hive, const QString& key);
// Text, expandable text and multi-text values give their whole text, however long, a DWORD its
// signed decimal text. A missing key or value empties `value` and gives false; a value of any
// other type gives false and leaves `value` as it was.
bool GetRegValue(uint32_t hive, const QString& key, const QString& name, QString& value);
// Writes a REG_SZ, creating the whole key path. On failure szErr = "[code] system message".
bool WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value, QString& szErr);
// True only for a REG_DWORD value; otherwise `value` is left as it was.
bool GetRegWordValue(uint32_t hive, const QString& key, const QString& name, int32_t& value);
// Writes a REG_DWORD, creating the whole key path. On failure szErr = "[code] system message".
bool WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value, QString& szErr);
// False for a missing key and for a key that still has subkeys.
bool DeleteRegKey(uint32_t hive, const QString& key);
// True only when the key and the value existed and the value was deleted.
bool DeleteRegValue(uint32_t hive, const QString& key, const QString& name);
