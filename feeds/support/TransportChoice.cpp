// SPDX-License-Identifier: MIT
#include "TransportChoice.h"

#include "OSVer.h"
#include "RegistryRoutines.h"
#include "RunTimeError.h"
#include "VersionText.h"
#include "Wine.h"
#include "clsWinHTTP.h"

#include <new>

using namespace Qt::StringLiterals;

namespace {

const QString CRLF = u"\r\n"_s;

void raise(const TransportOwner& owner, const QString& procedure, const QString& message, int16_t level)
{
    if (owner.status)
        owner.status(owner.title + u'.' + procedure + u": "_s + message, level);
}

} // namespace

bool UseMSXML(const TransportOwner& owner, const QString& procedure)
{
    int32_t value = 0;
    if (GetRegWordValue(HKEY_CURRENT_USER, owner.configKey(), u"UseMSXML"_s, value)) {
        if (value > 0) {
            raise(owner, procedure,
                  u"found UseMSXML registry setting ("_s + QString::number(value) + u"), and forcing use of MSXML"_s,
                  6);
            return true;
        }
        raise(owner, procedure,
              u"found UseMSXML registry setting ("_s + QString::number(value) + u"), using default WinHTTP"_s, 6);
        return false;
    }
    if (RunningUnderWine()) {
        raise(owner, procedure, u"running under Wine, so forcing use of MSXML"_s, 6);
        return true;
    }
    return false;
}

QString BuildUserAgentString(const TransportOwner& owner)
{
    return CallerVersionInfo() + u" ("_s + owner.title + u" COM "_s + owner.version + u"; "_s + OSVerString() +
           (RunningUnderWine() ? u" on Wine"_s : QString()) + u')';
}

void ConfigureWinHTTPProxy(const TransportOwner& owner, const QString& procedure, clsWinHTTP& transport,
                           const QString& proxyServer, const QString& proxyUser, const QString& proxyPassword)
{
    if (proxyServer.isEmpty()) {
        raise(owner, procedure, u"no proxy server is configured"_s, 6);
        return;
    }
    raise(owner, procedure, u"using proxy server: "_s + proxyServer, 6);
    raise(owner, procedure, u"using proxy username: "_s + (proxyUser.isEmpty() ? u"(none)"_s : proxyUser), 6);
    transport.szProxy = proxyServer;
    transport.szProxyUID = proxyUser;
    transport.szProxyPWD = proxyPassword;
}

bool SetupWinHTTP(const TransportOwner& owner, std::unique_ptr<clsWinHTTP>& transport, int16_t intTimeout,
                  const QString& proxyServer, const QString& proxyUser, const QString& proxyPassword,
                  QString& szLastError, QString& szLastErrorDetail)
{
    const QString procedure = u"SetupWinHTTP"_s;
    enum class Stage { Before, Creating, Configuring } stage = Stage::Before;
    try {
        if (transport)
            return true;
        const QString ua = BuildUserAgentString(owner);

        stage = Stage::Creating;
        raise(owner, procedure, u"instantiating WinHTTP..."_s, 6);
        raise(owner, procedure, u"fetch timeout is "_s + QString::number(intTimeout) + u" seconds"_s, 6);
        try {
            transport = std::make_unique<clsWinHTTP>(owner.title, owner.transportStatus);
        } catch (const std::bad_alloc&) {
            throw RunTimeError(7, u"Out of memory"_s);
        }

        stage = Stage::Configuring;
        ConfigureWinHTTPProxy(owner, procedure, *transport, proxyServer, proxyUser, proxyPassword);
        transport->szUserAgent = ua;
        return true;
    } catch (const RunTimeError& e) {
        const QString prefix = owner.title + u'.' + procedure + u": "_s;
        const QString n = QString::number(e.number());
        switch (stage) {
        case Stage::Creating:
            szLastErrorDetail = prefix + u"failed to create instance of WinHTTP: "_s + CRLF + e.text();
            szLastError = u"Retrieve error: ["_s + n + u"] failed to create WinHTTP"_s;
            break;
        case Stage::Configuring:
            szLastErrorDetail = prefix + u"WinHTTP error: "_s + CRLF + e.text();
            szLastError = u"Retrieve error: ["_s + n + u"] WinHTTP error"_s;
            break;
        case Stage::Before:
            szLastErrorDetail = prefix + u"runtime error:"_s + CRLF + e.text();
            szLastError = u"Retrieve error: ["_s + n + u"] setting up WinHTTP object"_s;
            break;
        }
    }
    return false;
}
