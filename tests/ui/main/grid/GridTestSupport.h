// SPDX-License-Identifier: MIT
#pragma once

#include "GridContents.h"
#include "LocalDateTime.h"
#include "qoMonth.h"

#include <QDate>
#include <QList>

namespace GridTestSupport {

// A month of `days` days from `first` with the usual titles and the off-peak and upload columns
// only when asked for; every series zero.
inline qoMonth makeMonth(QDate first, int days, bool offpeak, bool uploads)
{
    qoMonth month;
    month.DailyHeaders = {
        QStringLiteral("Date"),     QStringLiteral("Peak"),  offpeak ? QStringLiteral("OffPeak") : QString(),
        QStringLiteral("Freezone"), QStringLiteral("Total"), uploads ? QStringLiteral("Uploads") : QString()};
    for (int i = 0; i < days; ++i) {
        month.DailyDates << LocalDateTime::fromDate(first.addDays(i));
        month.DailyPeak << 0.0f;
        month.DailyOffpeak << 0.0f;
        month.DailyFreezone << 0.0f;
        month.DailyTotals << 0.0f;
        month.DailyUploads << 0.0f;
    }
    return month;
}

// The grid column whose title (marks aside) is `title`; -1 when none.
inline int columnOf(const GridContents& grid, const QString& title)
{
    for (int c = 0; c < grid.columnCount(); ++c)
        if (grid.text(0, c).startsWith(title))
            return c;
    return -1;
}

inline QStringList columnTexts(const GridContents& grid, int column)
{
    QStringList texts;
    for (int row = 1; row < grid.rowCount(); ++row)
        texts << grid.text(row, column);
    return texts;
}

} // namespace GridTestSupport
