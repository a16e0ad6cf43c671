// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <cstdint>

// What the version page says: the latest version (its first line) and the release notes (the
// lines after it), and the arithmetic that compares versions.
struct VersionReply
{
    QString latest;
    QString notes; // lines joined with CR LF; empty when the page has only the version line

    // Reads a page body. Text from the first "<font" on is dropped (hosts append their banners
    // there), as are one pre wrapper, carriage returns and doubled line feeds.
    static VersionReply fromBody(const QString& body);

    // The first three dot-separated parts of a version text as 16-bit numbers. False when there
    // are fewer than three parts or one of them is not a number; raises RunTimeError (Overflow)
    // when a numeric part does not fit in 16 bits.
    static bool parseVersion(const QString& version, std::array<int16_t, 3>& parts);

    // major * 1,000,000 + minor * 1,000 + revision; raises RunTimeError (Overflow) when the
    // result does not fit in 32 bits.
    static int32_t versionNumber(int32_t major, int32_t minor, int32_t revision);
};
