// SPDX-License-Identifier: MIT
#pragma once

#include "Pelborne/Identifiers.h"

#include <QString>

#include <cstdint>

namespace Pelborne {

// The event interface of Pelborne's public clsWinHTTP: every step of a fetch.
class __clsWinHTTP
{
public:
    static constexpr Guid InterfaceId = ::Pelborne::InterfaceId::__clsWinHTTP;

    virtual void Status(const QString& szMsg, int16_t intDebug) = 0;

protected:
    ~__clsWinHTTP() = default;
};

// One blocking HTTP(S) fetch. The members stand in the order of the published function table:
// the six text properties (get, then put), HTTPFetchSetup, HTTPFetch.
class _clsWinHTTP
{
public:
    static constexpr Guid InterfaceId = ::Pelborne::InterfaceId::_clsWinHTTP;

    virtual QString szProxy() const = 0;
    virtual void szProxy(const QString& value) = 0;
    virtual QString szProxyUID() const = 0;
    virtual void szProxyUID(const QString& value) = 0;
    virtual QString szProxyPWD() const = 0;
    virtual void szProxyPWD(const QString& value) = 0;
    virtual QString szUsername() const = 0;
    virtual void szUsername(const QString& value) = 0;
    virtual QString szPassword() const = 0;
    virtual void szPassword(const QString& value) = 0;
    virtual QString szUserAgent() const = 0;
    virtual void szUserAgent(const QString& value) = 0;
    // Sends the request without waiting; true when it was sent.
    virtual bool HTTPFetchSetup(const QString& szMethod, const QString& szURL, const QString& szData,
                                int32_t lngTimeout, QString& szErrorString, QString& szErrorDetailString,
                                QString& szResponse) = 0;
    // Blocking fetch: true for HTTP status 200 with the body in sz_Response.
    virtual bool HTTPFetch(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
                           QString& sz_ErrorString, QString& sz_ErrorDetailString, QString& sz_Response) = 0;

protected:
    ~_clsWinHTTP() = default;
};

} // namespace Pelborne
