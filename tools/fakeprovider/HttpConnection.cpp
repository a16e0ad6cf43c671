// SPDX-License-Identifier: MIT
#include "HttpConnection.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

namespace {
bool headerHasToken(const QByteArray& value, const QByteArray& token)
{
    for (const QByteArray& part : value.split(',')) {
        if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool clientWantsKeepAlive(const HttpRequest& request)
{
    QByteArray connection = request.header("Connection");
    if (connection.isEmpty() && request.absoluteForm)
        connection = request.header("Proxy-Connection");
    if (request.version == "HTTP/1.0")
        return headerHasToken(connection, "keep-alive");
    return !headerHasToken(connection, "close");
}

// A reply that names its own Connection header decides for itself.
bool replyKeepsAlive(const HttpResponse& response, bool clientKeepAlive)
{
    for (const auto& [name, value] : response.headers) {
        if (name.compare("Connection", Qt::CaseInsensitive) == 0)
            return !headerHasToken(value, "close");
    }
    return clientKeepAlive;
}
} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, Responder responder, QObject* parent)
    : QObject(parent), m_socket(socket), m_responder(std::move(responder))
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpConnection::finish);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            abort();
    });
    // Bytes may have arrived before the connection was handed over.
    if (m_socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, &HttpConnection::onReadyRead);
}

void HttpConnection::abort()
{
    if (m_upstream)
        m_upstream->abort();
    m_socket->abort();
    finish();
}

void HttpConnection::finish()
{
    m_closing = true;
    deleteLater();
}

void HttpConnection::onReadyRead()
{
    const QByteArray data = m_socket->readAll();
    if (m_upstream) {
        if (m_tunnelOpen)
            m_upstream->write(data);
        else
            m_buffer += data;
        return;
    }
    m_buffer += data;
    processBuffer();
}

void HttpConnection::processBuffer()
{
    while (!m_busy && !m_closing && !m_upstream) {
        const HttpRequestParser::Result result = m_parser.parse(m_buffer);
        if (result == HttpRequestParser::Result::NeedMore)
            return;
        if (result == HttpRequestParser::Result::Error) {
            m_buffer.clear();
            deliver(HttpResponse::htmlError(m_parser.errorStatus()), false, false);
            return;
        }
        const HttpRequest& request = m_parser.request();
        const HttpResponse response = m_responder(request);
        const bool keepAlive = replyKeepsAlive(response, clientWantsKeepAlive(request));
        const bool headOnly = request.method == "HEAD";
        if (response.closeWithoutReply) {
            // Whatever earlier replies still sit in the write buffer go out first.
            m_closing = true;
            m_socket->disconnectFromHost();
            return;
        }
        if (response.neverAnswer) {
            m_busy = true;
            return;
        }
        if (!response.tunnelTo.isEmpty()) {
            startTunnel(response.tunnelTo);
            return;
        }
        if (response.delayMs > 0) {
            m_busy = true;
            QTimer::singleShot(response.delayMs, this, [this, response, keepAlive, headOnly] {
                m_busy = false;
                deliver(response, keepAlive, headOnly);
                processBuffer();
            });
            return;
        }
        deliver(response, keepAlive, headOnly);
    }
}

void HttpConnection::deliver(const HttpResponse& response, bool keepAlive, bool headOnly)
{
    if (m_closing)
        return;
    QByteArray bytes = response.serialize(keepAlive, headOnly);
    if (!headOnly && response.breakOffAfter >= 0 && response.breakOffAfter < response.body.size()) {
        bytes.chop(response.body.size() - response.breakOffAfter);
        m_socket->write(bytes);
        m_closing = true;
        if (response.breakOffWithReset)
            resetWhenWritten();
        else
            m_socket->disconnectFromHost();
        return;
    }
    m_socket->write(bytes);
    if (!keepAlive) {
        m_closing = true;
        m_socket->disconnectFromHost();
    }
}

void HttpConnection::resetWhenWritten()
{
    const auto reset = [this] {
        // Without lingering, closing the socket sends a reset instead of the orderly end.
        const linger noLinger{1, 0};
        const qintptr descriptor = m_socket->socketDescriptor();
        if (descriptor != -1)
            ::setsockopt(int(descriptor), SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
        abort();
    };
    m_socket->flush();
    if (m_socket->bytesToWrite() == 0) {
        reset();
        return;
    }
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this, reset] {
        if (m_socket->bytesToWrite() == 0)
            reset();
    });
}

void HttpConnection::startTunnel(const QByteArray& target)
{
    const qsizetype colon = target.lastIndexOf(':');
    QString host = QString::fromLatin1(target.left(colon));
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    bool portOk = false;
    const quint16 port = target.mid(colon + 1).toUShort(&portOk);
    // Tests never reach beyond this machine, so the tunnel only leads to the loopback interface.
    const bool loopback = host.compare(u"localhost", Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
    if (!portOk || !loopback) {
        deliver(HttpResponse::htmlError(403), false, false);
        return;
    }
    m_upstream = new QTcpSocket(this);
    connect(m_upstream, &QTcpSocket::connected, this, [this] {
        m_tunnelOpen = true;
        m_socket->write("HTTP/1.1 200 Connection established\r\n\r\n");
        if (!m_buffer.isEmpty())
            m_upstream->write(std::exchange(m_buffer, {}));
    });
    connect(m_upstream, &QTcpSocket::readyRead, this, [this] { m_socket->write(m_upstream->readAll()); });
    connect(m_upstream, &QTcpSocket::disconnected, this, [this] { m_socket->disconnectFromHost(); });
    connect(m_upstream, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_tunnelOpen) {
            m_socket->disconnectFromHost();
            return;
        }
        m_socket->write(HttpResponse::htmlError(502).serialize(false, false));
        m_closing = true;
        m_socket->disconnectFromHost();
    });
    m_upstream->connectToHost(host, port);
}
