// SPDX-License-Identifier: MIT
#pragma once

#include "GridContents.h"
#include "GridSort.h"

#include <QAbstractTableModel>

// The daily grid for a view: the titles as the horizontal header, one model row a day and the
// totals row last (model row r is grid row r + 1). Column 0 is the hidden day serial.
class DailyGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DailyGridModel(QObject* parent = nullptr);

    void setContents(GridContents contents);
    const GridContents& contents() const { return m_grid; }
    // Sorts as the header click does; returns the column actually sorted.
    int sortFlex(int column, bool descending, const GridSort::LogSink& log = {});

    // "day 5: <long date>" for a day row, counted from the month's first day whatever the order.
    QString toolTipForRow(int modelRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // 0xBBGGRR as a colour.
    static QColor colourOf(uint32_t bgr);

private:
    GridContents m_grid;
};
