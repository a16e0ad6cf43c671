// SPDX-License-Identifier: MIT
#include "ConfigTestContext.h"
#include "RegistryHive.h"
#include "UpDownControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ConfigLoadTest, ShowsTheSettings)
{
    ConfigTestContext t(u"load"_s);
    Settings& s = t.core.settings;
    s.Username = u"fred@quolla.example"_s;
    s.Password = u"secret"_s;
    s.AccountType = 2;
    s.UseJSONFeed = false;
    s.UseProxy = true;
    s.Proxy = u"proxy:8080"_s;
    s.ProxyUID = u"pu"_s;
    s.ProxyPWD = u"pp"_s;
    s.OptionFlags = OptionFlag::History | OptionFlag::QuietMode | OptionFlag::SortRemember;
    s.VerCheckOptions = 2;
    s.VerCheckInterval = 1;
    s.Interval = 60;
    s.StartupRefreshDelay = 5;
    s.Timeout = 90;
    t.core.run.DataDir = t.core.folder;
    auto dialog = t.open();
    const ConfigControls& ui = dialog->controls();

    EXPECT_EQ(dialog->objectName(), u"frmConfig"_s);
    EXPECT_EQ(dialog->windowTitle(), u"Tallyroo Configuration"_s);
    EXPECT_EQ(dialog->findChild<QLabel*>(u"lblStatus"_s), ui.lblStatus);
    EXPECT_EQ(ui.tabConfig->count(), 6);
    EXPECT_EQ(ui.tabConfig->tabText(4), u"Updates"_s);
    EXPECT_EQ(ui.txtUsername->text(), u"fred@quolla.example"_s);
    EXPECT_EQ(ui.txtPassword->text(), u"secret"_s);
    EXPECT_EQ(ui.txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(ui.txtProxyPwd->echoMode(), QLineEdit::Password);
    // Masked with "*", not the style's own dot.
    EXPECT_EQ(ui.txtPassword->displayText(), u"******"_s);
    EXPECT_EQ(ui.txtProxyPwd->displayText(), u"**"_s);
    EXPECT_EQ(ui.cboAccountType->count(), 5);
    EXPECT_EQ(ui.cboAccountType->currentText(), u"Corvo"_s);
    EXPECT_EQ(ui.cboDataSource->currentIndex(), 0);
    EXPECT_TRUE(ui.chkUseXMLFeed->isChecked());
    EXPECT_FALSE(ui.chkUseXMLFeed->isEnabled());
    EXPECT_TRUE(ui.chkUseProxy->isChecked());
    EXPECT_EQ(ui.txtProxy->text(), u"proxy:8080"_s);
    EXPECT_EQ(ui.txtProxyUID->text(), u"pu"_s);
    EXPECT_EQ(ui.txtProxyPwd->text(), u"pp"_s);
    EXPECT_TRUE(ui.chkHistory->isChecked());
    EXPECT_TRUE(ui.chkQuietMode->isChecked());
    EXPECT_TRUE(ui.chkSortRemember->isChecked());
    EXPECT_FALSE(ui.chkAutoRefresh->isChecked());
    EXPECT_FALSE(ui.chkDoubleWidth->isChecked());
    EXPECT_FALSE(ui.chkVerCheckTimed->isChecked());
    EXPECT_TRUE(ui.chkVerCheckStartup->isChecked());
    EXPECT_EQ(ui.cboVerCheckInterval->currentText(), u"week"_s);
    EXPECT_FALSE(ui.cboVerCheckInterval->isEnabled());
    EXPECT_EQ(ui.txtInterval->text(), u"60"_s);
    EXPECT_EQ(ui.txtDelay->text(), u"5"_s);
    EXPECT_EQ(ui.txtTimeout->text(), u"90"_s);
    EXPECT_FALSE(ui.chkAutoStartup->isChecked());
    EXPECT_EQ(ui.lblStatus->text(), u"no record of last version check"_s);
    // Status texts may come from the web site: never read as markup.
    EXPECT_EQ(ui.lblStatus->textFormat(), Qt::PlainText);
    EXPECT_EQ(ui.txtDataPath->text(), t.core.folder);
    EXPECT_TRUE(ui.txtDataPath->isReadOnly());
    // Only the plan details are left out of the tab order.
    EXPECT_NE(ui.txtDataPath->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_EQ(ui.txtPlanName->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_EQ(ui.lblMigrationStatus->text(), u"-1 (unknown migration status)"_s);
    EXPECT_EQ(ui.txtLogFile->text(), t.core.folder + u"/debug.log"_s);
    EXPECT_EQ(ui.txtProductName->text(), u"unknown"_s);
    EXPECT_EQ(ui.txtPlanName->text(), u"unknown"_s);
    EXPECT_EQ(ui.txtPeakTime->text(), u"not specified"_s);
    EXPECT_EQ(ui.lblPeakTimeName->text(), u"Peak time:"_s);
}

TEST(ConfigLoadTest, TheDebugLogBoxShowsTheStartOfALongPathAndTheWholeOfItAsItsTooltip)
{
    ConfigTestContext t(u"logpath"_s);
    // Deep enough to be wider than the box, with a folder named like markup.
    t.core.run.DataDir = t.core.folder + u"/<i>scratch</i>"_s + QString(12, u'/').replace(u"/"_s, u"/deeper"_s);
    const QString path = t.core.run.DataDir + u"/debug.log"_s;
    auto dialog = t.open();
    dialog->show();
    const QLineEdit& box = *dialog->controls().txtLogFile;
    ASSERT_EQ(box.text(), path);
    ASSERT_GT(box.fontMetrics().horizontalAdvance(path), box.width());
    // A box scrolls to keep its cursor in sight: at the first character, the path shows from its start.
    EXPECT_EQ(box.cursorPosition(), 0);
    QTextDocument tip;
    tip.setHtml(box.toolTip());
    EXPECT_EQ(tip.toPlainText().replace(QChar::Nbsp, u' '), path);
}

TEST(ConfigLoadTest, OutOfRangeValuesAreHeldWithinTheControls)
{
    ConfigTestContext t(u"clamps"_s);
    Settings& s = t.core.settings;
    s.AccountType = 7;
    s.VerCheckInterval = -3;
    s.Interval = 10;
    s.StartupRefreshDelay = 0;
    s.Timeout = 500;
    auto dialog = t.open();
    const ConfigControls& ui = dialog->controls();
    EXPECT_EQ(ui.cboAccountType->currentIndex(), 4);
    EXPECT_EQ(s.AccountType, 4);
    EXPECT_EQ(ui.cboVerCheckInterval->currentText(), u"day"_s);
    EXPECT_EQ(s.VerCheckInterval, 0);
    EXPECT_EQ(ui.txtInterval->text(), u"15"_s);
    EXPECT_EQ(ui.txtDelay->text(), u"1"_s);
    EXPECT_EQ(ui.txtTimeout->text(), u"300"_s);
    // The up-downs hold the values; the settings themselves wait for Apply.
    EXPECT_EQ(s.Interval, 10);
    EXPECT_EQ(s.StartupRefreshDelay, 0);

    s.Timeout = 5;
    EXPECT_EQ(t.open()->controls().txtTimeout->text(), u"20"_s);
}

TEST(ConfigLoadTest, CheckBoxesSetTheirDependants)
{
    ConfigTestContext t(u"dependants"_s);
    t.core.settings.OptionFlags = OptionFlag::PwdToolbox | OptionFlag::CSVExport;
    auto dialog = t.open();
    const ConfigControls& ui = dialog->controls();
    EXPECT_FALSE(ui.lblPwdWarning->isHidden());
    EXPECT_TRUE(ui.chkCSVExclude->isEnabled());
    EXPECT_FALSE(ui.txtInterval->isEnabled());
    EXPECT_FALSE(ui.udInterval->isEnabled());
    EXPECT_TRUE(ui.chkStartupRefresh->isEnabled());
    EXPECT_FALSE(ui.chkDelayRefresh->isEnabled());
    EXPECT_FALSE(ui.txtDelay->isEnabled());
    EXPECT_FALSE(ui.txtProxy->isEnabled());
    EXPECT_FALSE(ui.lblProxy3->isEnabled());
    // Greyed boxes wear the button face.
    EXPECT_NE(ui.txtInterval->palette().color(QPalette::Base), ui.txtTimeout->palette().color(QPalette::Base));

    // Ticking the prompt clears and greys the links box, which hides the warning.
    ui.chkPwdPrompt->setChecked(true);
    EXPECT_FALSE(ui.chkPwdToolbox->isChecked());
    EXPECT_FALSE(ui.chkPwdToolbox->isEnabled());
    EXPECT_TRUE(ui.lblPwdWarning->isHidden());
    ui.chkPwdPrompt->setChecked(false);
    EXPECT_TRUE(ui.chkPwdToolbox->isEnabled());

    // Auto refresh ticks and locks start-up refresh, which frees the delay box.
    ui.chkAutoRefresh->setChecked(true);
    EXPECT_TRUE(ui.txtInterval->isEnabled());
    EXPECT_TRUE(ui.chkStartupRefresh->isChecked());
    EXPECT_FALSE(ui.chkStartupRefresh->isEnabled());
    EXPECT_TRUE(ui.chkDelayRefresh->isEnabled());
    ui.chkDelayRefresh->setChecked(true);
    EXPECT_TRUE(ui.txtDelay->isEnabled());
    ui.chkAutoRefresh->setChecked(false);
    EXPECT_TRUE(ui.chkStartupRefresh->isChecked());
    EXPECT_TRUE(ui.chkStartupRefresh->isEnabled());
    ui.chkStartupRefresh->setChecked(false);
    EXPECT_FALSE(ui.chkDelayRefresh->isChecked());
    EXPECT_FALSE(ui.txtDelay->isEnabled());

    ui.chkUseProxy->setChecked(true);
    EXPECT_TRUE(ui.txtProxyPwd->isEnabled());
    EXPECT_TRUE(ui.lblProxy5->isEnabled());
    ui.chkCSVExport->setChecked(false);
    EXPECT_FALSE(ui.chkCSVExclude->isEnabled());
    ui.chkVerCheckTimed->setChecked(true);
    EXPECT_TRUE(ui.cboVerCheckInterval->isEnabled());
}

TEST(ConfigLoadTest, TheOtherTransportGreysTheProxyFields)
{
    const QString key = u"Software\\Sarnick\\Config"_s;
    struct Case
    {
        std::optional<int32_t> useMsxml;
        bool wine;
        bool greyed;
    };
    for (const Case c : {Case{std::nullopt, false, false}, Case{0, false, false}, Case{-1, true, false},
                         Case{1, false, true}, Case{std::nullopt, true, true}}) {
        ConfigTestContext t(u"msxml"_s);
        t.core.settings.UseProxy = true;
        if (c.useMsxml)
            t.core.setDword(key, u"UseMSXML"_s, *c.useMsxml);
        if (c.wine)
            t.core.setText(u"Software\\Wine"_s, u"x"_s, u"y"_s);
        auto dialog = t.open();
        const ConfigControls& ui = dialog->controls();
        EXPECT_EQ(ui.txtProxy->isEnabled(), !c.greyed);
        EXPECT_EQ(ui.lblProxy1->isEnabled(), !c.greyed);
        EXPECT_EQ(ui.lblProxy5->isEnabled(), !c.greyed);
        EXPECT_TRUE(ui.chkUseProxy->isEnabled());
        if (c.greyed) {
            // A later click sets the boxes by the box as usual.
            ui.chkUseProxy->setChecked(false);
            ui.chkUseProxy->setChecked(true);
            EXPECT_TRUE(ui.txtProxy->isEnabled());
            EXPECT_TRUE(ui.lblProxy3->isEnabled());
        }
    }
}

TEST(ConfigLoadTest, StatusTextsFromTheRegistry)
{
    ConfigTestContext t(u"status"_s);
    t.core.run.ProfileNumber = 3;
    const QString profile = t.core.app.profileKey(3);
    t.core.setText(profile, u"VerCheckLast"_s, u"2008-03-19 10:11:12"_s);
    t.core.setDword(t.core.app.configKey(), u"DataDirMigration"_s, 2);
    t.core.setDword(t.core.app.appKey(), u"logsize"_s, 512);
    auto dialog = t.open();
    const ConfigControls& ui = dialog->controls();
    EXPECT_EQ(ui.lblStatus->text(), u"last version check performed at 2008-03-19 10:11:12"_s);
    EXPECT_EQ(ui.lblMigrationStatus->text(), u"2 (migration completed or unnecessary)"_s);
    EXPECT_EQ(ui.lblMaxLogSize->text(), u"512 kbytes"_s);

    t.core.setText(profile, u"VerCheckLast"_s, u"2008-13-45"_s);
    t.core.removeValue(t.core.app.appKey(), u"logsize"_s);
    t.core.setDword(t.core.app.configKey(), u"DataDirMigration"_s, 9);
    auto second = t.open();
    EXPECT_EQ(second->controls().lblStatus->text(), u"time of last version check invalid"_s);
    EXPECT_EQ(second->controls().lblMaxLogSize->text(), u"using default 1024 kbytes"_s);
    EXPECT_EQ(second->controls().lblMigrationStatus->text(), u"9 (invalid migration status value)"_s);
}

TEST(ConfigLoadTest, PeakTimesNeedBothQuotas)
{
    ConfigTestContext t(u"peak"_s);
    qoMonth& month = t.core.run.CurrentMonth;
    month.ProductName = u"Broadband"_s;
    month.PlanName = u"Big"_s;
    month.PeakQuota = 20000;
    month.OffPeakQuota = 0;
    month.PeakStart = 8;
    month.PeakEnd = 23;
    auto first = t.open();
    EXPECT_EQ(first->controls().txtProductName->text(), u"Broadband"_s);
    EXPECT_EQ(first->controls().txtPlanName->text(), u"Big"_s);
    EXPECT_EQ(first->controls().lblOffpeakTimeName->text(), u"Offpeak time:"_s);
    EXPECT_EQ(first->controls().txtOffpeakTime->text(), u"not specified"_s);

    month.OffPeakQuota = 10000;
    auto second = t.open();
    EXPECT_EQ(second->controls().txtPeakTime->text(), u"08:00 to 23:00"_s);
    EXPECT_EQ(second->controls().txtOffpeakTime->text(), u"23:00 to 08:00"_s);
}

TEST(ConfigLoadTest, NumberBoxesTakeNumbersOnly)
{
    ConfigTestContext t(u"validators"_s);
    t.core.settings.Interval = 60;
    auto dialog = t.open();
    const ConfigControls& ui = dialog->controls();
    ui.txtInterval->setText(u"abc"_s);
    dialog->txtInterval_LostFocus();
    EXPECT_EQ(ui.txtInterval->text(), u"abc"_s);
    EXPECT_EQ(ui.udInterval->value(), 60);
    ui.txtInterval->setText(u"20.5"_s);
    dialog->txtInterval_LostFocus();
    EXPECT_EQ(ui.txtInterval->text(), u"20"_s);
    ui.txtInterval->setText(u"7"_s);
    dialog->txtInterval_LostFocus();
    EXPECT_EQ(ui.txtInterval->text(), u"15"_s);
    ui.txtDelay->setText(u"31"_s);
    dialog->txtDelay_LostFocus();
    EXPECT_EQ(ui.txtDelay->text(), u"30"_s);
    ui.txtTimeout->setText(u"19.5"_s);
    dialog->txtTimeout_LostFocus();
    EXPECT_EQ(ui.txtTimeout->text(), u"20"_s);
    EXPECT_EQ(ui.udTimeout->value(), 20);
}

TEST(ConfigLoadTest, NumberBoxIsCheckedWhenTheFocusMovesOnWithinTheDialog)
{
    ConfigTestContext t(u"focus"_s);
    t.core.settings.OptionFlags = OptionFlag::AutoRefresh;
    auto dialog = t.open();
    QLineEdit* box = dialog->controls().txtInterval;
    const auto leave = [box](Qt::FocusReason reason) {
        QFocusEvent event(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(box, &event);
    };
    box->setText(u"20.5"_s);
    // A context menu or another program's window: still editing.
    leave(Qt::PopupFocusReason);
    leave(Qt::ActiveWindowFocusReason);
    EXPECT_EQ(box->text(), u"20.5"_s);
    leave(Qt::TabFocusReason);
    EXPECT_EQ(box->text(), u"20"_s);
    box->setText(u"7"_s);
    leave(Qt::MouseFocusReason);
    EXPECT_EQ(box->text(), u"15"_s);
}

TEST(ConfigLoadTest, AnArrowStepsFromTheNumberJustTyped)
{
    ConfigTestContext t(u"arrows"_s);
    t.core.settings.OptionFlags = OptionFlag::AutoRefresh;
    t.core.settings.Interval = 60;
    auto dialog = t.open();
    dialog->show();
    const ConfigControls& ui = dialog->controls();
    const auto arrow = [&ui](Qt::ArrowType type) {
        for (QToolButton* button : ui.udInterval->findChildren<QToolButton*>()) {
            if (button->arrowType() == type)
                return button;
        }
        return static_cast<QToolButton*>(nullptr);
    };
    ASSERT_NE(arrow(Qt::UpArrow), nullptr);
    ASSERT_NE(arrow(Qt::DownArrow), nullptr);

    ui.txtInterval->setFocus();
    ui.txtInterval->selectAll();
    QTest::keyClicks(ui.txtInterval, u"40"_s);
    arrow(Qt::UpArrow)->click();
    EXPECT_EQ(ui.txtInterval->text(), u"41"_s);
    EXPECT_EQ(ui.udInterval->value(), 41);

    // A text that is no number: the arrow steps from the value held.
    ui.txtInterval->setText(u"abc"_s);
    arrow(Qt::DownArrow)->click();
    EXPECT_EQ(ui.txtInterval->text(), u"40"_s);
}
