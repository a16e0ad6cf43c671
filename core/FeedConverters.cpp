// SPDX-License-Identifier: MIT
#include "FeedConverters.h"

#include "BillingMonth.h"
#include "FeedComponents.h"
#include "LogFrontEnd.h"
#include "MonthDays.h"
#include "NumberConversions.h"
#include "Pelborne/UsageDataInterface.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Sarnick/UsageDataInterface.h"
#include "Settings.h"
#include "StoredFigures.h"
#include "TextRoutines.h"
#include "qoMonth.h"

using namespace Qt::StringLiterals;

namespace {
// What differs between the two components' converters.
struct PelborneFeed
{
    using Interface = Pelborne::_UsageData;
    static QString name() { return u"Pelborne"_s; }
    static std::shared_ptr<Interface> create(FeedComponents& components) { return components.newJSON(); }
    static void release(FeedComponents& components) { components.releaseJSON(); }
    // The component holds its own API addresses.
    static void setLoginURL(Interface&, const RunState&) {}
};

struct SarnickFeed
{
    using Interface = Sarnick::_UsageData;
    static QString name() { return u"Sarnick"_s; }
    static std::shared_ptr<Interface> create(FeedComponents& components) { return components.newXML(); }
    static void release(FeedComponents& components) { components.releaseXML(); }
    static void setLoginURL(Interface& usage, const RunState& run) { usage.szLoginURL(run.URLXMLUsage); }
};

void raise(const ComErrorResult& error)
{
    if (error)
        throw RunTimeError(error->number, error->description, error->source);
}

// The month the listed days belong to. With the reset day the reply gave: the month asked for, or
// the one that holds most of the listed days. The last update is the computer's time of the fetch,
// and the provider's date may lie a day either side of it across the reset, so it cannot say
// which month the provider lists. Without a reset day: one calendar month from the first listed day.
BillingMonth boundsOf(const qoMonth& fetched, int16_t resetDay, bool historical, const LocalDateTime& asked)
{
    const bool known = resetDay >= 1 && resetDay <= 31;
    if (known && historical)
        return BillingMonth::startingIn(resetDay, asked);
    if (known)
        return BillingMonth::holdingMost(resetDay, fetched.DailyDates);
    return BillingMonth::from(fetched.DailyDates.first(), 0);
}
} // namespace

FeedConverters::FeedConverters(const Settings& settings, const RunState& run, LogFrontEnd& log,
                               FeedComponents& components)
    : m_settings(settings), m_run(run), m_log(log), m_components(components)
{}

bool FeedConverters::Pelborne2qoMonth(bool bFromCache, qoMonth& month, bool bHistorical, QString& szError,
                                      QString& szErrorDetail, bool* servedFromCache)
{
    return convert<PelborneFeed>(bFromCache, month, bHistorical, szError, szErrorDetail, servedFromCache);
}

bool FeedConverters::Sarnick2qoMonth(bool bFromCache, qoMonth& month, bool bHistorical, QString& szError,
                                     QString& szErrorDetail, bool* servedFromCache)
{
    return convert<SarnickFeed>(bFromCache, month, bHistorical, szError, szErrorDetail, servedFromCache);
}

template <class Feed>
bool FeedConverters::convert(bool bFromCache, qoMonth& month, bool bHistorical, QString& szError,
                             QString& szErrorDetail, bool* servedFromCache)
{
    const QString routine = Feed::name() + u"2qoMonth"_s;
    m_log.LogMessage(u"calling "_s + routine + u" for profile "_s + QString::number(m_run.ProfileNumber), 3);
    try {
        std::shared_ptr<typename Feed::Interface> usage = Feed::create(m_components);
        raise(usage->intProfile(m_run.ProfileNumber));
        Feed::setLoginURL(*usage, m_run);
        usage->intTimeout(NumberConversions::toInteger(int64_t(m_settings.Timeout)));
        usage->szAccountName(GetAccountTypeName(m_settings.AccountType));

        m_log.LogMessage(routine + u": retrieving "_s + (bHistorical ? u"historical "_s : QString()) + u"data from "_s +
                             Feed::name(),
                         3);
        // The component may set its copy when it served the request from its cache; the
        // caller's flag stays as it was.
        bool fromCache = bHistorical ? false : bFromCache;
        const bool proxy = m_settings.UseProxy;
        if (!usage->RetrieveData(m_settings.Username, m_settings.Password, fromCache,
                                 proxy ? m_settings.Proxy : QString(), proxy ? m_settings.ProxyUID : QString(),
                                 proxy ? m_settings.ProxyPWD : QString(), bHistorical,
                                 bHistorical ? month.AnniversaryDate : LocalDateTime())) {
            if (servedFromCache)
                *servedFromCache = fromCache;
            szError = usage->szLastError();
            szErrorDetail = usage->szLastErrorDetail();
            usage.reset();
            Feed::release(m_components);
            return false;
        }

        if (servedFromCache)
            *servedFromCache = fromCache;
        const bool cached = servedFromCache ? fromCache : bFromCache;
        m_log.LogMessage(u"successfully retrieved "_s + (cached ? u"cached data"_s : u"live data"_s), 2);
        m_log.LogMessage(u"processing daily usage data..."_s, 2);
        m_log.LogMessage(routine + u": manipulating retrieved data"_s, 6);

        qoMonth fetched;
        const DailyDates dates = usage->arrayDailyDates();
        if (!dates || dates->isEmpty())
            throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
        fetched.IP = usage->szIP();
        fetched.LastConnect = usage->szLastConnect();
        fetched.LastUpdate = usage->szLastUpdate();
        fetched.ShapingSpeed = usage->szShapingSpeed();
        fetched.PeakQuota = usage->sngQuotaPeak();
        fetched.TotalPeak = usage->sngUsedPeak();
        fetched.PeakQuotaLeft = usage->sngLeftPeak();
        fetched.PercentPeak = usage->sngPctPeak();
        fetched.PeakShapeStatus = usage->intPeakShapeStatus();
        fetched.OffPeakQuota = usage->sngQuotaOffpeak();
        fetched.TotalOffpeak = usage->sngUsedOffpeak();
        fetched.OffpeakQuotaLeft = usage->sngLeftOffPeak();
        fetched.OffpeakShapeStatus = usage->intOffpeakShapeStatus();
        fetched.TotalFreezone = usage->sngUsedFreezone();
        fetched.PlanName = usage->szPlanName();
        fetched.ProductName = usage->szProductName();
        fetched.PeakStart = usage->intPeakStart();
        fetched.PeakEnd = usage->intPeakEnd();
        fetched.DailyDates = *dates;
        fetched.DailyPeak = usage->arrayDailyPeak().value_or(QList<float>());
        fetched.DailyOffpeak = usage->arrayDailyOffPeak().value_or(QList<float>());
        fetched.DailyFreezone = usage->arrayDailyFreezone().value_or(QList<float>());
        fetched.DailyTotals = usage->arrayDailyTotals().value_or(QList<float>());
        fetched.DailyUploads = usage->arrayDailyUploads().value_or(QList<float>());
        const DailyHeaders headers = usage->arrayDailyHeaders();
        for (int i = 0; i < DailyHeader::Count; ++i)
            fetched.DailyHeaders[size_t(i)] = headers[size_t(i)];

        MonthDays::putInDateOrder(fetched);
        const BillingMonth bounds = boundsOf(fetched, usage->intAnniversaryDate(), bHistorical, month.AnniversaryDate);
        for (const QString& note : MonthDays::keepOneMonth(fetched, bounds))
            m_log.LogMessage(routine + u": "_s + note, 2);
        // Not one listed day lies in the month: as good as no days at all.
        if (fetched.DailyDates.isEmpty())
            throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
        fetched.AnniversaryDate = bounds.first;
        fetched.ResetDay = bounds.resetDay;

        usage.reset();
        m_log.LogMessage(routine + u": cleaning up"_s, 6);
        StoredFigures::keepAsStored(fetched);
        month = std::move(fetched);
        Feed::release(m_components);
        return true;
    } catch (const RunTimeError& error) {
        szErrorDetail = routine + u" failed:\r\n"_s + error.text();
        szError = error.description();
        Feed::release(m_components);
        return false;
    }
}
