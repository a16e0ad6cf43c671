// SPDX-License-Identifier: MIT
#include "DailyChart.h"

#include "BillingMonth.h"
#include "Dates.h"
#include "DisplayOptionBoxes.h"
#include "LogFrontEnd.h"
#include "RunTimeError.h"
#include "Settings.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
struct BarLook
{
    const char16_t* title;
    QColor colour;
    QColor outline;
    int group;
};

const std::array<BarLook, 4> DailyBars{{
    {u"peak", QColor(0, 160, 240), QColor(0, 128, 192), 0},
    {u"offpeak", QColor(255, 255, 64), QColor(170, 170, 40), 0},
    {u"freezone", QColor(0, 255, 0), QColor(0, 192, 0), 0},
    {u"uploads", QColor(255, 153, 0), QColor(204, 102, 51), 1},
}};

constexpr int UploadsSeries = 3;

bool after(double serial, const LocalDateTime& moment)
{
    return LocalDateTime::fromSerial(serial) > moment;
}

// The provider lists a day once it counts it, and its date may run ahead of the computer's: a listed
// day can lie after the computer's clock and after the last update, and still holds figures that the
// window's totals count. No moment before the last listed day cuts a day off.
LocalDateTime notBeforeListed(const qoMonth& month, const LocalDateTime& moment)
{
    LocalDateTime latest = moment;
    for (const LocalDateTime& day : month.DailyDates)
        latest = std::max(latest, day);
    return latest;
}

// A day of the date axis: its x and its place among the month's listed days, -1 for a day the
// month lists no figures for.
struct AxisDay
{
    double x;
    qsizetype listed;
};

// The listed days, and every other day of the billing month: a month under way lists its days
// only up to its last update, and the rest keep their places on the axis and draw nothing. A
// month whose listed days do not all lie in its bounds (one without a first day, say) keeps to
// its listed days.
QList<AxisDay> axisDays(const qoMonth& month)
{
    QList<AxisDay> days;
    for (qsizetype d = 0; d < month.DailyDates.size(); ++d)
        days.append(AxisDay{month.DailyDates[d].toSerial(), d});
    const BillingMonth bounds = BillingMonth::of(month);
    const auto inBounds = [&bounds](const LocalDateTime& day) { return bounds.contains(day); };
    if (!std::all_of(month.DailyDates.begin(), month.DailyDates.end(), inBounds))
        return days;
    for (LocalDateTime day = bounds.first; day < bounds.next; day = day.addDays(1)) {
        const auto sameDay = [&day](const LocalDateTime& listed) { return listed.dateOnly() == day; };
        if (std::none_of(month.DailyDates.begin(), month.DailyDates.end(), sameDay))
            days.append(AxisDay{day.toSerial(), -1});
    }
    std::stable_sort(days.begin(), days.end(), [](const AxisDay& a, const AxisDay& b) { return a.x < b.x; });
    return days;
}

// The number of points of a series up to its last drawn one: the days the month has figures for.
int32_t daysWithFigures(const ChartSeries& series)
{
    int32_t count = series.PointCount();
    while (count > 0 && series.isNullPoint(count - 1))
        --count;
    return count;
}
} // namespace

DailyChart::DailyChart(ChartModel& chart, DisplayOptionBoxes& boxes, const Settings& settings, LogFrontEnd& log,
                       const Clock& clock, bool latestMonth)
    : m_chart(chart), m_boxes(boxes), m_settings(settings), m_log(log), m_clock(clock), m_latestMonth(latestMonth)
{}

void DailyChart::build(const qoMonth& month)
{
    m_log.LogMessage(u"RefreshDailyGraph: creating series on trend"_s, 6);
    AddDailySeries();
    ApplySeriesFlags(m_chart, month.DailyHeaders, m_boxes);
    const int16_t columns = ScanDataArray(month.DailyHeaders, m_chart);
    const qsizetype days = month.DailyDates.size();
    m_log.LogMessage(u"RefreshDailyGraph: "_s + QString::number(days) + u" rows & "_s + QString::number(columns) +
                         u" columns of data found"_s,
                     6);
    m_log.LogMessage(u"RefreshDailyGraph: populating data on trend"_s, 6);

    const LocalDateTime now = notBeforeListed(month, m_clock.now());
    const QList<AxisDay> axis = axisDays(month);
    for (int slot = 1; slot <= 4; ++slot) {
        if (month.DailyHeaders[size_t(slot)].isEmpty())
            continue;
        // Slot 4 carries the uploads, although its title is the total's.
        const QList<float>& values = month.dailySeries(slot == 4 ? DailyHeader::Uploads : slot);
        if (values.size() < days)
            throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
        ChartSeries& series = m_chart.Series(slot - 1);
        for (const AxisDay& day : axis) {
            if (day.listed < 0) {
                series.AddNullXY(day.x, 1.0);
                continue;
            }
            const double x = day.x;
            const float value = values[day.listed];
            // The last update is read for every point, so a bad one is logged once per point.
            // An unknown upload figure (-1) keeps its day's place and draws nothing.
            if ((lastUpdateParses(month) && month.DailyDates[day.listed] > now) || (slot == 4 && value < 0))
                series.AddNullXY(x, 1.0);
            else
                series.AddXY(x, value);
        }
    }

    m_log.LogMessage(u"RefreshDailyGraph: generating data for average trend line"_s, 6);
    AddQuotaAverageSeries(month);
    m_log.LogMessage(u"RefreshDailyGraph: generating data for target trend line"_s, 6);
    AddQuotaTargetSeries(month);

    const int16_t options = m_settings.GraphTeeOptions;
    const int32_t count = m_chart.SeriesCount();
    const bool average = (options & GraphOption::Average) != 0;
    m_chart.Series(count - 2).Active = average;
    m_boxes.setAverageChecked(average);
    m_chart.Series(count - 1).Active = (options & GraphOption::Target) != 0;
    if (m_boxes.uploadsEnabled()) {
        const bool uploads = (options & GraphOption::Uploads) != 0;
        m_chart.Series(UploadsSeries).Active = uploads;
        m_boxes.setUploadsChecked(uploads);
    }
    UpdateUploadsSeries(m_chart);
}

void DailyChart::AddDailySeries()
{
    m_chart.RemoveAllSeries();
    for (const BarLook& look : DailyBars) {
        ChartSeries& series = m_chart.Series(m_chart.AddSeries(SeriesKind::Bar));
        series.Title = QString::fromUtf16(look.title);
        series.SeriesColor = look.colour;
        series.OutlineColor = look.outline;
        series.StackGroup = look.group;
    }
    m_chart.dateAxisFormat = DateAxisFormat::DayMonth;
}

void DailyChart::ApplySeriesFlags(ChartModel& chart, const ColumnTitles& titles, DisplayOptionBoxes& boxes)
{
    if (titles[DailyHeader::Offpeak].isEmpty())
        chart.Series(1).Active = false;
    if (titles[DailyHeader::Freezone].isEmpty())
        chart.Series(2).Active = false;
    if (titles[DailyHeader::Uploads].isEmpty()) {
        chart.Series(UploadsSeries).Active = false;
        // Disabled first, so that unticking runs no click handling.
        boxes.setUploadsEnabled(false);
        boxes.setUploadsChecked(false);
    } else {
        boxes.setUploadsEnabled(true);
    }
}

int16_t DailyChart::ScanDataArray(const ColumnTitles& titles, ChartModel& chart)
{
    int16_t count = 0;
    for (int k = 1; k <= 4; ++k) {
        if (!titles[size_t(k)].isEmpty())
            ++count;
    }
    for (int k = 1; k <= 4; ++k) {
        if (titles[size_t(k)].isEmpty())
            continue;
        chart.Series(k - 1).Title = k == 4 ? titles[DailyHeader::Uploads] : titles[size_t(k)];
    }
    return count;
}

void DailyChart::UpdateUploadsSeries(ChartModel& chart)
{
    const int width = chart.Series(UploadsSeries).Active ? 80 : 70;
    for (int i = 0; i <= UploadsSeries; ++i)
        chart.Series(i).BarWidthPercent = width;
}

bool DailyChart::lastUpdateParses(const qoMonth& month) const
{
    LocalDateTime lastUpdate;
    QString szErr;
    return myCDate(month.LastUpdate, lastUpdate, szErr, m_log.dateSink());
}

std::optional<LocalDateTime> DailyChart::cutOff(const qoMonth& month) const
{
    LocalDateTime lastUpdate;
    QString szErr;
    if (!myCDate(month.LastUpdate, lastUpdate, szErr, m_log.dateSink()))
        return std::nullopt;
    return notBeforeListed(month, m_latestMonth ? lastUpdate : m_clock.now());
}

void DailyChart::lineError(const QString& context, const RunTimeError& error)
{
    m_log.LogMessage(context + u"\r\n"_s + error.text(), 1);
}

void DailyChart::addQuotaLine(const QColor& colour, const QString& title, const QString& errorContext,
                              void (DailyChart::*fill)(ChartSeries&, const qoMonth&), const qoMonth& month)
{
    try {
        const int32_t m = m_chart.AddSeries(SeriesKind::Line);
        ChartSeries& line = m_chart.Series(m);
        line.SeriesColor = colour;
        line.Title = title;
        (this->*fill)(line, month);
    } catch (const RunTimeError& error) {
        lineError(errorContext, error);
    }
}

void DailyChart::AddQuotaAverageSeries(const qoMonth& month)
{
    addQuotaLine(QColor(0, 0, 204), u"Quota Average"_s, u"Error adding average series to graph:"_s,
                 &DailyChart::FillQuotaAverage, month);
}

void DailyChart::FillQuotaAverage(ChartSeries& line, const qoMonth& month)
{
    try {
        line.Clear();
        const ChartSeries& peak = m_chart.Series(0);
        double sum = 0;
        // Days still to come have no figures to count; a day missing among the others counts as
        // a day without use.
        const int32_t figures = daysWithFigures(peak);
        for (int32_t i = 0; i < figures; ++i) {
            const std::optional<LocalDateTime> limit = cutOff(month);
            if (limit && after(peak.XValue(i), *limit))
                break;
            sum += used(i);
            line.AddXY(peak.XValue(i), sum / (i + 1));
        }
    } catch (const RunTimeError& error) {
        lineError(u"Error calculating average on graph:"_s, error);
    }
}

double DailyChart::used(int32_t day) const
{
    // Free zone and uploads never count against the quota.
    double sum = 0;
    for (int32_t index : {0, 1}) {
        const ChartSeries& series = m_chart.Series(index);
        if (series.Active && !series.isNullPoint(day))
            sum += series.YValue(day);
    }
    return sum;
}

void DailyChart::AddQuotaTargetSeries(const qoMonth& month)
{
    addQuotaLine(QColor(255, 0, 0), u"Quota Target"_s, u"Error adding target series to graph:"_s,
                 &DailyChart::FillQuotaTarget, month);
}

void DailyChart::FillQuotaTarget(ChartSeries& line, const qoMonth& month)
{
    try {
        const ChartSeries& peak = m_chart.Series(0);
        const ChartSeries& offpeak = m_chart.Series(1);
        double quota = 0;
        if (peak.Active)
            quota += month.PeakQuota;
        if (offpeak.Active)
            quota += month.OffPeakQuota;
        // The days of the month, those still to come included.
        const int32_t days = peak.PointCount();
        const int32_t figures = daysWithFigures(peak);
        double usedSoFar = 0;
        double target = 0;
        line.Clear();
        for (int32_t i = 0; i < days; ++i) {
            usedSoFar += used(i);
            const std::optional<LocalDateTime> limit = cutOff(month);
            // A day still to come holds a place-holder, not a figure, even when the last update
            // lies ahead of the clock.
            if (limit && !after(peak.XValue(i), *limit) && i < figures)
                target = (quota - usedSoFar) / (days - i);
            line.AddXY(peak.XValue(i), target);
        }
    } catch (const RunTimeError& error) {
        lineError(u"Error calculating target on graph:"_s, error);
    }
}
