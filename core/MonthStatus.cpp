// SPDX-License-Identifier: MIT
#include "MonthStatus.h"

using namespace Qt::StringLiterals;

QString GetUsageStatus(float quota, float elapsed, float percent)
{
    if (quota == 0)
        return u"ok"_s;
    if (percent > 100)
        return u"over"_s;
    if (percent <= elapsed)
        return u"ok"_s;
    return u"warn"_s;
}

QString GetShapingStatusText(int16_t status, const QString& speed)
{
    if (status < -3)
        return u"Unknown shaping status"_s;
    if (status < 0)
        return u"Possible shaping (tier "_s + QString::number(-status) + u')';
    if (status == 0)
        return u"Unshaped"_s;
    if (status == 1)
        return speed.isEmpty() ? u"Shaped"_s : u"Shaped to "_s + speed + u'k';
    return u"Shaped to "_s + QString::number(status) + u'k';
}

double MaxValue(double a, double b)
{
    return a <= b ? b : a;
}
