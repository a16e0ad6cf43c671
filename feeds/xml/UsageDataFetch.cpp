// SPDX-License-Identifier: MIT
// Sarnick's live fetch of the feed: the user name, the address with the credentials in it, and
// the transport.
#include "UsageData.h"

#include "TransportChoice.h"
#include "UserNames.h"
#include "clsWinHTTP.h"
#include "modMSXML.h"

#include <memory>
#include <new>

using namespace Qt::StringLiterals;

namespace Sarnick {

namespace {

QString periodOf(const LocalDateTime& date)
{
    return QString::number(date.year()).rightJustified(4, u'0') + QString::number(date.month()).rightJustified(2, u'0');
}

} // namespace

bool UsageData::fetchFeed(const QString& user, const QString& password, const QString& proxy, const QString& proxyUser,
                          const QString& proxyPassword, bool historical, const LocalDateTime& historicalDate,
                          Stage& stage, QByteArray& reply)
{
    raisePlain(u"fetching "_s + (historical ? u"historical "_s : QString()) + u"daily data from "_s + m.szAccountName,
               2);
    const QString feedUser = FullUsername(user, m.szAccountName, {u"Sarnick.RetrieveData"_s, u"XML"_s}, status());
    raiseRetrieve(u"using username '"_s + feedUser + u"' for XML feed"_s, 6);

    if (m_loginUrl.isEmpty()) {
        raiseRetrieve(u"blank URL passed in, reverting to default URL"_s, 6);
        m_loginUrl = defaultLoginTemplate();
    }
    reportToolboxRefusal();
    // Built in a copy: the template keeps its placeholders for the next call.
    QString address = m_loginUrl;
    if (historical)
        address += u"&period="_s + periodOf(historicalDate);
    // Still with its placeholders, so the password never reaches the log.
    raiseRetrieve(u"using XML feed URL: "_s + address, 12);
    const QString encodedUser = urlEncode(feedUser);
    const QString encodedPassword = urlEncode(password);
    address = FillUrlTemplate(address, {{u"qoUID"_s, encodedUser, false}, {u"qoPWD"_s, encodedPassword, true}});
    raiseRetrieve(u"fetch timeout is "_s + QString::number(m.intTimeout) + u" seconds"_s, 6);
    const QString userAgent = BuildUserAgentString(owner());

    if (!UseMSXML(owner(), u"RetrieveData"_s))
        return fetchWithWinHttp(address, userAgent, proxy, proxyUser, proxyPassword, stage, reply);

    raiseRetrieve(u"calling MSXML..."_s, 6);
    QString text;
    if (!modMSXML::HTTPFetch(u"GET"_s, address, QString(), m.intTimeout, userAgent, m.szLastError, m.szLastErrorDetail,
                             text, title(), &reply))
        return false;
    raiseRetrieve(u"MSXML fetch completed successfully for daily data"_s, 6);
    raiseRetrieve(QString::number(text.size()) + u" bytes returned"_s, 6);
    return true;
}

bool UsageData::fetchWithWinHttp(const QString& url, const QString& userAgent, const QString& proxy,
                                 const QString& proxyUser, const QString& proxyPassword, Stage& stage,
                                 QByteArray& reply)
{
    raiseRetrieve(u"calling WinHTTP..."_s, 6);
    stage = Stage::CreateWinHttp;
    // A transport of its own for this fetch; its lines go out as the object's.
    std::unique_ptr<clsWinHTTP> transport;
    try {
        transport = std::make_unique<clsWinHTTP>(title(), owner().transportStatus);
    } catch (const std::bad_alloc&) {
        throw RunTimeError(7, u"Out of memory"_s);
    }

    stage = Stage::WinHttp;
    ConfigureWinHTTPProxy(owner(), u"RetrieveData"_s, *transport, proxy, proxyUser, proxyPassword);
    transport->szUserAgent = userAgent;
    raiseRetrieve(u"about to call HTTPFetch"_s, 12);
    QString text;
    if (!transport->HTTPFetch(u"GET"_s, url, QString(), m.intTimeout, m.szLastError, m.szLastErrorDetail, text))
        return false;
    reply = transport->responseBody();
    raiseRetrieve(u"WinHTTP fetch completed successfully for daily data"_s, 6);
    raiseRetrieve(QString::number(text.size()) + u" bytes returned"_s, 6);
    return true;
}

} // namespace Sarnick
