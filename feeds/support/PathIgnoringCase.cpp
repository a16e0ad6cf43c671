// SPDX-License-Identifier: MIT
#include "PathIgnoringCase.h"

#include "FileFunctions.h"

#include <QFile>

#include <dirent.h>
#include <memory>
#include <optional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

struct Candidate
{
    QString name;
    timespec modified;
};

bool later(const timespec& a, const timespec& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

bool preferred(const Candidate& a, const Candidate& b)
{
    if (later(a.modified, b.modified))
        return true;
    return !later(b.modified, a.modified) && a.name < b.name;
}

} // namespace

QString PathIgnoringCase(const QString& folder, const QString& name)
{
    const QString typed = folder + u'/' + name;
    if (name.isEmpty() || name.contains(u'/') || FileExist(typed))
        return typed;

    const std::unique_ptr<DIR, int (*)(DIR*)> stream(
        ::opendir(QFile::encodeName(folder.isEmpty() ? u"/"_s : folder).constData()), &::closedir);
    if (!stream)
        return typed;
    const QString folded = name.toCaseFolded();
    std::optional<Candidate> best;
    while (const dirent* entry = ::readdir(stream.get())) {
        const QString entryName = QFile::decodeName(entry->d_name);
        if (entryName.toCaseFolded() != folded)
            continue;
        struct stat st
        {};
        if (::stat(QFile::encodeName(folder + u'/' + entryName).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const Candidate candidate{entryName, st.st_mtim};
        if (!best || preferred(candidate, *best))
            best = candidate;
    }
    return best ? folder + u'/' + best->name : typed;
}
