// SPDX-License-Identifier: MIT
#include "FakeFeed.h"

#include "ClockSeam.h"
#include "ComObject.h"
#include "ConnectionPoint.h"
#include "Pelborne/UsageDataInterface.h"
#include "Sarnick/UsageDataInterface.h"

using namespace Qt::StringLiterals;

namespace FakeFeed {
namespace {

// What both fake components share; Interface and Events are the component's own.
template <class Interface, class Events>
class FakeUsageData : public ComObject, public Interface, public ClockSeam
{
public:
    explicit FakeUsageData(Script& script) : m_script(script) { ++m_script.objectsMade; }

    void* QueryInterface(const Guid& interfaceId) override
    {
        if (interfaceId == Interface::InterfaceId)
            return static_cast<Interface*>(this);
        if (interfaceId == ClockSeam::InterfaceId)
            return static_cast<ClockSeam*>(this);
        return nullptr;
    }
    void* FindConnectionPoint(const Guid& eventInterfaceId) override
    {
        return eventInterfaceId == Events::InterfaceId ? static_cast<EventSource<Events>*>(&m_events) : nullptr;
    }
    void setClock(std::shared_ptr<const Clock> clock) override { m_clock = std::move(clock); }

    bool RetrieveData(const QString& szUser, const QString& szPass, bool& bFromCache, const QString& szProxy,
                      const QString& szProxyUID, const QString& szProxyPWD, bool bHistorical,
                      LocalDateTime dtHistoricalDate) override
    {
        m_script.calls.append({szUser, szPass, bFromCache, szProxy, szProxyUID, szProxyPWD, bHistorical,
                               dtHistoricalDate, m_profile, m_timeout, m_accountName, m_loginURL, m_clock != nullptr,
                               m_clock ? m_clock->now() : LocalDateTime()});
        for (const StatusLine& line : m_script.status)
            m_events.fire([&](Events& sink) { sink.Status(line.text, line.level); });
        if (m_script.setsFromCache)
            bFromCache = true;
        if (!m_script.retrieveResult) {
            m_lastError = m_script.lastError;
            m_lastErrorDetail = m_script.lastErrorDetail;
            return false;
        }
        m_month = bHistorical ? m_script.historical : m_script.current;
        return true;
    }
    bool CacheExpired(const QString& szUser, bool) override
    {
        m_script.cacheExpiredUsers.append(szUser);
        return m_script.cacheExpired;
    }

    QString szCachePath() const override { return {}; }
    void szCachePath(const QString&) override {}
    int16_t intProfile() const override { return m_profile; }
    ComErrorResult intProfile(int16_t value) override
    {
        if (value < 0 || value > 20)
            return ComError{380, u"Invalid property value"_s, u"UsageData"_s};
        m_profile = value;
        return std::nullopt;
    }
    int16_t intTimeout() const override { return m_timeout; }
    void intTimeout(int16_t value) override { m_timeout = value; }
    QString szAccountName() const override { return m_accountName; }
    void szAccountName(const QString& value) override { m_accountName = value; }
    QString szLastError() const override { return m_lastError; }
    QString szLastErrorDetail() const override { return m_lastErrorDetail; }
    DailyDates arrayDailyDates() const override { return m_month.arrayDailyDates; }
    DailyValues arrayDailyUploads() const override { return m_month.arrayDailyUploads; }
    DailyValues arrayDailyPeak() const override { return m_month.arrayDailyPeak; }
    DailyValues arrayDailyOffPeak() const override { return m_month.arrayDailyOffPeak; }
    DailyValues arrayDailyFreezone() const override { return m_month.arrayDailyFreezone; }
    DailyValues arrayDailyTotals() const override { return m_month.arrayDailyTotals; }
    DailyHeaders arrayDailyHeaders() const override { return m_month.arrayDailyHeaders; }
    MonthTotals arrayTotals() const override { return {}; }
    QString szIP() const override { return m_month.szIP; }
    QString szLastConnect() const override { return m_month.szLastConnect; }
    QString szShapingSpeed() const override { return m_month.szShapingSpeed; }
    QString szLastUpdate() const override { return m_month.szLastUpdate; }
    float sngQuotaPeak() const override { return m_month.sngQuotaPeak; }
    float sngQuotaOffpeak() const override { return m_month.sngQuotaOffpeak; }
    float sngUsedPeak() const override { return m_month.sngUsedPeak; }
    float sngUsedOffpeak() const override { return m_month.sngUsedOffpeak; }
    float sngLeftPeak() const override { return m_month.sngLeftPeak; }
    float sngLeftOffPeak() const override { return m_month.sngLeftOffPeak; }
    int16_t intPeakShapeStatus() const override { return m_month.intPeakShapeStatus; }
    int16_t intOffpeakShapeStatus() const override { return m_month.intOffpeakShapeStatus; }
    float sngUsedFreezone() const override { return m_month.sngUsedFreezone; }
    float sngPctPeak() const override { return m_month.sngPctPeak; }
    float sngPctOffPeak() const override { return m_month.sngPctOffPeak; }
    QString szPlanName() const override { return m_month.szPlanName; }
    QString szProductName() const override { return m_month.szProductName; }
    int16_t intPeakStart() const override { return m_month.intPeakStart; }
    int16_t intPeakEnd() const override { return m_month.intPeakEnd; }
    int16_t intAnniversaryDate() const override { return m_month.intAnniversaryDate; }

protected:
    Script& m_script;
    ConnectionPoint<Events> m_events;
    std::shared_ptr<const Clock> m_clock;
    Month m_month;
    int16_t m_profile = 0;
    int16_t m_timeout = 0;
    QString m_accountName;
    QString m_loginURL;
    QString m_lastError;
    QString m_lastErrorDetail;
};

class FakePelborne final : public FakeUsageData<Pelborne::_UsageData, Pelborne::__UsageData>
{
public:
    FakePelborne() : FakeUsageData(pelborne()) {}
    bool GetServices(const QString&, const QString&, int16_t&, QStringList&, const QString&, const QString&,
                     const QString&) override
    {
        return false;
    }
    void szServiceToRequest(const QVariant&) override {}
};

class FakeSarnick final : public FakeUsageData<Sarnick::_UsageData, Sarnick::__UsageData>
{
public:
    FakeSarnick() : FakeUsageData(sarnick()) {}
    QString szLoginURL() const override { return m_loginURL; }
    void szLoginURL(const QString& value) override { m_loginURL = value; }
    float boolUnlimited() const override { return 0; }
    QString FileVersion(const QString&) override { return {}; }
};

std::unique_ptr<ComObject> makePelborne()
{
    return std::make_unique<FakePelborne>();
}

std::unique_ptr<ComObject> makeSarnick()
{
    return std::make_unique<FakeSarnick>();
}

const ComClassEntry PelborneClasses[] = {
    {Pelborne::ClassId::UsageData, Pelborne::ProgId::UsageData, Pelborne::InterfaceId::_UsageData, &makePelborne}};
const ComClassEntry SarnickClasses[] = {
    {Sarnick::ClassId::UsageData, Sarnick::ProgId::UsageData, Sarnick::InterfaceId::_UsageData, &makeSarnick}};

DailyValues series(int days, const std::function<float(int)>& value)
{
    QList<float> values;
    for (int i = 0; i < days; ++i)
        values.append(value(i));
    return values;
}
} // namespace

Script& pelborne()
{
    static Script script;
    return script;
}

Script& sarnick()
{
    static Script script;
    return script;
}

void reset()
{
    pelborne() = Script();
    sarnick() = Script();
}

Month sampleMonth(const LocalDateTime& firstDay, int days, const QString& lastUpdate)
{
    Month month;
    month.szIP = u"203.0.113.7"_s;
    month.szLastConnect = firstDay.addDays(1).addHours(7).toString();
    month.szLastUpdate = lastUpdate;
    month.szShapingSpeed = u"256"_s;
    month.szPlanName = u"Home 40"_s;
    month.szProductName = u"Broadband"_s;
    month.sngQuotaPeak = 20000;
    month.sngQuotaOffpeak = 40000;
    month.intPeakStart = 8;
    month.intPeakEnd = 2;
    QList<LocalDateTime> dates;
    for (int i = 0; i < days; ++i)
        dates.append(firstDay.addDays(i));
    month.arrayDailyDates = dates;
    month.arrayDailyPeak = series(days, [](int i) { return float(i) * 10 + 1.25f; });
    month.arrayDailyOffPeak = series(days, [](int i) { return float(i) * 2; });
    month.arrayDailyFreezone = series(days, [](int) { return 0.5f; });
    month.arrayDailyTotals = series(days, [](int i) { return float(i) * 12 + 1.75f; });
    month.arrayDailyUploads = series(days, [](int i) { return float(i) / 10; });
    for (int i = 0; i < days; ++i) {
        month.sngUsedPeak += float(i) * 10 + 1.25f;
        month.sngUsedOffpeak += float(i) * 2;
        month.sngUsedFreezone += 0.5f;
    }
    month.sngLeftPeak = month.sngQuotaPeak - month.sngUsedPeak;
    month.sngLeftOffPeak = month.sngQuotaOffpeak - month.sngUsedOffpeak;
    month.sngPctPeak = month.sngUsedPeak / month.sngQuotaPeak * 100;
    month.sngPctOffPeak = month.sngUsedOffpeak / month.sngQuotaOffpeak * 100;
    month.arrayDailyHeaders = {u"Date"_s, u"Peak"_s, u"OffPeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s};
    return month;
}

Servers::Servers(bool json, bool xml)
{
    if (json)
        m_pelborne = std::make_unique<ComServer>(
            ComLibraryInfo{u"Pelborne"_s, Pelborne::LibraryId, u"1.1"_s, u"fake"_s}, PelborneClasses);
    if (xml)
        m_sarnick = std::make_unique<ComServer>(ComLibraryInfo{u"Sarnick"_s, Sarnick::LibraryId, u"7.0"_s, u"fake"_s},
                                                SarnickClasses);
}

Servers::~Servers() = default;

int Servers::liveObjects() const
{
    return (m_pelborne ? m_pelborne->liveObjects() : 0) + (m_sarnick ? m_sarnick->liveObjects() : 0);
}

} // namespace FakeFeed
