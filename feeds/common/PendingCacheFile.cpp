// SPDX-License-Identifier: MIT
#include "PendingCacheFile.h"

#include "FileFunctions.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

PendingCacheFile::PendingCacheFile(QString cacheFile) : m_cacheFile(std::move(cacheFile))
{
    const qsizetype slash = m_cacheFile.lastIndexOf(u'/');
    m_path = m_cacheFile.left(slash + 1) + u'.' + m_cacheFile.mid(slash + 1) + u".pending"_s;
}

PendingCacheFile::~PendingCacheFile()
{
    if (m_saved)
        ::unlink(QFile::encodeName(m_path).constData());
}

void PendingCacheFile::save(const QByteArray& bytes)
{
    SaveFileBytes(m_path, bytes);
    m_bytes = bytes;
    m_saved = true;
}

void PendingCacheFile::commit()
{
    struct stat pending
    {};
    const bool timed = ::stat(QFile::encodeName(m_path).constData(), &pending) == 0;
    SaveFileBytes(m_cacheFile, m_bytes);
    // The time the data was reported with; should it not carry over, the file is a few moments
    // younger than its data, which costs nothing but that.
    if (timed) {
        const struct timespec times[2] = {pending.st_atim, pending.st_mtim};
        ::utimensat(AT_FDCWD, QFile::encodeName(m_cacheFile).constData(), times, 0);
    }
}
