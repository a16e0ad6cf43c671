// SPDX-License-Identifier: MIT
#include "DailyGrid.h"
#include "AppInfo.h"
#include "GridTestSupport.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "Settings.h"
#include "flexDisplay.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace GridTestSupport;

namespace {

class DailyGridTest : public ::testing::Test
{
protected:
    DailyGridTest() : clock(*LocalDateTime::fromParts(2024, 3, 2, 9, 30))
    {
        // The tests of one process share its registry: start each from no stored grid values.
        QStringList names{u"SortCol"_s, u"SortDir"_s};
        for (int c = 0; c <= 6; ++c)
            names << u"Col"_s + QString::number(c);
        for (const QString& name : names)
            registry.DeleteRegValue(HKEY_CURRENT_USER, app.configKey(), name);
    }

    // Three days of March, today the second; peak, free zone and off-peak all different.
    qoMonth month() const
    {
        qoMonth m = makeMonth(QDate(2024, 3, 1), 3, true, false);
        m.DailyPeak = {3.0f, 1.5f, 2.0f};
        m.DailyFreezone = {0.0f, 0.25f, 0.0f};
        m.DailyOffpeak = {1.0f, 4.0f, 0.0f};
        return m;
    }

    std::optional<int32_t> stored(const QString& name)
    {
        int32_t value = 0;
        if (!registry.GetRegWordValue(HKEY_CURRENT_USER, app.configKey(), name, value))
            return std::nullopt;
        return value;
    }

    void fill(DailyGrid& grid)
    {
        QString szErr;
        ASSERT_TRUE(grid.ParseArrays(false, month(), szErr)) << szErr.toStdString();
    }

    int logCount(const QString& text, int16_t level) const
    {
        return int(std::count(logLines.begin(), logLines.end(), std::make_pair(text, level)));
    }

    // Model row fully inside the view's viewport.
    static bool rowShown(const flexDisplay& view, DailyGrid& logic, int row)
    {
        return view.viewport()->rect().contains(view.visualRect(logic.model().index(row, 1)));
    }

    AppInfo app = AppInfo::current();
    SystemRegistry registry;
    Settings settings;
    FixedClock clock;
    DailyGrid grid{app, registry, settings, clock, {}};
    std::vector<std::pair<QString, int16_t>> logLines;
    DailyGrid logged{app, registry, settings, clock,
                     [this](const QString& text, int16_t level) { logLines.emplace_back(text, level); }};
};

} // namespace

TEST_F(DailyGridTest, FillGivesTodaysBoxesAndSortsByTheRememberedColumn)
{
    settings.OptionFlags |= OptionFlag::SortRemember;
    settings.SortCol = 2;
    settings.SortDir = false;
    fill(grid);
    ASSERT_TRUE(grid.todayTexts());
    EXPECT_EQ(*grid.todayTexts(), (std::array<QString, 3>{u"1.50"_s, u"0.25"_s, u"4.00"_s}));
    EXPECT_EQ(columnTexts(grid.contents(), 2), (QStringList{u"1.50"_s, u"2.00"_s, u"3.00"_s, u"6.50"_s}));
    EXPECT_EQ(stored(u"SortCol"_s), 2);
    EXPECT_EQ(stored(u"SortDir"_s), 1);
}

TEST_F(DailyGridTest, WithoutRememberingTheFillKeepsDayOrderAndStoresNothing)
{
    settings.OptionFlags &= ~int32_t(OptionFlag::SortRemember);
    fill(grid);
    EXPECT_EQ(columnTexts(grid.contents(), 2).first(), u"3.00"_s);
    grid.headerClicked(3);
    EXPECT_EQ(settings.SortCol, 3);
    EXPECT_FALSE(stored(u"SortCol"_s));
}

TEST_F(DailyGridTest, ARememberedColumnBeyondTheGridSortsByDateSilentlyAndStaysRemembered)
{
    settings.OptionFlags |= OptionFlag::SortRemember;
    settings.SortCol = 8;
    settings.SortDir = true;
    std::vector<int16_t> levels;
    DailyGrid logged{app, registry, settings, clock,
                     [&levels](const QString&, int16_t level) { levels.push_back(level); }};
    QString szErr;
    ASSERT_TRUE(logged.ParseArrays(false, month(), szErr));
    EXPECT_EQ(columnTexts(logged.contents(), 1).first(), u"03-Mar-24"_s);
    EXPECT_EQ(settings.SortCol, 8);
    EXPECT_FALSE(stored(u"SortCol"_s));
    EXPECT_TRUE(std::none_of(levels.begin(), levels.end(), [](int16_t level) { return level < 3; }));
}

TEST_F(DailyGridTest, ASecondClickOnATitleTurnsTheOrderAndStoresDescendingAsZero)
{
    settings.OptionFlags |= OptionFlag::SortRemember;
    settings.SortCol = 0;
    settings.SortDir = false;
    fill(grid);
    grid.headerClicked(2);
    EXPECT_FALSE(settings.SortDir);
    grid.headerClicked(2);
    EXPECT_TRUE(settings.SortDir);
    EXPECT_EQ(grid.contents().text(0, 2), u"Peak    v"_s);
    EXPECT_EQ(stored(u"SortDir"_s), 0);
}

TEST_F(DailyGridTest, ColumnWidthsDefaultToNineHundredSixtyTwipsAndRoundTrip)
{
    fill(grid);
    EXPECT_EQ(grid.columnWidths(), (QList<int32_t>{0, 960, 960, 960, 960, 960}));
    grid.SaveGridColumnWidths({0, 1200, 0, 975, 960, 960});
    EXPECT_EQ(stored(u"Col1"_s), 1200);
    EXPECT_EQ(stored(u"Col2"_s), 0);
    EXPECT_FALSE(stored(u"Col0"_s));
    EXPECT_EQ(grid.columnWidths(), (QList<int32_t>{0, 1200, 0, 975, 960, 960}));
}

TEST_F(DailyGridTest, ViewHidesTheSerialAndZeroWidthColumnsAndCopiesEverything)
{
    grid.SaveGridColumnWidths({0, 960, 960, 0, 960, 960});
    fill(grid);
    flexDisplay view(grid);
    view.afterFill();
    EXPECT_TRUE(view.isColumnHidden(0));
    EXPECT_TRUE(view.isColumnHidden(3));
    EXPECT_FALSE(view.isColumnHidden(1));
    EXPECT_EQ(view.columnWidth(1), int(std::lround(960 / view.twipsPerPixel())));

    grid.headerClicked(2);
    view.selectAll();
    EXPECT_EQ(view.currentRange(), (GridRange{1, 1, 4, 5}));
    ASSERT_TRUE(view.copyToClipboard());
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(u"Date\tPeak\tOffPeak\tFreezone\tTotal\r"_s)) << copied.toStdString();
    EXPECT_TRUE(copied.endsWith(u"Totals\t6.50\t5.00\t0.25\t0.00"_s)) << copied.toStdString();
    EXPECT_EQ(copied.count(u'\r'), 4);
}

TEST_F(DailyGridTest, ViewAddsUpASelectionDrawnUpwards)
{
    fill(grid);
    flexDisplay view(grid);
    view.afterFill();
    auto* selection = view.selectionModel();
    selection->setCurrentIndex(grid.model().index(2, 2), QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(grid.model().index(1, 2), grid.model().index(2, 2)),
                      QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(view.currentRange(), (GridRange{2, 2, 3, 2}));
    const QString text = view.addUpSelection();
    EXPECT_TRUE(text.startsWith(u"Totals for selected 2 days:\r\n\r\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Peak:                \t3.50 MB"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"OffPeak:             \t4.00 MB"_s)) << text.toStdString();
}

TEST_F(DailyGridTest, WheelMovesTheTopRowByTheLinesSettingWithinTheGrid)
{
    QString szErr;
    ASSERT_TRUE(grid.ParseArrays(false, makeMonth(QDate(2024, 4, 1), 30, false, false), szErr));
    flexDisplay view(grid);
    view.resize(400, 200);
    view.show();
    view.afterFill();
    view.scrollToTop();
    ASSERT_EQ(view.topRow(), 1);
    ASSERT_GT(view.visibleSpan(), 2);
    view.setScrollSettings({u"2"_s, true}); // two rows a notch, a row at a time
    const auto turn = [&view](int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at(10, 10);
        QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    };
    turn(-120);
    EXPECT_EQ(view.topRow(), 3);
    turn(-120, Qt::ShiftModifier);
    EXPECT_EQ(view.topRow(), 4);
    turn(120);
    turn(120);
    EXPECT_EQ(view.topRow(), 1);
}

TEST_F(DailyGridTest, SortingLogsTheColumnAndDirectionAndTheDateSortOnlyForTheDateColumn)
{
    settings.OptionFlags &= ~int32_t(OptionFlag::SortRemember);
    fill(logged);
    settings.SortDir = true;
    logged.SortFlex(1);
    EXPECT_EQ(logCount(u"SortFlex: sorting column 1 in descending order"_s, 6), 1);
    EXPECT_EQ(logCount(u"SortFlex: sorting by dates"_s, 6), 1);
    settings.SortDir = false;
    logged.SortFlex(0);
    EXPECT_EQ(logCount(u"SortFlex: sorting column 0 in ascending order"_s, 6), 1);
    EXPECT_EQ(logCount(u"SortFlex: sorting by dates"_s, 6), 1);
}

TEST_F(DailyGridTest, AFillScrollsFromTheTopJustFarEnoughForTodayAndTheDayAfter)
{
    flexDisplay view(logged);
    view.resize(400, 200);
    view.show();
    QString szErr;
    // Today (2 March) is the 22nd day: model row 21, the day after model row 22.
    ASSERT_TRUE(logged.ParseArrays(false, makeMonth(QDate(2024, 2, 10), 30, false, false), szErr));
    view.afterFill();
    EXPECT_TRUE(rowShown(view, logged, 21));
    EXPECT_TRUE(rowShown(view, logged, 22));
    EXPECT_FALSE(rowShown(view, logged, 23));
    const int top = view.topRow();
    ASSERT_GT(top, 1);
    for (int t = 1; t <= top; ++t)
        EXPECT_EQ(logCount(u"ParseDataSet: scrolling to row "_s + QString::number(t), 6), 1) << t;
    EXPECT_EQ(logCount(u"ParseDataSet: scrolling to row "_s + QString::number(top + 1), 6), 0);

    // A grid left scrolled down still shows an early today from the top.
    view.scrollToBottom();
    logLines.clear();
    ASSERT_TRUE(logged.ParseArrays(false, makeMonth(QDate(2024, 2, 28), 30, false, false), szErr));
    view.afterFill();
    EXPECT_EQ(view.topRow(), 1);
    EXPECT_TRUE(rowShown(view, logged, 3));
    EXPECT_EQ(logCount(u"ParseDataSet: scrolling to row 1"_s, 6), 0);
}

TEST_F(DailyGridTest, AFillWithoutTodayScrollsToTheTotalsUnlessEveryRowShows)
{
    flexDisplay view(logged);
    view.resize(400, 200);
    view.show();
    QString szErr;
    ASSERT_TRUE(logged.ParseArrays(false, makeMonth(QDate(2024, 4, 1), 30, false, false), szErr));
    view.afterFill();
    EXPECT_TRUE(rowShown(view, logged, 30));
    EXPECT_EQ(logCount(u"ParseDataSet: scrolling to bottom of grid"_s, 6), 1);

    view.resize(400, 600);
    logLines.clear();
    ASSERT_TRUE(logged.ParseArrays(false, makeMonth(QDate(2024, 4, 1), 3, false, false), szErr));
    view.afterFill();
    EXPECT_EQ(logCount(u"ParseDataSet: all grid rows visible - no need to do any scrolling"_s, 6), 1);
    EXPECT_EQ(logCount(u"ParseDataSet: scrolling to bottom of grid"_s, 6), 0);
}

TEST_F(DailyGridTest, ADraggedColumnBorderIsSavedOnceWhenTheButtonComesUp)
{
    fill(logged);
    flexDisplay view(logged);
    view.resize(600, 300);
    view.show();
    view.afterFill();
    QHeaderView* header = view.horizontalHeader();
    const int border = header->sectionViewportPosition(2) + header->sectionSize(2) - 1;
    const int y = header->height() / 2;
    QWidget* strip = header->viewport();
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(border, y));
    for (int step = 1; step <= 5; ++step)
        QTest::mouseMove(strip, QPoint(border + 4 * step, y));
    const int widened = view.columnWidth(2);
    QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(border + 20, y));
    EXPECT_EQ(logCount(u"frmMain: saving grid column widths"_s, 6), 1);
    EXPECT_EQ(stored(u"Col2"_s), int32_t(std::lround(widened * view.twipsPerPixel())));
}
