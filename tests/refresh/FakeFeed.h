// SPDX-License-Identifier: MIT
#pragma once

#include "ComServer.h"
#include "LocalDateTime.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Stand-ins for both components' UsageData, served through the component runtime under the real
// class identifiers, so the program's code creates and drives them exactly as it does the real
// ones. A test scripts what they answer and reads back how they were driven.
namespace FakeFeed {

// What RetrieveData was given, and the settings put before it.
struct Call
{
    QString user;
    QString password;
    bool fromCache = false;
    QString proxy;
    QString proxyUID;
    QString proxyPWD;
    bool historical = false;
    LocalDateTime historicalDate;
    int16_t profile = -1;
    int16_t timeout = -1;
    QString accountName;
    QString loginURL;
    bool clockGiven = false;
    LocalDateTime clockNow; // the given clock's time at the call
};

// The month a component offers after a successful RetrieveData.
struct Month
{
    QString szIP, szLastConnect, szLastUpdate, szShapingSpeed, szPlanName, szProductName;
    float sngQuotaPeak = 0, sngQuotaOffpeak = 0, sngUsedPeak = 0, sngUsedOffpeak = 0, sngLeftPeak = 0,
          sngLeftOffPeak = 0, sngUsedFreezone = 0, sngPctPeak = 0, sngPctOffPeak = 0;
    int16_t intPeakShapeStatus = 0, intOffpeakShapeStatus = 0, intPeakStart = 0, intPeakEnd = 0;
    int16_t intAnniversaryDate = 0; // the reset day; 0: the reply gave none
    // The component interfaces' value types, spelled out: their names meet the history database's.
    std::optional<QList<LocalDateTime>> arrayDailyDates;
    std::optional<QList<float>> arrayDailyPeak, arrayDailyOffPeak, arrayDailyFreezone, arrayDailyTotals,
        arrayDailyUploads;
    std::array<QString, 6> arrayDailyHeaders;
};

struct StatusLine
{
    QString text;
    int16_t level = 0;
};

// The script of one component, shared by all its objects.
struct Script
{
    bool cacheExpired = true;
    bool retrieveResult = true;
    bool setsFromCache = false; // the object claims it served the request from its cache
    QString lastError;
    QString lastErrorDetail;
    Month current;
    Month historical;
    // Raised as Status events while RetrieveData runs.
    QList<StatusLine> status;

    QList<Call> calls;
    QStringList cacheExpiredUsers;
    int objectsMade = 0;
};

Script& pelborne();
Script& sarnick();
// Clears both scripts.
void reset();

// A month of `days` days from firstDay with the classes peak, off-peak, free zone and uploads.
Month sampleMonth(const LocalDateTime& firstDay, int days, const QString& lastUpdate);

// Serves the fake classes while it lives (the real libraries must not be loaded in the process).
// json / xml choose which component exists.
class Servers
{
public:
    Servers(bool json = true, bool xml = true);
    ~Servers();
    int liveObjects() const;

private:
    std::unique_ptr<ComServer> m_pelborne;
    std::unique_ptr<ComServer> m_sarnick;
};

} // namespace FakeFeed
