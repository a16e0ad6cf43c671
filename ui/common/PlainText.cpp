// SPDX-License-Identifier: MIT
#include "PlainText.h"

#include <QLabel>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace PlainText {

QLabel* label(QLabel* label)
{
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString toolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QString lines = text;
    lines.replace(u"\r\n"_s, u"\n"_s);
    return Qt::convertFromPlainText(lines, Qt::WhiteSpacePre);
}

void setToolTip(QWidget* widget, const QString& text)
{
    if (widget)
        widget->setToolTip(toolTip(text));
}

} // namespace PlainText
