// SPDX-License-Identifier: MIT
#include "UsageData.h"

using namespace Qt::StringLiterals;

namespace Pelborne {

UsageData::UsageData() : UsageDataCommon(QLatin1StringView(Title), QStringLiteral(TALLY_COMPONENT_VERSION))
{
    // The two named mutexes are left out: nothing in the system opens or waits on them.
    initializeCommon(
        [this](const QString& szMsg, int16_t intDebug) {
            m_statusEvents.fire([&](__UsageData& sink) { sink.Status(szMsg, intDebug); });
        },
        false);
    m_usageTemplate = defaultUsageTemplate();
    m_serviceListTemplate = defaultServiceListTemplate();
    initializeCachePath();
    m_services = ServiceList(status());
    szServiceToRequest(QString());
}

// The transport object goes with the object.
UsageData::~UsageData() = default;

void* UsageData::QueryInterface(const Guid& interfaceId)
{
    // Callers of the earlier interface version get the current one, which only grew at its end.
    if (interfaceId == InterfaceId::_UsageData || interfaceId == InterfaceId::UsageData___v0)
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

void UsageData::szServiceToRequest(const QVariant& szServiceName)
{
    m_serviceToRequest = szServiceName.toString();
}

QString UsageData::defaultServiceListTemplate() const
{
    return toolbox().url(u"/cgi-bin/api.cgi?_USERNAME=qoUID&_PASSWORD=qoPWD"_s);
}

QString UsageData::defaultUsageTemplate() const
{
    return toolbox().url(u"/cgi-bin/api.cgi?Usage&_TOKEN=qoTOKEN&_SERVICE=qoSERVICE"_s);
}

} // namespace Pelborne
