// SPDX-License-Identifier: MIT
#pragma once

#include "UsageDataState.h"

#include <QString>

#include <optional>

// One cache file serves every earlier month of a user: each fetch of one overwrites it. The file
// holds the month asked for when every day it lists lies in the billing month that begins in the
// calendar month of asked, by the reset day the cached reply gives (whole calendar months when it
// gives none from 1 to 31). A month fetched live is stored with those same bounds, so a cached read
// of it finds its file whatever the reset day.
namespace CachedMonth {

// Nothing when the month's days are those of the month asked for (or it has none to compare);
// else why not, as the text of the caller's "file not found".
std::optional<QString> mismatch(const UsageDataState& month, const LocalDateTime& asked);

} // namespace CachedMonth
