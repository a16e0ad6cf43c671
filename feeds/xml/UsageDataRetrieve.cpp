// SPDX-License-Identifier: MIT
// Sarnick's RetrieveData: the cache decision, the cache files, the checks on the reply and the
// order of the steps; the fetch and the document's parts have files of their own.
#include "UsageData.h"

#include "CachedMonth.h"
#include "FeedDocument.h"
#include "FeedReplyCheck.h"
#include "FileFunctions.h"
#include "PendingCacheFile.h"
#include "RegistryRoutines.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace Sarnick {

namespace {

const QString CRLF = u"\r\n"_s;

} // namespace

void UsageData::resetMonth()
{
    m.szLastError.clear();
    m.szLastErrorDetail.clear();
    m.intAnniversaryDate = 0;
    m.szLastUpdate = u"unknown"_s;
    m.szIP.clear();
    m.szLastConnect.clear();
    m.szShapingSpeed.clear();
    m_unlimited = 0;
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

bool UsageData::RetrieveData(const QString& szUser, const QString& szPass, bool& bFromCache, const QString& szProxy,
                             const QString& szProxyUID, const QString& szProxyPWD, bool bHistorical,
                             LocalDateTime dtHistoricalDate)
{
    // Copies: the caller's texts may change while a transport lets events run.
    const QString user = szUser;
    const QString password = szPass;
    const QString proxy = szProxy;
    const QString proxyUser = szProxyUID;
    const QString proxyPassword = szProxyPWD;
    resetMonth();
    if (user.isEmpty() || password.isEmpty()) {
        m.szLastError = u"Retrieval error: username and/or password not specified"_s;
        m.szLastErrorDetail = u"Sarnick.RetrieveData: Retrieval error:"_s + CRLF +
                              u"username and/or password not specified, operation aborted"_s;
        return false;
    }

    Stage stage = Stage::Init;
    QString cacheFile;
    std::optional<PendingCacheFile> pending;
    try {
        const FeedCacheFiles files = FeedCacheFiles::forUser(m.szCachePath, cleanUsername(user), m.intProfile);
        cacheFile = files.cacheFile(bHistorical);
        if (!bFromCache && !bHistorical) {
            bFromCache = !cacheExpired(user, true);
            if (bFromCache)
                raiseRetrieve(u"forcing cached read instead of fetch"_s, 6);
            // The interval only spares the provider a fetch; without a file to read (the last
            // refresh is found under a user name retyped in other letters) the fetch goes ahead.
            if (bFromCache && !FileExist(cacheFile) && !FileExist(files.legacyFile(false))) {
                raiseRetrieve(u"cache file not found, fetching live data instead: "_s + cacheFile, 3);
                bFromCache = false;
            }
        }
        removeLegacyFiles(files, bHistorical);

        QByteArray reply;
        if (bFromCache) {
            stage = Stage::OpenCache;
            reply = readCacheFile(files, bHistorical);
            bFromCache = true;
        } else {
            if (!fetchFeed(user, password, proxy, proxyUser, proxyPassword, bHistorical, dtHistoricalDate, stage,
                           reply))
                return false;
            stage = Stage::SaveCache;
            pending.emplace(cacheFile);
            pending->save(reply);
            bFromCache = false;
        }

        if (!readReply(reply, cacheFile, stage))
            return false;

        // The time of the data is the reply's arrival, kept as the file's modification time.
        LocalDateTime dataTime;
        const bool timeKnown = FileDate(pending ? pending->path() : cacheFile, dataTime);
        if (timeKnown) {
            const LocalDateTime now = clock().now();
            if (dataTime > now) {
                raiseRetrieve(u"cache file date is in the future: "_s + dataTime.toString() + u", resetting to NOW"_s,
                              2);
                dataTime = now;
            }
            m.szLastUpdate = dataTime.toString();
            raiseRetrieve(u"last update time: "_s + m.szLastUpdate, 6);
        } else {
            m.szLastUpdate = u"unknown"_s;
        }

        if (!FeedDocument(m_document, m, status()).ParseDailyData())
            return false;
        // One "_h.xml" file serves every earlier month: a reply of another month is as good as none.
        if (bFromCache && bHistorical) {
            stage = Stage::OpenCache;
            if (const std::optional<QString> other = CachedMonth::mismatch(m, dtHistoricalDate))
                throw RunTimeError(RunTimeErrorNumber::FileNotFound, *other);
        }

        // Only a reply that made a whole month replaces the cache file and moves the last refresh.
        stage = Stage::SaveCache;
        if (pending)
            pending->commit();
        if (timeKnown && !bHistorical) {
            QString ignored;
            WriteRegStringValue(HKEY_CURRENT_USER, configKey(), user, m.szLastUpdate, ignored);
        }
        return true;
    } catch (const RunTimeError& error) {
        fail(stage, error, cacheFile);
    }
    return false;
}

void UsageData::removeLegacyFiles(const FeedCacheFiles& files, bool historical) const
{
    if (!FileExist(files.cacheFile(historical)))
        return;
    // Each file of an earlier release goes once the file that took its place exists.
    for (const bool kind : {false, true}) {
        const QString& legacy = files.legacyFile(kind);
        if (!FileExist(files.cacheFile(kind)) || !FileExist(legacy))
            continue;
        raiseRetrieve(u"deleting old cache file "_s + legacy, 6);
        int32_t code = 0;
        QString text;
        if (!MyDeleteFile(legacy, code, text))
            raiseRetrieve(u"failed to delete old cache file: ["_s + QString::number(code) + u"] "_s + text, 3);
    }
}

QByteArray UsageData::readCacheFile(const FeedCacheFiles& files, bool historical) const
{
    const QString& cacheFile = files.cacheFile(historical);
    const QString& legacy = files.legacyFile(historical);
    if (!FileExist(cacheFile) && FileExist(legacy)) {
        raiseRetrieve(u"renaming cache file from "_s + legacy + u" to "_s + cacheFile, 3);
        QString text;
        if (!MyRenameFile(legacy, cacheFile, text))
            raiseRetrieve(u"cache file rename failed: "_s + text, 2);
    }
    raisePlain(u"loading data from cached XML file"_s, 2);
    // The bytes as stored: the checks below look at the reply's very first characters.
    return FileOpenBytes(cacheFile);
}

bool UsageData::readReply(const QByteArray& reply, const QString& cacheFile, Stage& stage)
{
    stage = Stage::Checks;
    if (const std::optional<ReplyFailure> failure = CheckFeedReply(XmlDocument::decodeText(reply), m.szAccountName)) {
        m.szLastError = failure->szLastError;
        m.szLastErrorDetail = failure->szLastErrorDetail;
        return false;
    }

    stage = Stage::Load;
    raiseRetrieve(u"loading XML from cache file: "_s + cacheFile, 6);
    if (!m_document.load(reply)) {
        const XmlParseError& error = m_document.parseError();
        raiseRetrieve(u"error reading XML from cache file (line "_s + QString::number(error.line) + u", position "_s +
                          QString::number(error.linepos) + u": "_s + error.reason + u") "_s + cacheFile,
                      3);
    }
    raiseRetrieve(u"XML cache file loaded"_s, 8);
    return FeedDocument(m_document, m, status()).readParts();
}

void UsageData::fail(Stage stage, const RunTimeError& error, const QString& cacheFile)
{
    const QString prefix = u"Sarnick.RetrieveData: "_s;
    const QString n = u'[' + QString::number(error.number()) + u"] "_s;
    switch (stage) {
    case Stage::Init:
        m.szLastError = u"Retrieve error: "_s + n + u"init error"_s;
        m.szLastErrorDetail = prefix + u"init error: "_s + CRLF + error.text();
        break;
    case Stage::CreateWinHttp:
        m.szLastError = u"Retrieve error: "_s + n + u"failed to create WinHTTP"_s;
        m.szLastErrorDetail = prefix + u"failed to create instance of WinHTTP: "_s + CRLF + error.text();
        break;
    case Stage::WinHttp:
        m.szLastError = u"Retrieve error: "_s + n + u"WinHTTP error"_s;
        m.szLastErrorDetail = prefix + u"WinHTTP error: "_s + CRLF + error.text();
        break;
    case Stage::OpenCache:
        m.szLastError = u"Retrieve error: "_s + n + u"failed to open cache file"_s;
        m.szLastErrorDetail = prefix + u"error loading cache file: "_s + CRLF + cacheFile + CRLF + error.text();
        break;
    case Stage::SaveCache:
        m.szLastError = u"Retrieve error: "_s + n + u"failed to save cache file"_s;
        m.szLastErrorDetail = prefix + u"error saving cache file:"_s + CRLF + cacheFile + CRLF + error.text();
        break;
    case Stage::Checks:
        m.szLastError = u"Retrieve error: "_s + n + u"error processing XML data"_s;
        m.szLastErrorDetail = prefix + u"error while processing XML data:"_s + CRLF + error.text();
        break;
    case Stage::Load:
        m.szLastError = u"Retrieve error: failed to load XML data"_s;
        m.szLastErrorDetail = prefix + u"error while loading XML data:"_s + CRLF + error.text();
        break;
    }
}

} // namespace Sarnick
