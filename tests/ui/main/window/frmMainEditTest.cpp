// SPDX-License-Identifier: MIT
#include "frmMainTestSupport.h"

#include "DailyGrid.h"
#include "flexDisplay.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Selects a block of model cells with the anchor (the current cell) at `from`.
void selectBlock(flexDisplay& grid, int fromRow, int toRow, int column)
{
    QAbstractItemModel* model = grid.model();
    grid.selectionModel()->setCurrentIndex(model->index(fromRow, column), QItemSelectionModel::NoUpdate);
    const int top = std::min(fromRow, toRow);
    const int bottom = std::max(fromRow, toRow);
    grid.selectionModel()->select(QItemSelection(model->index(top, column), model->index(bottom, column)),
                                  QItemSelectionModel::ClearAndSelect);
}

// Clicks a day cell of the grid (model row) where the user would: through the window system.
void clickCell(frmMain& window, int row, int column, Qt::MouseButton button, Qt::KeyboardModifiers keys = {})
{
    flexDisplay& grid = window.grid();
    const QPoint at = grid.viewport()->mapTo(&window, grid.visualRect(grid.model()->index(row, column)).center());
    QTest::mouseClick(window.windowHandle(), button, keys, at);
}

} // namespace

class frmMainEditTest : public frmMainTest
{
protected:
    frmMain& openFilled()
    {
        frmMain& w = open();
        QString szErr;
        EXPECT_TRUE(w.dailyGrid().ParseArrays(false, threeDays(), szErr));
        w.show();
        settle();
        return w;
    }
};

TEST_F(frmMainEditTest, AddUpGivesTheSameTotalsUpwardsAsDownwards)
{
    frmMain& w = openFilled();
    selectBlock(w.grid(), 0, 2, 2);
    w.mnuGridPopup_Add_Click();
    selectBlock(w.grid(), 2, 0, 2);
    w.mnuGridPopup_Add_Click();

    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes.at(0).title, u"Tallymeter"_s);
    EXPECT_TRUE(boxes.at(0).text.startsWith(u"Totals for selected 3 days:\r\n\r\n"_s))
        << boxes.at(0).text.toStdString();
    EXPECT_TRUE(boxes.at(0).text.contains(u"\t70.00 MB"_s)) << boxes.at(0).text.toStdString();
    EXPECT_EQ(boxes.at(1).text, boxes.at(0).text);
}

TEST_F(frmMainEditTest, ARightClickKeepsTheShiftClickedSelectionForAddUpAndCopy)
{
    frmMain& w = openFilled();
    find<QTabWidget>(u"tabMain"_s)->setCurrentIndex(1);
    settle();
    // Day 1, then Shift with day 3, then the popup menu from day 2 in the middle.
    clickCell(w, 0, 2, Qt::LeftButton);
    clickCell(w, 2, 2, Qt::LeftButton, Qt::ShiftModifier);
    clickCell(w, 1, 2, Qt::RightButton);
    auto* popup = find<QMenu>(u"mnuGridPopup"_s);
    ASSERT_TRUE(popup && popup->isVisible());
    EXPECT_EQ(w.grid().selectionModel()->selectedIndexes().size(), 3);

    find<QAction>(u"mnuGridPopup_Add"_s)->trigger();
    QApplication::clipboard()->setText(u"before"_s);
    find<QAction>(u"mnuGridPopup_Copy"_s)->trigger();
    popup->close();

    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.at(0).text.startsWith(u"Totals for selected 3 days:\r\n"_s)) << boxes.at(0).text.toStdString();
    EXPECT_TRUE(boxes.at(0).text.contains(u"\t70.00 MB"_s)) << boxes.at(0).text.toStdString();
    EXPECT_EQ(QApplication::clipboard()->text(), u"10.00\r20.00\r40.00"_s);

    // Nor does a right click outside the selection change it.
    clickCell(w, 0, 3, Qt::RightButton);
    popup->close();
    EXPECT_EQ(w.grid().currentRange(), (GridRange{1, 2, 3, 2}));
}

TEST_F(frmMainEditTest, AddUpOfOneDayAndOfTheTotalsRow)
{
    frmMain& w = openFilled();
    selectBlock(w.grid(), 1, 1, 3);
    w.mnuGridPopup_Add_Click();
    // Day 2 through the totals row: the totals row does not count.
    selectBlock(w.grid(), 3, 1, 2);
    w.mnuGridPopup_Add_Click();

    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes.at(0).text.startsWith(u"Totals for selected 1 day:\r\n"_s)) << boxes.at(0).text.toStdString();
    EXPECT_TRUE(boxes.at(0).text.contains(u"\t20.00 MB"_s));
    EXPECT_TRUE(boxes.at(1).text.startsWith(u"Totals for selected 2 days:"_s)) << boxes.at(1).text.toStdString();
    EXPECT_TRUE(boxes.at(1).text.contains(u"\t60.00 MB"_s));
}

TEST_F(frmMainEditTest, SelectAllThenCopyTakesEveryRowWithoutTheHiddenColumnOrMarks)
{
    frmMain& w = openFilled();
    w.dailyGrid().SortFlex(2);
    ASSERT_TRUE(w.dailyGrid().contents().text(0, 2).endsWith(u"    v"_s) ||
                w.dailyGrid().contents().text(0, 2).endsWith(u"    ^"_s));
    find<QTabWidget>(u"tabMain"_s)->setCurrentIndex(1);
    QApplication::clipboard()->setText(u"before"_s);

    w.mnuEdit_Select_Click();
    EXPECT_EQ(w.focusWidget(), &w.grid());
    w.mnuEdit_Copy_Click();
    const QString copied = QApplication::clipboard()->text();
    const QStringList rows = copied.split(u'\r');
    ASSERT_EQ(rows.size(), 5) << copied.toStdString();
    EXPECT_TRUE(rows.first().startsWith(u"Date\tPeak\t"_s)) << rows.first().toStdString();
    EXPECT_FALSE(copied.contains(u"    v"_s));
    EXPECT_FALSE(copied.contains(u"    ^"_s));
    EXPECT_FALSE(copied.contains(u"9999999"_s));
}

TEST_F(frmMainEditTest, CopyWithAnEmptyGridLeavesTheClipboardAlone)
{
    core.run.CmdLineDebug = true;
    frmMain& w = open();
    w.show();
    settle();
    w.txtDebugList().setPlainText(u"a logged line"_s);
    find<QTabWidget>(u"tabMain"_s)->setCurrentIndex(2);
    w.mnuEdit_Select_Click();
    QApplication::clipboard()->setText(u"before"_s);

    w.mnuEdit_Copy_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), u"before"_s);
}

TEST_F(frmMainEditTest, DebugTabCopiesTheLogsSelection)
{
    core.run.CmdLineDebug = true;
    setOption(OptionFlag::DoubleWidth, false);
    frmMain& w = openFilled();
    w.txtDebugList().setPlainText(u"first line\nsecond line"_s);
    find<QTabWidget>(u"tabMain"_s)->setCurrentIndex(2);

    w.mnuEdit_Select_Click();
    EXPECT_EQ(w.focusWidget(), &w.txtDebugList());
    w.mnuEdit_Copy_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), u"first line\nsecond line"_s);
}

TEST_F(frmMainEditTest, SummaryTabCopiesTheFocusedBoxSelection)
{
    frmMain& w = openFilled();
    find<QTabWidget>(u"tabMain"_s)->setCurrentIndex(0);
    auto* ip = find<QLineEdit>(u"txtIP"_s);
    w.setControlText({u"txtIP"_s}, u"10.20.30.40"_s);
    ip->setFocus();
    ip->setSelection(6, 5);

    w.mnuEdit_Copy_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), u"30.40"_s);
}

TEST_F(frmMainEditTest, GridPopupOpensOnlyOverAGridWithDays)
{
    frmMain& w = open();
    EXPECT_FALSE(w.flexDisplay_MouseDown(QPoint(10, 10)));
    QString szErr;
    ASSERT_TRUE(w.dailyGrid().ParseArrays(false, threeDays(), szErr));
    EXPECT_TRUE(w.flexDisplay_MouseDown(QPoint(10, 10)));
    auto* popup = w.findChild<QMenu*>(u"mnuGridPopup"_s);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    popup->close();
}
