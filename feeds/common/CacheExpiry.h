// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"
#include "StatusSink.h"

#include <QString>

#include <cstdint>

// Seconds that must pass after a live fetch before the next one; a request within them is served
// from the cache file.
inline constexpr int64_t MinimumRefreshInterval = 840;

// True when a live fetch is due for szUser: no usable last-refresh value under
// "Software\<title>\Config" (the value is named by the user name exactly as given), one that is
// MinimumRefreshInterval seconds old or more, or one in the future. An unreadable or future value
// is reported even when quiet. Any unexpected failure also answers true: one extra fetch is the
// safe side.
bool CacheExpired(const QString& title, const QString& szUser, bool bQuiet, const Clock& clock,
                  const StatusSink& status);
