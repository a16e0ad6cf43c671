// SPDX-License-Identifier: MIT
#include "modTeeGraph.h"

#include "AppInfo.h"
#include "ChartTexts.h"
#include "ChartView.h"
#include "DailyChart.h"
#include "LogFrontEnd.h"
#include "MonthlyChart.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "frmTeeGraph.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>

using namespace Qt::StringLiterals;

modTeeGraph::modTeeGraph(const GraphContext& context) : m_ctx(context) {}

modTeeGraph::~modTeeGraph()
{
    delete m_form.data();
}

bool modTeeGraph::isLoaded() const
{
    return !m_form.isNull();
}

frmTeeGraph* modTeeGraph::window() const
{
    return m_form.data();
}

void modTeeGraph::load()
{
    if (m_form)
        return;
    m_form = new frmTeeGraph(m_ctx);
    QObject::connect(m_form.data(), &frmTeeGraph::unloaded, m_form.data(), [this] { m_form = nullptr; });
}

void modTeeGraph::RefreshTeeGraph(const qoMonth& month)
{
    m_ctx.log.LogMessage(u"calling RefreshTeeGraph"_s, 3);
    try {
        if (month.DailyDates.isEmpty()) {
            m_ctx.log.LogMessage(u"RefreshTeeGraph: there is no data to display,\r\noperation aborted"_s, 1, 0);
            return;
        }
        load();
        m_form->setWindowTitle(
            ChartTexts::GraphCaption(m_ctx.app.ProductName, month.AnniversaryDate, m_ctx.settings.Username));
        QString szErr;
        if (!RefreshDailyGraph(month, szErr)) {
            m_ctx.log.LogMessage(u"RefreshTeeGraph: "_s + szErr, 1);
            m_form->TChart1->hide();
        }
        szErr.clear();
        if (!RefreshMonthlyGraph(szErr)) {
            m_ctx.log.LogMessage(u"RefreshTeeGraph: "_s + szErr, 1);
            m_form->TChart2->hide();
        }
        m_form->setTargetChecked((m_ctx.settings.GraphTeeOptions & GraphOption::Target) != 0);
    } catch (const RunTimeError& error) {
        m_ctx.log.LogMessage(u"Error refreshing graph:\r\n"_s + error.text(), 1);
    }
}

void modTeeGraph::cmdTeeGraph(const qoMonth& month)
{
    if (m_form) {
        if (m_form->isMinimized())
            m_form->showNormal();
        m_form->show();
        m_form->raise();
        m_form->activateWindow();
    }
    RefreshTeeGraph(month);
}

bool modTeeGraph::RefreshDailyGraph(const qoMonth& month, QString& szErr)
{
    ChartView* chart = m_form->TChart1;
    chart->setDrawingEnabled(false);
    try {
        DailyChart daily(chart->model(), *m_form, m_ctx.settings, m_ctx.log, m_ctx.clock, latestMonthShown());
        daily.build(month);
    } catch (const RunTimeError& error) {
        chart->setDrawingEnabled(true);
        chart->RedrawChart();
        szErr = u"RefreshDailyGraph failed: "_s + error.text();
        return false;
    }
    if (chart->isHidden())
        chart->show();
    chart->setDrawingEnabled(true);
    chart->RedrawChart();
    m_form->update();
    return true;
}

bool modTeeGraph::RefreshMonthlyGraph(QString& szErr)
{
    ChartView* chart = m_form->TChart2;
    if (!m_ctx.settings.hasOption(OptionFlag::History)) {
        m_ctx.log.LogMessage(
            u"RefreshMonthlyGraph: failed to build monthly graph because historical data storage disabled"_s, 3);
        m_form->lblNoGraph->setText(u"Historical data storage must be enabled to view graph of monthly data.\r\n"
                                    u"It can be enabled on the \"History\" tab of the options dialog."_s);
        m_form->lblNoGraph->show();
        chart->hide();
        return true;
    }
    m_form->lblNoGraph->hide();
    chart->show();
    chart->setDrawingEnabled(false);
    try {
        MonthlyChart(chart->model(), *m_form, m_ctx.history, m_ctx.settings, m_ctx.log).build();
    } catch (const RunTimeError& error) {
        chart->setDrawingEnabled(true);
        chart->RedrawChart();
        szErr = u"RefreshMonthlyGraph failed: "_s + error.text();
        return false;
    }
    chart->setDrawingEnabled(true);
    chart->RedrawChart();
    m_form->update();
    return true;
}

void modTeeGraph::hideCharts()
{
    if (!m_form)
        return;
    m_form->TChart1->hide();
    m_form->TChart2->hide();
}

void modTeeGraph::unload()
{
    if (m_form)
        m_form->close();
}

bool modTeeGraph::latestMonthShown()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() != u"frmMain"_s)
            continue;
        if (const auto* months = widget->findChild<QComboBox*>(u"cboHistory"_s))
            return months->currentIndex() == 0;
    }
    return false;
}
