// SPDX-License-Identifier: MIT
#include "AsyncHttpRequest.h"
#include "HttpErrorTable.h"
#include "HttpMessageStream.h"
#include "ProxyAuthRounds.h"
#include "ProxyRelay.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

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
    qsizetype connections() const
    {
        return std::count_if(m_sockets.begin(), m_sockets.end(),
                             [](const QTcpSocket* s) { return s->state() == QAbstractSocket::ConnectedState; });
    }

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
    // Through a proxy (the server answers as one), whose connection ends with the fetch.
    ASSERT_EQ(request.setProxy(QUrl(server.url()).authority()), 0);
    ASSERT_EQ(request.send(), 0);
    const Outcome out = run(request, 5000);
    ASSERT_TRUE(out.finished);
    EXPECT_EQ(request.status(), 200);
    EXPECT_EQ(request.statusText(), u"OK"_s);
    EXPECT_EQ(request.responseText(), u"caf\u00e9"_s);
    EXPECT_EQ(request.responseBody(), QByteArray("caf\xe9"));
    for (QDeadlineTimer deadline(2000); server.connections() > 0 && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(server.connections(), 0);
}

using Next = HttpMessageStream::Next;

TEST(ProxyRelayTest, TheProxysAnswersPassWholeAndEachHeadIsSeenWhereverTheBytesAreCut)
{
    const QByteArray stream = "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: NTLM\r\n"
                              "Transfer-Encoding: chunked\r\n\r\n5;x=1\r\nhello\r\n0\r\nX-Trailer: 1\r\n\r\n"
                              "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody"
                              "HTTP/1.1 200 Connection established\r\n\r\n\x16\x03\x01 HTTP/1.1 200\r\n\r\n";
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        QList<int> seen;
        HttpMessageStream answers(HttpMessageStream::Side::Responses, [&seen](const HttpHead& head) {
            seen.append(head.status);
            return seen.size() == 4 ? Next::Raw : head.status == 100 ? Next::NoBody : Next::Body;
        });
        QByteArray passed = answers.pass(stream.left(cut));
        passed += answers.pass(stream.mid(cut));
        EXPECT_EQ(passed, stream) << cut;
        EXPECT_EQ(seen, (QList<int>{407, 100, 200, 200})) << cut;
    }
    // A body passes as it came, not copied.
    HttpMessageStream body(HttpMessageStream::Side::Responses, [](const HttpHead&) { return Next::Body; });
    body.pass("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n");
    const QByteArray piece = "12345678";
    EXPECT_EQ(body.pass(piece).constData(), piece.constData());
    HttpMessageStream withheld(HttpMessageStream::Side::Responses,
                               [](const HttpHead& head) { return head.status == 100 ? Next::Withhold : Next::Body; });
    EXPECT_EQ(withheld.pass(stream), stream.left(stream.indexOf("HTTP/1.1 100")));
}

TEST(ProxyRelayTest, EachConversationEndsAsTheProxysLastAnswerSays)
{
    struct Round
    {
        QByteArray method, answer; // the client's request
        int status;                // the proxy's answer
        QByteArray challenge;
    };
    const QByteArray digest = "Digest realm=\"p\", nonce=\"n2\", stale=true";
    const struct
    {
        QList<Round> rounds;
        ProxyAuthRounds::Verdict verdict;
        int32_t number; // 0: told as the proxy's answer
    } cases[] = {
        // A stale nonce is answered once; the second is a refusal.
        {{{"CONNECT", {}, 407, "Digest realm=\"p\", nonce=\"n1\""},
          {"CONNECT", "Digest x", 407, digest},
          {"CONNECT", "Digest y", 407, digest}},
         ProxyAuthRounds::Verdict::CredentialsRefused,
         0},
        {{{"CONNECT", {}, 404, {}}}, ProxyAuthRounds::Verdict::TunnelRefused, HttpErrorTable::NameNotResolved},
        {{{"CONNECT", {}, 503, {}}}, ProxyAuthRounds::Verdict::TunnelRefused, HttpErrorTable::CannotConnect},
        {{{"CONNECT", "Basic x", 403, {}}}, ProxyAuthRounds::Verdict::TunnelRefused, HttpErrorTable::NotViaProxy},
        {{{"CONNECT", {}, 407, "Digest realm=\"p\", nonce=\"n\", algorithm=SHA-256"}},
         ProxyAuthRounds::Verdict::SchemeUnanswerable,
         0},
        // A proxy that keeps the client asking, whatever it answers: the seventh request stays here.
        {QList<Round>(ProxyAuthRounds::kMaxRequests + 1, Round{"GET", {}, 302, {}}),
         ProxyAuthRounds::Verdict::TooManyRequests, HttpErrorTable::NotViaProxy},
    };
    for (const auto& [rounds, verdict, number] : cases) {
        ProxyAuthRounds judge(true);
        ProxyAuthRounds::Connection connection;
        for (const Round& round : rounds) {
            HttpHead request{.method = round.method, .fields = {{"Proxy-Authorization", round.answer}}};
            if (judge.request(connection, request) != Next::Withhold)
                judge.response(connection,
                               {.status = round.status, .fields = {{"Proxy-Authenticate", round.challenge}}});
        }
        EXPECT_EQ(judge.verdict(), verdict) << rounds.constFirst().status;
        EXPECT_EQ(judge.errorNumber(), number);
    }
}

TEST(ProxyRelayTest, OnlyThisProcessIsHeardThroughTheRelay)
{
    QTcpServer proxy;
    ASSERT_TRUE(proxy.listen(QHostAddress::LocalHost));
    int reached = 0;
    QByteArray heard;
    QObject::connect(&proxy, &QTcpServer::newConnection, [&] {
        for (QTcpSocket* socket; (socket = proxy.nextPendingConnection()); ++reached)
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [&heard, socket] { heard += socket->readAll(); });
    });
    bool ended = false;
    ProxyRelay relay(QNetworkProxy(QNetworkProxy::HttpProxy, u"127.0.0.1"_s, proxy.serverPort()), {}, {},
                     [&ended](int32_t, const QString&) { ended = true; });
    const quint16 port = relay.proxy().port();
    ASSERT_NE(port, proxy.serverPort());
    // Another program on the machine, as any user's could, opens more connections than a fetch may.
    const pid_t other = fork();
    if (other == 0) {
        sockaddr_in to{
            .sin_family = AF_INET, .sin_port = htons(port), .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
        for (int i = 0; i <= ProxyAuthRounds::kMaxRequests; ++i) {
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0)
                (void)!write(fd, "GET http://other/ HTTP/1.1\r\n\r\n", 30);
        }
        _exit(0);
    }
    ASSERT_GT(other, 0);
    waitpid(other, nullptr, 0);
    QTcpSocket own;
    own.connectToHost(QHostAddress::LocalHost, port);
    own.write("GET http://own/ HTTP/1.1\r\n\r\n");
    for (QDeadlineTimer deadline(5000); !heard.contains("own") && !deadline.hasExpired(); QThread::msleep(10))
        QCoreApplication::processEvents();
    EXPECT_EQ(heard, "GET http://own/ HTTP/1.1\r\n\r\n");
    EXPECT_EQ(reached, 1);
    EXPECT_FALSE(ended);
}

} // namespace
