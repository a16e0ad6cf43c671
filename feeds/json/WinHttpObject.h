// SPDX-License-Identifier: MIT
#pragma once

#include "ComObject.h"
#include "ConnectionPoint.h"
#include "Pelborne/WinHttpInterface.h"
#include "clsWinHTTP.h"

namespace Pelborne {

// Pelborne's public, creatable clsWinHTTP: the support library's transport, whose every step
// reaches the object's connected Status sinks.
class WinHttpObject final : public ComObject, public _clsWinHTTP
{
public:
    WinHttpObject();

    void* QueryInterface(const Guid& interfaceId) override;
    void* FindConnectionPoint(const Guid& eventInterfaceId) override;

    QString szProxy() const override { return m_transport.szProxy; }
    void szProxy(const QString& value) override { m_transport.szProxy = value; }
    QString szProxyUID() const override { return m_transport.szProxyUID; }
    void szProxyUID(const QString& value) override { m_transport.szProxyUID = value; }
    QString szProxyPWD() const override { return m_transport.szProxyPWD; }
    void szProxyPWD(const QString& value) override { m_transport.szProxyPWD = value; }
    QString szUsername() const override { return m_transport.szUsername; }
    void szUsername(const QString& value) override { m_transport.szUsername = value; }
    QString szPassword() const override { return m_transport.szPassword; }
    void szPassword(const QString& value) override { m_transport.szPassword = value; }
    QString szUserAgent() const override { return m_transport.szUserAgent; }
    void szUserAgent(const QString& value) override { m_transport.szUserAgent = value; }
    bool HTTPFetchSetup(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
                        QString& szErrorString, QString& szErrorDetailString, QString& szResponse) override;
    bool HTTPFetch(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
                   QString& sz_ErrorString, QString& sz_ErrorDetailString, QString& sz_Response) override;

private:
    // Declared before the transport, which reports through it until it is gone.
    ConnectionPoint<__clsWinHTTP> m_statusEvents;
    clsWinHTTP m_transport;
};

} // namespace Pelborne
