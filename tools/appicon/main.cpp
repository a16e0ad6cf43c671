// SPDX-License-Identifier: MIT
// appicon <folder>: writes the program's icon, as the tray draws it, into an icon theme folder
// (<folder>/<n>x<n>/apps/tallymeter.png) at the sizes desktops ask for. Run by the build.
#include "TrayPictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: appicon <folder>\n";
        return 2;
    }
    // Drawing needs no screen. The platform still asks for the user's runtime folder, which a
    // build machine or a package builder's chroot may not have: a private one for this run.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QGuiApplication app(argc, argv);
    const QString folder = app.arguments().at(1);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString sizeName = QString::number(size) + u'x' + QString::number(size);
        const QString apps = folder + u'/' + sizeName + u"/apps"_s;
        const QString file = apps + u"/tallymeter.png"_s;
        if (!QDir().mkpath(apps) || !TrayPictures::application(size).save(file)) {
            QTextStream(stderr) << "appicon: cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}
