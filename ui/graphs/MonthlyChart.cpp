// SPDX-License-Identifier: MIT
#include "MonthlyChart.h"

#include "ChartTexts.h"
#include "DailyChart.h"
#include "DisplayOptionBoxes.h"
#include "LogFrontEnd.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "modSQL.h"

using namespace Qt::StringLiterals;

namespace {
struct SeriesLook
{
    const char16_t* title;
    SeriesKind kind;
    QColor colour;
    QColor outline;
};

const std::array<SeriesLook, 5> MonthlySeries{{
    {u"peak", SeriesKind::Area, QColor(0, 160, 240), QColor(0, 128, 192)},
    {u"offpeak", SeriesKind::Area, QColor(255, 255, 64), QColor(170, 170, 40)},
    {u"freezone", SeriesKind::Area, QColor(0, 255, 0), QColor(0, 192, 0)},
    {u"uploads", SeriesKind::Line, QColor(255, 153, 0), QColor(204, 102, 51)},
    {u"Quota", SeriesKind::Line, QColor(255, 0, 0), QColor(255, 0, 0)},
}};

float slotTotal(const MonthTotal& total, int slot)
{
    switch (slot) {
    case 1:
        return total.Peak;
    case 2:
        return total.Offpeak;
    case 3:
        return total.Freezone;
    default:
        return total.Uploads;
    }
}
} // namespace

MonthlyChart::MonthlyChart(ChartModel& chart, DisplayOptionBoxes& boxes, modSQL& history, const Settings& settings,
                           LogFrontEnd& log)
    : m_chart(chart), m_boxes(boxes), m_history(history), m_settings(settings), m_log(log)
{}

void MonthlyChart::build()
{
    m_log.LogMessage(u"RefreshMonthlyGraph: creating series on trend"_s, 6);
    ColumnTitles titles;
    QString szErr;
    if (!m_history.SQLGetHistoricalHeaders(titles, szErr)) {
        m_log.LogMessage(u"RefreshMonthlyGraph: failed to call SQLGetHistoricalHeaders: "_s + szErr, 2);
        titles = ColumnTitles();
    }

    AddMonthlySeries();
    DailyChart::ApplySeriesFlags(m_chart, titles, m_boxes);
    const int16_t columns = DailyChart::ScanDataArray(titles, m_chart);

    MonthlyTotals totals;
    szErr.clear();
    const bool read = m_history.SQLGetMonthlyTotals(totals, szErr);
    if (!read)
        m_log.LogMessage(u"RefreshMonthlyGraph: failed to call SQLGetMonthlyTotals: "_s + szErr, 2);
    if (!read || totals.Totals.size() != totals.Dates.size())
        throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);

    const qsizetype months = totals.Dates.size();
    m_log.LogMessage(u"RefreshMonthlyGraph: "_s + QString::number(months) + u" rows & "_s + QString::number(columns) +
                         u" columns of data found"_s,
                     6);
    m_log.LogMessage(u"RefreshMonthlyGraph: populating data on trend"_s, 6);

    for (int slot = 1; slot <= 4; ++slot) {
        if (titles[size_t(slot)].isEmpty())
            continue;
        ChartSeries& series = m_chart.Series(slot - 1);
        for (qsizetype i = months - 1; i >= 0; --i)
            series.AddValue(slotTotal(totals.Totals[i], slot), ChartTexts::monthLabel(totals.Dates[i]));
    }

    ChartSeries& quota = m_chart.Series(m_chart.SeriesCount() - 1);
    for (qsizetype i = months - 1; i >= 0; --i) {
        const float sum = totals.Totals[i].PeakQuota + totals.Totals[i].OffpeakQuota;
        const QString label = ChartTexts::monthLabel(totals.Dates[i]);
        if (sum > 0)
            quota.AddValue(sum, label);
        else
            quota.AddNullValue(label);
    }
    quota.Active = (m_settings.GraphTeeOptions & GraphOption::Target) != 0;
}

void MonthlyChart::AddMonthlySeries()
{
    m_chart.RemoveAllSeries();
    for (const SeriesLook& look : MonthlySeries) {
        ChartSeries& series = m_chart.Series(m_chart.AddSeries(look.kind));
        series.Title = QString::fromUtf16(look.title);
        series.SeriesColor = look.colour;
        series.OutlineColor = look.outline;
    }
    m_chart.dateAxisFormat = DateAxisFormat::MonthYear;
}
