// SPDX-License-Identifier: MIT
#include "FeedCacheFiles.h"

#include "FileFunctions.h"
#include "PathIgnoringCase.h"
#include "RunTimeError.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace Sarnick {

namespace {

constexpr int32_t BadFileName = 52;

// Every ".xml" of the file name becomes "_h.xml".
QString historicalName(const QString& name)
{
    return QString(name).replace(u".xml"_s, u"_h.xml"_s);
}

} // namespace

FeedCacheFiles FeedCacheFiles::forUser(const QString& folder, const QString& cleanUser, int16_t profile)
{
    if (cleanUser.contains(u'/') || cleanUser.contains(u'\\') || cleanUser.contains(QChar(0)))
        throw RunTimeError(BadFileName,
                           u"Bad file name or number: the user name '"_s + cleanUser + u"' cannot name a cache file"_s);
    const QString name = cleanUser + u".xml"_s;
    const QString legacyName = u"volumeusage"_s + (profile == 0 ? QString() : QString::number(profile)) + u".xml"_s;
    return {PathIgnoringCase(folder, name), PathIgnoringCase(folder, historicalName(name)),
            PathIgnoringCase(folder, legacyName), PathIgnoringCase(folder, historicalName(legacyName))};
}

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
    m_saved = true;
}

void PendingCacheFile::commit()
{
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_cacheFile).constData()) != 0) {
        const int err = errno;
        if (err == EACCES || err == EPERM)
            throw RunTimeError(RunTimeErrorNumber::PermissionDenied, u"Permission denied"_s, u"SaveFile"_s);
        throw RunTimeError(RunTimeErrorNumber::PathFileAccessError, u"Path/File access error"_s, u"SaveFile"_s);
    }
    m_saved = false;
}

} // namespace Sarnick
