// SPDX-License-Identifier: MIT
#include "PendingCacheFile.h"

#include "FileFunctions.h"
#include "RunTimeError.h"
#include "UsageDataCommon.h"
#include "clsWinHTTP.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
constexpr int MaxNameAttempts = 100;
const QString Suffix = u".pending"_s;

QString folderOf(const QString& cacheFile)
{
    return cacheFile.left(cacheFile.lastIndexOf(u'/') + 1);
}

QString nameOf(const QString& cacheFile)
{
    return cacheFile.mid(cacheFile.lastIndexOf(u'/') + 1);
}

bool allDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}
} // namespace

const int64_t PendingCacheFile::StaleAfterSeconds =
    (clsWinHTTP::waitLimitMs(UsageDataCommon::LongestTimeout) + 999) / 1000;

PendingCacheFile::PendingCacheFile(QString cacheFile) : m_cacheFile(std::move(cacheFile)) {}

PendingCacheFile::~PendingCacheFile()
{
    if (m_saved)
        ::unlink(QFile::encodeName(m_path).constData());
}

bool PendingCacheFile::isPendingName(const QString& name, const QString& cacheFileName)
{
    // "." name "." process "-" serial ".pending"; an earlier release's was "." name ".pending".
    const QString start = u'.' + cacheFileName;
    if (!name.startsWith(start) || !name.endsWith(Suffix))
        return false;
    const QStringView middle = QStringView(name).mid(start.size(), name.size() - start.size() - Suffix.size());
    if (middle.isEmpty())
        return true;
    const qsizetype dash = middle.indexOf(u'-');
    return middle.startsWith(u'.') && dash > 0 && allDigits(middle.mid(1, dash - 1)) && allDigits(middle.mid(dash + 1));
}

void PendingCacheFile::removeStale() const
{
    const QString folder = folderOf(m_cacheFile);
    const QString cacheName = nameOf(m_cacheFile);
    const QStringList names = QDir(folder.isEmpty() ? u"."_s : folder).entryList(QDir::Files | QDir::Hidden);
    const time_t now = ::time(nullptr);
    for (const QString& name : names) {
        if (!isPendingName(name, cacheName))
            continue;
        const QByteArray path = QFile::encodeName(folder + name);
        struct stat file
        {};
        // A file of the future is some clock's error, not a leftover.
        if (::lstat(path.constData(), &file) == 0 && S_ISREG(file.st_mode) &&
            int64_t(now) - int64_t(file.st_mtim.tv_sec) > StaleAfterSeconds)
            ::unlink(path.constData());
    }
}

void PendingCacheFile::save(const QByteArray& bytes)
{
    removeStale();
    static std::atomic<unsigned> serial{0};
    const QString start =
        folderOf(m_cacheFile) + u'.' + nameOf(m_cacheFile) + u'.' + QString::number(::getpid()) + u'-';
    // A name that a dead process of the same number left is stepped over.
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        const QString candidate = start + QString::number(serial.fetch_add(1)) + Suffix;
        if (SaveNewFileBytes(candidate, bytes)) {
            m_path = candidate;
            m_bytes = bytes;
            m_saved = true;
            return;
        }
    }
    throw RunTimeError(RunTimeErrorNumber::PathFileAccessError, u"Path/File access error"_s, u"SaveFile"_s);
}

void PendingCacheFile::commit()
{
    struct stat pending
    {};
    const bool timed = m_saved && ::stat(QFile::encodeName(m_path).constData(), &pending) == 0;
    SaveFileBytes(m_cacheFile, m_bytes);
    // The time the data was reported with; should it not carry over, the file is a few moments
    // younger than its data, which costs nothing but that.
    if (timed) {
        const struct timespec times[2] = {pending.st_atim, pending.st_mtim};
        ::utimensat(AT_FDCWD, QFile::encodeName(m_cacheFile).constData(), times, 0);
    }
}
