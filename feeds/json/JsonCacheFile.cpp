// SPDX-License-Identifier: MIT
#include "JsonCacheFile.h"

#include "PathIgnoringCase.h"
#include "RunTimeError.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

constexpr int32_t BadFileName = 52;

QString withoutSeparators(QString part)
{
    part.replace(u'/', u'_');
    part.replace(u'\\', u'_');
    part.replace(QChar(0), u'_');
    return part;
}

} // namespace

QString JsonCacheFile::path(const QString& folder, const QString& user, const QString& service, bool historical)
{
    QString name = withoutSeparators(user);
    if (!service.isEmpty())
        name += u'-' + withoutSeparators(service);
    name += historical ? u"_h-json.txt"_s : u"-json.txt"_s;

    // Without separators the name is one entry of the folder, and the suffix rules out "." and "..";
    // the check keeps it so should the naming ever change.
    if (QFileInfo(folder + u'/' + name).fileName() != name || name == u"."_s || name == u".."_s)
        throw RunTimeError(BadFileName, u"Bad file name or number"_s);
    return PathIgnoringCase(folder, name);
}
