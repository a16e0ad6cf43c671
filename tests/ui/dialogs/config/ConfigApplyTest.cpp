// SPDX-License-Identifier: MIT
#include "ConfigTestContext.h"
#include "FakeProvider.h"
#include "UpDownControl.h"
#include "modVersionCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A user with a month on display, as after a refresh.
void showMonth(ConfigTestContext& t)
{
    t.core.settings.Username = u"fred@quolla.example"_s;
    t.core.run.CurrentMonth.LastUpdate = u"2008-03-20 10:00:00"_s;
    t.core.run.CurrentMonth.PlanName = u"Big"_s;
}

} // namespace

TEST(ConfigApplyTest, WritesTheControlsIntoTheSettingsAndTheRegistry)
{
    ConfigTestContext t(u"apply"_s);
    showMonth(t);
    t.core.settings.OptionFlags = 0x40000 | OptionFlag::AutoRefresh; // an unknown bit is dropped
    auto dialog = t.open();
    const ConfigControls& ui = dialog->controls();
    ui.txtPassword->setText(u"pw"_s);
    ui.cboAccountType->setCurrentIndex(3);
    ui.cboDataSource->setCurrentIndex(0);
    ui.chkUseProxy->setChecked(true);
    ui.txtProxy->setText(u"proxy:3128"_s);
    ui.chkQuietMode->setChecked(true);
    ui.chkVerCheckTimed->setChecked(true);
    ui.chkVerCheckStartup->setChecked(true);
    ui.cboVerCheckInterval->setCurrentIndex(1);
    ui.txtInterval->setText(u"120"_s);
    ui.txtTimeout->setText(u"60"_s);
    t.core.window.calls.clear();
    dialog->cmdApply_Click();

    const Settings& s = t.core.settings;
    EXPECT_EQ(s.Password, u"pw"_s);
    EXPECT_EQ(s.AccountType, 3);
    EXPECT_FALSE(s.UseJSONFeed);
    EXPECT_TRUE(s.UseProxy);
    EXPECT_EQ(s.Proxy, u"proxy:3128"_s);
    EXPECT_EQ(s.OptionFlags, int32_t(OptionFlag::AutoRefresh | OptionFlag::StartupRefresh | OptionFlag::QuietMode));
    EXPECT_EQ(s.VerCheckOptions, 3);
    EXPECT_EQ(s.VerCheckInterval, 1);
    EXPECT_EQ(s.Interval, 120);
    EXPECT_EQ(s.StartupRefreshDelay, 1);
    EXPECT_EQ(s.Timeout, 60);
    EXPECT_EQ(t.core.dword(t.core.app.configKey(), u"Options"_s), s.OptionFlags);
    EXPECT_EQ(t.core.dword(t.core.app.configKey(), u"Interval"_s), 120);
    EXPECT_EQ(t.core.dword(t.core.app.profileKey(0), u"AccountType"_s), 3);

    // Same user: no refresh, no layout change, but the schedule, caption and links follow.
    EXPECT_TRUE(t.refreshes().isEmpty());
    EXPECT_EQ(t.calls(u"SetFormLayout"_s), 0);
    EXPECT_EQ(t.calls(u"InitValueDisplay"_s), 0);
    // One new interval after the last update.
    EXPECT_EQ(t.core.run.NextRefreshDate, *LocalDateTime::fromParts(2008, 3, 20, 12, 0, 0));
    EXPECT_EQ(t.core.run.CurrentMonth.PlanName, u"Big"_s);
    EXPECT_EQ(t.core.window.caption, u"Tallyroo v1.3.2 [fred]"_s);
    EXPECT_EQ(t.calls(u"linksChanged"_s), 1);
    EXPECT_FALSE(t.core.window.monthListVisible);
    EXPECT_TRUE(t.logged(u"frmConfig.Apply: saving configuration settings"_s, 6));
    EXPECT_TRUE(t.logged(u"frmConfig.Apply: writing registry values"_s, 6));
    EXPECT_TRUE(t.logged(u"configuration settings saved"_s, 2));
}

TEST(ConfigApplyTest, RefreshesOnlyAfterAUserNameChange)
{
    ConfigTestContext t(u"account"_s);
    showMonth(t);
    auto dialog = t.open();
    const ConfigControls& ui = dialog->controls();

    ui.txtUsername->setText(u"FRED@Quolla.example"_s);
    ui.cboAccountType->setCurrentIndex(2);
    dialog->cmdApply_Click();
    EXPECT_TRUE(t.refreshes().isEmpty());
    EXPECT_EQ(t.core.settings.Username, u"FRED@Quolla.example"_s);
    EXPECT_EQ(t.core.run.CurrentMonth.PlanName, u"Big"_s);

    ui.txtUsername->setText(u"barney@quolla.example"_s);
    dialog->cmdApply_Click();
    ASSERT_EQ(t.refreshes().size(), 1);
    EXPECT_TRUE(t.refreshes().first().startsWith(u"RefreshData(fromcache=True,quiet=False,manual=True"_s))
        << t.refreshes().first().toStdString();
    EXPECT_EQ(t.core.settings.Username, u"barney@quolla.example"_s);
    EXPECT_TRUE(t.logged(u"configuration settings saved"_s, 2));
}

TEST(ConfigApplyTest, FreshStartWithoutAMonthSetsNoRefreshTime)
{
    ConfigTestContext t(u"fresh"_s);
    t.core.settings.Username.clear();
    auto dialog = t.open();
    const LocalDateTime before = t.core.run.NextRefreshDate;
    dialog->controls().txtUsername->setText(u"fred@quolla.example"_s);
    dialog->cmdApply_Click();
    EXPECT_EQ(t.refreshes().size(), 1);
    EXPECT_TRUE(t.logged(u"configuration settings saved"_s, 2));
    // The refresh from the cache found nothing, so nothing scheduled the next one.
    EXPECT_EQ(t.core.run.NextRefreshDate, before);
}

TEST(ConfigApplyTest, NoAutoLeavesTheScheduleAlone)
{
    ConfigTestContext t(u"noauto"_s);
    showMonth(t);
    t.core.run.CmdLineFlags = CmdLineFlag::NoAuto;
    auto dialog = t.open();
    dialog->cmdApply_Click();
    EXPECT_EQ(t.core.run.NextRefreshDate, LocalDateTime());
    EXPECT_FALSE(t.logged(u"frmConfig.Apply: setting next refresh date"_s, 6));
}

TEST(ConfigApplyTest, DisplayAndLayoutFollowTheirOptions)
{
    ConfigTestContext t(u"display"_s);
    showMonth(t);
    t.core.settings.OptionFlags = 0;
    auto dialog = t.open();
    const ConfigControls& ui = dialog->controls();

    ui.chkQuietMode->setChecked(true);
    t.core.window.calls.clear();
    dialog->cmdApply_Click();
    EXPECT_EQ(t.calls(u"InitValueDisplay"_s), 0);
    EXPECT_EQ(t.calls(u"SetFormLayout"_s), 0);

    ui.chkDoubleWidth->setChecked(true);
    ui.chkCommaSeparators->setChecked(true);
    t.core.window.calls.clear();
    dialog->cmdApply_Click();
    EXPECT_EQ(t.calls(u"SetFormLayout"_s), 1);
    EXPECT_EQ(t.calls(u"InitValueDisplay"_s), 1);

    // Compared with the previous Apply, not with the opening.
    t.core.window.calls.clear();
    dialog->cmdApply_Click();
    EXPECT_EQ(t.calls(u"SetFormLayout"_s), 0);
    EXPECT_EQ(t.calls(u"InitValueDisplay"_s), 0);
}

TEST(ConfigApplyTest, RedrawsTheGraphOnlyWhileItIsLoaded)
{
    ConfigTestContext t(u"graph"_s);
    showMonth(t);
    auto dialog = t.open();
    dialog->cmdApply_Click();
    EXPECT_EQ(t.calls(u"RefreshTeeGraph"_s), 0);
    t.core.window.graphWindowLoaded = true;
    dialog->cmdApply_Click();
    ASSERT_EQ(t.calls(u"RefreshTeeGraph"_s), 1);
    EXPECT_EQ(t.core.window.graphedMonths.last().PlanName, u"Big"_s);
}

TEST(ConfigApplyTest, EscapeButtonFollowsMinimiseToTray)
{
    ConfigTestContext t(u"escape"_s);
    auto dialog = t.open();
    QList<bool> reported;
    QObject::connect(dialog.get(), &frmConfig::escapeButtonChanged, [&](bool tray) { reported.append(tray); });
    dialog->controls().chkMinimiseToTray->setChecked(true);
    dialog->cmdApply_Click();
    dialog->controls().chkMinimiseToTray->setChecked(false);
    dialog->cmdApply_Click();
    EXPECT_EQ(reported, (QList<bool>{true, false}));
}

TEST(ConfigApplyTest, AutostartEntryIsWrittenOnlyWhenItChanges)
{
    ConfigTestContext t(u"autostart"_s);
    auto dialog = t.open();
    QCheckBox* box = dialog->controls().chkAutoStartup;
    box->setChecked(true);
    dialog->cmdApply_Click();
    EXPECT_TRUE(fileText(t.autoStartPath())
                    .contains(u"\nTryExec=/opt/tally/tallymeter\nExec=\"/opt/tally/tallymeter\" /T /NOOLD\n"_s));
    EXPECT_TRUE(t.open()->controls().chkAutoStartup->isChecked());

    // An entry that exists keeps the command it was made with.
    t.context.programPath = u"/elsewhere/tallymeter"_s;
    auto again = t.open();
    again->cmdApply_Click();
    EXPECT_TRUE(fileText(t.autoStartPath()).contains(u"/opt/tally/tallymeter"_s));

    again->controls().chkAutoStartup->setChecked(false);
    again->cmdApply_Click();
    EXPECT_FALSE(QFile::exists(t.autoStartPath()));
}

TEST(ConfigApplyTest, AutostartEntryWithoutACommandStartsThisProgram)
{
    ConfigTestContext t(u"autostart-self"_s);
    t.context.programPath.clear();
    t.context.programArguments.clear();
    auto dialog = t.open();
    dialog->controls().chkAutoStartup->setChecked(true);
    dialog->cmdApply_Click();
    const QString text = fileText(t.autoStartPath());
    EXPECT_TRUE(text.contains(u"\nExec=\""_s + QCoreApplication::applicationFilePath() + u'"')) << text.toStdString();
}

TEST(ConfigApplyTest, OkWithAnUnreadableNumberKeepsTheDialogOpen)
{
    ConfigTestContext t(u"ok"_s);
    t.core.settings.Timeout = 90;
    auto dialog = t.open();
    dialog->show();
    dialog->controls().txtTimeout->setText(u"abc"_s);
    dialog->cmdOK_Click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(t.core.window.messageBoxes.size(), 1);
    EXPECT_FALSE(t.logged(u"configuration settings saved"_s, 2));
    EXPECT_EQ(t.core.dword(t.core.app.configKey(), u"Timeout"_s), std::nullopt);

    dialog->controls().txtTimeout->setText(u"400"_s);
    dialog->cmdOK_Click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(t.core.settings.Timeout, 300);
}

TEST(ConfigApplyTest, GreyedUnreadableNumberFallsBackToTheUpDown)
{
    ConfigTestContext t(u"greyed"_s);
    t.core.settings.OptionFlags = 0;
    t.core.settings.Interval = 60;
    auto dialog = t.open();
    dialog->controls().txtInterval->setText(u"abc"_s);
    dialog->cmdApply_Click();
    EXPECT_TRUE(t.core.window.messageBoxes.isEmpty());
    EXPECT_EQ(dialog->controls().txtInterval->text(), u"60"_s);
    EXPECT_EQ(t.core.settings.Interval, 60);
}

TEST(ConfigApplyTest, CancelAppliesNothingAndStopsACheck)
{
    ConfigTestContext t(u"cancel"_s);
    t.core.settings.Username = u"fred"_s;
    const Settings before = t.core.settings;
    auto dialog = t.open();
    dialog->show();
    dialog->controls().txtUsername->setText(u"barney"_s);
    dialog->controls().chkDoubleWidth->setChecked(true);
    dialog->cmdCancel_Click();
    EXPECT_TRUE(t.core.run.VerCheckAbort);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(t.core.settings, before);
    EXPECT_EQ(t.core.dword(t.core.app.configKey(), u"Options"_s), std::nullopt);
    EXPECT_TRUE(t.refreshes().isEmpty());
}

namespace {

// A window seam whose version check runs a probe, standing for what happens while it waits.
class CheckingSeam : public RecordingWindowSeam
{
public:
    std::function<void()> duringCheck;
    void DoVersionCheck(bool background, bool atStartup) override
    {
        RecordingWindowSeam::DoVersionCheck(background, atStartup);
        if (duringCheck)
            duringCheck();
    }
};

// The dialog's context with the checking seam in place of the window.
ConfigContext withSeam(const ConfigContext& c, CheckingSeam& seam)
{
    return ConfigContext{c.app,     c.settings,     c.run,   c.log,   c.registry,         c.clock,      seam, c.cycle,
                         c.history, c.mainRoutines, c.store, c.links, c.programArguments, c.programPath};
}

// The product's version page on a local fake provider that answers by the rule, and the
// program's version check, which asks it.
struct VersionSite
{
    VersionSite(ConfigTestContext& t, const FakeProvider::Rule& rule)
        : check(VersionCheckContext{t.core.app, t.core.settings, t.core.run, t.core.log, t.core.registry, t.core.clock,
                                    t.links, t.core.window})
    {
        EXPECT_TRUE(provider.start());
        provider.addRule(rule);
        check.setSiteBase(provider.baseUrl());
    }

    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
    modVersionCheck check;
};

} // namespace

TEST(ConfigApplyTest, CheckNowLocksTheDialogWhileTheCheckRuns)
{
    ConfigTestContext t(u"check"_s);
    t.core.settings.VerCheckOptions = 1;
    CheckingSeam seam;
    frmConfig dialog(withSeam(t.context, seam), nullptr);
    dialog.show();
    const ConfigControls& ui = dialog.controls();
    bool locked = false;
    seam.duringCheck = [&] {
        locked = dialog.checkRunning() && !ui.cmdOK->isEnabled() && !ui.cmdApply->isEnabled() &&
                 !ui.cmdCancel->isEnabled() && !ui.chkVerCheckTimed->isEnabled() &&
                 !ui.cboVerCheckInterval->isEnabled() && !ui.tabConfig->isTabEnabled(0) &&
                 !ui.tabConfig->isTabEnabled(2) && ui.tabConfig->isTabEnabled(3) && !ui.cmdAbort->isHidden() &&
                 ui.cmdCheckVersion->isHidden();
    };
    dialog.cmdCheckVersion_Click();
    EXPECT_TRUE(locked);
    EXPECT_EQ(seam.calls.count(u"DoVersionCheck"_s), 1);
    EXPECT_FALSE(dialog.checkRunning());
    EXPECT_TRUE(ui.cmdOK->isEnabled());
    EXPECT_TRUE(ui.cmdCancel->isEnabled());
    EXPECT_TRUE(ui.tabConfig->isTabEnabled(1));
    EXPECT_TRUE(ui.cboVerCheckInterval->isEnabled());
    EXPECT_FALSE(ui.cmdCheckVersion->isHidden());
    EXPECT_TRUE(ui.cmdAbort->isHidden());
    EXPECT_FALSE(t.core.run.VerCheckAbort);
}

TEST(ConfigApplyTest, EscapeDuringACheckAbortsItAndKeepsTheDialog)
{
    ConfigTestContext t(u"abort"_s);
    CheckingSeam seam;
    frmConfig dialog(withSeam(t.context, seam), nullptr);
    dialog.show();
    const ConfigControls& ui = dialog.controls();
    seam.duringCheck = [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &escape);
        EXPECT_TRUE(t.core.run.VerCheckAbort);
        EXPECT_EQ(ui.lblStatus->text(), u"version check aborted by user"_s);
        EXPECT_TRUE(ui.cmdAbort->isHidden());
        EXPECT_FALSE(ui.cmdCheckVersion->isHidden());
        // OK stays locked until the check has returned.
        EXPECT_FALSE(ui.cmdOK->isEnabled());
    };
    dialog.cmdCheckVersion_Click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(ui.cmdOK->isEnabled());
    EXPECT_TRUE(t.logged(u"version check aborted by user"_s, 2));
}

TEST(ConfigApplyTest, AbortThenAFailingFetchShowsNoBoxAndKeepsTheStatus)
{
    ConfigTestContext t(u"abort-failing"_s);
    FakeProvider::Rule down;
    down.path = u"/software/Tallyroo/version/"_s;
    down.status = 503;
    VersionSite site(t, down);
    FakeProvider& provider = site.provider;
    modVersionCheck& check = site.check;

    CheckingSeam seam;
    frmConfig dialog(withSeam(t.context, seam), nullptr);
    dialog.show();
    const ConfigControls& ui = dialog.controls();
    seam.duringCheck = [&check] { check.DoVersionCheck(false, false); };
    // The user aborts while the request waits for its answer.
    QObject::connect(&provider, &FakeProvider::requestRecorded, &dialog, [&ui] { ui.cmdAbort->click(); });
    dialog.cmdCheckVersion_Click();

    EXPECT_EQ(provider.requests().size(), 1);
    EXPECT_TRUE(t.core.window.messageBoxes.isEmpty());
    EXPECT_EQ(ui.lblStatus->text(), u"version check aborted by user"_s);
    EXPECT_TRUE(t.core.logTexts().filter(u"version check failed"_s).isEmpty());
    EXPECT_EQ(t.core.text(t.core.app.profileKey(0), u"VerCheckLast"_s), std::nullopt);
    EXPECT_TRUE(ui.cmdOK->isEnabled());
}

TEST(ConfigApplyTest, AbortStopsOnlyTheCheckItsCheckNowStarted)
{
    ConfigTestContext t(u"abort-own"_s);
    // Every answer takes a while, so the checks overlap; the version is this one.
    FakeProvider::Rule slow;
    slow.path = u"/software/Tallyroo/version/"_s;
    slow.body = "1.3.2";
    slow.delayMs = 300;
    VersionSite site(t, slow);
    FakeProvider& provider = site.provider;
    modVersionCheck& check = site.check;
    CheckingSeam seam;
    seam.duringCheck = [&check] { check.DoVersionCheck(false, false); };
    std::unique_ptr<frmConfig> dialog;

    int requests = 0;
    QObject::connect(&provider, &FakeProvider::requestRecorded, &provider, [&] {
        if (++requests == 1) {
            // While the Help menu's check waits, the user opens the options and presses Check Now.
            QTimer::singleShot(0, &provider, [&] {
                dialog = std::make_unique<frmConfig>(withSeam(t.context, seam), nullptr);
                dialog->show();
                dialog->cmdCheckVersion_Click();
            });
        } else if (requests == 2) {
            // While that one waits: Abort, and then the hourly check comes due.
            QTimer::singleShot(0, &provider, [&] {
                dialog->controls().cmdAbort->click();
                check.DoVersionCheck(true, false);
            });
        }
    });
    check.DoVersionCheck(false, false);

    EXPECT_EQ(requests, 3);
    ASSERT_TRUE(dialog);
    // The aborted check said nothing more; the menu's check gave its answer.
    EXPECT_EQ(dialog->controls().lblStatus->text(), u"version check aborted by user"_s);
    ASSERT_EQ(t.core.window.messageBoxes.size(), 1);
    EXPECT_EQ(t.core.window.messageBoxes[0].text, u"No updates for Tallyroo are available at this time."_s);
}
