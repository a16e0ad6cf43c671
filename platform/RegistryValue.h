// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Registry value type numbers; stored values keep whichever number they were written with.
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr uint32_t REG_LINK = 6;
inline constexpr uint32_t REG_MULTI_SZ = 7;
inline constexpr uint32_t REG_QWORD = 11;

// One typed value: its type number and its raw bytes. Text types hold UTF-8 bytes, which stand
// in for the ANSI code page.
struct RegistryValue
{
    uint32_t type = REG_NONE;
    QByteArray data;

    // A REG_SZ of the text's UTF-8 bytes, without a terminating NUL.
    static RegistryValue text(const QString& value) { return {REG_SZ, value.toUtf8()}; }

    // A REG_DWORD: four bytes, little-endian.
    static RegistryValue dword(uint32_t value)
    {
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((value >> (8 * i)) & 0xFFu);
        return {REG_DWORD, bytes};
    }

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};
