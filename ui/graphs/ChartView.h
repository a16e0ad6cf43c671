// SPDX-License-Identifier: MIT
#pragma once

#include "ChartModel.h"
#include "ChartTexts.h"

#include <QChartView>
#include <QStringList>

#include <functional>
#include <optional>

class QAbstractSeries;
class QCategoryAxis;
class QLegendMarker;
class QMouseEvent;

// A chart control over Qt Charts: it draws its ChartModel when told to (RedrawChart), with the
// date axis labelled per point and the value axis from 0 in whole steps. Each bar is drawn as a
// rectangle of its own (an area with its outline), so that stack groups can stand side by side
// within a day's slot, which Qt's bar series cannot do.
class ChartView : public QChartView
{
    Q_OBJECT

public:
    // Turns a value-axis label into the text shown, given the axis maximum.
    using LabelFormatter = std::function<QString(const QString& label, double maximum)>;

    explicit ChartView(QWidget* parent = nullptr);

    ChartModel& model() { return m_model; }
    const ChartModel& model() const { return m_model; }

    bool DrawingEnabled() const { return m_drawingEnabled; }
    void setDrawingEnabled(bool enabled) { m_drawingEnabled = enabled; }
    // Draws the model again; nothing while drawing is off.
    void RedrawChart();
    double ValueAxisMaximum() const { return m_scale.maximum; }

    void setValueLabelFormatter(LabelFormatter formatter) { m_formatter = std::move(formatter); }

    // The axes' labels after the last redraw, bottom to top and left to right, whole; where they
    // would overlap only some of them are drawn (AxisLabelThinning).
    QStringList valueAxisLabels() const { return m_valueLabels; }
    QStringList dateAxisLabels() const { return m_dateLabels; }
    // The model's indexes of the series drawn (active ones) after the last redraw.
    QList<int> drawnSeries() const { return m_drawn; }
    // The mouse in axis units while it is over the plot area.
    std::optional<QPointF> mouseValue() const { return m_mouse; }

signals:
    // The mouse entered (or left) the drawing of a model series, at x in the series' units.
    void seriesHovered(int seriesIndex, double x, bool entered);
    // The mouse moved over the chart; mouseValue() tells where.
    void mouseMoved();
    void mouseReleased();

protected:
    // Qt asks for a tooltip once the pointer rests; the view answers with its own tooltip text,
    // which names the point under the pointer, where the scene, with no tooltip of its own,
    // would hide it.
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setUpAxes(const QList<double>& xs);
    void addBars();
    void addAreas();
    void addLines(int index, const ChartSeries& series);
    void attach(QAbstractSeries* drawn, int index, bool inLegend);
    // Draws as many labels of each axis as the plot area has room for (AxisLabelThinning).
    void thinLabels();
    // The axis' categories: the labels kept at the step, at their values; the grid follows them.
    static void placeLabels(QCategoryAxis* axis, const QStringList& labels, const QList<double>& at, int step);
    double dateSpacing() const;

    ChartModel m_model;
    bool m_drawingEnabled = true;
    ValueAxisScale m_scale;
    LabelFormatter m_formatter;
    QStringList m_valueLabels;
    QStringList m_dateLabels;
    QList<double> m_xs;
    // The step an axis draws its labels at, and the least step until the next resize: relabelling
    // moves the plot area, so within one size the step only grows and never swings back and forth.
    struct Thinning
    {
        int drawn = 1;
        int floor = 1;
    };
    Thinning m_dateThinning;
    Thinning m_valueThinning;
    QList<int> m_drawn;
    // The legend's entries, one per series drawn, in the legend's order.
    QList<QLegendMarker*> m_legendEntries;
    std::optional<QPointF> m_mouse;
    QCategoryAxis* m_xAxis = nullptr;
    QCategoryAxis* m_yAxis = nullptr;
};
