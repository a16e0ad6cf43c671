// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The tray's pictures by key, and the program's own icon. All are drawn here, per pixel size, so
// they stay sharp at the 16 and 22 pixels of the usual notification areas. Needs a
// QGuiApplication.
class imgTray
{
public:
    // "timer_enabled", "timer_disabled", "error", "none_none", the nine "<peak>_<off-peak>" states
    // and "working1" to "working9".
    static const QStringList& keys();

    // A null icon or pixmap for a key that is not in keys(). The same key gives the same icon.
    static QIcon icon(const QString& key);
    // The pixmap is size logical pixels wide, drawn at the given device pixel ratio.
    static QPixmap pixmap(const QString& key, int size = 16, qreal ratio = 1.0);

    // The program's icon at 16, 22, 32, 48, 64, 128 and 256 pixels.
    static QIcon applicationIcon();
    static QPixmap applicationPixmap(int size);

    // The sizes every icon() carries.
    static const QList<int>& iconSizes();
};
