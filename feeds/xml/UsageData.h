// SPDX-License-Identifier: MIT
#pragma once

#include "ClockSeam.h"
#include "ComObject.h"
#include "ConnectionPoint.h"
#include "FeedCacheFiles.h"
#include "RunTimeError.h"
#include "Sarnick/UsageDataInterface.h"
#include "UsageDataCommon.h"
#include "XmlDocument.h"

#include <QByteArray>

namespace Sarnick {

// Sarnick's UsageData object: one account's month from the provider's XML usage feed, or from the
// copy of the feed's last reply kept in the cache folder.
class UsageData final : public ComObject, public _UsageData, public ClockSeam, private UsageDataCommon
{
public:
    UsageData();

    void* QueryInterface(const Guid& interfaceId) override;
    void* FindConnectionPoint(const Guid& eventInterfaceId) override;
    void setClock(std::shared_ptr<const Clock> clock) override { UsageDataCommon::setClock(std::move(clock)); }

    int16_t intPeakStart() const override { return m.intPeakStart; }
    int16_t intPeakEnd() const override { return m.intPeakEnd; }
    QString szLastError() const override { return m.szLastError; }
    QString szLastErrorDetail() const override { return m.szLastErrorDetail; }
    int16_t intProfile() const override { return m.intProfile; }
    ComErrorResult intProfile(int16_t value) override { return putProfile(value); }
    QString szCachePath() const override { return m.szCachePath; }
    void szCachePath(const QString& value) override { putCachePath(value); }
    QString szAccountName() const override { return m.szAccountName; }
    QString szPlanName() const override { return m.szPlanName; }
    QString szProductName() const override { return m.szProductName; }
    void szAccountName(const QString& value) override { m.szAccountName = value; }
    QString szLoginURL() const override { return m_loginUrl; }
    void szLoginURL(const QString& value) override { m_loginUrl = value; }
    int16_t intAnniversaryDate() const override { return m.intAnniversaryDate; }
    QString szLastUpdate() const override { return m.szLastUpdate; }
    QString szIP() const override { return m.szIP; }
    QString szLastConnect() const override { return m.szLastConnect; }
    QString szShapingSpeed() const override { return m.szShapingSpeed; }
    float boolUnlimited() const override { return m_unlimited; }
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
    int16_t intTimeout() const override { return m.intTimeout; }
    void intTimeout(int16_t value) override { putTimeout(value); }
    DailyDates arrayDailyDates() const override { return m.arrayDailyDates; }
    DailyValues arrayDailyUploads() const override { return m.arrayDailyUploads; }
    DailyValues arrayDailyPeak() const override { return m.arrayDailyPeak; }
    DailyValues arrayDailyOffPeak() const override { return m.arrayDailyOffPeak; }
    DailyValues arrayDailyFreezone() const override { return m.arrayDailyFreezone; }
    DailyValues arrayDailyTotals() const override { return m.arrayDailyTotals; }
    DailyHeaders arrayDailyHeaders() const override { return m.arrayDailyHeaders; }
    MonthTotals arrayTotals() const override { return m.arrayTotals; }
    bool CacheExpired(const QString& szUser, bool bQuiet) override { return cacheExpired(szUser, bQuiet); }
    bool RetrieveData(const QString& szUser, const QString& szPass, bool& bFromCache, const QString& szProxy,
                      const QString& szProxyUID, const QString& szProxyPWD, bool bHistorical,
                      LocalDateTime dtHistoricalDate) override;
    QString FileVersion(const QString& szPath) override;

private:
    // Stretches of a retrieval, each with its own error texts for a run-time error.
    enum class Stage { Init, CreateWinHttp, WinHttp, OpenCache, SaveCache, Checks, Load };

    QString defaultLoginTemplate() const;
    void readTimeoutSetting();

    // The retrieval's steps (UsageDataRetrieve.cpp).
    void resetMonth();
    void raiseRetrieve(const QString& text, int16_t level) const { raise(QStringLiteral("RetrieveData"), text, level); }
    void removeLegacyFiles(const FeedCacheFiles& files, bool historical) const;
    QByteArray readCacheFile(const FeedCacheFiles& files, bool historical) const;
    // The reply's checks, its document and every part of it but the days (through FeedDocument).
    bool readReply(const QByteArray& reply, const QString& cacheFile, Stage& stage);
    void fail(Stage stage, const RunTimeError& error, const QString& cacheFile);

    // The live fetch (UsageDataFetch.cpp).
    bool fetchFeed(const QString& user, const QString& password, const QString& proxy, const QString& proxyUser,
                   const QString& proxyPassword, bool historical, const LocalDateTime& historicalDate, Stage& stage,
                   QByteArray& reply);
    bool fetchWithWinHttp(const QString& url, const QString& userAgent, const QString& proxy, const QString& proxyUser,
                          const QString& proxyPassword, Stage& stage, QByteArray& reply);

    XmlDocument m_document;

    ConnectionPoint<__UsageData> m_statusEvents;
    // The feed template keeps its placeholders: each retrieval fills a copy.
    QString m_loginUrl;
    // Nothing writes it; boolUnlimited shows it as a Single.
    int16_t m_unlimited = 0;
};

} // namespace Sarnick
