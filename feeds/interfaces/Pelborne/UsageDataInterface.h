// SPDX-License-Identifier: MIT
#pragma once

#include "ComError.h"
#include "Pelborne/Identifiers.h"
#include "UsageDataTypes.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

namespace Pelborne {

// The event interface of Pelborne's UsageData: every progress and error line of an operation,
// raised synchronously on the caller's thread while the call runs. intDebug is the line's level.
class __UsageData
{
public:
    static constexpr Guid InterfaceId = ::Pelborne::InterfaceId::__UsageData;

    virtual void Status(const QString& szMsg, int16_t intDebug) = 0;

protected:
    ~__UsageData() = default;
};

// Pelborne's UsageData: one account's usage for one month from the provider's JSON API.
// The members stand in the order of the published function table (a property's get before its
// put). Callers bound early rely on that order, so it never changes and nothing is inserted.
class _UsageData
{
public:
    static constexpr Guid InterfaceId = ::Pelborne::InterfaceId::_UsageData;

    virtual bool RetrieveData(const QString& szUser, const QString& szPass, bool& bFromCache,
                              const QString& szProxy = {}, const QString& szProxyUID = {},
                              const QString& szProxyPWD = {}, bool bHistorical = false,
                              LocalDateTime dtHistoricalDate = {}) = 0;
    virtual QString szCachePath() const = 0;
    virtual void szCachePath(const QString& value) = 0;
    virtual int16_t intProfile() const = 0;
    // 0 to 20; anything else is refused with the range error and changes nothing.
    [[nodiscard]] virtual ComErrorResult intProfile(int16_t value) = 0;
    virtual bool CacheExpired(const QString& szUser, bool bQuiet = false) = 0;
    virtual int16_t intTimeout() const = 0;
    virtual void intTimeout(int16_t value) = 0;
    virtual QString szAccountName() const = 0;
    virtual void szAccountName(const QString& value) = 0;
    virtual QString szLastError() const = 0;
    virtual QString szLastErrorDetail() const = 0;
    virtual DailyDates arrayDailyDates() const = 0;
    virtual DailyValues arrayDailyUploads() const = 0;
    virtual DailyValues arrayDailyPeak() const = 0;
    virtual DailyValues arrayDailyOffPeak() const = 0;
    virtual DailyValues arrayDailyFreezone() const = 0;
    virtual DailyValues arrayDailyTotals() const = 0;
    virtual DailyHeaders arrayDailyHeaders() const = 0;
    virtual MonthTotals arrayTotals() const = 0;
    virtual QString szIP() const = 0;
    virtual QString szLastConnect() const = 0;
    virtual QString szShapingSpeed() const = 0;
    virtual QString szLastUpdate() const = 0;
    virtual float sngQuotaPeak() const = 0;
    virtual float sngQuotaOffpeak() const = 0;
    virtual float sngUsedPeak() const = 0;
    virtual float sngUsedOffpeak() const = 0;
    virtual float sngLeftPeak() const = 0;
    virtual float sngLeftOffPeak() const = 0;
    virtual int16_t intPeakShapeStatus() const = 0;
    virtual int16_t intOffpeakShapeStatus() const = 0;
    virtual float sngUsedFreezone() const = 0;
    virtual float sngPctPeak() const = 0;
    virtual float sngPctOffPeak() const = 0;
    virtual QString szPlanName() const = 0;
    virtual QString szProductName() const = 0;
    virtual int16_t intPeakStart() const = 0;
    virtual int16_t intPeakEnd() const = 0;
    // The day of the month on which the quota resets, as the reply gave it; 0 when it gave none.
    virtual int16_t intAnniversaryDate() const = 0;
    // The account's services that offer usage; iCount and aServices are set only on success.
    virtual bool GetServices(const QString& szUser, const QString& szPass, int16_t& iCount, QStringList& aServices,
                             const QString& szProxy = {}, const QString& szProxyUID = {},
                             const QString& szProxyPWD = {}) = 0;
    // The service whose usage RetrieveData asks for; the value is stored as text.
    virtual void szServiceToRequest(const QVariant& szServiceName) = 0;

protected:
    ~_UsageData() = default;
};

} // namespace Pelborne
