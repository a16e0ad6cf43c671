// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

namespace Sarnick {

// The cache files of one user in the cache folder: the current month's "<user>.xml", the earlier
// month's "<user>_h.xml", and the "volumeusage[<profile>].xml" pair that earlier releases kept
// per profile. Each is the file already there under the name in other letters, if there is one.
struct FeedCacheFiles
{
    QString current;
    QString historical;
    QString legacy;
    QString legacyHistorical;

    // cleanUser is the user name without its domain. Raises RunTimeError 52 for a name that
    // cannot name a file of its own in the folder (one holding a path separator or a NUL).
    static FeedCacheFiles forUser(const QString& folder, const QString& cleanUser, int16_t profile);

    const QString& cacheFile(bool historical) const { return historical ? this->historical : current; }
    const QString& legacyFile(bool historical) const { return historical ? legacyHistorical : legacy; }
};

// A fetched reply waits in a hidden file beside the cache file until the retrieval has succeeded,
// and only then takes the cache file's place, so a failed or refused fetch never costs the last
// good reply. The object removes its pending file when it goes, unless committed.
class PendingCacheFile
{
public:
    explicit PendingCacheFile(QString cacheFile);
    ~PendingCacheFile();
    PendingCacheFile(const PendingCacheFile&) = delete;
    PendingCacheFile& operator=(const PendingCacheFile&) = delete;

    const QString& path() const { return m_path; }
    // Stores the bytes exactly; raises RunTimeError with source "SaveFile" as SaveFile does.
    void save(const QByteArray& bytes);
    // Replaces the cache file with the pending one in one step; raises RunTimeError on failure.
    void commit();

private:
    QString m_cacheFile;
    QString m_path;
    bool m_saved = false;
};

} // namespace Sarnick
