// SPDX-License-Identifier: MIT
#include "ChartTexts.h"

#include "ChartModel.h"
#include "LogFrontEnd.h"
#include "NumberConversions.h"
#include "RunTimeError.h"
#include "TextRoutines.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

ValueAxisScale ValueAxisScale::forLargest(double largest)
{
    ValueAxisScale scale;
    if (!(largest > 0) || !std::isfinite(largest))
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

namespace {
// Figures go through the program's own formatters so that they carry the user's separators, as
// the grid and the summary do.
QString twoDecimals(double value)
{
    return FormatTwoDecimals(QString::number(value, 'g', 15), false);
}

// "0.0" of a figure given in tenths, halves away from zero; rounded first, the two-decimal text
// loses only its trailing 0. Tenths of a whole number of MB are exact, so no half is lost.
QString oneDecimal(double tenths)
{
    return twoDecimals(std::round(tenths) / 10).chopped(1);
}

// "0": halves round away from zero.
QString wholeNumber(double value)
{
    return FormatWholeNumber(NumberConversions::toLong(std::round(value)), false);
}
} // namespace

namespace ChartTexts {

QString GraphCaption(const QString& productName, const LocalDateTime& anniversary, const QString& username)
{
    const QString who = username.isEmpty() ? u"unknown"_s : StripDomain(username);
    return productName + u" Graph for "_s + MonthYearText(anniversary.date()) + u" ["_s + who + u']';
}

QString dayAxisLabel(const LocalDateTime& date)
{
    // With its day the month takes the form the locale gives it inside a date.
    return u"  "_s + QLocale().toString(date.date(), u"d MMM"_s);
}

QString monthLabel(const LocalDateTime& date)
{
    return MonthYearText(date.date(), true);
}

QString ReformatYAxisLabel(const QString& label, int32_t maximum, LogFrontEnd& log)
{
    try {
        const int32_t n = NumberConversions::toLong(label);
        if (n == 0)
            return label;
        if (n < 1000)
            return (maximum <= 1000 ? oneDecimal(n * 10.0) : wholeNumber(n)) + u"MB"_s;
        if (n < 1000000)
            return oneDecimal(n / 100.0) + u"GB"_s;
        return oneDecimal(n / 100000.0) + u"TB"_s;
    } catch (const RunTimeError& error) {
        log.LogMessage(u"ReformatYAxisLabel: runtime error while formatting axis label '"_s + label + u"':\r\n"_s +
                           error.text(),
                       3);
        return label;
    }
}

QString dailyToolTip(const QString& title, double y)
{
    return title + u": "_s + twoDecimals(y) + u" MB"_s;
}

QString monthlyToolTip(const QString& label, const QString& title, double y)
{
    return label + u' ' + title + u": "_s + wholeNumber(y) + u" MB"_s;
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
