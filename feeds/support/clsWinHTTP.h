// SPDX-License-Identifier: MIT
#pragma once

#include "StatusSink.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class AsyncHttpRequest;

// One blocking HTTP(S) fetch over the asynchronous request object: it sends, then turns the
// thread's events (50 ms apart) until the request finishes or fails, so timers and window events
// keep running meanwhile. Every step is reported through the Status sink.
class clsWinHTTP
{
public:
    // componentName starts the detailed error texts ("Sarnick" in Sarnick and the program,
    // "Pelborne" in Pelborne). The sink must outlive the object: construction and destruction
    // report too.
    explicit clsWinHTTP(QString componentName, StatusSink status = {});
    ~clsWinHTTP();
    clsWinHTTP(const clsWinHTTP&) = delete;
    clsWinHTTP& operator=(const clsWinHTTP&) = delete;

    // Set by the owner before fetching; empty means "none" (for the user agent: the request
    // object's own).
    QString szProxy; // host:port
    QString szProxyUID;
    QString szProxyPWD;
    QString szUsername; // server credentials
    QString szPassword;
    QString szUserAgent;

    // Blocking fetch; lngTimeout is the receive limit in seconds. True for HTTP status 200 with
    // the body in sz_Response; false with the two error texts otherwise. Raises nothing.
    bool HTTPFetch(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
                   QString& sz_ErrorString, QString& sz_ErrorDetailString, QString& sz_Response);
    // The body of the last successful fetch exactly as it arrived; sz_Response is its text.
    const QByteArray& responseBody() const { return m_responseBody; }
    // The longest a fetch with this receive limit (seconds) waits before it gives up: the
    // connect, send and receive limits, plus some slack.
    static int64_t waitLimitMs(int32_t lngTimeout);
    // Sets up and sends the request without waiting; true when it was sent.
    bool HTTPFetchSetup(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
                        QString& szErrorString, QString& szErrorDetailString, QString& szResponse);

private:
    void objWinHttp_OnResponseStart(int32_t Status, const QString& ContentType);
    void objWinHttp_OnResponseDataAvailable(const QByteArray& Data);
    void objWinHttp_OnResponseFinished();
    void objWinHttp_OnError(int32_t ErrorNumber, const QString& ErrorDescription);
    void raiseStatus(const QString& szMsg, int16_t intDebug = 12) const;
    void connectEvents();

    QString m_componentName;
    StatusSink m_status;
    std::unique_ptr<AsyncHttpRequest> objWinHTTP;
    // The error event gives the request object up; it goes once its own handler has returned.
    bool m_objectReleased = false;
    // The longest the wait may take, from the limits given to the request plus some slack.
    int64_t m_waitLimitMs = 0;

    bool boolFetchPending = false;
    bool boolFetchOK = false;
    QString szFetchError;
    QString szFetchErrorDetail;
    QString szFetchResponse;
    QByteArray m_responseBody;
};
