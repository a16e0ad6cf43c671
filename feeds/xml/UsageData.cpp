// SPDX-License-Identifier: MIT
#include "UsageData.h"

#include "RegistryRoutines.h"
#include "VersionText.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace Sarnick {

UsageData::UsageData() : UsageDataCommon(QLatin1StringView(Title), QStringLiteral(TALLY_COMPONENT_VERSION))
{
    // The two named mutexes are left out: nothing in the system opens or waits on them.
    initializeCommon(
        [this](const QString& szMsg, int16_t intDebug) {
            m_statusEvents.fire([&](__UsageData& sink) { sink.Status(szMsg, intDebug); });
        },
        true);
    m.szAccountName = u"Quolla"_s;
    m_loginUrl = defaultLoginTemplate();
    readTimeoutSetting();
    initializeCachePath();
}

void UsageData::readTimeoutSetting()
{
    int32_t timeout = 0;
    if (!GetRegWordValue(HKEY_CURRENT_USER, configKey(), u"timeout"_s, timeout)) {
        m.intTimeout = 120;
        return;
    }
    // A number that does not fit the property is passed over, leaving it at 0.
    if (timeout < std::numeric_limits<int16_t>::min() || timeout > std::numeric_limits<int16_t>::max())
        return;
    putTimeout(int16_t(timeout));
}

void* UsageData::QueryInterface(const Guid& interfaceId)
{
    if (interfaceId == _UsageData::InterfaceId)
        return static_cast<_UsageData*>(this);
    if (interfaceId == ClockSeam::InterfaceId)
        return static_cast<ClockSeam*>(this);
    return nullptr;
}

void* UsageData::FindConnectionPoint(const Guid& eventInterfaceId)
{
    if (eventInterfaceId == __UsageData::InterfaceId)
        return static_cast<EventSource<__UsageData>*>(&m_statusEvents);
    return nullptr;
}

QString UsageData::FileVersion(const QString& szPath)
{
    QString productName;
    return GetFileVersion(szPath, productName);
}

QString UsageData::defaultLoginTemplate() const
{
    return toolbox().url(u"/cgi-bin/new/volume_usage_xml.cgi?username=qoUID&action=login&password=qoPWD"_s);
}

} // namespace Sarnick
