// SPDX-License-Identifier: MIT
#pragma once

#include "GridSelection.h"
#include "modScroll.h"

#include <QTableView>

class DailyGrid;

// The main window's daily grid: draws the model of a DailyGrid with the serial column hidden,
// sorts on a title click, and keeps the widths the user gives the columns.
class flexDisplay : public QTableView
{
    Q_OBJECT

public:
    explicit flexDisplay(DailyGrid& grid, QWidget* parent = nullptr);

    // After a fill: hidden serial column, stored or default widths, today (or the totals) in view.
    void afterFill();
    // The selected block, top-left to bottom-right, in grid rows (model rows shifted by the title
    // row); all zero when nothing is selected.
    GridRange currentRange() const;
    void selectAll() override;
    // Copies the selection as text; false when there was nothing to copy.
    bool copyToClipboard() const;
    QString addUpSelection() const;

    // The wheel settings read at load: rows per notch and whether the grid glides a row at a time.
    void setScrollSettings(const ScrollSettings& settings) { m_scroll = settings; }
    // The first day row in view (grid rows, 1 = the first) and how many more are fully shown.
    int topRow() const;
    int visibleSpan() const;

    // Screen twips of one pixel of this widget.
    double twipsPerPixel() const;

    // Stores the widths of columns 1..last in twips; a hidden column is stored as 0.
    void saveColumnWidths();

protected:
    void wheelEvent(QWheelEvent* event) override;
    // A right press or release leaves the current cell and the selection alone.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One line of text per row, in the grid's current font.
    void fitRowHeight();
    // The smallest scroll from the top that shows today with the row below it, else the totals.
    void scrollToToday();
    // The whole row lies inside the viewport (model row).
    bool rowFullyVisible(int row) const;

    DailyGrid& m_grid;
    bool m_applyingWidths = false;
    // A border was dragged; the widths are saved once, when the button comes up.
    bool m_savePending = false;
    ScrollSettings m_scroll;
};
