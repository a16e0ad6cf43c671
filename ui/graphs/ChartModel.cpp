// SPDX-License-Identifier: MIT
#include "ChartModel.h"

#include "RunTimeError.h"

#include <QMap>
#include <QPair>

#include <algorithm>
#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace {
[[noreturn]] void outOfRange()
{
    throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
}
} // namespace

void ChartSeries::AddXY(double x, double y, const QString& label)
{
    m_points.append(ChartPoint{x, y, label, false});
}

void ChartSeries::AddNullXY(double x, double y, const QString& label)
{
    m_points.append(ChartPoint{x, y, label, true});
}

void ChartSeries::AddValue(double y, const QString& label)
{
    m_points.append(ChartPoint{double(m_points.size()), y, label, false});
}

void ChartSeries::AddNullValue(const QString& label)
{
    m_points.append(ChartPoint{double(m_points.size()), 0, label, true});
}

int32_t ChartSeries::MousePointIndex(double x) const
{
    for (qsizetype i = 0; i < m_points.size(); ++i) {
        if (std::abs(m_points[i].x - x) <= 0.5)
            return int32_t(i);
    }
    return -1;
}

const ChartPoint& ChartSeries::at(int32_t index) const
{
    if (index < 0 || index >= m_points.size())
        outOfRange();
    return m_points[index];
}

int32_t ChartModel::AddSeries(SeriesKind kind)
{
    m_series.append(ChartSeries(kind));
    return int32_t(m_series.size() - 1);
}

ChartSeries& ChartModel::Series(int32_t index)
{
    if (index < 0 || index >= m_series.size())
        outOfRange();
    return m_series[index];
}

const ChartSeries& ChartModel::Series(int32_t index) const
{
    if (index < 0 || index >= m_series.size())
        outOfRange();
    return m_series[index];
}

double ChartModel::largestDrawnValue() const
{
    double largest = 0;
    // Stacks keyed by kind and group, then by x.
    QMap<QPair<int, int>, QMap<double, double>> stacks;
    for (const ChartSeries& series : m_series) {
        if (!series.Active)
            continue;
        const bool stacked = series.kind() != SeriesKind::Line;
        for (const ChartPoint& point : series.points()) {
            if (point.isNull)
                continue;
            if (stacked) {
                double& top = stacks[{int(series.kind()), series.StackGroup}][point.x];
                top += std::max(0.0, point.y);
                largest = std::max(largest, top);
            } else {
                largest = std::max(largest, point.y);
            }
        }
    }
    return largest;
}

QList<AreaBand> ChartModel::areaBands(int32_t index) const
{
    const ChartSeries& target = Series(index);
    std::map<double, double> tops;
    for (int32_t i = 0; i < index; ++i) {
        const ChartSeries& below = m_series[i];
        if (below.kind() != SeriesKind::Area || !below.Active)
            continue;
        for (const ChartPoint& point : below.points()) {
            if (!point.isNull)
                tops[point.x] += std::max(0.0, point.y);
        }
    }
    QList<AreaBand> bands;
    for (const ChartPoint& point : target.points()) {
        const double lower = tops[point.x];
        bands.append(AreaBand{lower, lower + (point.isNull ? 0.0 : std::max(0.0, point.y))});
    }
    return bands;
}

int32_t ChartModel::MousePointIndex(int32_t index, const QPointF& mouse) const
{
    const ChartSeries& series = Series(index);
    if (!series.Active)
        return -1;
    if (series.kind() != SeriesKind::Area)
        return series.MousePointIndex(mouse.x());
    const QList<ChartPoint>& points = series.points();
    const QList<AreaBand> bands = areaBands(index);
    // An area is drawn straight from each point to the next.
    for (qsizetype k = 0; k + 1 < points.size(); ++k) {
        const double left = points[k].x;
        const double right = points[k + 1].x;
        if (!(right > left) || mouse.x() < left || mouse.x() > right)
            continue;
        const double t = (mouse.x() - left) / (right - left);
        const double lower = bands[k].lower + t * (bands[k + 1].lower - bands[k].lower);
        const double upper = bands[k].upper + t * (bands[k + 1].upper - bands[k].upper);
        if (upper > lower && mouse.y() >= lower && mouse.y() <= upper)
            return int32_t(t <= 0.5 ? k : k + 1);
    }
    return -1;
}
