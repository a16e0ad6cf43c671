// SPDX-License-Identifier: MIT
#include "frmTeeGraph.h"

#include "AppInfo.h"
#include "ChartTexts.h"
#include "ChartView.h"
#include "DailyChart.h"
#include "FormPlacement.h"
#include "LogFrontEnd.h"
#include "NumberConversions.h"
#include "PlainText.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "WindowUtilities.h"
#include "modMultiMonitor.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {
int toPixels(int32_t twips, double perPixel)
{
    return int(std::lround(twips / perPixel));
}

// The fewest pixels that measure at least the twips, so a minimum never reads back below itself.
int pixelsAtLeast(int32_t twips, double perPixel)
{
    return int(std::ceil(twips / perPixel));
}

int32_t toTwips(int pixels, double perPixel)
{
    return int32_t(std::lround(pixels * perPixel));
}

void setBit(int16_t& word, int16_t bit, bool on)
{
    word = int16_t(on ? (word | bit) : (word & ~bit));
}
} // namespace

frmTeeGraph::frmTeeGraph(const GraphContext& context, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(context)
{
    setObjectName(u"frmTeeGraph"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    try {
        m_ctx.log.LogMessage(u"frmTeeGraph: loading form"_s, 3);
        // The program's icon reaches this window through the application's window icon.
        setFont(QFont(u"Tahoma"_s));
        createControls();
        applyPlacement();
        setWindowTitle(ChartTexts::GraphCaption(m_ctx.app.ProductName, m_ctx.run.CurrentMonth.AnniversaryDate,
                                                m_ctx.settings.Username));
        SetupCharts(TChart1);
        SetupCharts(TChart2);
        TChart2->model().dateAxisFormat = DateAxisFormat::MonthYear;
        show();
        tabGraphs->setFocus();
    } catch (const RunTimeError& error) {
        m_ctx.log.LogMessage(u"frmGraph: Error loading graph form:\r\n"_s + error.text(), 1);
    }
}

void frmTeeGraph::createControls()
{
    const TwipsPerPixel tpp = TwipsPerPixel::ofPrimaryScreen();
    setMinimumSize(pixelsAtLeast(GraphPlacement::MinimumWidth, tpp.x),
                   pixelsAtLeast(GraphPlacement::MinimumHeight, tpp.y));

    tabGraphs = new QTabWidget(this);
    tabGraphs->setObjectName(u"tabGraphs"_s);
    TChart1 = new ChartView();
    TChart1->setObjectName(u"TChart1"_s);
    tabGraphs->addTab(TChart1, u"Daily Data"_s);

    auto* monthly = new QWidget();
    auto* monthlyLayout = new QVBoxLayout(monthly);
    // The monthly chart fills its tab as the daily one does.
    monthlyLayout->setContentsMargins(0, 0, 0, 0);
    TChart2 = new ChartView(monthly);
    TChart2->setObjectName(u"TChart2"_s);
    lblNoGraph = new QLabel(monthly);
    lblNoGraph->setObjectName(u"lblNoGraph"_s);
    lblNoGraph->setAlignment(Qt::AlignCenter);
    lblNoGraph->hide();
    monthlyLayout->addWidget(TChart2);
    monthlyLayout->addWidget(lblNoGraph);
    tabGraphs->addTab(monthly, u"Monthly Data"_s);

    Frame1 = new QGroupBox(u"Display Options"_s, this);
    Frame1->setObjectName(u"Frame1"_s);
    auto* boxes = new QHBoxLayout(Frame1);
    chkShowUploads = new QCheckBox(u"Uploads"_s, Frame1);
    chkShowUploads->setObjectName(u"chkShowUploads"_s);
    chkShowTarget = new QCheckBox(u"Quota Target"_s, Frame1);
    chkShowTarget->setObjectName(u"chkShowTarget"_s);
    chkShowAverage = new QCheckBox(u"Quota Average"_s, Frame1);
    chkShowAverage->setObjectName(u"chkShowAverage"_s);
    boxes->addWidget(chkShowUploads);
    boxes->addWidget(chkShowTarget);
    boxes->addWidget(chkShowAverage);

    cmdClose = new QPushButton(u"Close"_s, this);
    cmdClose->setObjectName(u"cmdClose"_s);

    // Layouts keep the tabs filling the window above the options and the button in the corner.
    auto* bottom = new QHBoxLayout();
    bottom->addWidget(Frame1);
    bottom->addStretch(1);
    bottom->addWidget(cmdClose, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabGraphs, 1);
    layout->addLayout(bottom);

    connect(chkShowAverage, &QCheckBox::toggled, this, [this] { chkShowAverage_Click(); });
    connect(chkShowTarget, &QCheckBox::toggled, this, [this] { chkShowTarget_Click(); });
    connect(chkShowUploads, &QCheckBox::toggled, this, [this] { chkShowUploads_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    connect(TChart1, &ChartView::seriesHovered, this, [this](int series, double x, bool entered) {
        if (entered)
            TeeChart1_MouseEnterSeries(series, x);
        else
            TeeChart1_MouseLeaveSeries();
    });
    connect(TChart2, &ChartView::mouseMoved, this, [this] { TeeChart2_OnMouseMove(); });
    for (ChartView* chart : {TChart1, TChart2})
        connect(chart, &ChartView::mouseReleased, this, [this] { tabGraphs->setFocus(); });
}

void frmTeeGraph::applyPlacement()
{
    const QPoint owner = mainWindowTwips();
    GraphPlacementValues values = GraphPlacement(m_ctx.app, m_ctx.registry).load(owner.y(), owner.x());
    if (values.state == GraphPlacement::Maximised) {
        setWindowState(Qt::WindowMaximized);
        return;
    }
    const TwipsPerPixel tpp = TwipsPerPixel::ofPrimaryScreen();
    // A position stored under another monitor layout is brought back onto the desktop.
    MonitorBounds monitors;
    MonitorBounds desktop;
    GetMonitorBounds(monitors, desktop);
    if (monitors.right > monitors.left)
        FormPlacement::KeepFormOnScreen(values.left, values.top, values.width, values.height, monitors, tpp);
    resize(toPixels(values.width, tpp.x), toPixels(values.height, tpp.y));
    move(toPixels(values.left, tpp.x), toPixels(values.top, tpp.y));
}

void frmTeeGraph::SetupCharts(ChartView* chart)
{
    try {
        chart->setValueLabelFormatter([this](const QString& label, double maximum) {
            try {
                return ChartTexts::ReformatYAxisLabel(label, NumberConversions::toLong(maximum), m_ctx.log);
            } catch (const RunTimeError& error) {
                handlerError(u"TeeChart_AxisLabel: runtime error while formatting axis label:"_s, error.text());
                return label;
            }
        });
        chart->model().dateAxisFormat = DateAxisFormat::DayMonth;
    } catch (const RunTimeError& error) {
        m_ctx.log.LogMessage(u"frmGraph: Error setting graph control options:\r\n"_s + error.text(), 1);
    }
}

QPoint frmTeeGraph::mainWindowTwips()
{
    const TwipsPerPixel tpp = TwipsPerPixel::ofPrimaryScreen();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"frmMain"_s)
            return QPoint(toTwips(widget->x(), tpp.x), toTwips(widget->y(), tpp.y));
    }
    return {};
}

GraphPlacementValues frmTeeGraph::placement() const
{
    const TwipsPerPixel tpp = TwipsPerPixel::ofPrimaryScreen();
    GraphPlacementValues values;
    values.state = isMinimized()   ? GraphPlacement::Minimised
                   : isMaximized() ? GraphPlacement::Maximised
                                   : GraphPlacement::Normal;
    values.height = toTwips(height(), tpp.y);
    values.width = toTwips(width(), tpp.x);
    values.top = toTwips(y(), tpp.y);
    values.left = toTwips(x(), tpp.x);
    return values;
}

void frmTeeGraph::closeEvent(QCloseEvent* event)
{
    GraphPlacement(m_ctx.app, m_ctx.registry).save(placement());
    m_ctx.log.LogMessage(u"frmTeeGraph: closing form"_s, 6);
    MemoryMinimise(m_ctx.log);
    event->accept();
    emit unloaded();
}

void frmTeeGraph::cmdClose_Click()
{
    close();
}

bool frmTeeGraph::uploadsEnabled() const
{
    return chkShowUploads->isEnabled();
}

void frmTeeGraph::setUploadsEnabled(bool enabled)
{
    chkShowUploads->setEnabled(enabled);
}

void frmTeeGraph::setUploadsChecked(bool checked)
{
    chkShowUploads->setChecked(checked);
}

void frmTeeGraph::setAverageChecked(bool checked)
{
    chkShowAverage->setChecked(checked);
}

void frmTeeGraph::setTargetChecked(bool checked)
{
    chkShowTarget->setChecked(checked);
}

void frmTeeGraph::handlerError(const QString& context, const QString& error)
{
    m_ctx.log.LogMessage(context + u"\r\n"_s + error, 3);
}

void frmTeeGraph::chkShowAverage_Click()
{
    try {
        ChartModel& daily = TChart1->model();
        ChartSeries& average = daily.Series(daily.SeriesCount() - 2);
        average.Active = chkShowAverage->isChecked();
        setBit(m_ctx.settings.GraphTeeOptions, GraphOption::Average, average.Active);
        m_ctx.store.SaveGraphOptions();
        TChart1->RedrawChart();
    } catch (const RunTimeError& error) {
        handlerError(u"TeeChart_ShowAverage: runtime error while handling click event:"_s, error.text());
    }
}

void frmTeeGraph::chkShowTarget_Click()
{
    try {
        ChartModel& daily = TChart1->model();
        ChartSeries& target = daily.Series(daily.SeriesCount() - 1);
        target.Active = chkShowTarget->isChecked();
        // The monthly chart has no series while history storage is off.
        ChartModel& monthly = TChart2->model();
        if (monthly.SeriesCount() > 0)
            monthly.Series(monthly.SeriesCount() - 1).Active = target.Active;
        setBit(m_ctx.settings.GraphTeeOptions, GraphOption::Target, target.Active);
        m_ctx.store.SaveGraphOptions();
        TChart1->RedrawChart();
        TChart2->RedrawChart();
    } catch (const RunTimeError& error) {
        handlerError(u"TeeChart_ShowTarget: runtime error while handling click event:"_s, error.text());
    }
}

void frmTeeGraph::chkShowUploads_Click()
{
    if (!chkShowUploads->isEnabled())
        return;
    try {
        ChartModel& daily = TChart1->model();
        const bool shown = chkShowUploads->isChecked();
        daily.Series(3).Active = shown;
        ChartModel& monthly = TChart2->model();
        if (monthly.SeriesCount() >= 4)
            monthly.Series(3).Active = shown;
        DailyChart::UpdateUploadsSeries(daily);
        setBit(m_ctx.settings.GraphTeeOptions, GraphOption::Uploads, daily.Series(3).Active);
        m_ctx.store.SaveGraphOptions();
        TChart1->RedrawChart();
        TChart2->RedrawChart();
    } catch (const RunTimeError& error) {
        handlerError(u"TeeChart_ShowUploads: runtime error while handling click event:"_s, error.text());
    }
}

void frmTeeGraph::TeeChart1_MouseEnterSeries(int series, double x)
{
    try {
        showTip(TChart1, ChartTexts::dailySeriesToolTip(TChart1->model(), series, x));
    } catch (const RunTimeError& error) {
        handlerError(u"TeeChart1_MouseEnterSeries: runtime error while setting tooltiptext:"_s, error.text());
    }
}

void frmTeeGraph::TeeChart1_MouseLeaveSeries()
{
    showTip(TChart1, QString());
}

void frmTeeGraph::TeeChart2_OnMouseMove()
{
    try {
        const std::optional<QPointF> mouse = TChart2->mouseValue();
        showTip(TChart2, mouse ? ChartTexts::monthlyMouseToolTip(TChart2->model(), *mouse) : QString());
    } catch (const RunTimeError& error) {
        handlerError(u"TeeChart2_OnMouseMove: runtime error while setting tooltiptext:"_s, error.text());
    }
}

void frmTeeGraph::showTip(ChartView* chart, const QString& text)
{
    // The text holds the provider's class title. The chart shows it once the pointer rests, as
    // Qt shows any tooltip.
    PlainText::setToolTip(chart, text);
}
