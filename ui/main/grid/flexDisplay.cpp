// SPDX-License-Identifier: MIT
#include "flexDisplay.h"

#include "DailyGrid.h"
#include "GridWheel.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QThread>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

flexDisplay::flexDisplay(DailyGrid& grid, QWidget* parent) : QTableView(parent), m_grid(grid)
{
    setObjectName(QStringLiteral("flexDisplay"));
    m_scroll.Lines = QString::number(QApplication::wheelScrollLines());
    setModel(&m_grid.model());
    verticalHeader()->hide();
    // A cell is one line, as in the figures' columns; a narrow column elides instead of wrapping.
    setWordWrap(false);
    fitRowHeight();
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_grid.headerClicked(column); });
    // Only a drag by the user is kept; the resets of a new fill are not.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int, int, int) {
        if (!m_applyingWidths && QGuiApplication::mouseButtons() != Qt::NoButton)
            m_savePending = true;
    });
    horizontalHeader()->viewport()->installEventFilter(this);
}

bool flexDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && m_savePending) {
        m_savePending = false;
        saveColumnWidths();
    }
    return QTableView::eventFilter(watched, event);
}

double flexDisplay::twipsPerPixel() const
{
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

void flexDisplay::afterFill()
{
    m_applyingWidths = true;
    const QList<int32_t> widths = m_grid.columnWidths();
    const QList<std::optional<int32_t>> stored = m_grid.storedColumnWidths();
    for (int c = 0; c < widths.size(); ++c) {
        if (c == 0 || widths.at(c) == 0) {
            setColumnHidden(c, true);
            continue;
        }
        setColumnHidden(c, false);
        int pixels = int(std::lround(widths.at(c) / twipsPerPixel()));
        // The default width was measured for a narrower font than a desktop's: until the user
        // sets a width of their own, a column is at least as wide as its figures.
        if (c >= stored.size() || !stored.at(c))
            pixels = std::max({pixels, sizeHintForColumn(c), horizontalHeader()->sectionSizeHint(c)});
        setColumnWidth(c, pixels);
    }
    m_applyingWidths = false;

    scrollToToday();
}

bool flexDisplay::rowFullyVisible(int row) const
{
    const int y = rowViewportPosition(row);
    return y >= 0 && y + rowHeight(row) <= viewport()->height();
}

void flexDisplay::scrollToToday()
{
    const int rows = m_grid.model().rowCount();
    if (rows == 0)
        return;
    // Row heights and scroll range of the new fill, not of the grid before it.
    executeDelayedItemsLayout();
    if (rowFullyVisible(0) && rowFullyVisible(rows - 1)) {
        m_grid.log(QStringLiteral("ParseDataSet: all grid rows visible - no need to do any scrolling"), 6);
        return;
    }
    const int today = m_grid.contents().todayRow;
    if (today <= 0) {
        m_grid.log(QStringLiteral("ParseDataSet: scrolling to bottom of grid"), 6);
        scrollToBottom();
        return;
    }
    // Model row `today` is the grid row below today's (the totals row when today is the last day).
    const int below = std::min(today, rows - 1);
    scrollToTop();
    if (rowFullyVisible(below))
        return;
    scrollTo(m_grid.model().index(below, 1), QAbstractItemView::EnsureVisible);
    for (int t = 1; t <= topRow(); ++t)
        m_grid.log(QStringLiteral("ParseDataSet: scrolling to row ") + QString::number(t), 6);
}

GridRange flexDisplay::currentRange() const
{
    // The block the user selected, whatever cell is current: a right press (the popup menu's) does
    // not move the selection, and Add Up and Copy must take all of it.
    const QItemSelection selection = selectionModel() ? selectionModel()->selection() : QItemSelection{};
    if (selection.isEmpty())
        return {};
    int top = selection.first().top(), bottom = selection.first().bottom();
    int left = selection.first().left(), right = selection.first().right();
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
        left = std::min(left, range.left());
        right = std::max(right, range.right());
    }
    return {top + 1, left, bottom + 1, right};
}

void flexDisplay::mousePressEvent(QMouseEvent* event)
{
    // The right button opens the popup menu over the selection as it stands.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void flexDisplay::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void flexDisplay::selectAll()
{
    const int rows = m_grid.model().rowCount();
    const int columns = m_grid.model().columnCount();
    if (rows == 0 || columns < 2)
        return;
    const QItemSelection all(m_grid.model().index(0, 1), m_grid.model().index(rows - 1, columns - 1));
    selectionModel()->setCurrentIndex(m_grid.model().index(rows - 1, columns - 1), QItemSelectionModel::NoUpdate);
    selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
    setFocus();
}

bool flexDisplay::copyToClipboard() const
{
    const GridContents& grid = m_grid.contents();
    if (grid.rowCount() < 2 || grid.columnCount() < 2)
        return false;
    GridRange range = currentRange();
    // Every cell selected means the titles too: the view draws them apart, the grid does not.
    const int rows = m_grid.model().rowCount();
    const int columns = m_grid.model().columnCount();
    if (selectionModel() && selectionModel()->selectedIndexes().size() == qsizetype(rows) * (columns - 1))
        range = GridSelection::selectAll(grid);
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setText(m_grid.copyText(range));
    return true;
}

QString flexDisplay::addUpSelection() const
{
    const GridRange range = currentRange();
    return m_grid.addUpText(range.row, range.rowSel);
}

void flexDisplay::saveColumnWidths()
{
    const int columns = m_grid.model().columnCount();
    QList<int32_t> widths(columns, 0);
    for (int c = 1; c < columns; ++c)
        widths[c] = isColumnHidden(c) ? 0 : int32_t(std::lround(columnWidth(c) * twipsPerPixel()));
    m_grid.SaveGridColumnWidths(widths);
}

int flexDisplay::topRow() const
{
    const int row = rowAt(0);
    return row < 0 ? 1 : row + 1;
}

int flexDisplay::visibleSpan() const
{
    const int rows = m_grid.model().rowCount();
    const int top = topRow() - 1;
    for (int row = top; row < rows; ++row)
        if (rowViewportPosition(row) + rowHeight(row) > viewport()->height())
            return std::max(0, row - 1 - top);
    return 0;
}

void flexDisplay::wheelEvent(QWheelEvent* event)
{
    const int rows = m_grid.model().rowCount();
    if (rows == 0 || event->angleDelta().y() == 0) {
        QTableView::wheelEvent(event);
        return;
    }
    int keys = 0;
    if (event->buttons() & Qt::LeftButton)
        keys |= GridWheel::LeftButton;
    if (event->modifiers() & Qt::ShiftModifier)
        keys |= GridWheel::Shift;
    if (event->modifiers() & Qt::ControlModifier)
        keys |= GridWheel::Control;
    if (event->buttons() & Qt::MiddleButton)
        keys |= GridWheel::MiddleButton;
    const int target =
        GridWheel::targetTopRow(topRow(), visibleSpan(), rows + 1, event->angleDelta().y(), keys, m_scroll.Lines);
    if (m_scroll.Smooth) {
        // A glide: one row a step, drawn as it goes.
        for (int top = topRow(); top != target;) {
            QThread::msleep(1);
            top += target > top ? 1 : -1;
            scrollTo(m_grid.model().index(top - 1, 1), QAbstractItemView::PositionAtTop);
            viewport()->repaint();
        }
    }
    scrollTo(m_grid.model().index(target - 1, 1), QAbstractItemView::PositionAtTop);
    event->accept();
}

void flexDisplay::fitRowHeight()
{
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void flexDisplay::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowHeight();
}
