// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <cstdint>

class ChartModel;
class LogFrontEnd;

// The ticks of a value axis that starts at 0: a step of 1, 2 or 5 times a power of ten (never
// below 1, so every label is a whole number of MB) and a maximum that is a whole number of steps.
struct ValueAxisScale
{
    double maximum = 10;
    double step = 1;

    // At most ten steps up to the first step at or above largest; the smallest scale when there
    // is nothing (or no finite figure) to show.
    static ValueAxisScale forLargest(double largest);
    // 0, step, 2 step, ... maximum.
    QList<double> ticks() const;
};

// The texts of the graph window.
namespace ChartTexts {
// "<product> Graph for <mmmm yyyy> [<user without domain, or unknown>]".
QString GraphCaption(const QString& productName, const LocalDateTime& anniversary, const QString& username);
// Daily chart's date axis: "  d mmm".
QString dayAxisLabel(const LocalDateTime& date);
// Monthly chart's point labels: "mmm yyyy".
QString monthLabel(const LocalDateTime& date);
// A value-axis label in MB as MB, GB or TB, by the label's whole number and the axis maximum,
// with the user's decimal separator. A label that is no whole number is logged and returned
// unchanged.
QString ReformatYAxisLabel(const QString& label, int32_t maximum, LogFrontEnd& log);
// Daily chart, mouse over a point: "<title>: <y 0.00> MB".
QString dailyToolTip(const QString& title, double y);
// Monthly chart, mouse over a point: "<label> <title>: <y 0> MB".
QString monthlyToolTip(const QString& label, const QString& title, double y);
// The daily chart's tooltip for the mouse entering a series at x; empty when no point is there.
QString dailySeriesToolTip(const ChartModel& chart, int series, double x);
// The monthly chart's tooltip for the mouse at a position in axis units: the point under it of
// the first of the three areas that holds it; empty over none.
QString monthlyMouseToolTip(const ChartModel& chart, const QPointF& mouse);
} // namespace ChartTexts
