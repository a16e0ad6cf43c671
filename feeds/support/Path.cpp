// SPDX-License-Identifier: MIT
#include "Path.h"

#include <QByteArray>
#include <QFile>

#include <climits>
#include <unistd.h>

namespace {
// Where a /proc link points; empty when it cannot be read. The link's target length is not known
// beforehand, so the buffer grows until it fits.
QString linkTarget(const QByteArray& link)
{
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink(link.constData(), target.data(), size_t(target.size()));
        if (length < 0)
            return {};
        if (length < target.size()) {
            target.truncate(length);
            return QFile::decodeName(target);
        }
        if (target.size() >= 16 * PATH_MAX)
            return {};
        target.resize(target.size() * 2);
    }
}
} // namespace

int32_t GetVersion()
{
    return 2;
}

QString NameOfCaller()
{
    const int32_t platform = GetVersion();
    if (platform >= 2)
        return PathOfCaller_NT();
    if (platform == 1)
        return PathOfCaller_9x();
    return {};
}

QString PathOfCaller()
{
    const QString name = NameOfCaller();
    const qsizetype slash = name.lastIndexOf(u'/');
    return slash < 0 ? QString() : name.left(slash);
}

QString PathOfCaller_NT()
{
    return linkTarget(QByteArrayLiteral("/proc/self/exe"));
}

QString PathOfCaller_9x()
{
    return linkTarget("/proc/" + QByteArray::number(::getpid()) + "/exe");
}
