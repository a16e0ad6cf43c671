// SPDX-License-Identifier: MIT
#include "VersionCheckFixture.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
const QString noUpdates = u"No updates for Tallyroo are available at this time."_s;

class DoVersionCheckTest : public VersionCheckFixture
{
protected:
    QString minutesAgo(int64_t seconds) const { return ctx.clock.now().addSeconds(-seconds).toString(); }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const auto& box : ctx.window.messageBoxes)
            texts << box.text;
        return texts;
    }
};
} // namespace

TEST_F(DoVersionCheckTest, ManualCheckOfTheSameVersionSaysSoAndRecordsTheTime)
{
    ctx.run.ProfileNumber = 2;
    ctx.run.VerCheckAbort = true; // left over from an earlier check
    check.DoVersionCheck(false, false);

    ASSERT_EQ(ctx.window.messageBoxes.size(), 1);
    EXPECT_EQ(ctx.window.messageBoxes[0].text, noUpdates);
    EXPECT_EQ(ctx.window.messageBoxes[0].title, u"Tallymeter"_s);
    EXPECT_EQ(ctx.window.messageBoxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(lastCheck(), u"2008-03-20 11:00:00"_s);
    EXPECT_EQ(ctx.text(ctx.app.configKey(), u"VerCheckLast"_s), std::nullopt);
    EXPECT_TRUE(shown.empty());
    const QStringList log = ctx.logTexts();
    EXPECT_TRUE(log.contains(u"DoVersionCheck: performing version check"_s));
    EXPECT_TRUE(log.contains(u"checking for new version availability..."_s));
    EXPECT_TRUE(log.contains(u"no new version available (latest is 1.3.2)"_s));
    EXPECT_TRUE(log.contains(u"DoVersionCheck: check successful, updating last check time to 2008-03-20 11:00:00"_s));
}

TEST_F(DoVersionCheckTest, BackgroundCheckOfTheSameVersionIsSilent)
{
    check.DoVersionCheck(true, false);
    EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(lastCheck(), u"2008-03-20 11:00:00"_s);
    EXPECT_TRUE(ctx.logTexts().contains(u"checking for new version availability (bg)..."_s));
    EXPECT_TRUE(ctx.logTexts().contains(u"DoVersionCheck: performing background version check"_s));
}

TEST_F(DoVersionCheckTest, NewerVersionOpensTheDialogWithNotesAndProductPage)
{
    serveVersion("<pre>\n1.4.0\nFaster refresh\nNew graph\n</pre>\n");
    check.DoVersionCheck(false, false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].background);
    frmVersionCheck& dialog = *shown[0].dialog;
    EXPECT_EQ(dialog.lblNewVer->text(), u"1.4.0"_s);
    EXPECT_EQ(dialog.lblOldVer->text(), u"1.3.2"_s);
    EXPECT_EQ(dialog.lblDescr->text(), u"Faster refresh\r\nNew graph"_s);
    dialog.cmdWebsite_Click();
    EXPECT_EQ(opened, QStringList{provider.baseUrl() + u"/software/Tallyroo/?src=Tallyroo"_s});
    EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());
    EXPECT_TRUE(ctx.logTexts().contains(u"new version available: 1.4.0"_s));
    EXPECT_EQ(lastCheck(), u"2008-03-20 11:00:00"_s);

    check.DoVersionCheck(true, false);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[1].background);
}

TEST_F(DoVersionCheckTest, BackgroundDialogShowsWithoutWaitingAndGoesOnOk)
{
    check.setDialogPresenter({}); // the program's own presentation
    serveVersion("2.0.0");
    check.DoVersionCheck(true, false);
    QPointer<frmVersionCheck> dialog;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<frmVersionCheck*>(window))
            dialog = found;
    }
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_FALSE(dialog->windowState() & Qt::WindowMinimized);
    dialog->cmdOK_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(DoVersionCheckTest, FailedCheckKeepsTheLastTimeAndTellsTheUser)
{
    ctx.setText(profileKey(), u"VerCheckLast"_s, u"2008-03-01 09:00:00"_s);
    ctx.settings.OptionFlags |= OptionFlag::QuietMode; // an interactive check shows its box regardless
    serveVersion("1.4");
    check.DoVersionCheck(false, false);
    EXPECT_EQ(boxTexts(), QStringList{u"The version check failed with the following error: \r\n"
                                      u"invalid version number: 1.4\r\n\r\nPlease try again later."_s});
    EXPECT_EQ(lastCheck(), u"2008-03-01 09:00:00"_s);
    EXPECT_TRUE(ctx.logTexts().contains(u"version check failed: invalid version number: 1.4"_s));
    EXPECT_TRUE(shown.empty());
}

TEST_F(DoVersionCheckTest, BackgroundFailureFollowsTheQuietRules)
{
    serveVersion("down", 503);
    ctx.settings.OptionFlags |= OptionFlag::QuietMode;
    check.DoVersionCheck(true, false);
    EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());

    ctx.settings.OptionFlags &= ~int32_t(OptionFlag::QuietMode);
    ctx.window.mainWindowVisible = false; // in the tray
    check.DoVersionCheck(true, false);
    EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());

    ctx.window.mainWindowVisible = true;
    check.DoVersionCheck(true, false);
    ASSERT_EQ(ctx.window.messageBoxes.size(), 1);
    EXPECT_TRUE(ctx.window.messageBoxes[0].text.contains(u"[503]"_s));
    EXPECT_EQ(lastCheck(), std::nullopt);
    EXPECT_EQ(versionRequests(), 3);
}

TEST_F(DoVersionCheckTest, AbortedCheckShowsAndStoresNothing)
{
    OptionsDialog options; // its Check Now started the check
    ctx.setText(profileKey(), u"VerCheckLast"_s, u"2008-03-01 09:00:00"_s);
    QObject::connect(&provider, &FakeProvider::requestRecorded, [this] { ctx.run.VerCheckAbort = true; });
    check.DoVersionCheck(false, false);
    EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(lastCheck(), u"2008-03-01 09:00:00"_s);
    EXPECT_TRUE(ctx.logTexts().filter(u"version check failed"_s).isEmpty());
    EXPECT_FALSE(ctx.logTexts().contains(u"no new version available (latest is 1.3.2)"_s));
}

TEST_F(DoVersionCheckTest, StartupCheckSkipsOneWithinTwoHours)
{
    ctx.setText(profileKey(), u"VerCheckLast"_s, minutesAgo(7199));
    check.DoVersionCheck(true, true);
    EXPECT_EQ(versionRequests(), 0);
    EXPECT_TRUE(ctx.logTexts().contains(u"DoVersionCheck: last check was at 2008-03-20 09:00:01"_s));
    EXPECT_TRUE(ctx.logTexts().contains(u"DoVersionCheck: last version check was < 7200 seconds ago"_s));
    EXPECT_TRUE(ctx.logTexts().contains(u"skipping startup version check"_s));

    // Timed and manual checks do not look at the last time.
    check.DoVersionCheck(true, false);
    EXPECT_EQ(versionRequests(), 1);

    ctx.setText(profileKey(), u"VerCheckLast"_s, minutesAgo(7200));
    check.DoVersionCheck(true, true);
    EXPECT_EQ(versionRequests(), 2);
    EXPECT_TRUE(ctx.logTexts().contains(u"DoVersionCheck: performing background version check at startup"_s));
    EXPECT_EQ(QString::fromUtf8(provider.requests().constLast().header("User-Agent")).section(u';', 1, 2), u"s;-1"_s);
}

TEST_F(DoVersionCheckTest, StartupCheckRunsWithoutAReadableLastTime)
{
    check.DoVersionCheck(true, true);
    EXPECT_EQ(versionRequests(), 1);
    EXPECT_TRUE(ctx.logTexts().contains(u"DoVersionCheck: last check time not found"_s));

    ctx.setText(profileKey(), u"VerCheckLast"_s, u"yesterday"_s);
    check.DoVersionCheck(true, true);
    EXPECT_EQ(versionRequests(), 2);
    EXPECT_TRUE(ctx.logTexts().contains(u"DoVersionCheck: invalid last check time: yesterday"_s));
}

TEST_F(DoVersionCheckTest, OptionsDialogStatusFollowsAManualCheck)
{
    OptionsDialog options;
    QString duringFetch;
    QObject::connect(&provider, &FakeProvider::requestRecorded, [&] { duringFetch = options.lblStatus->text(); });
    check.DoVersionCheck(false, false);
    EXPECT_EQ(duringFetch, u"checking for new version availability..."_s);
    EXPECT_EQ(options.lblStatus->text(), u"no new version available (latest is 1.3.2)"_s);

    serveVersion("1.5.0");
    check.DoVersionCheck(false, false);
    EXPECT_EQ(options.lblStatus->text(), u"new version available: 1.5.0"_s);

    provider.clearRules();
    serveVersion("1.x.0");
    check.DoVersionCheck(false, false);
    EXPECT_EQ(options.lblStatus->text(), u"version check failed: invalid version number: 1.x.0"_s);

    // A background check leaves the dialog alone.
    options.lblStatus->setText(u"before"_s);
    provider.clearRules();
    check.DoVersionCheck(true, false);
    EXPECT_EQ(options.lblStatus->text(), u"before"_s);

    options.dialog.hide();
    check.DoVersionCheck(false, false);
    EXPECT_EQ(options.lblStatus->text(), u"before"_s);
}

TEST_F(DoVersionCheckTest, RunTimeErrorIsReportedAsAFailedCheck)
{
    ctx.window.failingCall = u"messageBox"_s;
    check.DoVersionCheck(false, false);
    const QList<CoreTestContext::LogLine> lines = ctx.logLines();
    const auto found = std::find_if(lines.begin(), lines.end(), [](const CoreTestContext::LogLine& line) {
        return line.text == u"version check failed: [91] Object variable or With block variable not set"_s;
    });
    ASSERT_NE(found, lines.end());
    EXPECT_EQ(found->level, 1);
}
