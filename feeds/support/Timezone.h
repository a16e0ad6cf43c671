// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QTimeZone>

// Hours to add to local time to get UTC: positive west of Greenwich, negative east of it, with
// daylight saving included while it is in force (UTC+10 gives -10, UTC+9:30 gives -9.5).
// 0 when the zone cannot be read.
float GMTOffset();
// The same for a given instant and zone, so it can be checked for any zone and season.
float GMTOffsetAt(const QDateTime& utcNow, const QTimeZone& zone);
