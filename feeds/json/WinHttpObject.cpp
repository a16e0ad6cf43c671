// SPDX-License-Identifier: MIT
#include "WinHttpObject.h"

using namespace Qt::StringLiterals;

namespace Pelborne {

WinHttpObject::WinHttpObject()
    : m_transport(u"Pelborne"_s, [this](const QString& szMsg, int16_t intDebug) {
          m_statusEvents.fire([&](__clsWinHTTP& sink) { sink.Status(szMsg, intDebug); });
      })
{}

void* WinHttpObject::QueryInterface(const Guid& interfaceId)
{
    return interfaceId == _clsWinHTTP::InterfaceId ? static_cast<_clsWinHTTP*>(this) : nullptr;
}

void* WinHttpObject::FindConnectionPoint(const Guid& eventInterfaceId)
{
    if (eventInterfaceId == __clsWinHTTP::InterfaceId)
        return static_cast<EventSource<__clsWinHTTP>*>(&m_statusEvents);
    return nullptr;
}

bool WinHttpObject::HTTPFetchSetup(const QString& szMethod, const QString& szURL, const QString& szData,
                                   int32_t lngTimeout, QString& szErrorString, QString& szErrorDetailString,
                                   QString& szResponse)
{
    return m_transport.HTTPFetchSetup(szMethod, szURL, szData, lngTimeout, szErrorString, szErrorDetailString,
                                      szResponse);
}

bool WinHttpObject::HTTPFetch(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
                              QString& sz_ErrorString, QString& sz_ErrorDetailString, QString& sz_Response)
{
    return m_transport.HTTPFetch(szMethod, szURL, szData, lngTimeout, sz_ErrorString, sz_ErrorDetailString,
                                 sz_Response);
}

} // namespace Pelborne
