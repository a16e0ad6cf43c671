// SPDX-License-Identifier: MIT
#include "LogFileWriter.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

using namespace Qt::StringLiterals;

LogFileWriter::LogFileWriter(TimeSource now) : m_now(std::move(now)) {}

QString LogFileWriter::rotatedName(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString base = info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.path() + u'/' + base + u".old"_s;
}

bool LogFileWriter::WriteToLog(const QString& fileName, int32_t maxSizeKB, const QString& text, int16_t level)
{
    const QByteArray line =
        (m_now().toString(u"yyyy-MM-ddTHH:mm:ss.zzz"_s) + u" ["_s + QString::number(level) + u"] "_s + text + u'\n')
            .toUtf8();

    const int64_t limit = int64_t(maxSizeKB > 0 ? maxSizeKB : DefaultMaxSizeKB) * 1024;
    const QFileInfo current(fileName);
    if (current.exists() && current.size() > 0 && current.size() + line.size() > limit) {
        const QString old = rotatedName(fileName);
        QFile::remove(old);
        if (!QFile::rename(fileName, old))
            QFile::remove(fileName); // never let a stuck rename grow the log without bound
    }

    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(line) == line.size();
}
