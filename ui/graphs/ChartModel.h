// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

#include <cstdint>

// Kinds of series, numbered as the chart's AddSeries takes them.
enum class SeriesKind : int { Line = 0, Bar = 1, Area = 3 };

// One point of a series. A null point keeps its place on the date axis and is not drawn.
struct ChartPoint
{
    double x = 0;
    double y = 0;
    QString label;
    bool isNull = false;
};

// A series of a chart, free of any drawing: what the chart logic reads and writes. Points
// always take the series' own colour.
class ChartSeries
{
public:
    explicit ChartSeries(SeriesKind kind) : m_kind(kind) {}

    SeriesKind kind() const { return m_kind; }

    bool Active = true;
    QString Title;
    QColor SeriesColor;
    QColor OutlineColor; // outline of bars and areas; the line of a line, else SeriesColor
    int StackGroup = 0;  // bars of one group stack into one bar per x value
    int BarWidthPercent = 70;

    void Clear() { m_points.clear(); }
    void AddXY(double x, double y, const QString& label = {});
    void AddNullXY(double x, double y, const QString& label = {});
    // At the next position (x = the point count).
    void AddValue(double y, const QString& label = {});
    void AddNullValue(const QString& label = {});

    int32_t PointCount() const { return int32_t(m_points.size()); }
    // These raise RunTimeError 9 for an index outside the points.
    double XValue(int32_t index) const { return at(index).x; }
    double YValue(int32_t index) const { return at(index).y; }
    QString PointLabel(int32_t index) const { return at(index).label; }
    bool isNullPoint(int32_t index) const { return at(index).isNull; }
    const QList<ChartPoint>& points() const { return m_points; }

    // The point whose slot (half a unit either side of its x) holds x, or -1 for none.
    int32_t MousePointIndex(double x) const;

private:
    const ChartPoint& at(int32_t index) const;

    SeriesKind m_kind;
    QList<ChartPoint> m_points;
};

// Where one point of an area series lies once the areas are stacked: from lower to upper.
struct AreaBand
{
    double lower = 0;
    double upper = 0;
};

// How the date axis labels its points.
enum class DateAxisFormat { DayMonth, MonthYear };

// The series of one chart in order; index i is the chart's series i.
class ChartModel
{
public:
    void RemoveAllSeries() { m_series.clear(); }
    // The new series' index (SeriesCount - 1).
    int32_t AddSeries(SeriesKind kind);
    int32_t SeriesCount() const { return int32_t(m_series.size()); }
    // Raises RunTimeError 9 for an index outside the series.
    ChartSeries& Series(int32_t index);
    const ChartSeries& Series(int32_t index) const;

    DateAxisFormat dateAxisFormat = DateAxisFormat::DayMonth;

    // The largest value drawn: active bars and areas stacked per group at each x, lines alone.
    double largestDrawnValue() const;
    // The points of an area series stacked on the active areas before it, one band per point.
    QList<AreaBand> areaBands(int32_t index) const;
    // The point the chart reports for the mouse at a position in axis units, -1 for none. An
    // area reports the point nearest the mouse while the mouse lies inside the area as drawn;
    // other kinds report the point whose slot holds the mouse's x. A hidden series reports none.
    int32_t MousePointIndex(int32_t index, const QPointF& mouse) const;

private:
    QList<ChartSeries> m_series;
};
