// SPDX-License-Identifier: MIT
#include "DialogIcon.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

QPixmap dialogIcon(const QWidget* widget, QStyle::StandardPixmap fallback)
{
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = widget->style()->standardIcon(fallback, nullptr, widget);
    return icon.pixmap(QSize(32, 32), widget->devicePixelRatioF());
}
