// SPDX-License-Identifier: MIT
#include "clsWinHTTP.h"

#include "AsyncHttpRequest.h"
#include "HttpErrorTable.h"
#include "ProgramExit.h"
#include "RequestFailure.h"
#include "RunTimeError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The request object reports a time-out with this result code; the texts single it out.
constexpr int32_t kTimedOut = -2147012879; // 0x80072EF1
constexpr int32_t kObjectNotSet = 91;
constexpr int32_t kOverflow = 6;
constexpr int32_t kInvalidParameter = -2147024809; // 0x80070057
constexpr int kConnectTimeoutMs = 60000;
constexpr int kSendTimeoutMs = 30000;
// Slack on top of the request's own limits before the wait gives up by itself.
constexpr int64_t kWaitSlackMs = 5000;
constexpr unsigned long kPumpSleepMs = 50;

const QString CRLF = u"\r\n"_s;

} // namespace

clsWinHTTP::clsWinHTTP(QString componentName, StatusSink status)
    : m_componentName(std::move(componentName)), m_status(std::move(status)),
      objWinHTTP(std::make_unique<AsyncHttpRequest>())
{
    connectEvents();
    raiseStatus(u"clsWinHTTP: class initialising"_s);
}

clsWinHTTP::~clsWinHTTP()
{
    raiseStatus(u"clsWinHTTP: class terminating"_s);
}

void clsWinHTTP::connectEvents()
{
    objWinHTTP->onResponseStart = [this](int status, const QString& contentType) {
        objWinHttp_OnResponseStart(status, contentType);
    };
    objWinHTTP->onResponseDataAvailable = [this](const QByteArray& data) { objWinHttp_OnResponseDataAvailable(data); };
    objWinHTTP->onResponseFinished = [this] { objWinHttp_OnResponseFinished(); };
    objWinHTTP->onError = [this](int32_t number, const QString& description) {
        objWinHttp_OnError(number == HttpErrorTable::Timeout ? kTimedOut : HttpErrorTable::asResultCode(number),
                           description);
    };
}

void clsWinHTTP::raiseStatus(const QString& szMsg, int16_t intDebug) const
{
    if (m_status)
        m_status(szMsg, intDebug);
}

bool clsWinHTTP::HTTPFetch(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
                           QString& sz_ErrorString, QString& sz_ErrorDetailString, QString& sz_Response)
{
    try {
        boolFetchPending = true;
        // A fetch reports only its own outcome, never one left over from an earlier fetch.
        boolFetchOK = false;
        szFetchError.clear();
        szFetchErrorDetail.clear();
        szFetchResponse.clear();
        m_responseBody.clear();
        raiseStatus(u"HTTPFetch: setting up fetch"_s);

        if (!HTTPFetchSetup(szMethod, szURL, szData, lngTimeout, sz_ErrorString, sz_ErrorDetailString, sz_Response))
            return false;

        raiseStatus(u"HTTPFetch: submitted request"_s);
        QElapsedTimer waited;
        waited.start();
        while (boolFetchPending) {
            QCoreApplication::processEvents();
            if (!boolFetchPending)
                break;
            // The program is ending: nobody waits for this answer any more.
            if (ProgramExit::begun() && objWinHTTP && !m_objectReleased) {
                objWinHTTP->abort();
                objWinHttp_OnError(HttpErrorTable::asResultCode(HttpErrorTable::OperationCancelled),
                                   HttpErrorTable::description(HttpErrorTable::OperationCancelled));
                break;
            }
            // The request's limits end every wait through its error event; this is the backstop
            // should that event never come.
            if (waited.elapsed() > m_waitLimitMs && objWinHTTP && !m_objectReleased) {
                objWinHTTP->abort();
                objWinHttp_OnError(kTimedOut, HttpErrorTable::description(HttpErrorTable::Timeout));
                break;
            }
            QThread::msleep(kPumpSleepMs);
        }
        if (m_objectReleased) {
            objWinHTTP.reset();
            m_objectReleased = false;
        }

        sz_ErrorString = szFetchError;
        sz_ErrorDetailString = szFetchErrorDetail;
        sz_Response = szFetchResponse;
        if (boolFetchOK) {
            raiseStatus(u"HTTPFetch: fetch completed successfully"_s);
            return true;
        }
        raiseStatus(u"HTTPFetch: fetch failed"_s);
        return false;
    } catch (const RunTimeError& e) {
        raiseStatus(u"HTTPFetch: runtime error "_s + e.text(), 3);
        sz_ErrorString = u"Retrieve error: "_s + e.text();
        sz_ErrorDetailString = m_componentName + u".WHTTPFetch error:"_s + CRLF + e.text();
    }
    return false;
}

int64_t clsWinHTTP::waitLimitMs(int32_t lngTimeout)
{
    return kConnectTimeoutMs + kSendTimeoutMs + int64_t(lngTimeout) * 1000 + kWaitSlackMs;
}

bool clsWinHTTP::HTTPFetchSetup(const QString& szMethod, const QString& szURL, const QString& szData,
                                int32_t lngTimeout, QString& szErrorString, QString& szErrorDetailString,
                                QString& szResponse)
{
    Q_UNUSED(szResponse)
    QString szStep;
    try {
        raiseStatus(u"HTTPFetchSetup: setting up HTTP fetch parameters"_s);

        raiseStatus(u"HTTPFetchSetup: setting timeouts"_s);
        szStep = u"setting timeouts"_s;
        if (!objWinHTTP)
            throw RunTimeError(kObjectNotSet, u"Object variable or With block variable not set"_s);
        const int64_t receiveMs = int64_t(lngTimeout) * 1000;
        if (receiveMs > std::numeric_limits<int32_t>::max() || receiveMs < std::numeric_limits<int32_t>::min())
            throw RunTimeError(kOverflow, u"Overflow"_s);
        if (receiveMs < 0)
            throw RunTimeError(kInvalidParameter, u"The parameter is incorrect."_s);
        // Name resolution gets no limit of its own; the user's limit bounds every wait of the fetch,
        // the lookup, a tunnel through the proxy and the handshake included, where the connect and
        // send limits would allow more.
        objWinHTTP->setTimeouts(0, kConnectTimeoutMs, kSendTimeoutMs, static_cast<int>(receiveMs));
        objWinHTTP->setWaitLimit(static_cast<int>(receiveMs));
        m_waitLimitMs = waitLimitMs(lngTimeout);

        raiseStatus(u"HTTPFetchSetup: setting SSL certificate options"_s);
        szStep = u"setting SSL certificate options"_s;
        // Nothing is ignored: a certificate that does not verify fails the fetch.

        raiseStatus(u"HTTPFetchSetup: calling Open method using "_s + szMethod);
        szStep = u"opening page"_s;
        raiseIfFailed(objWinHTTP->open(szMethod, szURL));
        raiseStatus(u"HTTPFetchSetup: Open method completed"_s);

        raiseStatus(u"HTTPFetchSetup: setting user agent"_s);
        szStep = u"setting user agent"_s;
        if (!szUserAgent.isEmpty())
            objWinHTTP->setUserAgent(szUserAgent);

        raiseStatus(u"HTTPFetchSetup: setting request headers"_s);
        szStep = u"setting request headers"_s;
        objWinHTTP->setRequestHeader(u"Content-Type"_s, u"application/x-www-form-urlencoded"_s);
        objWinHTTP->setRequestHeader(u"Pragma"_s, u"no-cache"_s);
        objWinHTTP->setRequestHeader(u"Cache-control"_s, u"max-age=0"_s);

        raiseStatus(u"HTTPFetchSetup: setting user credentials"_s);
        szStep = u"setting user credentials"_s;
        if (!szUsername.isEmpty())
            objWinHTTP->setCredentials(szUsername, szPassword);
        else
            raiseStatus(u"HTTPFetchSetup: no user credentials to set"_s);

        raiseStatus(u"HTTPFetchSetup: setting proxy server"_s);
        szStep = u"setting proxy server"_s;
        if (!szProxy.isEmpty())
            raiseIfFailed(objWinHTTP->setProxy(szProxy));
        else
            raiseStatus(u"HTTPFetchSetup: no proxy server to set"_s);

        raiseStatus(u"HTTPFetchSetup: setting proxy authentication"_s);
        szStep = u"setting proxy authentication"_s;
        if (!szProxyUID.isEmpty() && !szProxyPWD.isEmpty())
            objWinHTTP->setProxyCredentials(szProxyUID, szProxyPWD);
        else
            raiseStatus(u"HTTPFetchSetup: no proxy authentication to set"_s);

        raiseStatus(u"HTTPFetchSetup: sending data"_s);
        szStep = u"sending data"_s;
        boolFetchPending = true;
        raiseIfFailed(objWinHTTP->send(szData.toUtf8()));
        return true;
    } catch (const RunTimeError& e) {
        raiseStatus(u"HTTPFetchSetup: runtime error "_s + e.text(), 3);
        szErrorString = u"Retrieve error: "_s + e.text();
        szErrorDetailString = m_componentName + u".WHTTPFetch error "_s + szStep + u':' + CRLF + e.text();
        boolFetchPending = false;
        boolFetchOK = false;
    }
    return false;
}

void clsWinHTTP::objWinHttp_OnResponseStart(int32_t Status, const QString& ContentType)
{
    raiseStatus(u"clsWinHTTP OnResponseStart: status: "_s + QString::number(Status) + u"; contenttype: "_s +
                ContentType);
}

void clsWinHTTP::objWinHttp_OnResponseDataAvailable(const QByteArray& Data)
{
    raiseStatus(u"clsWinHTTP OnResponseDataAvailable: "_s + QString::number(Data.size()) + u" bytes"_s);
}

void clsWinHTTP::objWinHttp_OnResponseFinished()
{
    boolFetchPending = false;
    const int status = objWinHTTP->status();
    if (status == 200) {
        raiseStatus(u"clsWinHTTP: response finished with successful status"_s);
        boolFetchOK = true;
        szFetchResponse = objWinHTTP->responseText();
        m_responseBody = objWinHTTP->responseBody();
        return;
    }
    raiseStatus(u"clsWinHTTP: response finished with unsuccessful status: "_s + QString::number(status));
    boolFetchOK = false;
    const QString statusText = objWinHTTP->statusText();
    szFetchError = u"Retrieval error: "_s + statusText;
    szFetchErrorDetail =
        m_componentName + u".WHTTPFetch Retrieval error:"_s + CRLF + bracketedError(status, statusText);
    objWinHTTP->abort();
}

void clsWinHTTP::objWinHttp_OnError(int32_t ErrorNumber, const QString& ErrorDescription)
{
    raiseStatus(u"clsWinHTTP: OnError handler called"_s);
    boolFetchOK = false;
    boolFetchPending = false;

    QString description = ErrorDescription;
    if (description.endsWith(u'\n'))
        description.chop(1);
    if (description.endsWith(u'\r'))
        description.chop(1);
    if (description.isEmpty())
        description = u"unknown winhttp error "_s + QString::number(ErrorNumber);

    szFetchError = u"Retrieval error: "_s;
    szFetchErrorDetail = m_componentName + u".WHTTPFetch Retrieval error:"_s + CRLF;
    if (ErrorNumber == kTimedOut) {
        szFetchError += u"Connection timed out (timeout exceeded)"_s;
        szFetchErrorDetail += u"Connection timed out (unknown reason), operation aborted"_s;
    } else if (ErrorNumber == HttpErrorTable::SecurityPackageNotFound) {
        szFetchError += u"requested security package does not exist"_s;
        szFetchErrorDetail +=
            bracketedError(ErrorNumber, u"SEC_E_SECPKG_NOT_FOUND The requested security package does not exist"_s);
    } else {
        szFetchError += description;
        szFetchErrorDetail += bracketedError(ErrorNumber, description);
    }
    raiseStatus(u"clsWinHTTP: OnError: "_s + bracketedError(ErrorNumber, description));
    m_objectReleased = true;
}
