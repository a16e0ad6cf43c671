// SPDX-License-Identifier: MIT
#pragma once

#include "GridContents.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>

struct qoMonth;

// Builds the daily grid of a month (ParseArrays without a widget): a column per non-empty title,
// the dates, today's row, the estimated shaped days, each column's smallest positive and
// largest value and the totals row.
class GridFill
{
public:
    using LogSink = std::function<void(const QString& message, int16_t level)>;

    struct Options
    {
        bool commaSeparators = false;
        bool estShaping = false;
    };

    GridFill(Options options, QDate today, LogSink log = {});

    GridContents fill(const qoMonth& month) const;

    // The daily series of the column whose title came from DailyHeaders slot (1 peak, 2 off-peak,
    // 3 free zone, 4 total, 5 uploads): the slot's own, except that a "Total" column shows the peak
    // values when the peak class itself is titled "Total". peakTitle is the month's DailyHeaders 1.
    static int columnSeries(int slot, const QString& title, const QString& peakTitle);
    // "dd-mmm-yy" in the user's language.
    static QString dateText(const QDate& date);

private:
    void markShapedDays(const qoMonth& month, GridContents& grid, int days) const;
    void shadeClass(const qoMonth& month, GridContents& grid, int days, bool currentMonth, int classSlot,
                    bool combined) const;
    void log(const QString& message, int16_t level) const;

    Options m_options;
    QDate m_today;
    LogSink m_log;
};
