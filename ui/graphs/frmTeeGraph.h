// SPDX-License-Identifier: MIT
#pragma once

#include "DisplayOptionBoxes.h"
#include "GraphContext.h"
#include "GraphPlacement.h"

#include <QWidget>

class ChartView;
class QCheckBox;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

// The graph window: the daily chart and the monthly totals on two tabs, the display options
// below them. The charts are built by modTeeGraph; the window keeps its placement and turns the
// check boxes into series states and the options word.
class frmTeeGraph : public QWidget, public DisplayOptionBoxes
{
    Q_OBJECT

public:
    // Form_Load: controls, placement, caption and chart set-up; the window is shown.
    explicit frmTeeGraph(const GraphContext& context, QWidget* parent = nullptr);

    QTabWidget* tabGraphs = nullptr;
    ChartView* TChart1 = nullptr;
    ChartView* TChart2 = nullptr;
    QLabel* lblNoGraph = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* chkShowUploads = nullptr;
    QCheckBox* chkShowTarget = nullptr;
    QCheckBox* chkShowAverage = nullptr;
    QPushButton* cmdClose = nullptr;

    bool uploadsEnabled() const override;
    void setUploadsEnabled(bool enabled) override;
    void setUploadsChecked(bool checked) override;
    void setAverageChecked(bool checked) override;
    void setTargetChecked(bool checked) override;

    void chkShowAverage_Click();
    void chkShowTarget_Click();
    void chkShowUploads_Click();
    void cmdClose_Click();
    // The daily tooltip names the point where the mouse enters a series; the monthly one follows
    // the mouse.
    void TeeChart1_MouseEnterSeries(int series, double x);
    void TeeChart1_MouseLeaveSeries();
    void TeeChart2_OnMouseMove();

    // State, size and position in twips as they would be saved now.
    GraphPlacementValues placement() const;

    // The main window's top and left in twips, (0, 0) when there is none.
    static QPoint mainWindowTwips();

signals:
    // Form_Unload has run; the window deletes itself.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void applyPlacement();
    void SetupCharts(ChartView* chart);
    void showTip(ChartView* chart, const QString& text);
    // Logs a handler's run-time error at level 3.
    void handlerError(const QString& context, const QString& error);

    GraphContext m_ctx;
};
