// SPDX-License-Identifier: MIT
#include "DailyGridModel.h"
#include "GridFill.h"
#include "GridTestSupport.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QFont>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace GridTestSupport;

namespace {

GridContents monthGrid()
{
    qoMonth month = makeMonth(QDate(2024, 3, 10), 4, false, false);
    month.DailyPeak = {3.0f, 1.0f, 2.0f, 5.0f};
    return GridFill({}, QDate(2024, 3, 11)).fill(month);
}

} // namespace

TEST(DailyGridModel, PassesTheModelTesterThroughFillsAndSorts)
{
    DailyGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0);
    model.setContents(monthGrid());
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.sortFlex(2, false), 2);
    model.setContents({});
    EXPECT_EQ(model.columnCount(), 0);
}

TEST(DailyGridModel, ShowsTitlesTextsColoursAndBoldTotals)
{
    DailyGridModel model;
    model.setContents(monthGrid());
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), u"Peak"_s);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), u"10-Mar-24"_s);
    EXPECT_EQ(model.data(model.index(1, 1), Qt::BackgroundRole).value<QColor>(), QColor(153, 208, 255));
    EXPECT_EQ(model.data(model.index(3, 2), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    // Today's 1.00 is partial, so the smallest full day (2.00) is the blue one.
    EXPECT_EQ(model.data(model.index(2, 2), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_FALSE(model.data(model.index(1, 2), Qt::ForegroundRole).isValid());
    EXPECT_TRUE(model.data(model.index(4, 2), Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model.data(model.index(4, 2)).toString(), u"11.00"_s);
    EXPECT_EQ(model.data(model.index(0, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
}

TEST(DailyGridModel, TooltipNamesTheDayOfTheMonthEvenAfterASort)
{
    DailyGridModel model;
    model.setContents(monthGrid());
    EXPECT_TRUE(model.toolTipForRow(0).startsWith(u"day 1: "_s));
    EXPECT_TRUE(model.toolTipForRow(4).isEmpty()); // totals
    model.sortFlex(2, true);                       // 13 Mar (5.00) first
    const QString tip = model.data(model.index(0, 3), Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.startsWith(u"day 4: "_s)) << tip.toStdString();
    EXPECT_TRUE(tip.contains(u"13"_s) && tip.contains(u"2024"_s)) << tip.toStdString();
}
