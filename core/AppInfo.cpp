// SPDX-License-Identifier: MIT
#include "AppInfo.h"

#include "FileVersionInfo.h"
#include "Path.h"
#include "RunTimeError.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
// The product name and version come from the version block of the running program's file, as
// users and the about box see them; a program built without one (a test program) has the numbers
// this build was made with.
AppInfo readCurrent()
{
    AppInfo app{u"Tallymeter"_s, u"Tallyroo"_s, TALLY_VERSION_MAJOR, TALLY_VERSION_MINOR, TALLY_VERSION_PATCH};
    try {
        clsFileVersionInfo info;
        info.setFileName(NameOfCaller());
        if (const QString product = info.ProductName(); !product.isEmpty())
            app.ProductName = product;
        app.Major = int(info.fixedInfo().major);
        app.Minor = int(info.fixedInfo().minor);
        app.Revision = int(info.fixedInfo().patch);
    } catch (const RunTimeError&) {
    }
    return app;
}
} // namespace

AppInfo AppInfo::current()
{
    static const AppInfo app = readCurrent();
    return app;
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
