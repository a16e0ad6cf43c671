// SPDX-License-Identifier: MIT
#pragma once

#include "Guid.h"

// The identities that Sarnick's type library publishes. They are fixed: callers bound early
// depend on them. Sarnick's clsWinHTTP is private and has none.
namespace Sarnick {
inline constexpr char Title[] = "Sarnick";

inline constexpr Guid LibraryId = Guid::literal("{03B4EB7C-2770-4A53-87FF-2349DB698B40}");
inline constexpr char LibraryVersion[] = "7.0";
inline constexpr char LibraryHelpString[] = "Quolla XML volumeusage retrieval";

namespace ClassId {
inline constexpr Guid UsageData = Guid::literal("{4D822E89-1ED7-4796-9FEC-ABBE8D22C1E9}");
inline constexpr Guid General = Guid::literal("{38389815-213F-435C-BFC0-4ECD5985B4CF}");
inline constexpr Guid clsFileVersionInfo = Guid::literal("{952E1451-DC86-4E7B-8FED-79C9DB57F1E0}");
} // namespace ClassId

namespace ProgId {
inline constexpr char UsageData[] = "Sarnick.UsageData";
inline constexpr char General[] = "Sarnick.General";
inline constexpr char clsFileVersionInfo[] = "Sarnick.clsFileVersionInfo";
} // namespace ProgId

namespace InterfaceId {
inline constexpr Guid _UsageData = Guid::literal("{02809432-4353-4AAC-98CE-083AB60A2F68}");
inline constexpr Guid __UsageData = Guid::literal("{31886614-8C34-4759-B10E-B26F2804A245}");
inline constexpr Guid _General = Guid::literal("{D492E26D-9686-4E52-8AB5-DB0B0C0E3D53}");
inline constexpr Guid _clsFileVersionInfo = Guid::literal("{3676D0F7-B85A-4504-8793-FBA0A994CF3F}");
} // namespace InterfaceId
} // namespace Sarnick
