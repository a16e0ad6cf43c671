// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

// Every caption of the shown dialog is drawn whole in the font the desktop gives it: a one-line
// label or button is at least as wide as its text (each line of it). (The dialogs ask for fonts of another
// platform; what counts is that their texts fit in whatever font stands in.)
inline void expectTextsDrawnWhole(QWidget& dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->wordWrap() || label->text().isEmpty())
            continue;
        for (const QString& line : label->text().split(u'\n')) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(line.trimmed()), label->contentsRect().width())
                << label->objectName().toStdString() << ": " << line.toStdString();
        }
    }
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty())
            continue;
        QString text = button->text();
        text.remove(u'&');
        EXPECT_LT(button->fontMetrics().horizontalAdvance(text), button->width()) << button->objectName().toStdString();
    }
}
