// SPDX-License-Identifier: MIT
#include "PrivateFolder.h"

#include "StandardLocations.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace PrivateFolder {

QString whyNotPrivate(const QString& folder)
{
    struct stat info = {};
    // lstat: a link could lead anywhere, also into another user's folder.
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISLNK(info.st_mode))
        return u"a symbolic link"_s;
    if (!S_ISDIR(info.st_mode))
        return u"not a folder"_s;
    if (info.st_uid != ::getuid())
        return u"owned by user "_s + QString::number(info.st_uid);
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return u"others may write to it (mode "_s + QString::number(info.st_mode & 07777, 8) + u')';
    return {};
}

QStringList candidates(const QString& name)
{
    // The temporary folder serves only where the home's cannot be had, which then holds for every
    // session alike.
    return {QDir::cleanPath(QDir(QDir::homePath()).filePath(u".cache/"_s + name)),
            QDir::tempPath() + u'/' + name + u'-' + QString::number(::getuid())};
}

QString forRuntimeFiles(const QString& name, QString& problem)
{
    problem.clear();
    for (const QString& folder : candidates(name)) {
        int error = 0;
        QString why;
        if (!StandardLocations::makePrivateFolder(folder, error))
            why = QString::fromLocal8Bit(std::strerror(error));
        else
            why = whyNotPrivate(folder);
        if (why.isEmpty())
            return folder;
        problem += (problem.isEmpty() ? QString() : u"\n"_s) + folder + u": "_s + why;
    }
    return {};
}

} // namespace PrivateFolder
