// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The version block that each deliverable carries in its ELF section ".tally_version" (our
// stand-in for a version resource). All numbers are little-endian; offsets are from the block's
// start:
//
//   0  char[8]  magic "TALLYVER"
//   8  u32      format, 1
//  12  u32      size of the whole block in bytes (the section may be padded beyond it)
//  16  u8[4]    translation: language (u16), then code page (u16), e.g. 0x0409 / 1252
//  20  u32[4]   fixed information: major, minor, patch, build
//  36  char[8]  key of the string table: 8 upper-case hex digits, e.g. "040904E4"
//  44  ...      string table: pairs of NUL-terminated UTF-8 texts (name, value), ended by an
//               empty name (a single NUL)
//
// A block may end after the header, after the translation or after the fixed information; the
// parts after its end are then missing (queries for them fail).
namespace VersionBlockFormat {

inline constexpr char SectionName[] = ".tally_version";
inline constexpr char Magic[8] = {'T', 'A', 'L', 'L', 'Y', 'V', 'E', 'R'};
inline constexpr uint32_t Format = 1;

inline constexpr size_t HeaderSize = 16;
inline constexpr size_t TranslationOffset = 16;
inline constexpr size_t TranslationSize = 4;
inline constexpr size_t FixedOffset = 20;
inline constexpr size_t FixedSize = 16;
inline constexpr size_t TableKeyOffset = 36;
inline constexpr size_t TableKeySize = 8;
inline constexpr size_t StringsOffset = 44;

// The fixed-information record as the query for the root block returns it.
struct FixedVersionInfo
{
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t patch = 0;
    uint32_t build = 0;
};

struct StringPair
{
    std::string_view name;
    std::string_view value;
};

struct Block
{
    uint16_t language = 0x0409;
    uint16_t codePage = 1252;
    FixedVersionInfo fixed;
    std::string_view tableKey = "040904E4"; // exactly TableKeySize characters
    std::span<const StringPair> strings;
};

constexpr size_t encodedSize(const Block& block)
{
    size_t size = StringsOffset + 1;
    for (const StringPair& pair : block.strings)
        size += pair.name.size() + 1 + pair.value.size() + 1;
    return size;
}

// Writes the block into out, which holds encodedSize(block) bytes. constexpr so that the
// generated source of each deliverable builds its block at compile time.
constexpr void encode(const Block& block, unsigned char* out)
{
    size_t at = 0;
    const auto put8 = [&](unsigned value) { out[at++] = static_cast<unsigned char>(value & 0xFF); };
    const auto put16 = [&](uint32_t value) {
        put8(value);
        put8(value >> 8);
    };
    const auto put32 = [&](uint32_t value) {
        put16(value & 0xFFFF);
        put16(value >> 16);
    };
    const auto putText = [&](std::string_view text) {
        for (char c : text)
            put8(static_cast<unsigned char>(c));
    };

    for (char c : Magic)
        put8(static_cast<unsigned char>(c));
    put32(Format);
    put32(static_cast<uint32_t>(encodedSize(block)));
    put16(block.language);
    put16(block.codePage);
    put32(block.fixed.major);
    put32(block.fixed.minor);
    put32(block.fixed.patch);
    put32(block.fixed.build);
    for (size_t i = 0; i < TableKeySize; ++i)
        put8(i < block.tableKey.size() ? static_cast<unsigned char>(block.tableKey[i]) : '0');
    for (const StringPair& pair : block.strings) {
        putText(pair.name);
        put8(0);
        putText(pair.value);
        put8(0);
    }
    put8(0);
}

} // namespace VersionBlockFormat
