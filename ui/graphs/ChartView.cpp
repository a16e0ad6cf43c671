// SPDX-License-Identifier: MIT
#include "ChartView.h"

#include "AxisLabelThinning.h"
#include "LegendFit.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {
const QColor GridColour(180, 180, 180);

QFont axisFont()
{
    QFont font(u"tahoma"_s);
    font.setPointSize(8);
    return font;
}

void styleAxis(QCategoryAxis* axis)
{
    axis->setLabelsFont(axisFont());
    axis->setGridLinePen(QPen(GridColour, 1, Qt::SolidLine));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setTruncateLabels(false);
}

// A line series may carry a line colour apart from its series colour.
QColor lineColour(const ChartSeries& series)
{
    return series.OutlineColor.isValid() ? series.OutlineColor : series.SeriesColor;
}

// An area filled in the series colour and edged in its outline colour.
QAreaSeries* outlinedArea(const ChartSeries& series, const QList<QPointF>& upper, const QList<QPointF>& lower)
{
    auto* upperLine = new QLineSeries();
    auto* lowerLine = new QLineSeries();
    upperLine->append(upper);
    lowerLine->append(lower);
    auto* area = new QAreaSeries(upperLine, lowerLine);
    upperLine->setParent(area);
    lowerLine->setParent(area);
    area->setBrush(series.SeriesColor);
    area->setPen(QPen(series.OutlineColor, 1));
    return area;
}

// Category labels must differ; a repeated text gets a trailing blank.
QString unique(QString label, const QStringList& taken)
{
    while (taken.contains(label))
        label += u' ';
    return label;
}
} // namespace

ChartView::ChartView(QWidget* parent) : QChartView(new QChart(), parent)
{
    setRenderHint(QPainter::Antialiasing);
    viewport()->setMouseTracking(true);
    chart()->setAnimationOptions(QChart::NoAnimation);
    // The chart's back areas take the button-face colour of the desktop.
    const QBrush face = palette().brush(QPalette::Button);
    chart()->setBackgroundBrush(face);
    chart()->setPlotAreaBackgroundBrush(face);
    chart()->setPlotAreaBackgroundVisible(true);
    chart()->legend()->setAlignment(Qt::AlignRight);
    // Qt gives the axes at most a share of the chart's height; at the window's smallest size the
    // upright date labels need all of it.
    chart()->layout()->setContentsMargins(0, 0, 0, 0);
    connect(chart(), &QChart::plotAreaChanged, this, &ChartView::thinLabels);
    RedrawChart();
}

void ChartView::RedrawChart()
{
    if (!m_drawingEnabled)
        return;
    QChart* drawing = chart();
    drawing->removeAllSeries();
    for (QAbstractAxis* axis : drawing->axes()) {
        drawing->removeAxis(axis);
        delete axis;
    }
    m_xAxis = m_yAxis = nullptr;
    m_drawn.clear();
    m_legendEntries.clear();
    m_dateThinning = m_valueThinning = Thinning();

    std::set<double> xs;
    for (int i = 0; i < m_model.SeriesCount(); ++i) {
        for (const ChartPoint& point : m_model.Series(i).points())
            xs.insert(point.x);
    }
    setUpAxes(QList<double>(xs.begin(), xs.end()));
    addBars();
    addAreas();
    for (int i = 0; i < m_model.SeriesCount(); ++i) {
        const ChartSeries& series = m_model.Series(i);
        if (series.Active && series.kind() == SeriesKind::Line)
            addLines(i, series);
    }
    std::sort(m_drawn.begin(), m_drawn.end());
    LegendFit::showWholeEntries(drawing, m_legendEntries);
    thinLabels();
    viewport()->update();
}

double ChartView::dateSpacing() const
{
    const double span = m_xAxis->max() - m_xAxis->min();
    if (m_xs.size() < 2 || !(span > 0))
        return 0;
    double gap = m_xs.last() - m_xs.first();
    for (qsizetype i = 1; i < m_xs.size(); ++i)
        gap = std::min(gap, m_xs[i] - m_xs[i - 1]);
    return chart()->plotArea().width() / span * gap;
}

void ChartView::thinLabels()
{
    if (!m_xAxis || !m_yAxis || chart()->plotArea().isEmpty())
        return;
    // A label at 90 degrees takes a line's height across the axis, as a level one does up it;
    // a few pixels of air keep neighbours apart.
    const auto thickness = [](const QCategoryAxis* axis) { return QFontMetricsF(axis->labelsFont()).height() + 4; };
    const auto relabel = [](QCategoryAxis* axis, Thinning& thinning, int wanted, const QStringList& whole,
                            const QList<double>& at) {
        wanted = std::max(thinning.floor, wanted);
        thinning.floor = wanted;
        if (wanted == thinning.drawn)
            return;
        thinning.drawn = wanted;
        placeLabels(axis, whole, at, wanted);
    };
    const double valueSpacing = chart()->plotArea().height() / m_scale.maximum * m_scale.step;
    relabel(m_xAxis, m_dateThinning, AxisLabelThinning::step(dateSpacing(), thickness(m_xAxis)), m_dateLabels, m_xs);
    relabel(m_yAxis, m_valueThinning, AxisLabelThinning::step(valueSpacing, thickness(m_yAxis)), m_valueLabels,
            m_scale.ticks());
}

void ChartView::placeLabels(QCategoryAxis* axis, const QStringList& labels, const QList<double>& at, int step)
{
    // Qt hides a label that overlaps the last one it drew, a label of no text included, so the
    // labels left out are no categories at all.
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
    for (const qsizetype place : AxisLabelThinning::keptPlaces(labels.size(), step))
        axis->append(labels[place], at[place]);
}

bool ChartView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QChartView::viewportEvent(event);
    if (toolTip().isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTip(), this);
    }
    return true;
}

void ChartView::resizeEvent(QResizeEvent* event)
{
    // A new size may make room for labels that were left out: judge afresh.
    m_dateThinning.floor = m_valueThinning.floor = 1;
    QChartView::resizeEvent(event);
    LegendFit::showWholeEntries(chart(), m_legendEntries);
}

void ChartView::setUpAxes(const QList<double>& xs)
{
    m_xAxis = new QCategoryAxis();
    styleAxis(m_xAxis);
    m_xAxis->setLabelsAngle(-90);
    m_dateLabels.clear();
    m_xs = xs;
    for (const double x : xs) {
        QString label;
        if (m_model.dateAxisFormat == DateAxisFormat::DayMonth) {
            label = ChartTexts::dayAxisLabel(LocalDateTime::fromSerial(x));
        } else {
            for (int i = 0; i < m_model.SeriesCount() && label.isEmpty(); ++i) {
                for (const ChartPoint& point : m_model.Series(i).points()) {
                    if (point.x == x && !point.label.isEmpty()) {
                        label = u"  "_s + point.label;
                        break;
                    }
                }
            }
        }
        m_dateLabels.append(unique(label, m_dateLabels));
    }
    placeLabels(m_xAxis, m_dateLabels, m_xs, 1);
    if (xs.isEmpty())
        m_xAxis->setRange(0, 1);
    else
        m_xAxis->setRange(xs.first() - 0.5, xs.last() + 0.5);

    m_scale = ValueAxisScale::forLargest(m_model.largestDrawnValue());
    m_yAxis = new QCategoryAxis();
    styleAxis(m_yAxis);
    m_yAxis->setStartValue(0);
    m_valueLabels.clear();
    for (const double tick : m_scale.ticks()) {
        const QString text = QString::number(tick, 'f', 0);
        QString label = m_formatter ? m_formatter(text, m_scale.maximum) : text;
        m_valueLabels.append(unique(label, m_valueLabels));
    }
    placeLabels(m_yAxis, m_valueLabels, m_scale.ticks(), 1);
    m_yAxis->setRange(0, m_scale.maximum);
    chart()->addAxis(m_xAxis, Qt::AlignBottom);
    chart()->addAxis(m_yAxis, Qt::AlignLeft);
}

void ChartView::addBars()
{
    // The groups standing side by side in each day's slot, in group order.
    std::set<int> groups;
    int widthPercent = 70;
    bool first = true;
    for (int i = 0; i < m_model.SeriesCount(); ++i) {
        const ChartSeries& series = m_model.Series(i);
        if (series.kind() != SeriesKind::Bar)
            continue;
        if (first)
            widthPercent = series.BarWidthPercent;
        first = false;
        if (series.Active)
            groups.insert(series.StackGroup);
    }
    if (groups.empty())
        return;
    const double total = widthPercent / 100.0;
    const double width = total / double(groups.size());
    std::map<int, std::map<double, double>> tops;
    for (int i = 0; i < m_model.SeriesCount(); ++i) {
        const ChartSeries& series = m_model.Series(i);
        if (series.kind() != SeriesKind::Bar || !series.Active)
            continue;
        const auto slot = double(std::distance(groups.begin(), groups.find(series.StackGroup)));
        bool inLegend = true;
        for (const ChartPoint& point : series.points()) {
            if (point.isNull)
                continue;
            double& top = tops[series.StackGroup][point.x];
            const double base = top;
            top += std::max(0.0, double(point.y));
            const double left = point.x - total / 2 + slot * width;
            attach(outlinedArea(series, {QPointF(left, top), QPointF(left + width, top)},
                                {QPointF(left, base), QPointF(left + width, base)}),
                   i, inLegend);
            inLegend = false;
        }
        // A series with no day drawn yet still names itself in the legend.
        if (inLegend)
            attach(outlinedArea(series, {}, {}), i, true);
    }
}

void ChartView::addAreas()
{
    for (int i = 0; i < m_model.SeriesCount(); ++i) {
        const ChartSeries& series = m_model.Series(i);
        if (series.kind() != SeriesKind::Area || !series.Active)
            continue;
        const QList<AreaBand> bands = m_model.areaBands(i);
        QList<QPointF> upper;
        QList<QPointF> lower;
        for (qsizetype k = 0; k < bands.size(); ++k) {
            const double x = series.points()[k].x;
            upper.append(QPointF(x, bands[k].upper));
            lower.append(QPointF(x, bands[k].lower));
        }
        QAreaSeries* area = outlinedArea(series, upper, lower);
        QColor fill = series.SeriesColor;
        fill.setAlpha(200);
        area->setBrush(fill);
        attach(area, i, true);
    }
}

void ChartView::addLines(int index, const ChartSeries& series)
{
    // A null point breaks the line: each run of drawn points is a line of its own.
    QLineSeries* line = nullptr;
    bool inLegend = true;
    for (const ChartPoint& point : series.points()) {
        if (point.isNull) {
            if (line) {
                attach(line, index, inLegend);
                inLegend = false;
            }
            line = nullptr;
            continue;
        }
        if (!line) {
            line = new QLineSeries();
            line->setPen(QPen(lineColour(series), 2));
            line->setPointsVisible(false);
        }
        line->append(point.x, point.y);
    }
    if (line)
        attach(line, index, inLegend);
    else if (inLegend)
        attach(new QLineSeries(), index, true);
}

void ChartView::attach(QAbstractSeries* drawn, int index, bool inLegend)
{
    const ChartSeries& series = m_model.Series(index);
    // The legend reads names as markup; the provider's class titles are shown as they stand.
    drawn->setName(series.Title.toHtmlEscaped());
    chart()->addSeries(drawn);
    drawn->attachAxis(m_xAxis);
    drawn->attachAxis(m_yAxis);
    if (auto* line = qobject_cast<QLineSeries*>(drawn)) {
        line->setPen(QPen(lineColour(series), 2));
        connect(line, &QLineSeries::hovered, this,
                [this, index](const QPointF& point, bool state) { emit seriesHovered(index, point.x(), state); });
    } else if (auto* area = qobject_cast<QAreaSeries*>(drawn)) {
        connect(area, &QAreaSeries::hovered, this,
                [this, index](const QPointF& point, bool state) { emit seriesHovered(index, point.x(), state); });
    }
    const QList<QLegendMarker*> markers = chart()->legend()->markers(drawn);
    if (inLegend)
        m_legendEntries.append(markers);
    for (QLegendMarker* marker : markers)
        marker->setVisible(inLegend);
    if (!m_drawn.contains(index))
        m_drawn.append(index);
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    QChartView::mouseMoveEvent(event);
    const QPointF inChart = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    m_mouse.reset();
    if (!chart()->series().isEmpty() && chart()->plotArea().contains(inChart))
        m_mouse = chart()->mapToValue(inChart);
    emit mouseMoved();
}

void ChartView::leaveEvent(QEvent* event)
{
    QChartView::leaveEvent(event);
    m_mouse.reset();
    emit mouseMoved();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    QChartView::mouseReleaseEvent(event);
    emit mouseReleased();
}
