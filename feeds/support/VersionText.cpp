// SPDX-License-Identifier: MIT
#include "VersionText.h"

#include "FileVersionInfo.h"
#include "Path.h"
#include "RunTimeError.h"

using namespace Qt::StringLiterals;

QString GetFileVersion(const QString& path, QString& productName)
{
    try {
        clsFileVersionInfo info;
        info.setFileName(path);
        productName = info.ProductName();
        return CleanupVersionNumber(info.FileVersion());
    } catch (const RunTimeError&) {
        return u"unknown"_s;
    }
}

QString CallerVersionInfo()
{
    QString product;
    const QString version = GetFileVersion(NameOfCaller(), product);
    if (version == u"unknown")
        return u"unknown app"_s;
    return product + u' ' + CleanupVersionNumber(version);
}

QString CleanupVersionNumber(const QString& version)
{
    QString text = version;
    // First collapse runs of zeros after a dot to one ("1.0002" -> "1.02")...
    for (qsizetype at = text.indexOf(u".00"); at >= 0; at = text.indexOf(u".00"))
        text.replace(at, 3, u".0"_s);
    // ...then drop a remaining leading zero when a digit follows it ("1.02" -> "1.2", "1.0" stays).
    for (qsizetype at = text.indexOf(u".0"); at >= 0; at = text.indexOf(u".0", at + 1)) {
        if (at + 2 < text.size() && text.at(at + 2).isDigit())
            text.remove(at + 1, 1);
    }
    return text;
}
