// SPDX-License-Identifier: MIT
#include "TwoDecimals.h"

#include "TextRoutines.h"

#include <QLocale>

namespace {
double numberOf(const QString& plainText)
{
    return QLocale::c().toDouble(plainText);
}
} // namespace

namespace TwoDecimals {

QString text(float value)
{
    return FormatPlainDecimals(singleText(value));
}

double stored(float value)
{
    return numberOf(text(value));
}

float figure(float value)
{
    return float(stored(value));
}

float sum(double total)
{
    // Every digit a double holds: the rounding then sees the sum as it is.
    return float(numberOf(FormatPlainDecimals(QString::number(total, 'g', 17))));
}

} // namespace TwoDecimals
