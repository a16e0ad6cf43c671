// SPDX-License-Identifier: MIT
#include "PasswordMask.h"

#include <QLineEdit>

void maskPassword(QLineEdit* box)
{
    box->setEchoMode(QLineEdit::Password);
    // 42 is "*"; the style sheet is the one place a widget can override the style's mask.
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
}
