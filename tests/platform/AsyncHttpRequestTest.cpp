// SPDX-License-Identifier: MIT
#include "AsyncHttpRequest.h"
#include "HttpErrorTable.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A server that answers every request with the given head and then drips its body one byte at a
// time, never finishing.
class DrippingServer
{
public:
    DrippingServer(QByteArray head, int intervalMs) : m_head(std::move(head))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    socket->readAll();
                    if (!m_head.isEmpty())
                        socket->write(m_head);
                });
                m_sockets.append(socket);
            }
        });
        QObject::connect(&m_drip, &QTimer::timeout, [this] {
            for (QTcpSocket* socket : std::as_const(m_sockets))
                socket->write("x");
        });
        m_drip.start(intervalMs);
    }
    QString url() const { return u"http://127.0.0.1:"_s + QString::number(m_server.serverPort()) + u"/feed"_s; }

private:
    QByteArray m_head;
    QTcpServer m_server;
    QTimer m_drip;
    QList<QTcpSocket*> m_sockets;
};

struct Outcome
{
    bool finished = false;
    int32_t error = 0;
    int chunks = 0;
};

Outcome run(AsyncHttpRequest& request, int maxMs)
{
    Outcome out;
    request.onResponseDataAvailable = [&out](const QByteArray&) { ++out.chunks; };
    request.onResponseFinished = [&out] { out.finished = true; };
    request.onError = [&out](int32_t number, const QString&) { out.error = number; };
    QDeadlineTimer deadline(maxMs);
    while (request.readyState() != AsyncHttpRequest::Done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return out;
}

TEST(AsyncHttpRequestTest, TheOverallLimitEndsAReplyThatTrickles)
{
    DrippingServer server("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n", 50);
    AsyncHttpRequest request;
    ASSERT_EQ(request.open(u"GET"_s, server.url()), 0);
    // Every byte restarts the 400 ms receive limit; only the overall 900 ms ends the transfer.
    request.setTimeouts(0, 300, 200, 400);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(request.send(), 0);
    const Outcome out = run(request, 5000);
    const qint64 elapsed = clock.elapsed();

    EXPECT_FALSE(out.finished);
    EXPECT_EQ(out.error, HttpErrorTable::Timeout);
    EXPECT_EQ(request.errorNumber(), HttpErrorTable::Timeout);
    EXPECT_EQ(request.readyState(), AsyncHttpRequest::Done);
    EXPECT_GT(out.chunks, 3);
    EXPECT_GE(elapsed, 850);
    EXPECT_LT(elapsed, 1800);
}

TEST(AsyncHttpRequestTest, TheReceiveLimitEndsASilentServer)
{
    DrippingServer server(QByteArray(), 60000);
    AsyncHttpRequest request;
    ASSERT_EQ(request.open(u"GET"_s, server.url()), 0);
    request.setTimeouts(0, 5000, 5000, 300);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(request.send(), 0);
    const Outcome out = run(request, 5000);
    EXPECT_EQ(out.error, HttpErrorTable::Timeout);
    EXPECT_LT(clock.elapsed(), 1500);
}

TEST(AsyncHttpRequestTest, OpenAndSendCheckTheirArguments)
{
    AsyncHttpRequest request;
    EXPECT_EQ(request.send(), 12019);
    EXPECT_EQ(request.open(u"GET"_s, u"not a url"_s), HttpErrorTable::InvalidUrl);
    EXPECT_EQ(request.open(u"GET"_s, u"ftp://127.0.0.1/file"_s), HttpErrorTable::ProtocolNotFound);
    EXPECT_EQ(request.send(), 12019);
    EXPECT_EQ(request.setProxy(u"proxy.example:80x"_s), HttpErrorTable::InvalidUrl);
    EXPECT_EQ(request.setProxy(u"http://proxy.example:3128/"_s), 0);
    EXPECT_EQ(request.open(u"GET"_s, u"https://127.0.0.1:1/x"_s), 0);
    EXPECT_EQ(request.readyState(), AsyncHttpRequest::Opened);
}

TEST(AsyncHttpRequestTest, ResponseTextFollowsTheNamedCharset)
{
    DrippingServer server("HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=ISO-8859-1\r\nContent-Length: 4\r\n"
                          "\r\ncaf\xe9",
                          60000);
    AsyncHttpRequest request;
    ASSERT_EQ(request.open(u"GET"_s, server.url()), 0);
    ASSERT_EQ(request.send(), 0);
    const Outcome out = run(request, 5000);
    ASSERT_TRUE(out.finished);
    EXPECT_EQ(request.status(), 200);
    EXPECT_EQ(request.statusText(), u"OK"_s);
    EXPECT_EQ(request.responseText(), u"caf\u00e9"_s);
    EXPECT_EQ(request.responseBody(), QByteArray("caf\xe9"));
}

} // namespace
