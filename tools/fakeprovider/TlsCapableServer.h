// SPDX-License-Identifier: MIT
#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

// A listening socket that hands out plain connections, or TLS server connections once a certificate
// and key are set (the handshake then runs on the socket before any HTTP is read).
class TlsCapableServer : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;

    void setTls(const QSslCertificate& certificate, const QSslKey& key);
    void clearTls();
    bool isTls() const { return !m_certificate.isNull(); }

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    QSslCertificate m_certificate;
    QSslKey m_key;
};
