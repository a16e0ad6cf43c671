// SPDX-License-Identifier: MIT
#include "FeedCacheFiles.h"

#include "PathIgnoringCase.h"
#include "RunTimeError.h"

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

} // namespace Sarnick
