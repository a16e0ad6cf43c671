// SPDX-License-Identifier: MIT
#include "TlsCapableServer.h"

#include <QSslConfiguration>
#include <QSslSocket>

void TlsCapableServer::setTls(const QSslCertificate& certificate, const QSslKey& key)
{
    m_certificate = certificate;
    m_key = key;
}

void TlsCapableServer::clearTls()
{
    m_certificate = QSslCertificate();
    m_key = QSslKey();
}

void TlsCapableServer::incomingConnection(qintptr socketDescriptor)
{
    if (!isTls()) {
        QTcpServer::incomingConnection(socketDescriptor);
        return;
    }
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        delete socket;
        return;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(m_certificate);
    configuration.setPrivateKey(m_key);
    // The server side asks for no client certificate.
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket->setSslConfiguration(configuration);
    socket->startServerEncryption();
    addPendingConnection(socket);
}
