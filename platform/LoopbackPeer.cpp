// SPDX-License-Identifier: MIT
#include "LoopbackPeer.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <arpa/inet.h>
#include <dirent.h>
#include <unistd.h>

namespace {

// The system's inode number of the socket that connects from peerPort to port, as its table of IPv4
// connections lists it (addresses in the byte order of the machine, as the kernel writes them); 0
// when it lists none.
QByteArray socketInode(quint16 peerPort, quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    const QByteArray loopback = QByteArray::number(htonl(INADDR_LOOPBACK), 16).rightJustified(8, '0').toUpper();
    const auto address = [&loopback](quint16 p) -> QByteArray {
        return loopback + ':' + QByteArray::number(p, 16).rightJustified(4, '0').toUpper();
    };
    const QByteArray local = address(peerPort);
    const QByteArray remote = address(port);
    // The system gives the table no size, so only an empty read tells its end.
    for (QByteArray line; !(line = table.readLine()).isEmpty();) {
        // sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ...
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 9 && fields.at(1) == local && fields.at(2) == remote)
            return fields.at(9);
    }
    return {};
}

} // namespace

namespace LoopbackPeer {

bool isOwnProcess(quint16 peerPort, quint16 port)
{
    const QByteArray inode = socketInode(peerPort, port);
    if (inode.isEmpty() || inode == "0")
        return false;
    const QByteArray wanted = "socket:[" + inode + ']';
    DIR* fds = opendir("/proc/self/fd");
    if (!fds)
        return false;
    bool found = false;
    while (const dirent* entry = readdir(fds)) {
        char target[64];
        const QByteArray path = QByteArray("/proc/self/fd/") + entry->d_name;
        const ssize_t length = readlink(path.constData(), target, sizeof target);
        if (length > 0 && QByteArrayView(target, length) == wanted) {
            found = true;
            break;
        }
    }
    closedir(fds);
    return found;
}

} // namespace LoopbackPeer
