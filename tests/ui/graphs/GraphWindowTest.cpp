// SPDX-License-Identifier: MIT
#include "ChartTexts.h"
#include "ChartView.h"
#include "GraphPlacement.h"
#include "GraphTestMonth.h"
#include "PasswordScrambler.h"
#include "SettingsStore.h"
#include "frmTeeGraph.h"
#include "modTeeGraph.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QMap>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {
class GraphWindowTest : public ::testing::Test
{
protected:
    GraphWindowTest()
    {
        ctx.core.clock.set(*LocalDateTime::fromParts(2010, 5, 3, 10, 0, 0));
        ctx.core.run.CurrentMonth = month;
        ctx.core.settings.OptionFlags &= ~int32_t(OptionFlag::History);
    }

    void historyOn(bool withMonths = true)
    {
        ctx.core.settings.OptionFlags |= int32_t(OptionFlag::History);
        QString err;
        ASSERT_TRUE(ctx.history.CheckSQLDatabase(err)) << err.toStdString();
        if (!withMonths)
            return;
        for (const int number : {3, 4}) {
            qoMonth stored = HistoryTestContext::sampleMonth(HistoryTestContext::day(2010, number, 1), 31);
            ASSERT_TRUE(ctx.history.qoMonth2SQL(stored, true, err)) << err.toStdString();
        }
    }
    frmTeeGraph* form() const { return graph.window(); }
    std::optional<int32_t> stored(const QString& name) { return ctx.core.dword(key, name); }
    bool logged(int level, const QString& text) const { return ctx.logAt(level).contains(text); }
    static void processDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    HistoryTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    PasswordScrambler scrambler{ctx.core.app, ctx.core.registry, ctx.core.log};
    SettingsStore store{ctx.core.app, ctx.core.registry, ctx.core.log, scrambler, ctx.core.settings, ctx.core.run};
    GraphContext context{ctx.core.app,      ctx.core.settings, ctx.core.run, ctx.core.log,
                         ctx.core.registry, ctx.core.clock,    ctx.history,  store};
    modTeeGraph graph{context};
    qoMonth month = graphMonth();
    const QString key = ctx.core.app.configKey();
};
} // namespace

TEST_F(GraphWindowTest, AMonthWithoutDaysShowsABoxEvenWhenQuietAndLoadsNothing)
{
    ctx.core.settings.OptionFlags |= int32_t(OptionFlag::QuietMode);
    graph.RefreshTeeGraph(qoMonth());
    EXPECT_FALSE(graph.isLoaded());
    ASSERT_EQ(ctx.core.window.messageBoxes.size(), 1);
    EXPECT_EQ(ctx.core.window.messageBoxes.first().text,
              u"RefreshTeeGraph: there is no data to display,\r\noperation aborted"_s);
}

TEST_F(GraphWindowTest, RefreshLoadsShowsAndDrawsTheDailyChart)
{
    graph.RefreshTeeGraph(month);
    ASSERT_TRUE(graph.isLoaded());
    EXPECT_TRUE(form()->isVisible());
    EXPECT_EQ(form()->windowTitle(), u"Tallyroo Graph for May 2010 [fred]"_s);
    EXPECT_TRUE(logged(3, u"frmTeeGraph: loading form"_s));

    ChartView* daily = form()->TChart1;
    EXPECT_FALSE(daily->isHidden());
    // Options 9: uploads and average, no target.
    EXPECT_EQ(daily->drawnSeries(), (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(form()->chkShowAverage->isChecked());
    EXPECT_TRUE(form()->chkShowUploads->isChecked());
    EXPECT_TRUE(form()->chkShowUploads->isEnabled());
    EXPECT_FALSE(form()->chkShowTarget->isChecked());
    // The tallest day stacks 30 + 3 + 100 MB.
    EXPECT_EQ(daily->ValueAxisMaximum(), 140.0);
    EXPECT_EQ(daily->valueAxisLabels().first(), u"0"_s);
    EXPECT_EQ(daily->valueAxisLabels().last(), u"140.0MB"_s);
    EXPECT_EQ(daily->dateAxisLabels().size(), 31);
    EXPECT_EQ(daily->dateAxisLabels().first(), u"  1 May"_s);
    // Every bar is one day's rectangle, filled in its class colour and edged in its outline
    // colour; null days draw none.
    QMap<QString, QPair<QColor, QColor>> looks;
    QMap<QString, int> bars;
    for (QAbstractSeries* drawn : daily->chart()->series()) {
        if (auto* bar = qobject_cast<QAreaSeries*>(drawn)) {
            looks.insert(bar->name(), {bar->brush().color(), bar->pen().color()});
            EXPECT_NE(bar->pen().style(), Qt::NoPen) << bar->name().toStdString();
            EXPECT_EQ(bar->upperSeries()->count(), 2) << bar->name().toStdString();
            ++bars[bar->name()];
        }
    }
    EXPECT_EQ(looks.value(u"Peak"_s), qMakePair(QColor(0, 160, 240), QColor(0, 128, 192)));
    EXPECT_EQ(looks.value(u"Offpeak"_s), qMakePair(QColor(255, 255, 64), QColor(170, 170, 40)));
    EXPECT_EQ(looks.value(u"Freezone"_s), qMakePair(QColor(0, 255, 0), QColor(0, 192, 0)));
    EXPECT_EQ(looks.value(u"Uploads"_s), qMakePair(QColor(255, 153, 0), QColor(204, 102, 51)));
    EXPECT_EQ(bars.value(u"Peak"_s), 3);
    EXPECT_EQ(bars.value(u"Uploads"_s), 2);
    // Ticking the boxes from the options word stored it.
    EXPECT_EQ(stored(u"GraphTeeOptions"_s), 9);

    // History storage off: the notice stands in for the monthly chart, and that is no failure.
    EXPECT_TRUE(form()->TChart2->isHidden());
    EXPECT_FALSE(form()->lblNoGraph->isHidden());
    EXPECT_TRUE(form()->lblNoGraph->text().startsWith(
        u"Historical data storage must be enabled to view graph of monthly data.\r\n"_s));
    EXPECT_TRUE(ctx.logAt(1).isEmpty());

    ctx.core.settings.Username.clear();
    graph.RefreshTeeGraph(month);
    EXPECT_EQ(form()->windowTitle(), u"Tallyroo Graph for May 2010 [unknown]"_s);
}

TEST_F(GraphWindowTest, MonthlyChartShowsTheStoredMonths)
{
    historyOn();
    graph.RefreshTeeGraph(month);
    ChartView* monthly = form()->TChart2;
    EXPECT_FALSE(monthly->isHidden());
    EXPECT_TRUE(form()->lblNoGraph->isHidden());
    EXPECT_EQ(monthly->dateAxisLabels(), (QStringList{u"  Mar 2010"_s, u"  Apr 2010"_s}));
    EXPECT_EQ(monthly->drawnSeries(), (QList<int>{0, 1, 2, 3}));
    EXPECT_GT(monthly->ValueAxisMaximum(), 1000.0);
    EXPECT_TRUE(monthly->valueAxisLabels().last().endsWith(u"GB"_s));

    // The uploads line is drawn in its line colour, the quota line in its series colour.
    form()->chkShowTarget->setChecked(true);
    QMap<QString, QColor> pens;
    for (QAbstractSeries* drawn : monthly->chart()->series()) {
        if (auto* line = qobject_cast<QLineSeries*>(drawn))
            pens.insert(line->name(), line->pen().color());
    }
    EXPECT_EQ(pens.value(u"Uploads"_s), QColor(204, 102, 51));
    EXPECT_EQ(pens.value(u"Quota"_s), QColor(255, 0, 0));
}

TEST_F(GraphWindowTest, LinesCountEveryDayTheProviderListsWhicheverMonthTheListShows)
{
    // The provider lists the 3rd while the computer's clock still shows the 2nd: the 3rd has figures,
    // though it lies after the last update that cuts the newest month's lines off.
    month.LastUpdate = u"2010-05-02 23:30:00"_s;
    QWidget mainWindow;
    mainWindow.setObjectName(u"frmMain"_s);
    auto* months = new QComboBox(&mainWindow);
    months->setObjectName(u"cboHistory"_s);
    auto averageDays = [this] { return form()->TChart1->model().Series(4).PointCount(); };

    // An empty list (history off) shows no month of its own: the present moment is the cut-off.
    graph.RefreshTeeGraph(month);
    EXPECT_EQ(averageDays(), 3);
    months->addItems({u"May 2010"_s, u"April 2010"_s});
    months->setCurrentIndex(0);
    graph.RefreshTeeGraph(month);
    EXPECT_EQ(averageDays(), 3);
    EXPECT_EQ(form()->TChart1->model().Series(5).YValue(2), (330.0 - 66) / 29); // the quota left from the 3rd on
    months->setCurrentIndex(1);
    graph.RefreshTeeGraph(month);
    EXPECT_EQ(averageDays(), 3);
}

TEST_F(GraphWindowTest, UntickingQuotaTargetHidesBothQuotaLinesAndStoresTheWord)
{
    historyOn();
    ctx.core.settings.GraphTeeOptions = 25;
    graph.RefreshTeeGraph(month);
    ASSERT_TRUE(form()->chkShowTarget->isChecked());
    EXPECT_TRUE(form()->TChart1->model().Series(5).Active);
    EXPECT_TRUE(form()->TChart2->model().Series(4).Active);

    form()->chkShowTarget->setChecked(false);
    EXPECT_EQ(ctx.core.settings.GraphTeeOptions, 9);
    EXPECT_EQ(stored(u"GraphTeeOptions"_s), 9);
    EXPECT_FALSE(form()->TChart1->model().Series(5).Active);
    EXPECT_FALSE(form()->TChart2->model().Series(4).Active);
    EXPECT_FALSE(form()->TChart1->drawnSeries().contains(5));
    EXPECT_FALSE(form()->TChart2->drawnSeries().contains(4));
}

TEST_F(GraphWindowTest, TargetBoxWorksWhileHistoryIsOff)
{
    graph.RefreshTeeGraph(month);
    form()->chkShowTarget->setChecked(true);
    EXPECT_EQ(ctx.core.settings.GraphTeeOptions, 25);
    EXPECT_TRUE(form()->TChart1->model().Series(5).Active);
    EXPECT_TRUE(ctx.logAt(3).filter(u"runtime error"_s).isEmpty());
}

TEST_F(GraphWindowTest, UploadsBoxFollowsTheStoredHistoryOnceTheMonthlyChartIsBuilt)
{
    // The daily month has no uploads, the stored history has: the monthly build enables the box
    // (unticked, as the daily build left it), so the monthly uploads line can still be hidden.
    historyOn();
    month.DailyHeaders[DailyHeader::Uploads].clear();
    graph.RefreshTeeGraph(month);
    QCheckBox* uploads = form()->chkShowUploads;
    ChartView* monthly = form()->TChart2;
    EXPECT_TRUE(uploads->isEnabled());
    EXPECT_FALSE(uploads->isChecked());
    EXPECT_TRUE(monthly->drawnSeries().contains(3));
    uploads->setChecked(true);
    uploads->setChecked(false);
    EXPECT_FALSE(monthly->model().Series(3).Active);
    EXPECT_FALSE(monthly->drawnSeries().contains(3));
    EXPECT_FALSE(form()->TChart1->model().Series(3).Active);
    EXPECT_EQ(ctx.core.settings.GraphTeeOptions, 8);
    EXPECT_EQ(stored(u"GraphTeeOptions"_s), 8);
    EXPECT_EQ(form()->TChart1->model().Series(0).BarWidthPercent, 70);

    // No stored day has uploads: the box is disabled and unticked although the daily month has
    // them, and then clicking it changes nothing.
    ctx.exec(u"update DailyData set Upload = 0"_s);
    ctx.core.settings.GraphTeeOptions = 9;
    month = graphMonth();
    graph.RefreshTeeGraph(month);
    EXPECT_FALSE(uploads->isEnabled());
    EXPECT_FALSE(uploads->isChecked());
    EXPECT_FALSE(monthly->model().Series(3).Active);
    EXPECT_TRUE(form()->TChart1->model().Series(3).Active);
    uploads->setChecked(true);
    EXPECT_EQ(ctx.core.settings.GraphTeeOptions, 9);
}

namespace {
// Moves the pointer to a value of the chart as the window system does, so that Qt's own tooltip
// timer runs as it does for a real pointer. The chart's tooltip text.
QString pointAt(ChartView* chart, double x, double y)
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    const QPointF local = chart->mapFromScene(chart->chart()->mapToScene(chart->chart()->mapToPosition({x, y})));
    QTest::mouseMove(chart->window()->windowHandle(), chart->viewport()->mapTo(chart->window(), local.toPoint()));
    return chart->toolTip();
}
} // namespace

TEST_F(GraphWindowTest, ATipNamesWhatIsUnderThePointerAndStaysWhileItRests)
{
    historyOn();
    graph.RefreshTeeGraph(month);
    // The peak bar of 2 May, with the uploads bar beside it, and March's peak area.
    const double may2 = HistoryTestContext::day(2010, 5, 2).toSerial() - 0.2;
    for (const auto& [tab, x, y, tip] :
         {std::tuple{0, may2, 10.0, u"Peak: 20.00 MB"_s}, std::tuple{1, 0.2, 250.0, u"Mar 2010 Peak: 504 MB"_s}}) {
        form()->tabGraphs->setCurrentIndex(tab);
        ChartView* chart = tab == 0 ? form()->TChart1 : form()->TChart2;
        pointAt(chart, x, y);
        QTest::qWait(1500);
        // A step within the same bar or area keeps the tip up.
        pointAt(chart, x + 0.05, y);
        QTest::qWait(700);
        EXPECT_TRUE(QToolTip::isVisible()) << tab;
        EXPECT_EQ(QToolTip::text(), tip);
        pointAt(chart, x, chart->ValueAxisMaximum() * 0.99);
        QTest::qWait(700);
        EXPECT_FALSE(QToolTip::isVisible()) << tab;
    }
    // The monthly tip follows the pointer from month to month and class to class. March's days
    // hold 503.75 MB of peak use and April's 472.5 MB, under 930 and 870 MB of off-peak use.
    ChartView* monthly = form()->TChart2;
    EXPECT_EQ(pointAt(monthly, 0.8, 250), u"Apr 2010 Peak: 473 MB"_s);
    EXPECT_EQ(pointAt(monthly, 0.3, 250), u"Mar 2010 Peak: 504 MB"_s);
    EXPECT_EQ(pointAt(monthly, 0.7, 1000), u"Apr 2010 Offpeak: 870 MB"_s);
    // Above the stacked areas no month is named.
    EXPECT_EQ(pointAt(monthly, 0.5, 1480), QString());
}

TEST_F(GraphWindowTest, AFailedDailyBuildHidesThatChartUntilABuildSucceeds)
{
    qoMonth broken = month;
    broken.DailyFreezone.removeLast();
    graph.RefreshTeeGraph(broken);
    ASSERT_TRUE(graph.isLoaded());
    EXPECT_TRUE(form()->TChart1->isHidden());
    EXPECT_TRUE(logged(1, u"RefreshTeeGraph: RefreshDailyGraph failed: [9] Subscript out of range"_s));
    EXPECT_FALSE(form()->lblNoGraph->isHidden());

    graph.RefreshTeeGraph(month);
    EXPECT_FALSE(form()->TChart1->isHidden());
}

TEST_F(GraphWindowTest, AnEmptyHistoryHidesTheMonthlyChart)
{
    historyOn(false);
    graph.RefreshTeeGraph(month);
    EXPECT_TRUE(form()->TChart2->isHidden());
    EXPECT_FALSE(form()->TChart1->isHidden());
    EXPECT_EQ(ctx.logAt(1).filter(u"RefreshTeeGraph: RefreshMonthlyGraph failed: [9] "_s).size(), 1);
}

TEST_F(GraphWindowTest, HideChartsHidesBoth)
{
    graph.hideCharts();
    EXPECT_FALSE(graph.isLoaded());
    historyOn();
    graph.RefreshTeeGraph(month);
    graph.hideCharts();
    EXPECT_TRUE(form()->TChart1->isHidden());
    EXPECT_TRUE(form()->TChart2->isHidden());
}

TEST_F(GraphWindowTest, DefaultPlacementSitsAboveTheMainWindow)
{
    GraphPlacement placement(ctx.core.app, ctx.core.registry);
    EXPECT_EQ(placement.load(9000, 1500), (GraphPlacementValues{0, 6000, 12000, 2500, 1500}));
    EXPECT_EQ(placement.load(6499, 0).top, 200);
    EXPECT_EQ(placement.load(6500, 0).top, 0);
    ctx.core.setDword(key, u"frmTeeChartWindowState"_s, 1);
    ctx.core.setDword(key, u"frmTeeChartHeight"_s, 4500);
    EXPECT_EQ(placement.load(9000, 0).state, 0);
    EXPECT_EQ(placement.load(9000, 0).top, 4000);
    ctx.core.setDword(key, u"frmTeeChartWindowState"_s, 2);
    EXPECT_EQ(placement.load(9000, 0).state, 2);
}

TEST_F(GraphWindowTest, PlacementIsRestoredAndSavedOnClose)
{
    ctx.core.setDword(key, u"frmTeeChartHeight"_s, 4500);
    ctx.core.setDword(key, u"frmTeeChartWidth"_s, 9000);
    ctx.core.setDword(key, u"frmTeeChartTop"_s, 300);
    ctx.core.setDword(key, u"frmTeeChartLeft"_s, 450);
    graph.RefreshTeeGraph(month);
    ASSERT_TRUE(graph.isLoaded());
    EXPECT_EQ(form()->placement(), (GraphPlacementValues{0, 4500, 9000, 300, 450}));

    form()->resize(600, 320);
    form()->cmdClose->click();
    EXPECT_FALSE(graph.isLoaded());
    processDeletes();
    EXPECT_EQ(stored(u"frmTeeChartWindowState"_s), 0);
    EXPECT_EQ(stored(u"frmTeeChartWidth"_s), 9000);
    EXPECT_EQ(stored(u"frmTeeChartHeight"_s), 4800);
    EXPECT_EQ(stored(u"frmTeeChartTop"_s), 300);
    EXPECT_TRUE(logged(6, u"frmTeeGraph: closing form"_s));

    graph.RefreshTeeGraph(month);
    ASSERT_TRUE(graph.isLoaded());
    EXPECT_EQ(form()->placement(), (GraphPlacementValues{0, 4800, 9000, 300, 450}));
}

TEST_F(GraphWindowTest, AMaximisedWindowSavesOnlyItsState)
{
    ctx.core.setDword(key, u"frmTeeChartHeight"_s, 4500);
    graph.RefreshTeeGraph(month);
    form()->showMaximized();
    graph.unload();
    processDeletes();
    EXPECT_FALSE(graph.isLoaded());
    EXPECT_EQ(stored(u"frmTeeChartWindowState"_s), 2);
    EXPECT_EQ(stored(u"frmTeeChartHeight"_s), 4500);
    EXPECT_FALSE(stored(u"frmTeeChartWidth"_s).has_value());

    graph.RefreshTeeGraph(month);
    EXPECT_TRUE(form()->isMaximized());
}

TEST_F(GraphWindowTest, ANormalWindowSnapsToItsSmallestSize)
{
    graph.RefreshTeeGraph(month);
    form()->resize(5000 / 15, 3000 / 15);
    const GraphPlacementValues placement = form()->placement();
    EXPECT_GE(placement.width, 8000);
    EXPECT_LT(placement.width, 8000 + 15);
    EXPECT_GE(placement.height, 4000);
    EXPECT_LT(placement.height, 4000 + 15);
}

namespace {
// The axis labels the chart draws: text items that are shown and draw something, as the user
// sees them (not the texts handed to the axes).
struct DrawnLabels
{
    QList<QGraphicsTextItem*> dates;
    QList<QGraphicsTextItem*> values;
    QList<QGraphicsTextItem*> legend;
    QStringList all;
};

DrawnLabels drawnLabels(ChartView* chart)
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DrawnLabels drawn;
    const QRectF plot = chart->chart()->plotArea();
    for (QGraphicsItem* item : chart->scene()->items(Qt::AscendingOrder)) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || text->toPlainText().trimmed().isEmpty())
            continue;
        drawn.all.append(text->toPlainText());
        if (text->rotation() != 0)
            drawn.dates.append(text);
        else if (chart->chart()->legend()->isAncestorOf(text))
            drawn.legend.append(text);
        else if (text->sceneBoundingRect().right() <= plot.left())
            drawn.values.append(text);
    }
    const auto byPosition = [](QList<QGraphicsTextItem*>& items, bool across) {
        std::sort(items.begin(), items.end(), [across](QGraphicsTextItem* a, QGraphicsTextItem* b) {
            return across ? a->sceneBoundingRect().left() < b->sceneBoundingRect().left()
                          : a->sceneBoundingRect().top() > b->sceneBoundingRect().top();
        });
    };
    byPosition(drawn.dates, true);
    byPosition(drawn.values, false);
    byPosition(drawn.legend, false);
    return drawn;
}

// The labels drawn are the first, the last and evenly spread ones between, each whole: the places
// they take in whole lie steps apart that differ by one at most. The smallest step.
int evenStep(const QList<QGraphicsTextItem*>& drawn, const QStringList& whole)
{
    QList<qsizetype> places;
    for (QGraphicsTextItem* label : drawn)
        places.append(whole.indexOf(label->toPlainText().trimmed()));
    EXPECT_EQ(places.value(0, -1), 0);
    EXPECT_EQ(places.value(places.size() - 1, -1), whole.size() - 1);
    qsizetype least = whole.size(), most = 0;
    for (qsizetype i = 1; i < places.size(); ++i) {
        least = std::min(least, places[i] - places[i - 1]);
        most = std::max(most, places[i] - places[i - 1]);
    }
    EXPECT_LE(most - least, 1);
    return int(least);
}

// No two labels overlap and each lies wholly inside the chart.
void expectApartAndInside(const QList<QGraphicsTextItem*>& labels, const QRectF& chart)
{
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const QRectF box = labels[i]->sceneBoundingRect();
        EXPECT_TRUE(chart.contains(box)) << labels[i]->toPlainText().toStdString();
        if (i > 0) {
            EXPECT_FALSE(box.intersects(labels[i - 1]->sceneBoundingRect())) << labels[i]->toPlainText().toStdString();
        }
    }
}

// The labels the chart draws now are whole, apart, inside it and evenly thinned; the legend's
// entries name the first series drawn, top down, each with its marker inside what the legend
// shows. The steps between the date labels and between the value labels drawn, and the entries.
std::tuple<int, int, qsizetype> expectWholeAndEven(ChartView* chart, const QStringList& dates)
{
    const DrawnLabels drawn = drawnLabels(chart);
    for (const QString& text : drawn.all) {
        EXPECT_FALSE(text.contains(u"\u2026"_s) || text.contains(u"..."_s) || text.contains(u"\u22ee"_s))
            << text.toStdString();
    }
    const QRectF inside(QPointF(0, 0), QSizeF(chart->viewport()->size()));
    expectApartAndInside(drawn.dates, inside);
    expectApartAndInside(drawn.values, inside);
    QStringList values;
    for (const QString& label : chart->valueAxisLabels())
        values.append(label.trimmed());
    const QRectF legend = chart->chart()->legend()->sceneBoundingRect() & inside;
    for (qsizetype i = 0; i < drawn.legend.size(); ++i) {
        const QGraphicsTextItem* entry = drawn.legend[drawn.legend.size() - 1 - i];
        EXPECT_EQ(entry->toPlainText(), chart->model().Series(chart->drawnSeries().value(i)).Title);
        for (const QGraphicsItem* part : entry->parentItem()->childItems())
            EXPECT_TRUE(legend.contains(part->sceneBoundingRect())) << entry->toPlainText().toStdString();
    }
    return {evenStep(drawn.dates, dates), evenStep(drawn.values, values), drawn.legend.size()};
}
} // namespace

// Days of a whole month and years of stored months, at the size the window opens at, a larger
// one, the smallest it allows, and back: labels are thinned only where they would overlap.
TEST_F(GraphWindowTest, AxesDrawTheirLabelsWholeWithTheFirstAndLastAndThinEvenlyBetween)
{
    historyOn(false);
    ctx.core.settings.GraphTeeOptions = 25;
    QStringList days;
    for (int day = 1; day <= 31; ++day)
        days.append(QString::number(day) + u" Jan"_s);
    QStringList months;
    QString err;
    for (const int count : {48, 120}) {
        while (months.size() < count) {
            const LocalDateTime start = HistoryTestContext::day(2006, 1, 1).addMonths(int(months.size()));
            ASSERT_TRUE(ctx.history.qoMonth2SQL(HistoryTestContext::sampleMonth(start, 2), true, err));
            months.append(ChartTexts::monthLabel(start));
        }
        graph.RefreshTeeGraph(HistoryTestContext::sampleMonth(HistoryTestContext::day(2010, 1, 1), 31));
        ASSERT_EQ(form()->size(), QSize(800, 400));
        for (const QSize size : {QSize(800, 400), QSize(1400, 900), QSize(300, 200), QSize(800, 400)}) {
            SCOPED_TRACE(count * 10000 + size.width());
            form()->resize(size);
            form()->tabGraphs->setCurrentIndex(0);
            const auto [dateStep, valueStep, entries] = expectWholeAndEven(form()->TChart1, days);
            // Where the legend has no room for all, the classes stay; the check boxes name the lines.
            EXPECT_GE(entries, size.width() < 800 ? 3 : 6);
            EXPECT_EQ(dateStep > 1, size.width() < 800);
            EXPECT_TRUE(valueStep == 1 || size.width() < 800);
            form()->tabGraphs->setCurrentIndex(1);
            const auto [monthStep, yearValueStep, monthEntries] = expectWholeAndEven(form()->TChart2, months);
            EXPECT_GE(monthEntries, size.width() < 800 ? 3 : 5);
            if (size.width() <= 800) {
                EXPECT_GT(monthStep, 1);
            }
        }
    }
    // A line drawn again at the smallest size, and its entry with it.
    form()->resize(300, 200);
    form()->tabGraphs->setCurrentIndex(0);
    for (const bool uploads : {false, true}) {
        form()->chkShowUploads->setChecked(uploads);
        EXPECT_GE(std::get<2>(expectWholeAndEven(form()->TChart1, days)), 3);
    }
}
