// SPDX-License-Identifier: MIT
#include "WindowUtilities.h"

#include "LogFrontEnd.h"

#include <malloc.h>

using namespace Qt::StringLiterals;

namespace {
// The title buffer holds 256 characters with the terminator.
constexpr qsizetype visibleTitleLength = 255;
} // namespace

bool TitleMatches(const QString& title, const QString& pattern, int32_t matchMode, bool caseSensitive)
{
    QString seen = title.left(visibleTitleLength);
    if (seen.isEmpty())
        return false;
    QString wanted = pattern;
    if (!caseSensitive) {
        seen = seen.toUpper();
        wanted = wanted.toUpper();
    }
    switch (matchMode) {
    case TitleMatch::BeginsWith:
        return seen.startsWith(wanted);
    case TitleMatch::Contains:
        return seen.contains(wanted);
    case TitleMatch::Exact:
        return seen == wanted;
    default:
        return false;
    }
}

qsizetype FindWindowByTitle(const QStringList& titles, const QString& pattern, int32_t matchMode, bool caseSensitive)
{
    for (qsizetype i = 0; i < titles.size(); ++i) {
        if (TitleMatches(titles.at(i), pattern, matchMode, caseSensitive))
            return i;
    }
    return -1;
}

void MemoryMinimise(LogFrontEnd& log)
{
    log.LogMessage(u"calling MemoryMinimise"_s, 6);
    malloc_trim(0);
}
