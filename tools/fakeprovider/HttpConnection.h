// SPDX-License-Identifier: MIT
#pragma once

#include "HttpRequestParser.h"
#include "HttpResponse.h"

#include <QObject>

#include <functional>

class QTcpSocket;

// One client connection: cuts requests out of the byte stream, asks the responder what to do with
// each and carries it out (at once, late, never, by hanging up before or part-way through the reply,
// or by opening a proxy tunnel).
// Requests on one connection are answered in order, as HTTP/1.1 wants. Deletes itself when closed.
class HttpConnection : public QObject
{
public:
    using Responder = std::function<HttpResponse(const HttpRequest&)>;

    HttpConnection(QTcpSocket* socket, Responder responder, QObject* parent);

    void abort();

private:
    void onReadyRead();
    void processBuffer();
    void deliver(const HttpResponse& response, bool keepAlive, bool headOnly);
    // Resets the connection once what was written has gone out.
    void resetWhenWritten();
    void startTunnel(const QByteArray& target);
    void finish();

    QTcpSocket* m_socket;
    QTcpSocket* m_upstream = nullptr;
    Responder m_responder;
    HttpRequestParser m_parser;
    QByteArray m_buffer;
    bool m_busy = false;    // a delayed or withheld reply holds up the requests behind it
    bool m_closing = false; // the last reply said "Connection: close"
    bool m_tunnelOpen = false;
};
