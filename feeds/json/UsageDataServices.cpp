// SPDX-License-Identifier: MIT
// Pelborne's sign-in: the account's service list and the login token.
#include "UsageData.h"

#include "RunTimeError.h"
#include "UserNames.h"
#include "modMSXML.h"

using namespace Qt::StringLiterals;

namespace Pelborne {

namespace {
const QString CRLF = u"\r\n"_s;
} // namespace

QString UsageData::FullUsername(const QString& user)
{
    return ::FullUsername(user, m.szAccountName, {u"Pelborne.FullUsername"_s, u"JSON"_s}, status());
}

bool UsageData::GetServices(const QString& szUser, const QString& szPass, int16_t& iCount, QStringList& aServices,
                            const QString& szProxy, const QString& szProxyUID, const QString& szProxyPWD)
{
    try {
        if (szUser.isEmpty() || szPass.isEmpty()) {
            m.szLastError = u"Retrieval error: username and/or password not specified"_s;
            m.szLastErrorDetail = u"Pelborne.GetServices: Retrieval error:"_s + CRLF +
                                  u"username and/or password not specified, operation aborted"_s;
            return false;
        }
        const QString user = FullUsername(szUser);
        raise(u"GetServices"_s, u"using username '"_s + user + u"' for JSON feed"_s, 6);
        raisePlain(u"fetching service list from "_s + m.szAccountName, 2);
        if (!FetchServiceList(user, szPass, szProxy, szProxyUID, szProxyPWD))
            return false;
        iCount = m_services.count();
        aServices = m_services.names();
        raisePlain(u"successfully retrieved service list from "_s + m.szAccountName, 2);
        return true;
    } catch (const RunTimeError& e) {
        m.szLastErrorDetail = u"Pelborne.GetServices: runtime error:"_s + CRLF + e.text();
        m.szLastError = u"Retrieve error: ["_s + QString::number(e.number()) + u"] fetching json service list"_s;
        return false;
    }
}

bool UsageData::FetchServiceList(const QString& user, const QString& password, const QString& proxy,
                                 const QString& proxyUser, const QString& proxyPassword)
{
    const QString procedure = u"FetchServiceList"_s;
    try {
        if (m_serviceListTemplate.isEmpty()) {
            raise(procedure, u"blank URL passed in, reverting to default URL"_s, 6);
            m_serviceListTemplate = defaultServiceListTemplate();
        }
        reportToolboxRefusal();
        // Still with its placeholders: the password never reaches the log.
        raise(procedure, u"using JSON service URL: "_s + m_serviceListTemplate, 12);
        const QString encodedUser = urlEncode(user);
        const QString encodedPassword = urlEncode(password);
        const QString url = FillUrlTemplate(m_serviceListTemplate,
                                            {{u"qoUID"_s, encodedUser, false}, {u"qoPWD"_s, encodedPassword, true}});

        QString reply;
        if (!fetch(procedure, u"service list"_s, url, proxy, proxyUser, proxyPassword, reply))
            return false;
        if (reply.isEmpty()) {
            m.szLastError = u"Parse error: failed to retrieve JSON service list"_s;
            m.szLastErrorDetail =
                u"Pelborne.FetchServiceList: failed to retrieve JSON service list: "_s + CRLF + u"empty response"_s;
            return false;
        }

        QString error;
        if (m_services.ParseServiceList(reply, error)) {
            m_services.setCount(int16_t(m_services.names().size()));
            return true;
        }
        m.szLastError = u"JSON service list parse error: "_s + error;
        m.szLastErrorDetail = u"Pelborne.FetchServiceList: failed to parse JSON service list: "_s + CRLF + error;
        return false;
    } catch (const RunTimeError& e) {
        m.szLastErrorDetail = u"Pelborne.FetchServiceList: runtime error:"_s + CRLF + e.text();
        m.szLastError = u"Retrieve error: ["_s + QString::number(e.number()) + u"] runtime error"_s;
        return false;
    }
}

bool UsageData::fetch(const QString& procedure, const QString& what, const QString& url, const QString& proxy,
                      const QString& proxyUser, const QString& proxyPassword, QString& reply)
{
    if (UseMSXML(owner())) {
        raise(procedure, u"calling MSXML..."_s, 6);
        if (!modMSXML::HTTPFetch(u"GET"_s, url, QString(), m.intTimeout, BuildUserAgentString(owner()), m.szLastError,
                                 m.szLastErrorDetail, reply, title()))
            return false;
        raise(procedure, u"MSXML fetch completed successfully for "_s + what, 6);
    } else {
        if (!SetupWinHTTP(owner(), m_transport, m.intTimeout, proxy, proxyUser, proxyPassword, m.szLastError,
                          m.szLastErrorDetail))
            return false;
        raise(procedure, u"about to call HTTPFetch"_s, 12);
        if (!m_transport->HTTPFetch(u"GET"_s, url, QString(), m.intTimeout, m.szLastError, m.szLastErrorDetail,
                                    reply)) {
            // A failed transport is given up; the next need creates a new one.
            m_transport.reset();
            return false;
        }
        raise(procedure, u"WinHTTP fetch completed successfully for "_s + what, 6);
    }
    raise(procedure, QString::number(reply.size()) + u" bytes returned"_s, 6);
    return true;
}

} // namespace Pelborne
