// SPDX-License-Identifier: MIT
#include "modMSXML.h"

#include "AsyncHttpRequest.h"
#include "HttpErrorTable.h"
#include "LocalDateTime.h"
#include "ProgramExit.h"
#include "RequestFailure.h"
#include "RunTimeError.h"
#include "clsWaitableTimer.h"

#include <QCoreApplication>

#include <memory>
#include <new>

using namespace Qt::StringLiterals;

namespace modMSXML {

namespace {

constexpr int32_t kUnspecifiedFailure = -2147467259; // 0x80004005: the step is skipped
constexpr int32_t kCannotCreateComponent = 429;
constexpr int32_t kOutOfMemory = 7;
constexpr int32_t kPollMs = 100;

const QString CRLF = u"\r\n"_s;
// Where the network layer that stands in for the request object comes from on this system.
const QString kRequestObjectSource = u"https://packages.debian.org/bookworm/libqt6network6"_s;
const QString kDataAccessSource = u"https://packages.debian.org/bookworm/libqt6core6"_s;

// Runs one step; an unspecified failure skips just that step, anything else ends the fetch.
template <typename Step>
void step(Step&& action)
{
    try {
        action();
    } catch (const RunTimeError& e) {
        if (e.number() != kUnspecifiedFailure)
            throw;
    }
}

// The request's status as the caller sees it: the HTTP status, or the internet error number when
// the request failed without a response.
int requestStatus(const AsyncHttpRequest& request)
{
    return request.errorNumber() != 0 ? request.errorNumber() : request.status();
}

// A download that ended without the page: an HTTP status with its reason phrase, or an internet
// error number with the table's text.
bool downloadFailed(int status, const QString& statusText, const QString& componentName, QString& szErrorString,
                    QString& szErrorDetail, const QString& proxy = {})
{
    const QString error =
        status >= -1 && status <= 12000
            ? bracketedError(status, statusText)
            : bracketedError(status, HttpErrorTable::withProxy(status, HttpErrorTable::winInetText(status), proxy));
    szErrorDetail = componentName + u":HTTPFetch HTTP retrieval error during download:"_s + CRLF + error;
    szErrorString = u"Retrieval error: "_s + error;
    return false;
}

} // namespace

bool HTTPFetch(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
               const QString& szUserAgent, QString& szErrorString, QString& szErrorDetail, QString& szResponse,
               const QString& componentName, QByteArray* responseBody)
{
    std::unique_ptr<AsyncHttpRequest> request;
    try {
        request = std::make_unique<AsyncHttpRequest>();
    } catch (const std::bad_alloc&) {
        szErrorString = u"Retrieve error: failed to create MSXML object"_s;
        szErrorDetail = componentName + u":HTTPFetch error creating MSXML object:"_s + CRLF +
                        bracketedError(kOutOfMemory, u"Out of memory"_s) + CRLF + u"Try installing MSXML from "_s +
                        kRequestObjectSource;
        return false;
    }

    try {
        step([&] {
            request->setProxyMode(AsyncHttpRequest::ProxyMode::Environment);
            raiseIfFailed(request->open(szMethod, szURL));
        });
        step([&] {
            request->setRequestHeader(u"Content-Type"_s, u"application/x-www-form-urlencoded"_s);
            request->setRequestHeader(u"Pragma"_s, u"no-cache"_s);
            request->setRequestHeader(u"Cache-control"_s, u"max-age=0"_s);
            request->setRequestHeader(u"User-Agent"_s, szUserAgent);
        });
        const SystemClock clock;
        const LocalDateTime started = clock.now();
        step([&] { raiseIfFailed(request->send(szData.toUtf8())); });

        clsWaitableTimer timer;
        // Whole seconds are counted as second boundaries crossed since the start.
        while (request->readyState() != AsyncHttpRequest::Done && started.secondsTo(clock.now()) <= lngTimeout) {
            QCoreApplication::processEvents();
            // The program is ending: nobody waits for this answer any more.
            if (ProgramExit::begun()) {
                request->abort();
                return downloadFailed(HttpErrorTable::OperationCancelled, {}, componentName, szErrorString,
                                      szErrorDetail);
            }
            timer.Wait(kPollMs);
        }

        if (request->readyState() != AsyncHttpRequest::Done) {
            QCoreApplication::processEvents();
            szErrorString = u"Retrieval error: "_s + u"Connection timed out (timeout exceeded)"_s;
            szErrorDetail =
                u"HTTPFetch Retrieval error:"_s + CRLF + u"Connection timed out (unknown reason), operation aborted"_s;
            request->abort();
            return false;
        }

        if (requestStatus(*request) == 200) {
            szResponse = request->responseText();
            if (responseBody)
                *responseBody = request->responseBody();
            return true;
        }

        QCoreApplication::processEvents();
        return downloadFailed(requestStatus(*request), request->statusText(), componentName, szErrorString,
                              szErrorDetail, request->proxyInUse());
    } catch (const RunTimeError& e) {
        szErrorDetail = componentName + u":HTTPFetch HTTP error retrieving data from website:"_s + CRLF + e.text();
        if (e.number() == kCannotCreateComponent)
            szErrorDetail += CRLF + CRLF + u"Please install MDAC from "_s + kDataAccessSource;
        szErrorString = u"Retrieve error: HTTP error "_s + e.text();
    }
    return false;
}

} // namespace modMSXML
