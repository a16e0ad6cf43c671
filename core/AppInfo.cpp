// SPDX-License-Identifier: MIT
#include "AppInfo.h"

#include <QUrl>

using namespace Qt::StringLiterals;

AppInfo AppInfo::current()
{
    return AppInfo{u"Tallymeter"_s, u"Tallyroo"_s, TALLY_VERSION_MAJOR, TALLY_VERSION_MINOR, TALLY_VERSION_PATCH};
}

QString AppInfo::appKey() const
{
    return u"Software\\"_s + Title;
}

QString AppInfo::configKey() const
{
    return appKey() + u"\\Config"_s;
}

QString AppInfo::profileKey(int16_t profileNumber) const
{
    return profileNumber == 0 ? configKey() : configKey() + QString::number(profileNumber);
}

QString AppInfo::productSite()
{
    return QStringLiteral("https://www.tallyroo.example/");
}

QString AppInfo::productPage(const QString& page) const
{
    return productSite() + page + QStringLiteral("?src=") + QString::fromLatin1(QUrl::toPercentEncoding(ProductName));
}
