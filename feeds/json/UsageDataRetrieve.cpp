// SPDX-License-Identifier: MIT
// Pelborne's retrieval of one month: the usage request (or the cache file), the reply's checks and
// the filling of the object's values.
#include "UsageData.h"

#include "CachedMonth.h"
#include "DailyUsage.h"
#include "Dates.h"
#include "FileFunctions.h"
#include "JsonCacheFile.h"
#include "JsonParser.h"
#include "PendingCacheFile.h"
#include "RegistryRoutines.h"
#include "RunTimeError.h"
#include "UsageReply.h"
#include "UserNames.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace Pelborne {

namespace {

const QString CRLF = u"\r\n"_s;
const QString Procedure = u"RetrieveData"_s;

// The provider's error replies that the program tells apart, by a part of their text.
struct KnownRefusal
{
    QString part;
    QString error;
};

QString periodOf(const LocalDateTime& date)
{
    return QString::number(date.year()).rightJustified(4, u'0') + QString::number(date.month()).rightJustified(2, u'0');
}

} // namespace

bool UsageData::RetrieveData(const QString& szUser, const QString& szPass, bool& bFromCache, const QString& szProxy,
                             const QString& szProxyUID, const QString& szProxyPWD, bool bHistorical,
                             LocalDateTime dtHistoricalDate)
{
    resetMonthValues();
    if (szUser.isEmpty() || szPass.isEmpty()) {
        m.szLastError = u"Retrieval error: username and/or password not specified"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: Retrieval error:"_s + CRLF +
                              u"username and/or password not specified, operation aborted"_s;
        return false;
    }

    QString cacheFile;
    QString reply;
    try {
        cacheFile = JsonCacheFile::path(m.szCachePath, cleanUsername(szUser), m_serviceToRequest, bHistorical);
        if (!bFromCache && !bHistorical) {
            bFromCache = !cacheExpired(szUser, true);
            if (bFromCache)
                raise(Procedure, u"forcing cached read instead of fetch"_s, 6);
            // The interval only spares the provider a fetch; without a file to read (the last
            // refresh is found under a user name retyped in other letters) the fetch goes ahead.
            if (bFromCache && !FileExist(cacheFile)) {
                raise(Procedure, u"cache file not found, fetching live data instead: "_s + cacheFile, 3);
                bFromCache = false;
            }
        }
        if (!bFromCache &&
            !fetchUsage(szUser, szPass, szProxy, szProxyUID, szProxyPWD, bHistorical, dtHistoricalDate, reply))
            return false;
    } catch (const RunTimeError& e) {
        m.szLastError = u"Retrieve error: ["_s + QString::number(e.number()) + u"] init error"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: init error: "_s + CRLF + e.text();
        return false;
    }

    const auto cacheOpenFailed = [&](const RunTimeError& e) {
        m.szLastError = u"Retrieve error: ["_s + QString::number(e.number()) + u"] failed to open cache file"_s;
        m.szLastErrorDetail =
            u"Pelborne.RetrieveData: error loading cache file: "_s + CRLF + cacheFile + CRLF + e.text();
        return false;
    };
    if (bFromCache) {
        raisePlain(u"loading data from cached JSON file"_s, 2);
        try {
            reply = FileOpen(cacheFile);
        } catch (const RunTimeError& e) {
            return cacheOpenFailed(e);
        }
    }

    JsonValue root;
    try {
        if (!checkReply(reply, root))
            return false;
    } catch (const RunTimeError& e) {
        m.szLastError = u"Retrieve error: ["_s + QString::number(e.number()) + u"] error processing JSON data"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: error while processing JSON data:"_s + CRLF + e.text();
        return false;
    }

    // A fetched reply replaces the last good one only once the whole month has been read from it,
    // so a reply that fails any check, its days' included, never costs the cached month.
    const auto saveFailed = [&](const RunTimeError& e) {
        m.szLastError = u"Retrieve error: ["_s + QString::number(e.number()) + u"] failed to save cache file"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: error saving cache file:"_s + CRLF + cacheFile + CRLF + e.text();
        return false;
    };
    std::optional<PendingCacheFile> pending;
    if (!bFromCache) {
        try {
            pending.emplace(cacheFile);
            pending->save(reply.toUtf8());
        } catch (const RunTimeError& e) {
            return saveFailed(e);
        }
    }

    raise(Procedure, u"JSON data successfully loaded"_s, 8);
    UsageReply account(m, status());
    try {
        account.readProductAndPlan(root);
        account.readConnections(root);
    } catch (const RunTimeError& e) {
        m.szLastError = u"Retrieve error: failed to load JSON data"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: error while loading JSON data:"_s + CRLF + e.text();
        return false;
    }

    try {
        account.readAnniversary(root);
    } catch (const RunTimeError& e) {
        m.szLastError = u"Retrieve error: extracting anniversary date"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: error while processing JSON data:"_s + CRLF +
                              u"failed to extract anniversary date:"_s + CRLF + e.text();
    }

    // From here a failure is reported and the next step still runs.
    const auto reportQuotaFailure = [this](const RunTimeError& e) {
        raisePlain(u"Error while extracting quota data from JSON data: "_s + e.text(), 2);
    };
    try {
        account.readTrafficTypes(root);
    } catch (const RunTimeError& e) {
        reportQuotaFailure(e);
    }
    try {
        account.readOffpeakHours(root);
    } catch (const RunTimeError& e) {
        reportQuotaFailure(e);
    }

    if (!account.plausible()) {
        m.szLastErrorDetail = u"Pelborne.RetrieveData: error parsing JSON data:"_s + CRLF +
                              u"invalid JSON data retrieved - too many parameters missing"_s;
        m.szLastError = u"Error retrieving data: invalid JSON data"_s;
        return false;
    }

    const bool timeKnown = setLastUpdate(pending ? pending->path() : cacheFile);

    // A reply without its usage part goes on to the daily data's own failure and texts.
    const JsonValue* data = &JsonValue::emptyValue();
    try {
        data = &root[u"response"_s][u"usage"_s][u"data"_s];
    } catch (const RunTimeError& e) {
        reportQuotaFailure(e);
    }
    if (!ParseDailyData(*data))
        return false;
    // One file serves every earlier month: a reply of another month is as good as none.
    if (bFromCache && bHistorical) {
        if (const std::optional<QString> other = CachedMonth::mismatch(m, dtHistoricalDate))
            return cacheOpenFailed(RunTimeError(RunTimeErrorNumber::FileNotFound, *other));
    }

    // Only a whole month moves the cache file and the last refresh, so that after a failure the
    // next refresh asks the provider again instead of reading the failed reply.
    if (pending) {
        try {
            pending->commit();
        } catch (const RunTimeError& e) {
            return saveFailed(e);
        }
    }
    if (timeKnown && !bHistorical) {
        QString ignored;
        WriteRegStringValue(HKEY_CURRENT_USER, configKey(), szUser, m.szLastUpdate, ignored);
    }
    return true;
}

void UsageData::resetMonthValues()
{
    m.szLastError.clear();
    m.szLastErrorDetail.clear();
    m.szLastUpdate = u"unknown"_s;
    m.szIP.clear();
    m.szLastConnect.clear();
    m.szShapingSpeed.clear();
    m.intAnniversaryDate = 0;
    m.sngQuotaPeak = 0;
    m.sngUsedPeak = 0;
    m.sngLeftPeak = 0;
    m.intPeakShapeStatus = 0;
    m.sngPctPeak = 0;
    m.sngQuotaOffpeak = 0;
    m.sngUsedOffpeak = 0;
    m.sngLeftOffPeak = 0;
    m.intOffpeakShapeStatus = 0;
    m.sngPctOffPeak = 0;
    m.sngUsedFreezone = 0;
}

bool UsageData::fetchUsage(const QString& szUser, const QString& szPass, const QString& szProxy,
                           const QString& szProxyUID, const QString& szProxyPWD, bool bHistorical,
                           const LocalDateTime& dtHistoricalDate, QString& reply)
{
    raisePlain(u"querying service list from "_s + m.szAccountName, 2);
    int32_t bypass = 0;
    GetRegWordValue(HKEY_CURRENT_USER, configKey(), u"BypassDomainAppend"_s, bypass);
    QString user = szUser;
    if (bypass < 1)
        user = FullUsername(szUser);
    else
        raise(Procedure, u"bypassing domain append for username"_s, 6);
    raise(Procedure, u"using username '"_s + user + u"' for JSON feed"_s, 6);

    const bool proxied = !szProxy.isEmpty();
    if (!FetchServiceList(user, szPass, szProxy, proxied ? szProxyUID : QString(), proxied ? szProxyPWD : QString()))
        return false;

    if (m_usageTemplate.isEmpty()) {
        raise(Procedure, u"blank URL passed in, reverting to default URL"_s, 6);
        m_usageTemplate = defaultUsageTemplate();
    }
    QString url = m_usageTemplate;
    if (bHistorical)
        url += u"&period="_s + periodOf(dtHistoricalDate);
    raise(Procedure, u"using JSON feed URL: "_s + url, 12);
    const QString service =
        m_services.ServiceToken(m_serviceToRequest.isEmpty() ? cleanUsername(szUser) : m_serviceToRequest);
    url = FillUrlTemplate(url, {{u"qoTOKEN"_s, m_services.loginToken(), false}, {u"qoSERVICE"_s, service, true}});

    raisePlain(u"fetching "_s + (bHistorical ? u"historical "_s : QString()) + u"daily data from "_s + m.szAccountName,
               2);
    return fetch(Procedure, u"daily data"_s, url, szProxy, szProxyUID, szProxyPWD, reply);
}

bool UsageData::checkReply(const QString& reply, JsonValue& root)
{
    if (reply.size() < 10) {
        m.szLastError = u"Error retrieving data: empty response"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: error retrieving data from website:"_s + CRLF +
                              u"empty response received from "_s + m.szAccountName;
        return false;
    }

    QString parseError;
    if (!JsonParse2(reply, root, parseError, JsonTextEnd::MustClose)) {
        m.szLastError = u"Failed to parse JSON"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: error parsing JSON:"_s + CRLF + parseError;
        return false;
    }

    const QString successText = root[u"success"_s].toText();
    const std::optional<double> success = readNumericText(successText);
    if (!success)
        throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
    const double code = roundHalfEven(*success);
    if (code == 1)
        return true;
    if (code != 0) {
        m.szLastError = u"Failed to retrieve JSON"_s;
        m.szLastErrorDetail = u"Pelborne.RetrieveData: unexpected return value in JSON: "_s + successText;
        return false;
    }

    static const KnownRefusal refusals[] = {
        {u"large number of customers attempting"_s, u"Failed to retrieve JSON: toolbox overloaded, try again later"_s},
        {u"no data was found for your account"_s, u"Failed to retrieve JSON: no data found for your account"_s},
        {u"toolbox a routine check up"_s, u"Failed to retrieve JSON: toolbox is down for maintenance"_s},
    };
    QString said = root[u"error"_s].toText();
    m.szLastError = u"Failed to retrieve JSON"_s;
    for (const KnownRefusal& refusal : refusals) {
        if (said.contains(refusal.part, Qt::CaseInsensitive)) {
            m.szLastError = refusal.error;
            break;
        }
    }
    if (m.szLastError == refusals[0].error)
        said.replace(u"unavailable. "_s, u"unavailable."_s + CRLF);
    m.szLastErrorDetail = u"Pelborne.RetrieveData: failed to retrieve JSON:"_s + CRLF + said;
    return false;
}

bool UsageData::setLastUpdate(const QString& replyFile)
{
    LocalDateTime when;
    if (!FileDate(replyFile, when)) {
        m.szLastUpdate = u"unknown"_s;
        return false;
    }
    const LocalDateTime now = clock().now();
    if (when.secondsTo(now) < 0) {
        raise(Procedure, u"cache file date is in the future: "_s + when.toString() + u", resetting to NOW"_s, 2);
        when = now;
    }
    m.szLastUpdate = when.toString();
    raise(Procedure, u"last update time: "_s + m.szLastUpdate, 6);
    return true;
}

bool UsageData::ParseDailyData(const JsonValue& data)
{
    return ::ParseDailyData(m, data, status());
}

} // namespace Pelborne
