// SPDX-License-Identifier: MIT
#include "CacheFolder.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString DeriveCacheFolder(const QString& programFolder, const QString& componentFolder, const QString& perUserFolder,
                          const StatusSink& report)
{
    QString folder = programFolder;
    if (folder.isEmpty()) {
        report(u"PathOfCaller failed, defaulting to App.Path"_s, 4);
        folder = componentFolder;
    }
    const QFileInfo info(folder);
    if (!folder.isEmpty() && info.isDir() && info.isWritable())
        return folder;
    QDir().mkpath(perUserFolder);
    report(u"cannot write to "_s + folder + u", using "_s + perUserFolder, 6);
    return perUserFolder;
}
