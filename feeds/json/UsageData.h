// SPDX-License-Identifier: MIT
#pragma once

#include "ClockSeam.h"
#include "ComObject.h"
#include "ConnectionPoint.h"
#include "JsonValue.h"
#include "Pelborne/UsageDataInterface.h"
#include "ServiceList.h"
#include "UsageDataCommon.h"
#include "clsWinHTTP.h"

#include <memory>

namespace Pelborne {

// Pelborne's UsageData object: one account's month from the JSON API (sign-in with its service
// list, then the usage request) or from the cache file of the last good reply, with the cache
// expiry and the settings.
class UsageData final : public ComObject, public _UsageData, public ClockSeam, private UsageDataCommon
{
public:
    UsageData();
    ~UsageData() override;

    void* QueryInterface(const Guid& interfaceId) override;
    void* FindConnectionPoint(const Guid& eventInterfaceId) override;
    void setClock(std::shared_ptr<const Clock> clock) override { UsageDataCommon::setClock(std::move(clock)); }

    bool RetrieveData(const QString& szUser, const QString& szPass, bool& bFromCache, const QString& szProxy,
                      const QString& szProxyUID, const QString& szProxyPWD, bool bHistorical,
                      LocalDateTime dtHistoricalDate) override;
    QString szCachePath() const override { return m.szCachePath; }
    void szCachePath(const QString& value) override { putCachePath(value); }
    int16_t intProfile() const override { return m.intProfile; }
    ComErrorResult intProfile(int16_t value) override { return putProfile(value); }
    bool CacheExpired(const QString& szUser, bool bQuiet) override { return cacheExpired(szUser, bQuiet); }
    int16_t intTimeout() const override { return m.intTimeout; }
    void intTimeout(int16_t value) override { putTimeout(value); }
    QString szAccountName() const override { return m.szAccountName; }
    void szAccountName(const QString& value) override { m.szAccountName = value; }
    QString szLastError() const override { return m.szLastError; }
    QString szLastErrorDetail() const override { return m.szLastErrorDetail; }
    DailyDates arrayDailyDates() const override { return m.arrayDailyDates; }
    DailyValues arrayDailyUploads() const override { return m.arrayDailyUploads; }
    DailyValues arrayDailyPeak() const override { return m.arrayDailyPeak; }
    DailyValues arrayDailyOffPeak() const override { return m.arrayDailyOffPeak; }
    DailyValues arrayDailyFreezone() const override { return m.arrayDailyFreezone; }
    DailyValues arrayDailyTotals() const override { return m.arrayDailyTotals; }
    DailyHeaders arrayDailyHeaders() const override { return m.arrayDailyHeaders; }
    MonthTotals arrayTotals() const override { return m.arrayTotals; }
    QString szIP() const override { return m.szIP; }
    QString szLastConnect() const override { return m.szLastConnect; }
    QString szShapingSpeed() const override { return m.szShapingSpeed; }
    QString szLastUpdate() const override { return m.szLastUpdate; }
    float sngQuotaPeak() const override { return m.sngQuotaPeak; }
    float sngQuotaOffpeak() const override { return m.sngQuotaOffpeak; }
    float sngUsedPeak() const override { return m.sngUsedPeak; }
    float sngUsedOffpeak() const override { return m.sngUsedOffpeak; }
    float sngLeftPeak() const override { return m.sngLeftPeak; }
    float sngLeftOffPeak() const override { return m.sngLeftOffPeak; }
    int16_t intPeakShapeStatus() const override { return m.intPeakShapeStatus; }
    int16_t intOffpeakShapeStatus() const override { return m.intOffpeakShapeStatus; }
    float sngUsedFreezone() const override { return m.sngUsedFreezone; }
    float sngPctPeak() const override { return m.sngPctPeak; }
    float sngPctOffPeak() const override { return m.sngPctOffPeak; }
    QString szPlanName() const override { return m.szPlanName; }
    QString szProductName() const override { return m.szProductName; }
    int16_t intPeakStart() const override { return m.intPeakStart; }
    int16_t intPeakEnd() const override { return m.intPeakEnd; }
    int16_t intAnniversaryDate() const override { return m.intAnniversaryDate; }
    bool GetServices(const QString& szUser, const QString& szPass, int16_t& iCount, QStringList& aServices,
                     const QString& szProxy, const QString& szProxyUID, const QString& szProxyPWD) override;
    void szServiceToRequest(const QVariant& szServiceName) override;

private:
    QString FullUsername(const QString& user);
    bool FetchServiceList(const QString& user, const QString& password, const QString& proxy, const QString& proxyUser,
                          const QString& proxyPassword);
    // Fetches url with the transport that UseMSXML chooses; what a success or failure reports is
    // named after procedure and what ("service list", "daily data").
    bool fetch(const QString& procedure, const QString& what, const QString& url, const QString& proxy,
               const QString& proxyUser, const QString& proxyPassword, QString& reply);

    // The parts of RetrieveData.
    void resetMonthValues();
    bool fetchUsage(const QString& szUser, const QString& szPass, const QString& szProxy, const QString& szProxyUID,
                    const QString& szProxyPWD, bool bHistorical, const LocalDateTime& dtHistoricalDate, QString& reply);
    // Length, parse and result code of a reply; false with the error texts set.
    bool checkReply(const QString& reply, JsonValue& root);
    // szLastUpdate from the time of the reply's file; false when the file has no time.
    bool setLastUpdate(const QString& replyFile);
    bool ParseDailyData(const JsonValue& data);

    QString defaultServiceListTemplate() const;
    QString defaultUsageTemplate() const;

    ConnectionPoint<__UsageData> m_statusEvents;
    // The URL templates keep their placeholders: each operation fills a copy.
    QString m_usageTemplate;
    QString m_serviceListTemplate;
    ServiceList m_services;
    QString m_serviceToRequest;
    // Created on first need and kept for the object's life; a failed fetch gives it up.
    std::unique_ptr<clsWinHTTP> m_transport;
};

} // namespace Pelborne
