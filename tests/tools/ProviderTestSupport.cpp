// SPDX-License-Identifier: MIT
#include "ProviderTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QSslCertificate>
#include <QThread>

using namespace Qt::StringLiterals;

namespace ProviderTestSupport {
QString providerData()
{
    return QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider";
}

QString tlsFolder()
{
    return QStringLiteral(TALLY_FIXTURES_DIR) + u"/tls";
}

Fetched get(QNetworkAccessManager& manager, const QNetworkRequest& request)
{
    QElapsedTimer clock;
    clock.start();
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    Fetched fetched;
    fetched.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    fetched.reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
    if (reply->isOpen())
        fetched.body = reply->readAll();
    fetched.error = reply->error();
    fetched.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    fetched.elapsedMs = clock.elapsed();
    reply->deleteLater();
    return fetched;
}

Fetched get(QNetworkAccessManager& manager, const QString& url)
{
    return get(manager, QNetworkRequest(QUrl(url)));
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

RawClient::RawClient(quint16 port)
{
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { m_received += m_socket.readAll(); });
    QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, [this] { m_closed = true; });
    m_socket.connectToHost(QHostAddress::LocalHost, port);
}

void RawClient::send(const QByteArray& bytes)
{
    m_socket.write(bytes);
}

bool RawClient::waitForReplies(int count, int timeoutMs)
{
    return waitFor([&] { return m_received.count("HTTP/1.1 ") >= count; }, timeoutMs);
}

bool RawClient::waitForClose(int timeoutMs)
{
    return waitFor([&] { return m_closed; }, timeoutMs);
}

TrustTestAuthority::TrustTestAuthority() : m_saved(QSslConfiguration::defaultConfiguration())
{
    QSslConfiguration trusting = m_saved;
    m_loaded = trusting.addCaCertificates(tlsFolder() + u"/ca.pem");
    QSslConfiguration::setDefaultConfiguration(trusting);
}

TrustTestAuthority::~TrustTestAuthority()
{
    QSslConfiguration::setDefaultConfiguration(m_saved);
}
} // namespace ProviderTestSupport
