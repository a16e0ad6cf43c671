// SPDX-License-Identifier: MIT
#include "ChartTexts.h"

#include "ChartModel.h"
#include "Dates.h"
#include "LogFrontEnd.h"
#include "RunTimeError.h"
#include "TextRoutines.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

ValueAxisScale ValueAxisScale::forLargest(double largest)
{
    ValueAxisScale scale;
    if (!(largest > 0))
        return scale;
    for (double power = 1;; power *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * power;
            const double steps = std::ceil(largest / step);
            if (steps <= 10) {
                scale.step = step;
                scale.maximum = steps * step;
                return scale;
            }
        }
    }
}

QList<double> ValueAxisScale::ticks() const
{
    QList<double> result;
    const int count = int(std::lround(maximum / step));
    for (int i = 0; i <= count; ++i)
        result.append(i * step);
    return result;
}

namespace ChartTexts {

QString GraphCaption(const QString& productName, const LocalDateTime& anniversary, const QString& username)
{
    const QString who = username.isEmpty() ? u"unknown"_s : StripDomain(username);
    return productName + u" Graph for "_s + QLocale::c().toString(anniversary.date(), u"MMMM yyyy"_s) + u" ["_s + who +
           u']';
}

QString dayAxisLabel(const LocalDateTime& date)
{
    return u"  "_s + QLocale::c().toString(date.date(), u"d MMM"_s);
}

QString monthLabel(const LocalDateTime& date)
{
    return QLocale::c().toString(date.date(), u"MMM yyyy"_s);
}

QString ReformatYAxisLabel(const QString& label, int32_t maximum, LogFrontEnd& log)
{
    try {
        const std::optional<double> value = readNumericText(label);
        if (!value || std::abs(*value) > 2147483647.0)
            throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
        const double n = roundHalfEven(*value);
        if (n == 0)
            return label;
        if (n < 1000)
            return QString::number(n, 'f', maximum <= 1000 ? 1 : 0) + u"MB"_s;
        if (n < 1000000)
            return QString::number(n / 1000, 'f', 1) + u"GB"_s;
        return QString::number(n / 1000000, 'f', 1) + u"TB"_s;
    } catch (const RunTimeError& error) {
        log.LogMessage(u"ReformatYAxisLabel: runtime error while formatting axis label '"_s + label + u"':\r\n"_s +
                           error.text(),
                       3);
        return label;
    }
}

QString dailyToolTip(const QString& title, double y)
{
    return title + u": "_s + QString::number(y, 'f', 2) + u" MB"_s;
}

QString monthlyToolTip(const QString& label, const QString& title, double y)
{
    return label + u' ' + title + u": "_s + QString::number(std::round(y), 'f', 0) + u" MB"_s;
}

QString dailySeriesToolTip(const ChartModel& chart, int series, double x)
{
    if (series < 0 || series >= chart.SeriesCount())
        return {};
    const ChartSeries& hovered = chart.Series(series);
    const int32_t point = hovered.MousePointIndex(x);
    if (point < 0 || hovered.isNullPoint(point))
        return {};
    return dailyToolTip(hovered.Title, hovered.YValue(point));
}

QString monthlyMouseToolTip(const ChartModel& chart, const QPointF& mouse)
{
    for (int series = 0; series <= 2 && series < chart.SeriesCount(); ++series) {
        // Our chart reports the point under the mouse itself, so that point is the one named.
        const int32_t point = chart.MousePointIndex(series, mouse);
        if (point >= 0) {
            const ChartSeries& area = chart.Series(series);
            return monthlyToolTip(area.PointLabel(point), area.Title, area.YValue(point));
        }
    }
    return {};
}

} // namespace ChartTexts
