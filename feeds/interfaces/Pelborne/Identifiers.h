// SPDX-License-Identifier: MIT
#pragma once

#include "Guid.h"

// The identities that Pelborne's type library publishes. They are fixed: callers bound early
// depend on them.
namespace Pelborne {
inline constexpr char Title[] = "Pelborne";

inline constexpr Guid LibraryId = Guid::literal("{1325B048-FBE0-4669-8902-9D7688732136}");
inline constexpr char LibraryVersion[] = "1.1";
inline constexpr char LibraryHelpString[] = "Quolla Json volumeusage retrieval";

namespace ClassId {
inline constexpr Guid UsageData = Guid::literal("{39C93B1A-BE1E-4A0C-9BED-70D37687A510}");
inline constexpr Guid General = Guid::literal("{09FFE8CD-8D24-4C05-B7CA-B854232A2556}");
inline constexpr Guid clsFileVersionInfo = Guid::literal("{73384943-CED3-40C5-9C58-C5514D8FF1D3}");
inline constexpr Guid clsWinHTTP = Guid::literal("{646D9052-0017-47D0-BBB8-8B5A19A9BE5A}");
} // namespace ClassId

namespace ProgId {
inline constexpr char UsageData[] = "Pelborne.UsageData";
inline constexpr char General[] = "Pelborne.General";
inline constexpr char clsFileVersionInfo[] = "Pelborne.clsFileVersionInfo";
inline constexpr char clsWinHTTP[] = "Pelborne.clsWinHTTP";
} // namespace ProgId

namespace InterfaceId {
inline constexpr Guid _UsageData = Guid::literal("{AD112120-6BC2-4FF1-A39B-E86B2E99C9A8}");
inline constexpr Guid __UsageData = Guid::literal("{C1D5863D-BFC8-4BFF-BBB6-ABF353BE4CF9}");
// The identity of an earlier version of _UsageData; the current interface answers to it.
inline constexpr Guid UsageData___v0 = Guid::literal("{6E1BD3FB-2BE3-4588-B26B-F0667B6702FB}");
inline constexpr Guid _General = Guid::literal("{FA97E6AB-719A-424E-94D2-DAF9CAADFA7D}");
inline constexpr Guid _clsFileVersionInfo = Guid::literal("{B2F50414-C2E3-4B1D-8568-C5BCAAB37D1D}");
inline constexpr Guid _clsWinHTTP = Guid::literal("{0A53A60E-ECB1-4C1A-8D5A-BC64B60215E3}");
inline constexpr Guid __clsWinHTTP = Guid::literal("{4195BAB7-923D-4FAF-9FAF-0F392CAC7DE8}");
} // namespace InterfaceId
} // namespace Pelborne
