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

} // namespace Sarnick
