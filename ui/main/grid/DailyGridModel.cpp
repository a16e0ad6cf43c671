// SPDX-License-Identifier: MIT
#include "DailyGridModel.h"

#include "GridSort.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

DailyGridModel::DailyGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void DailyGridModel::setContents(GridContents contents)
{
    beginResetModel();
    m_grid = std::move(contents);
    endResetModel();
}

int DailyGridModel::sortFlex(int column, bool descending, const GridSort::LogSink& log)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const int sorted = GridSort::sortFlex(m_grid, column, descending, log);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    return sorted;
}

QColor DailyGridModel::colourOf(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QString DailyGridModel::toolTipForRow(int modelRow) const
{
    const int row = modelRow + 1;
    if (m_grid.rowCount() < 2 || !m_grid.isDayRow(row))
        return {};
    const auto serial = gridCellValue(m_grid.text(row, 0));
    if (!serial)
        return {};
    const int64_t day = int64_t(*serial) - m_grid.firstSerial + 1;
    const QDate date = QDate(1899, 12, 30).addDays(int64_t(*serial));
    return u"day "_s + QString::number(day) + u": "_s + QLocale().toString(date, QLocale::LongFormat);
}

int DailyGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_grid.rowCount() == 0 ? 0 : m_grid.rowCount() - 1;
}

int DailyGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.columnCount();
}

QVariant DailyGridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const GridCell& cell = m_grid.cells.at(index.row() + 1).at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::BackgroundRole:
        return cell.backColour ? QVariant(colourOf(*cell.backColour)) : QVariant();
    case Qt::ForegroundRole:
        return cell.foreColour ? QVariant(colourOf(*cell.foreColour)) : QVariant();
    case Qt::FontRole:
        if (cell.bold) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        return index.column() >= 1 ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case Qt::ToolTipRole:
        return toolTipForRow(index.row());
    default:
        return {};
    }
}

QVariant DailyGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_grid.text(0, section);
    if (role == Qt::TextAlignmentRole && section >= 1)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}
