// SPDX-License-Identifier: MIT
#pragma once

#include "MonthDescription.h"

#include <QByteArray>
#include <QString>

// The XML usage feed's replies: a month's usage document and the error document.
class MonthXmlRenderer
{
public:
    static QByteArray usage(const MonthDescription& month);
    static QByteArray error(const QString& text);
};
