// SPDX-License-Identifier: MIT
// The month on the main window and its state on the tray icon, as a refresh or the month list
// leaves them.
#include "MainWindowSeamTest.h"

#include "DailyGrid.h"
#include "DefaultLocale.h"
#include "GridFill.h"
#include "MonthDisplay.h"
#include "TestEnvironment.h"
#include "TrayMenu.h"
#include "ctlUsageBar.h"
#include "frmMain.h"
#include "modSysTray.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

TEST_F(MainWindowSeamTest, StartShowsTheEmptyPictureAndTheProductName)
{
    EXPECT_TRUE(seam.isFormLoaded());
    EXPECT_TRUE(seam.isMainWindowVisible());
    EXPECT_EQ(seam.tray()->LastTrayIcon(), u"none_none"_s);
    EXPECT_EQ(seam.tray()->LastTrayToolTip(), u"Tallyroo"_s);
    EXPECT_EQ(text(u"txtUsername"_s), u"unknown"_s);
}

TEST_F(MainWindowSeamTest, ARefreshPutsTheMonthOnTheWindowAndItsStateOnTheTray)
{
    ASSERT_TRUE(refresh());
    const qoMonth& month = core.run.CurrentMonth;
    EXPECT_EQ(seam.tray()->LastTrayIcon(), MonthDisplay::TrayPictureKey(month));
    EXPECT_TRUE(seam.tray()->LastTrayToolTip().startsWith(u"Tallyroo [alice]: "_s))
        << seam.tray()->LastTrayToolTip().toStdString();

    EXPECT_EQ(text(u"txtUsername"_s), u"alice"_s);
    EXPECT_EQ(text(u"txtLastRefresh"_s), month.LastUpdate);
    EXPECT_NE(text(u"txtTotal"_s, 0), u"-"_s);
    // The grid below its titles: one row a day of the month so far, then the totals.
    EXPECT_EQ(seam.form()->dailyGrid().model().rowCount(), 20 + 1);
    // The peak bar shows the used share; the animation stopped with the refresh.
    EXPECT_TRUE(seam.form()->prXPStatusPeak().Caption().endsWith(u'%'))
        << seam.form()->prXPStatusPeak().Caption().toStdString();
    EXPECT_FALSE(seam.form()->tmrAnimate().isActive());
    EXPECT_TRUE(seam.form()->refreshControlsEnabled());
    // The month list holds the stored month and its back-filled predecessor, newest first.
    ASSERT_EQ(seam.form()->cboHistory().count(), 2);
    EXPECT_EQ(seam.form()->cboHistory().itemText(0), u"March 2024"_s);
}

TEST_F(MainWindowSeamTest, AFailedRefreshShowsTheErrorPicture)
{
    core.settings.Password = u"not the password"_s;
    EXPECT_FALSE(refresh());
    EXPECT_EQ(seam.tray()->LastTrayIcon(), u"error"_s);
    EXPECT_TRUE(seam.tray()->LastTrayToolTip().contains(u"Invalid username or password"_s))
        << seam.tray()->LastTrayToolTip().toStdString();
    EXPECT_TRUE(seam.form()->refreshControlsEnabled());
}

TEST_F(MainWindowSeamTest, TheAnimationCyclesNineFramesOnTheTray)
{
    seam.setTrayAnimation(true);
    EXPECT_TRUE(seam.form()->tmrAnimate().isActive());
    seam.setTrayAnimation(false);
    EXPECT_FALSE(seam.form()->tmrAnimate().isActive());

    // The ticks by hand: the timer itself would add frames of its own while events run.
    QStringList frames;
    for (int tick = 0; tick < 10; ++tick) {
        seam.commands()->tmrAnimate_Timer();
        frames << seam.tray()->LastTrayIcon();
    }
    EXPECT_EQ(frames.first(), u"working1"_s);
    EXPECT_EQ(frames.at(8), u"working9"_s);
    EXPECT_EQ(frames.last(), u"working1"_s);
}

TEST_F(MainWindowSeamTest, TheLinkMenuFollowsTheLinksOfTheProfile)
{
    core.settings.AccountType = 1;
    links.SetURLs();
    EXPECT_EQ(seam.trayMenu()->linksMenu().title(), ProviderLinks::menuCaption(1));
    int shown = 0;
    for (const TrayMenu::LinkItem& link : TrayMenu::linkItems()) {
        const QAction* item = seam.trayMenu()->item(QString::fromLatin1(link.objectName));
        ASSERT_NE(item, nullptr) << link.objectName;
        EXPECT_EQ(item->isVisible(), !(core.run.*link.link).isEmpty()) << link.objectName;
        shown += item->isVisible() ? 1 : 0;
    }
    // A brand has some links and not all of them.
    EXPECT_GT(shown, 0);
}

TEST_F(MainWindowSeamTest, TheMonthListAndTheRefreshControlsAreTheWindows)
{
    seam.setMonthListSelecting(true);
    seam.clearMonthList();
    seam.addMonthListItem(u"March 2024"_s);
    seam.setMonthListIndex(0);
    seam.setMonthListSelecting(false);
    EXPECT_EQ(seam.form()->cboHistory().currentText(), u"March 2024"_s);
    EXPECT_FALSE(seam.form()->bIgnoreHistoryClick);

    seam.setRefreshControlsEnabled(false);
    EXPECT_FALSE(seam.form()->refreshControlsEnabled());
    EXPECT_FALSE(seam.trayMenu()->item(u"mnuPopup_Refresh"_s)->isEnabled());
    seam.setRefreshControlsEnabled(true);
    EXPECT_TRUE(seam.trayMenu()->item(u"mnuPopup_Refresh"_s)->isEnabled());
}

TEST_F(MainWindowSeamTest, TheGridShowsEveryClassAsTheMonthsCsvDoes)
{
    core.settings.OptionFlags |= int32_t(OptionFlag::CSVExport);
    ASSERT_TRUE(refresh());
    const QList<QByteArray> csv = TestEnvironment::readFile(core.run.DataDir + u"/202403.csv"_s).trimmed().split('\n');
    const GridContents& grid = seam.form()->dailyGrid().contents();
    ASSERT_EQ(csv.size(), grid.rowCount());
    // The sample account names its classes "Peak", "Off-peak", "Freezone", "Total", "Uploads".
    ASSERT_EQ(csv.first().trimmed(), QByteArray("Date, Peak, Off-peak, Freezone, Total, Uploads"));
    for (int row = 1; row < grid.rowCount(); ++row) {
        const QList<QByteArray> fields = csv.at(row).split(',');
        ASSERT_EQ(fields.size(), grid.columnCount() - 1);
        for (int column = 2; column < grid.columnCount(); ++column) {
            const double shown = QString(grid.text(row, column)).remove(u',').toDouble();
            const double exported = fields.at(column - 1).trimmed().toDouble();
            // The totals row adds up the days as shown; the export takes the provider's totals.
            EXPECT_NEAR(shown, exported, grid.isDayRow(row) ? 0.0 : 0.011)
                << "row " << row << ", " << grid.text(0, column).toStdString();
        }
    }
}

TEST_F(MainWindowSeamTest, FiguresOnScreenFollowTheLocaleAndTheExportsKeepTheirForm)
{
    struct GermanLocale
    {
        GermanLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
        ~GermanLocale() { QLocale::setDefault(QLocale::c()); }
    } inGerman;
    core.settings.OptionFlags |= int32_t(OptionFlag::CSVExport | OptionFlag::CommaSeparators);
    ASSERT_TRUE(refresh());

    const qoMonth& month = core.run.CurrentMonth;
    const GridContents& grid = seam.form()->dailyGrid().contents();
    const int totals = grid.rowCount() - 1;
    // Thousands in groups of a "." and two decimals after a ",".
    const QRegularExpression german(u"^-?\\d{1,3}(\\.\\d{3})*,\\d\\d$"_s);
    EXPECT_TRUE(german.match(grid.text(totals, 2)).hasMatch()) << grid.text(totals, 2).toStdString();
    EXPECT_TRUE(german.match(text(u"txtTotal"_s, 0)).hasMatch()) << text(u"txtTotal"_s, 0).toStdString();
    EXPECT_NEAR(gridCellValue(grid.text(totals, 2)).value_or(0), month.TotalPeak, 0.011);
    EXPECT_TRUE(seam.tray()->LastTrayToolTip().contains(u"."_s + QString::number(int(month.TotalPeak) % 1000)))
        << seam.tray()->LastTrayToolTip().toStdString();

    const QByteArray csv = TestEnvironment::readFile(core.run.DataDir + u"/202403.csv"_s);
    EXPECT_TRUE(csv.contains(QByteArray("Totals, " + QByteArray::number(month.TotalPeak, 'f', 2) + ", ")))
        << csv.constData();
}

TEST_F(MainWindowSeamTest, AStoredMonthAfterAShapedOneShowsItsStatusInTheSystemColour)
{
    core.settings.Username = u"anytime"_s;
    core.settings.Password = u"anytime-pass"_s;
    ASSERT_TRUE(refresh());
    const auto* status = qobject_cast<QLineEdit*>(seam.form()->control({u"txtStatus"_s}));
    ASSERT_TRUE(status);
    ASSERT_EQ(status->palette().color(QPalette::Text), QColor(255, 0, 0));

    QComboBox& months = seam.form()->cboHistory();
    ASSERT_EQ(months.count(), 2);
    months.setCurrentIndex(1);
    emit months.activated(1);
    EXPECT_EQ(status->text(), u"n/a"_s);
    EXPECT_EQ(status->palette().color(QPalette::Text), QApplication::palette(status).color(QPalette::ButtonText));
}

TEST_F(MainWindowSeamTest, MonthNamesOnScreenAreTheUsersAndTheListReadsThemBack)
{
    const DefaultLocale german(DefaultLocale::german());
    ASSERT_TRUE(refresh());
    QComboBox& months = seam.form()->cboHistory();
    ASSERT_EQ(months.count(), 2);
    EXPECT_EQ(months.itemText(0), u"M\u00e4rz 2024"_s);
    EXPECT_EQ(months.itemText(1), u"Februar 2024"_s);

    months.setCurrentIndex(1);
    emit months.activated(1);
    EXPECT_EQ(core.run.CurrentMonth.AnniversaryDate.date().month(), 2);
    const auto* summary = qobject_cast<QGroupBox*>(seam.form()->control({u"frameDownloadSummary"_s}));
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->title(), u"Summary for Februar 2024"_s);
    const QStringList status = core.logTexts().filter(u"viewing data for "_s);
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status.first().startsWith(u"viewing data for Februar 2024, last updated "_s))
        << status.first().toStdString();

    seam.commands()->cmdTeeGraph_Click();
    QString caption;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == u"frmTeeGraph"_s)
            caption = window->windowTitle();
    EXPECT_EQ(caption, u"Tallyroo Graph for Februar 2024 [alice]"_s);
}
