// SPDX-License-Identifier: MIT
#include "frmMainTestSupport.h"

#include "DailyGrid.h"
#include "TextRoutines.h"
#include "ctlUsageBar.h"
#include "flexDisplay.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

using namespace Qt::StringLiterals;

TEST_F(frmMainTest, NormalWidthPutsTheGridOnItsTab)
{
    setOption(OptionFlag::DoubleWidth, false);
    frmMain& w = open();
    const FormGeometry& g = w.formGeometry();
    auto* tabs = find<QTabWidget>(u"tabMain"_s);

    EXPECT_EQ(w.grid().parentWidget(), tabs);
    EXPECT_EQ(w.grid().pos(), QPoint(g.pixelsX(120), g.pixelsY(420)));
    EXPECT_EQ(w.grid().width(), g.pixelsX(6630));
    EXPECT_TRUE(tabs->isTabVisible(1));
    EXPECT_EQ(find<QPushButton>(u"cmdChangeLayout"_s)->text(), u">>"_s);
    EXPECT_EQ(w.width(), g.pixelsAtLeastX(7215));
    EXPECT_EQ(w.height(), g.pixelsY(7260));
    EXPECT_TRUE(logged(u"FormLayout(normal width)"_s));

    // On the tabs the grid shows with its own tab only.
    tabs->setCurrentIndex(0);
    EXPECT_TRUE(w.grid().isHidden());
    tabs->setCurrentIndex(1);
    EXPECT_FALSE(w.grid().isHidden());
}

TEST_F(frmMainTest, DoubleWidthPutsTheGridBesideTheTabsAndHidesTabOne)
{
    setOption(OptionFlag::DoubleWidth, true);
    core.setDword(core.app.configKey(), u"frmMainWidth"_s, 11010);
    frmMain& w = open();
    const FormGeometry& g = w.formGeometry();
    auto* tabs = find<QTabWidget>(u"tabMain"_s);

    // Within a pixel: the window's twips are counted against its font, so a twip need not be a
    // whole fraction of a pixel.
    EXPECT_NEAR(w.widthTwips(), 11010, g.twipsPerPixelX());
    EXPECT_EQ(w.grid().parentWidget(), w.centralWidget());
    const int32_t tabRight = g.twipsX(tabs->x()) + g.twipsX(tabs->width());
    EXPECT_NEAR(w.grid().x(), g.pixelsX(tabRight + 90), 1);
    EXPECT_EQ(w.grid().y(), 0);
    EXPECT_NEAR(w.grid().width(), g.pixelsX(11010 - g.twipsX(tabs->width()) - 430), 1);
    EXPECT_FALSE(tabs->isTabVisible(1));
    EXPECT_FALSE(w.grid().isHidden());
    EXPECT_EQ(find<QPushButton>(u"cmdChangeLayout"_s)->text(), u"<<"_s);

    const QStringList lines = core.logTexts();
    const qsizetype start = lines.indexOf(u"FormLayout(double width)"_s);
    ASSERT_GE(start, 0);
    EXPECT_LT(start, lines.indexOf(u"FormLayout: moving grid to main form"_s));
    EXPECT_TRUE(lines.contains(u"FormLayout: tab count: 3"_s));
    EXPECT_TRUE(lines.contains(u"FormLayout: .TabVisible(1): True"_s));
}

TEST_F(frmMainTest, ChangingLayoutKeepsTheDoubleWidthBeforeGoingNormalAndStoresOptionsAfter)
{
    setOption(OptionFlag::DoubleWidth, true);
    frmMain& w = open();
    const FormGeometry& g = w.formGeometry();
    w.show();
    w.resize(g.pixelsX(10500), w.height());
    settle();
    const int32_t wide = w.widthTwips();
    ASSERT_GE(wide, 10400);
    auto* change = find<QPushButton>(u"cmdChangeLayout"_s);

    change->click();
    EXPECT_EQ(core.dword(core.app.configKey(), u"frmMainWidth"_s), wide);
    EXPECT_FALSE(core.settings.hasOption(OptionFlag::DoubleWidth));
    EXPECT_EQ(core.dword(core.app.configKey(), u"Options"_s), core.settings.OptionFlags);
    EXPECT_EQ(w.width(), g.pixelsAtLeastX(7215));
    EXPECT_EQ(w.grid().parentWidget(), find<QTabWidget>(u"tabMain"_s));
    EXPECT_EQ(change->text(), u">>"_s);
    const QStringList lines = core.logTexts();
    EXPECT_LT(lines.indexOf(u"calling SaveFormLocation: "_s + QString::number(wide) + u"x"_s +
                            QString::number(w.heightTwips())),
              lines.lastIndexOf(u"FormLayout(normal width)"_s));
    EXPECT_TRUE(lines.contains(u"FormLayout: moving grid onto tab"_s));

    // The way back reads the width that was kept.
    change->click();
    settle();
    EXPECT_TRUE(core.settings.hasOption(OptionFlag::DoubleWidth));
    EXPECT_EQ(core.dword(core.app.configKey(), u"Options"_s), core.settings.OptionFlags);
    EXPECT_EQ(w.widthTwips(), wide);
    EXPECT_EQ(w.grid().parentWidget(), w.centralWidget());
}

TEST_F(frmMainTest, ResizingSnapsToTheLayoutsLimits)
{
    setOption(OptionFlag::DoubleWidth, false);
    frmMain& w = open();
    const FormGeometry& g = w.formGeometry();
    w.show();
    settle();

    w.resize(g.pixelsX(9000), g.pixelsY(3000));
    settle();
    EXPECT_EQ(w.width(), g.pixelsAtLeastX(7215));
    EXPECT_EQ(w.height(), g.pixelsAtLeastY(7260));

    w.resize(w.width(), g.pixelsY(9000));
    settle();
    EXPECT_EQ(w.heightTwips(), 9000);
    // The button row ends just above the status bar and the tabs above the button row.
    auto* picMain = find<QWidget>(u"picMain"_s);
    auto* tabs = find<QTabWidget>(u"tabMain"_s);
    EXPECT_LE(picMain->geometry().bottom(), w.centralWidget()->height());
    EXPECT_LT(tabs->geometry().bottom(), picMain->y());

    setOption(OptionFlag::DoubleWidth, true);
    w.SetFormLayout();
    settle();
    w.resize(g.pixelsX(5000), w.height());
    settle();
    EXPECT_GE(w.widthTwips(), 9215);
    EXPECT_LT(w.widthTwips(), 9215 + 2 * g.twipsPerPixelX());
    w.resize(g.pixelsX(10500), w.height());
    settle();
    EXPECT_EQ(w.width(), g.pixelsX(10500));
}

TEST_F(frmMainTest, DebugTabShowsOnlyInDebugMode)
{
    open();
    EXPECT_FALSE(find<QTabWidget>(u"tabMain"_s)->isTabVisible(2));
    window.reset();

    core.run.CmdLineDebug = true;
    frmMain& w = open();
    EXPECT_TRUE(find<QTabWidget>(u"tabMain"_s)->isTabVisible(2));
    const FormGeometry& g = w.formGeometry();
    auto* frame = find<QGroupBox>(u"frameDebug"_s);
    EXPECT_EQ(frame->height(), g.pixelsY(g.twipsY(find<QTabWidget>(u"tabMain"_s)->height()) - 540));
}

TEST_F(frmMainTest, InitValueDisplayResetsEveryFieldForACurrentMonth)
{
    frmMain& w = open();
    w.setControlText({u"txtUsername"_s}, u"someone"_s);
    w.setControlToolTip({u"txtUsername"_s}, u"someone@example"_s);
    w.setControlText({u"txtQuota"_s, 2}, u"4000"_s);
    w.setControlText({u"txtToday"_s, 1}, u"12.00"_s);
    w.setControlText({u"lblTitle"_s, 0}, u"Anytime"_s);
    w.setControlText({u"frameDownloadSummary"_s}, u"Summary for March"_s);
    w.setControlText({u"txtUnlimited"_s}, u"unlimited"_s);
    w.prXPStatusPeak().setCaption(u"50%"_s);
    w.prXPStatusPeak().setValue(50);
    w.prXPStatusPeak().setMarkerVisible(true);

    w.InitValueDisplay(false);
    EXPECT_TRUE(logged(u"calling InitValueDisplay(bHistorical=False)"_s));
    EXPECT_EQ(find<QLineEdit>(u"txtUsername"_s)->text(), u"unknown"_s);
    EXPECT_TRUE(find<QLineEdit>(u"txtUsername"_s)->toolTip().isEmpty());
    for (const char16_t* name : {u"txtAnniversaryDate", u"txtTimeToReset", u"txtIP", u"txtLastConnect", u"txtUptime",
                                 u"txtLastRefresh", u"txtStatus", u"txtBStatus"})
        EXPECT_EQ(find<QLineEdit>(QString::fromUtf16(name))->text(), u"unknown"_s)
            << QString::fromUtf16(name).toStdString();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(find<QLineEdit>(u"txtQuota_"_s + QString::number(i))->text(), u"unknown"_s);
        for (const char16_t* array :
             {u"txtTotal_", u"txtRemaining_", u"txtAverage_", u"txtAvgRemaining_", u"txtToday_"})
            EXPECT_EQ(find<QLineEdit>(QString::fromUtf16(array) + QString::number(i))->text(), u"-"_s);
    }
    EXPECT_EQ(find<QLabel>(u"lblTitle_0"_s)->text(), u"Peak"_s);
    EXPECT_EQ(find<QLabel>(u"lblTitle_1"_s)->text(), u"Freezone"_s);
    EXPECT_EQ(find<QLabel>(u"lblTitle_2"_s)->text(), u"Offpeak"_s);
    EXPECT_TRUE(find<QLineEdit>(u"txtUnlimited"_s)->text().isEmpty());
    EXPECT_EQ(find<QGroupBox>(u"frameDownloadSummary"_s)->title(), u"Summary"_s);
    EXPECT_EQ(find<QGroupBox>(u"frameAccountStatus"_s)->title(), u"Account Status"_s);
    EXPECT_TRUE(w.prXPStatusPeak().Caption().isEmpty());
    EXPECT_EQ(w.prXPStatusPeak().Value(), 0);
    EXPECT_FALSE(w.prXPStatusPeak().MarkerVisible());
    EXPECT_EQ(w.dailyGrid().contents().rowCount(), 1);
    EXPECT_EQ(w.dailyGrid().contents().columnCount(), 1);
}

TEST_F(frmMainTest, InitValueDisplayForAHistoricalMonthOnlyDropsTheShapingTexts)
{
    frmMain& w = open();
    w.setControlText({u"txtUsername"_s}, u"someone"_s);
    w.setControlText({u"txtIP"_s}, u"10.1.2.3"_s);
    w.setControlText({u"txtQuota"_s, 0}, u"4000"_s);
    QString szErr;
    ASSERT_TRUE(w.dailyGrid().ParseArrays(false, threeDays(), szErr));

    w.InitValueDisplay(true);
    EXPECT_TRUE(logged(u"calling InitValueDisplay(bHistorical=True)"_s));
    EXPECT_EQ(find<QLineEdit>(u"txtStatus"_s)->text(), u"n/a"_s);
    EXPECT_EQ(find<QLineEdit>(u"txtBStatus"_s)->text(), u"n/a"_s);
    EXPECT_EQ(find<QLineEdit>(u"txtUsername"_s)->text(), u"someone"_s);
    EXPECT_EQ(find<QLineEdit>(u"txtIP"_s)->text(), u"10.1.2.3"_s);
    EXPECT_EQ(find<QLineEdit>(u"txtQuota_0"_s)->text(), u"unknown"_s);
    EXPECT_EQ(w.dailyGrid().contents().rowCount(), 1);
}

TEST_F(frmMainTest, ControlsAreFoundByNameAndArrayIndex)
{
    frmMain& w = open();
    QWidget* quota = w.control({u"txtQuota"_s, 0});
    ASSERT_NE(quota, nullptr);
    EXPECT_EQ(quota->objectName(), u"txtQuota_0"_s);
    EXPECT_NE(w.control({u"txtAvgRemaining"_s, 2}), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(w.control({u"lblTitle"_s, 2})), nullptr);
    EXPECT_EQ(w.control({u"txtQuota"_s}), nullptr);
    EXPECT_EQ(w.control({u"txtQuota"_s, 3}), nullptr);
    EXPECT_EQ(w.control({u"noSuchControl"_s}), nullptr);
    EXPECT_EQ(w.control({u"frmMain"_s}), &w);
    EXPECT_EQ(w.control({u"flexDisplay"_s}), &w.grid());

    // Frames take the text as their title; unknown names are ignored.
    w.setControlText({u"Frame4"_s}, u"Connection"_s);
    EXPECT_EQ(find<QGroupBox>(u"Frame4"_s)->title(), u"Connection"_s);
    w.setControlText({u"noSuchControl"_s}, u"x"_s);
    w.setControlVisible({u"txtToday"_s, 2}, false);
    EXPECT_TRUE(find<QLineEdit>(u"txtToday_2"_s)->isHidden());
    w.setControlTextColour({u"txtStatus"_s}, 0x0000FF);
    EXPECT_EQ(find<QLineEdit>(u"txtStatus"_s)->palette().color(QPalette::Text), QColor(255, 0, 0));
}

TEST_F(frmMainTest, FirstLoadPlacesTheWindowByTheScreenAndLogsInOrder)
{
    setOption(OptionFlag::DoubleWidth, false);
    frmMain& w = open();
    const FormGeometry& g = w.formGeometry();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const int32_t top = g.twipsY(screen.height()) - 7260 - 1500;
    ASSERT_GT(top, 0) << "the test screen is too small";

    // 1500 twips in from the left, unless the window would then reach past the screen.
    const int32_t left = w.widthTwips() + 1500 > g.twipsX(screen.width()) ? 0 : 1500;
    EXPECT_EQ(w.pos(), QPoint(g.pixelsX(left), g.pixelsY(top)));
    const QStringList lines = core.logTexts();
    const qsizetype loading = lines.indexOf(u"frmMain.Load: loading form"_s);
    const qsizetype layout = lines.indexOf(u"FormLayout(normal width)"_s);
    const qsizetype location = lines.indexOf(u"frmMain.Load: setting form location: left="_s + QString::number(left) +
                                             u", top="_s + QString::number(top) + u", height=7260"_s);
    ASSERT_GE(loading, 0);
    EXPECT_LT(loading, layout);
    EXPECT_LT(layout, location);
    EXPECT_LT(location, lines.indexOf(u"calling InitValueDisplay(bHistorical=False)"_s));
}

TEST_F(frmMainTest, AProfilesOwnPositionOffEveryMonitorIsPulledBack)
{
    setOption(OptionFlag::DoubleWidth, false);
    core.run.ProfileNumber = 2;
    const QString profileKey = core.app.profileKey(2);
    core.setDword(core.app.configKey(), u"frmMainHeight"_s, 7500);
    core.setDword(profileKey, u"frmMainTop"_s, -3000);
    core.setDword(profileKey, u"frmMainLeft"_s, 90000);
    frmMain& w = open();
    const FormGeometry& g = w.formGeometry();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    EXPECT_EQ(w.heightTwips(), 7500);
    EXPECT_EQ(w.y(), g.pixelsY(g.twipsY(screen.top())));
    EXPECT_EQ(w.x(), g.pixelsX(g.twipsX(screen.right() + 1) - w.widthTwips()));

    // Saving writes the position to the profile and the height to the shared key.
    w.SaveFormLocation();
    EXPECT_EQ(core.dword(profileKey, u"frmMainLeft"_s), g.twipsX(w.x()));
    EXPECT_EQ(core.dword(profileKey, u"frmMainTop"_s), g.twipsY(w.y()));
    EXPECT_EQ(core.dword(core.app.configKey(), u"frmMainHeight"_s), 7500);
}

TEST_F(frmMainTest, EveryBoxShowsItsLongestTextWhole)
{
    frmMain& form = open();
    form.show();
    settle();
    const QString figure = FormatTwoDecimals(u"9999999.99"_s, true);
    const auto set = [&](const QString& name, const QString& text) {
        auto* box = find<QLineEdit>(name);
        ASSERT_TRUE(box) << name.toStdString();
        box->setText(text);
    };
    for (const QString& array :
         {u"txtQuota"_s, u"txtTotal"_s, u"txtRemaining"_s, u"txtAverage"_s, u"txtAvgRemaining"_s, u"txtToday"_s}) {
        for (int i = 0; i < 3; ++i)
            set(array + u'_' + QString::number(i), figure);
    }
    set(u"txtUnlimited"_s, u"~ You have an unlimited account, but you may be shaped once quota is reached"_s);
    set(u"txtLastConnect"_s, u"2026-12-01 00:30:00"_s);
    set(u"txtTimeToReset"_s, u"22 days, 12:48"_s);
    settle();
    for (QLineEdit* box : find<QWidget>(u"tabSummary"_s)->findChildren<QLineEdit*>()) {
        if (!box->isVisible() || box->text().isEmpty())
            continue;
        // The text, and the two pixels a line edit keeps free on either side of it.
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()) + 4, box->contentsRect().width())
            << box->objectName().toStdString() << ": " << box->text().toStdString();
    }
}
