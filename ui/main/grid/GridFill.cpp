// SPDX-License-Identifier: MIT
#include "GridFill.h"

#include "MonthStatus.h"
#include "TextRoutines.h"
#include "qoMonth.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

std::optional<double> gridCellValue(const QString& text)
{
    return ReadLocalNumberText(text);
}

namespace {

float cellNumber(const GridContents& grid, int row, int column)
{
    return float(gridCellValue(grid.text(row, column)).value_or(0.0));
}

float valueAt(const QList<float>& series, int index)
{
    return index < series.size() ? series.at(index) : 0.0f;
}

} // namespace

GridFill::GridFill(Options options, QDate today, LogSink log)
    : m_options(options), m_today(today), m_log(std::move(log))
{}

void GridFill::log(const QString& message, int16_t level) const
{
    if (m_log)
        m_log(message, level);
}

int GridFill::columnSeries(int slot, const QString& title, const QString& peakTitle)
{
    // A feed that titles its peak class "Total" has no other total worth a column of its own.
    const auto total = [](const QString& text) {
        return !text.isEmpty() && u" Total "_s.contains(text, Qt::CaseInsensitive);
    };
    if (total(title) && total(peakTitle))
        return DailyHeader::Peak;
    return slot;
}

QString GridFill::dateText(const QDate& date)
{
    // The user's locale, as the figures beside it.
    return QLocale().toString(date, u"dd-MMM-yy"_s);
}

GridContents GridFill::fill(const qoMonth& month) const
{
    GridContents grid;
    const int days = int(month.DailyDates.size());
    // The non-empty titles and the slot of the month record each one came from.
    QStringList titles;
    QList<int> titleSlots;
    for (int slot = 0; slot < DailyHeader::Count; ++slot) {
        if (!month.DailyHeaders[size_t(slot)].isEmpty()) {
            titles << month.DailyHeaders[size_t(slot)];
            titleSlots << slot;
        }
    }
    const int k = int(titles.size());
    grid.cells = QList<QList<GridCell>>(days + 2, QList<GridCell>(k + 1));
    for (int i = 0; i < k; ++i)
        grid.cells[0][i + 1].text = titles.at(i);
    if (days > 0)
        grid.firstSerial = int64_t(std::floor(month.DailyDates.first().toSerial()));

    log(u"ParseArrays: populating data grid"_s, 6);
    // Column c (2..k) shows the series of the slot its title came from, as the CSV export does:
    // providers name their classes freely ("Off-peak", "Night"), so the title cannot tell.
    QList<int> classes(k + 1, 0);
    for (int c = 2; c <= k; ++c) {
        classes[c] = columnSeries(titleSlots.at(c - 1), titles.at(c - 1), month.DailyHeaders[DailyHeader::Peak]);
        if (classes[c] == DailyHeader::Uploads)
            grid.uploadsColumn = c;
    }
    QList<float> sums(k + 1, 0.0f);
    QList<int> minRows(k + 1, 1);
    QList<int> maxRows(k + 1, 1);

    for (int r = 0; r < days; ++r) {
        const int row = r + 1;
        const LocalDateTime date = month.DailyDates.at(r);
        grid.cells[row][1].text = dateText(date.date());
        grid.cells[row][0].text = QString::number(int64_t(std::floor(date.toSerial())));
        if (date.date() == m_today) {
            grid.todayRow = row;
            grid.todayIndex = r;
        }
        for (int c = 2; c <= k; ++c) {
            const float v = valueAt(month.dailySeries(classes[c]), r);
            grid.cells[row][c].text = FormatTwoDecimals(singleText(v), m_options.commaSeparators);
            // An upload of -1 is unknown: shown, never added.
            if (!(c == grid.uploadsColumn && v == -1.0f))
                sums[c] += v;
            if (cellNumber(grid, minRows[c], c) == 0 && v > 0)
                minRows[c] = row;
            if (row != grid.todayRow && v > 0 && cellNumber(grid, minRows[c], c) > v)
                minRows[c] = row;
            if (cellNumber(grid, maxRows[c], c) < v)
                maxRows[c] = row;
        }
    }

    const int totalsRow = days + 1;
    grid.cells[totalsRow][0].text = GridContents::TotalsKey;
    if (days > 0) {
        for (int c = 2; c <= k; ++c) {
            // A cell that reads 0, in whatever form the user's locale writes it, is no extreme.
            const auto emphasise = [&](int row, uint32_t colour) {
                if (cellNumber(grid, row, c) == 0)
                    return;
                GridCell& cell = grid.cells[row][c];
                cell.foreColour = colour;
                cell.bold = true;
            };
            emphasise(minRows[c], GridContents::MinimumColour);
            emphasise(maxRows[c], GridContents::MaximumColour);
        }
    }
    if (k >= 1)
        grid.cells[totalsRow][1].text = u"Totals"_s;
    for (int c = 2; c <= k; ++c)
        grid.cells[totalsRow][c].text = FormatTwoDecimals(singleText(sums[c]), m_options.commaSeparators);

    log(u"ParseArrays: formatting data in grid"_s, 6);
    if (grid.todayRow > 0) {
        log(u"ParseArrays: found today's date on row "_s + QString::number(grid.todayRow), 8);
        for (int c = 1; c <= k; ++c)
            grid.cells[grid.todayRow][c].backColour = GridContents::TodayColour;
    }
    if (m_options.estShaping)
        markShapedDays(month, grid, days);

    log(u"ParseDataSet: highlighting min/max values"_s, 6);
    for (int c = 1; c <= k; ++c)
        grid.cells[totalsRow][c].bold = true;
    return grid;
}

void GridFill::markShapedDays(const qoMonth& month, GridContents& grid, int days) const
{
    log(u"ParseArrays: checking estimated shaping date"_s, 6);
    if (days == 0)
        return;
    const bool currentMonth = month.DailyDates.last().date() >= m_today;
    if (month.PeakQuota > 0 && month.OffPeakQuota == 0) {
        shadeClass(month, grid, days, currentMonth, DailyHeader::Peak, true);
        return;
    }
    shadeClass(month, grid, days, currentMonth, DailyHeader::Peak, false);
    shadeClass(month, grid, days, currentMonth, DailyHeader::Offpeak, false);
}

void GridFill::shadeClass(const qoMonth& month, GridContents& grid, int days, bool currentMonth, int classSlot,
                          bool combined) const
{
    const bool peak = classSlot == DailyHeader::Peak;
    const float quota = peak ? month.PeakQuota : month.OffPeakQuota;
    const float average = peak ? month.AvgPeak : month.AvgOffpeak;
    const QString state = peak ? GetUsageStatus(quota, month.ElapsedPeak, month.PercentPeak)
                               : GetUsageStatus(quota, month.ElapsedOffpeak, month.PercentOffPeak);
    if (state != u"warn"_s && state != u"over"_s)
        return;
    const QString title = month.DailyHeaders[classSlot];
    const QString prefix = combined ? u"ParseArrays: "_s : u"ParseArrays: "_s + title + u": "_s;

    int64_t d = 0;
    if (currentMonth) {
        // With no average yet there is nothing to project from.
        if (average > 0)
            d = int64_t(std::floor(double(quota) / double(average))) + 1;
        log(prefix + u"to be shaped "_s + QString::number(d) + u" days into month"_s, 6);
    } else {
        const QList<float>& daily = peak ? month.DailyPeak : month.DailyOffpeak;
        float running = 0;
        for (int r = 0; r < days; ++r) {
            running += valueAt(daily, r);
            if (running > quota) {
                d = r + 1;
                break;
            }
        }
        log(prefix + (combined ? u"account was shaped "_s : u"was shaped "_s) + QString::number(d) +
                u" days into month"_s,
            6);
    }

    QList<int> columns;
    if (combined) {
        // A peak class titled "Total" is no class of its own to mark.
        const QString peakTitle = month.DailyHeaders[DailyHeader::Peak];
        if (!peakTitle.isEmpty() && u" Total "_s.contains(peakTitle, Qt::CaseInsensitive))
            return;
        for (int c = 2; c < grid.columnCount(); ++c) {
            const QString header = grid.text(0, c);
            if (header != month.DailyHeaders[DailyHeader::Total] && header != month.DailyHeaders[DailyHeader::Freezone])
                columns << c;
        }
    } else {
        for (int c = 1; c < grid.columnCount(); ++c)
            if (grid.text(0, c) == title) {
                columns << c;
                break;
            }
        if (columns.isEmpty()) {
            log(u"ParseArrays: failed to find header \""_s + title + u"\" in grid"_s, 3);
            return;
        }
    }
    if (d < 1 || d > days)
        return;
    const int start = grid.todayRow > 0 ? int(MaxValue(double(d), grid.todayRow)) : int(d);
    for (int row = start; row <= days; ++row)
        for (int c : columns)
            grid.cells[row][c].backColour = GridContents::ShapedColour;
}
