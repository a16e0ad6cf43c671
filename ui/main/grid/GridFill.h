// SPDX-License-Identifier: MIT
#pragma once

#include "GridContents.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>

struct qoMonth;

// Builds the daily grid of a month (ParseArrays without a widget): the columns chosen by their
// titles, the dates, today's row, the estimated shaped days, each column's smallest positive and
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

    // The daily series a column title stands for: 1 peak, 2 off-peak, 3 free zone, 4 total,
    // 5 uploads, 0 none. peakTitle is the month's DailyHeaders 1.
    static int classifyTitle(const QString& title, const QString& peakTitle);
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
