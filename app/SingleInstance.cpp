// SPDX-License-Identifier: MIT
#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QSysInfo>
#include <QTimer>

#include <sys/un.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray ShowRequest = "show\n";
const QByteArray ShownAnswer = "shown\n";
const QByteArray NothingToShowAnswer = "nothing\n";
// The longest path a local socket can be bound or connected to, less its closing zero.
constexpr qsizetype MaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;

// A short tag of the computer's name. The folder lies below the home, which several computers
// may share (a home on a network file system): each computer runs a copy of its own, and a copy
// on one cannot tell whether the lock's owner on another is still alive. Short, because the
// socket's whole path must fit in 107 bytes.
QString machineTag()
{
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(host, QCryptographicHash::Sha1).toHex().left(6));
}
} // namespace

QString SingleInstance::baseName(const QString& title, const QString& folder)
{
    // The folder is the user's alone, so the names need not carry the user's id.
    return QDir(folder).filePath(title + u'-' + machineTag());
}

SingleInstance::SingleInstance(const QString& title, const QString& folder)
    : m_lockPath(baseName(title, folder) + u".lock"_s), m_socketPath(baseName(title, folder) + u".socket"_s),
      m_lock(m_lockPath)
{
    // Never stale by age: a copy may run for months. A lock whose process is gone is still
    // recognised and taken over.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock.isLocked())
        m_lock.unlock();
}

QString SingleInstance::unreachableBecause() const
{
    const qsizetype length = QFile::encodeName(m_socketPath).size();
    if (length <= MaxSocketPath)
        return {};
    return u"the path of its socket, "_s + m_socketPath + u", is "_s + QString::number(length) +
           u" bytes long, and a local socket's path may be at most "_s + QString::number(MaxSocketPath) + u" bytes"_s;
}

SingleInstance::Claim SingleInstance::claim(int answerMs)
{
    if (claimIfFree())
        return Claim::First;
    return askRunningCopy(answerMs) ? Claim::ActivatedOther : Claim::OtherNotShown;
}

bool SingleInstance::claimIfFree()
{
    if (!m_lock.tryLock(0))
        return false;
    serve();
    return true;
}

void SingleInstance::serve()
{
    // A socket file left by a crashed copy would make listen fail.
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath))
        return;
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == ShowRequest) {
                    const bool shown = m_onActivate && m_onActivate();
                    socket->write(shown ? ShownAnswer : NothingToShowAnswer);
                    socket->flush();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::askRunningCopy(int answerMs)
{
    QLocalSocket socket;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // An event loop rather than the blocking waits, so a running copy in this same thread (tests)
    // can answer.
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::connected, &loop, [&socket] { socket.write(ShowRequest); });
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (socket.canReadLine())
            loop.quit();
    });
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    socket.connectToServer(m_socketPath);
    timer.start(answerMs);
    loop.exec();
    return socket.canReadLine() && socket.readLine() == ShownAnswer;
}
