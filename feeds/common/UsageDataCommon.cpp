// SPDX-License-Identifier: MIT
#include "UsageDataCommon.h"

#include "CacheExpiry.h"
#include "CacheFolder.h"
#include "Path.h"
#include "RegistryRoutines.h"
#include "StandardLocations.h"
#include "UsageDataTypes.h"
#include "UserNames.h"
#include "VersionText.h"

#include <QFileInfo>

#include <dlfcn.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// The error that intProfile raises for a number no profile has: the object error base plus 11.
constexpr int32_t ProfileOutOfRange = int32_t(0x8004000Bu);

std::shared_ptr<const Clock> systemClock()
{
    static const std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>();
    return clock;
}

// The folder of the component's own library file: this code is built into it.
QString ownFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&ownFolder), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
}
} // namespace

UsageDataCommon::UsageDataCommon(const QString& title, const QString& version)
    : m_configKey(u"Software\\"_s + title + u"\\Config"_s), m_clock(systemClock())
{
    m_owner.title = title;
    m_owner.version = version;
}

void UsageDataCommon::initializeCommon(StatusSink status, bool relayTransport)
{
    m_owner.status = std::move(status);
    if (relayTransport)
        m_owner.transportStatus = m_owner.status;
    m_toolbox = ToolboxAddress::fromRegistry(m_configKey);
}

void UsageDataCommon::initializeCachePath()
{
    QString path;
    if (GetRegValue(HKEY_CURRENT_USER, QLatin1StringView(CachePathKey), u"Path"_s, path)) {
        m.szCachePath = path;
        return;
    }
    raise(u"Initialize"_s, u"failed to read cache path from registry"_s, 6);
    QString hostProduct;
    GetFileVersion(NameOfCaller(), hostProduct);
    const QString folder = DeriveCacheFolder(
        PathOfCaller(), ownFolder(), PerUserCacheFolder(StandardLocations::dataHome(), hostProduct, title()),
        [this](const QString& text, int16_t level) { raise(u"Initialize"_s, text, level); });
    putCachePath(folder);
}

void UsageDataCommon::raise(const QString& procedure, const QString& text, int16_t level) const
{
    raisePlain(title() + u'.' + procedure + u": "_s + text, level);
}

void UsageDataCommon::raisePlain(const QString& text, int16_t level) const
{
    if (m_owner.status)
        m_owner.status(text, level);
}

ComErrorResult UsageDataCommon::putProfile(int16_t value)
{
    if (value < 0 || value > HighestProfileNumber) {
        const QString source = title() + u".intProfile"_s;
        return ComError{ProfileOutOfRange, source + u" profile number out of valid range"_s, source};
    }
    m.intProfile = value;
    return std::nullopt;
}

void UsageDataCommon::putTimeout(int16_t value)
{
    m.intTimeout = std::clamp(value, ShortestTimeout, LongestTimeout);
}

void UsageDataCommon::putCachePath(const QString& value)
{
    m.szCachePath = value.endsWith(u'/') ? value.chopped(1) : value;
    QString ignored;
    WriteRegStringValue(HKEY_CURRENT_USER, QLatin1StringView(CachePathKey), u"Path"_s, m.szCachePath, ignored);
}

bool UsageDataCommon::cacheExpired(const QString& szUser, bool bQuiet) const
{
    return CacheExpired(title(), szUser, bQuiet, *m_clock, m_owner.status);
}

QString UsageDataCommon::cleanUsername(const QString& user) const
{
    return CleanUsername(user);
}

QString UsageDataCommon::urlEncode(const QString& text) const
{
    return URLEncode(text, m_owner.status);
}

void UsageDataCommon::reportToolboxRefusal() const
{
    if (!m_toolbox.refusal().isEmpty())
        raise(u"ToolboxURL"_s, m_toolbox.refusal(), 2);
}

void UsageDataCommon::setClock(std::shared_ptr<const Clock> clock)
{
    m_clock = clock ? std::move(clock) : systemClock();
}
