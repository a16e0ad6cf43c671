// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// Traffic-class shaping states (PeakShapeStatus, OffpeakShapeStatus): 0 unshaped, 1 shaped at
// ShapingSpeed, 2 or more shaped at that many kbit/s, -1..-3 possible shaping tiers, anything
// lower an undefined state.
namespace ShapingStatus {
inline constexpr int16_t Unshaped = 0;
inline constexpr int16_t Shaped = 1;
} // namespace ShapingStatus

// Slots of qoMonth::DailyHeaders, one per daily array.
namespace DailyHeader {
inline constexpr int Date = 0;
inline constexpr int Peak = 1;
inline constexpr int Offpeak = 2;  // empty: the plan has no off-peak class
inline constexpr int Freezone = 3; // empty: the plan has no free-zone class
inline constexpr int Total = 4;
inline constexpr int Uploads = 5;
inline constexpr int Count = 6;
} // namespace DailyHeader

// One billing month of one account, as every part of the program passes it around. A plain value:
// copies are deep, and a default-constructed record has every number 0, every text empty, the
// zero date and no daily data. Usage amounts are megabytes of 1,000,000 bytes; shares are percent.
// The field order is the one the history store and the exports rely on.
struct qoMonth
{
    QString LastUpdate;            // "yyyy-mm-dd HH:mm:ss" or "unknown"
    QString IP;                    // dotted address or "unknown"
    QString LastConnect;           // "yyyy-mm-dd HH:mm:ss", "unknown" or empty
    LocalDateTime AnniversaryDate; // first day of the billing month; zero date = not given
    int16_t ResetDay = 0;          // the account's reset day, 1..31 (BillingMonth); 0 = not given
    QString ShapingSpeed;          // kbit/s as text, may be empty
    int16_t PlanType = 0;          // only the history store gives non-zero codes
    QString PlanName;
    QString ProductName;

    float PeakQuota = 0; // 0 = no quota (unlimited)
    float TotalPeak = 0;
    float PeakQuotaLeft = 0;
    float AvgPeak = 0;          // per elapsed day
    float AvgRemainingPeak = 0; // allowance per remaining day
    int16_t PeakShapeStatus = 0;
    float PercentPeak = 0; // may pass 100
    float ElapsedPeak = 0; // share of the month's peak-hour time gone, 0..100

    float OffPeakQuota = 0; // 0 = none (combined quota or no off-peak class)
    float TotalOffpeak = 0;
    float OffpeakQuotaLeft = 0;
    float AvgOffpeak = 0;
    float AvgRemainingOffpeak = 0;
    int16_t OffpeakShapeStatus = 0;
    float PercentOffPeak = 0;
    float ElapsedOffpeak = 0;

    float TotalFreezone = 0;
    float AvgFreezone = 0;

    std::array<QString, DailyHeader::Count> DailyHeaders;

    // The daily series: always the same length, element i of each belongs to DailyDates[i].
    QList<LocalDateTime> DailyDates;
    QList<float> DailyPeak;
    QList<float> DailyOffpeak;
    QList<float> DailyFreezone;
    QList<float> DailyTotals;  // peak + off-peak + free zone, uploads excluded
    QList<float> DailyUploads; // -1 = no upload figure for that day

    // The daily series under column title 1 to 5 (Date has none; anything else gives the uploads).
    const QList<float>& dailySeries(int title) const
    {
        switch (title) {
        case DailyHeader::Peak:
            return DailyPeak;
        case DailyHeader::Offpeak:
            return DailyOffpeak;
        case DailyHeader::Freezone:
            return DailyFreezone;
        case DailyHeader::Total:
            return DailyTotals;
        default:
            return DailyUploads;
        }
    }

    int16_t PeakStart = 0; // hour the daily peak period begins
    int16_t PeakEnd = 0;   // hour it ends; the period wraps midnight when PeakStart > PeakEnd

    friend bool operator==(const qoMonth&, const qoMonth&) = default;
};
