// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QLabel;
class QWidget;

// Texts from the provider or the user are shown as their characters, never as markup: Qt reads a
// label or tooltip that looks like markup as rich text, which restyles it and loads the pictures
// it names.
namespace PlainText {

// The label, made to show its text as plain text.
QLabel* label(QLabel* label);

// A tooltip text that shows text as it stands: unchanged where Qt takes it for plain text, else
// escaped and marked as rich text that spells out the characters.
QString toolTip(const QString& text);

void setToolTip(QWidget* widget, const QString& text);

} // namespace PlainText
