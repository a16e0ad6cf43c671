// SPDX-License-Identifier: MIT
#pragma once

#include "UsageDataTypes.h"

#include <QString>

#include <cstdint>

// What one UsageData object holds, in both components: the month values of the last retrieval,
// the error texts and the settings the caller puts. Everything starts as zero, empty text or no
// array.
struct UsageDataState
{
    // error texts
    QString szLastError;
    QString szLastErrorDetail;

    // account and month
    QString szLastUpdate;
    QString szIP;
    QString szLastConnect;
    QString szShapingSpeed;
    QString szPlanName;
    QString szProductName;

    // megabytes and percent
    float sngQuotaPeak = 0;
    float sngQuotaOffpeak = 0;
    float sngUsedPeak = 0;
    float sngUsedOffpeak = 0;
    float sngLeftPeak = 0;
    float sngLeftOffPeak = 0;
    float sngUsedFreezone = 0;
    float sngPctPeak = 0;
    float sngPctOffPeak = 0;

    int16_t intPeakShapeStatus = 0;
    int16_t intOffpeakShapeStatus = 0;
    int16_t intPeakStart = 0;
    int16_t intPeakEnd = 0;
    // The quota's reset day; both components show it as intAnniversaryDate.
    int16_t intAnniversaryDate = 0;

    DailyDates arrayDailyDates;
    DailyValues arrayDailyUploads;
    DailyValues arrayDailyPeak;
    DailyValues arrayDailyOffPeak;
    DailyValues arrayDailyFreezone;
    DailyValues arrayDailyTotals;
    DailyHeaders arrayDailyHeaders;
    MonthTotals arrayTotals{};

    // settings
    QString szCachePath;
    int16_t intProfile = 0;
    int16_t intTimeout = 0;
    QString szAccountName;
};
