// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QStyle>

class QWidget;

// The 32 x 32 picture at the top left of a small dialog: the application's icon when the program
// has set one, else the desktop style's own icon of the given kind.
QPixmap dialogIcon(const QWidget* widget, QStyle::StandardPixmap fallback);
