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
