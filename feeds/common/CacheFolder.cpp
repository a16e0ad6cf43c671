// SPDX-License-Identifier: MIT
#include "CacheFolder.h"

#include "StandardLocations.h"

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
    int ignored = 0;
    StandardLocations::makePrivateFolder(perUserFolder, ignored);
    report(u"cannot write to "_s + folder + u", using "_s + perUserFolder, 6);
    return perUserFolder;
}

QString PerUserCacheFolder(const QString& dataHome, const QString& hostProduct, const QString& componentTitle)
{
    return dataHome + u'/' + (hostProduct.isEmpty() ? componentTitle : hostProduct);
}
