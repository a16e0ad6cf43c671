// SPDX-License-Identifier: MIT
#pragma once

#include "ComExport.h"

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

// A 128-bit identifier of a library, a class or an interface, written in its registry text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
struct Guid
{
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};

    // The registry text form, with braces; hex digits in either case. nullopt for anything else.
    static constexpr std::optional<Guid> parse(std::string_view text);
    TALLY_COM_API static std::optional<Guid> fromString(const QString& text);
    // For the identifiers fixed at build time: a malformed text does not compile.
    static consteval Guid literal(std::string_view text)
    {
        const std::optional<Guid> guid = parse(text);
        if (!guid)
            throw "malformed identifier";
        return *guid;
    }

    bool isNull() const { return *this == Guid(); }
    // Upper-case registry text form, braces included.
    TALLY_COM_API QString toString() const;

    friend constexpr bool operator==(const Guid&, const Guid&) = default;

private:
    static constexpr int hexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    }
};

constexpr std::optional<Guid> Guid::parse(std::string_view text)
{
    // Offsets of the 16 bytes' hex pairs inside "{........-....-....-....-............}".
    constexpr std::array<int, 16> pairs{1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
    if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-')
        return std::nullopt;
    std::array<uint8_t, 16> bytes{};
    for (size_t i = 0; i < pairs.size(); ++i) {
        const int high = hexDigit(text[size_t(pairs[i])]);
        const int low = hexDigit(text[size_t(pairs[i]) + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = uint8_t(high * 16 + low);
    }
    Guid guid;
    guid.data1 = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    guid.data2 = uint16_t(bytes[4] << 8 | bytes[5]);
    guid.data3 = uint16_t(bytes[6] << 8 | bytes[7]);
    for (size_t i = 0; i < 8; ++i)
        guid.data4[i] = bytes[8 + i];
    return guid;
}

template <>
struct std::hash<Guid>
{
    size_t operator()(const Guid& guid) const noexcept
    {
        size_t seed = guid.data1 ^ (size_t(guid.data2) << 16) ^ (size_t(guid.data3) << 32);
        for (uint8_t byte : guid.data4)
            seed = seed * 31 + byte;
        return seed;
    }
};
