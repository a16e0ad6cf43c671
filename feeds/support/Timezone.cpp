// SPDX-License-Identifier: MIT
#include "Timezone.h"

float GMTOffset()
{
    // The system time zone stands in for the platform's time-zone information query.
    return GMTOffsetAt(QDateTime::currentDateTimeUtc(), QTimeZone::systemTimeZone());
}

float GMTOffsetAt(const QDateTime& utcNow, const QTimeZone& zone)
{
    if (!zone.isValid() || !utcNow.isValid())
        return 0.0f;
    // Whole minutes, as the zone bias is kept; the sign turns "ahead of UTC" into "add to get UTC".
    const int biasMinutes = -zone.offsetFromUtc(utcNow) / 60;
    return static_cast<float>(biasMinutes) / 60.0f;
}
