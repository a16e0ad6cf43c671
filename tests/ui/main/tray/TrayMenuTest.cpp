// SPDX-License-Identifier: MIT
#include "TrayMenu.h"

#include "RunState.h"
#include "Settings.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
// "name|caption" per item, "-" per separator, submenus after their item in brackets.
QStringList layout(const QMenu& menu)
{
    QStringList items;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            items.append(u"-"_s);
            continue;
        }
        items.append(action->objectName() + u'|' + action->text());
        if (action->menu())
            items.append(u"["_s + layout(*action->menu()).join(u", "_s) + u"]"_s);
    }
    return items;
}

RunState allLinks()
{
    RunState run;
    run.URLToolbox = u"https://toolbox"_s;
    run.URLVolumeUsage = u"https://volume"_s;
    run.URLConnections = u"https://connections"_s;
    run.URLSMS = u"https://sms"_s;
    run.URLMail = u"https://mail"_s;
    run.URLFaults = u"https://faults"_s;
    run.URLPhoneWait = u"https://phone"_s;
    return run;
}
} // namespace

TEST(TrayMenuTest, ItemsCaptionsAndOrder)
{
    TrayMenu tray;
    EXPECT_EQ(tray.menu().objectName(), u"mnuPopup"_s);
    EXPECT_EQ(tray.menu().title(), u"SysTrayPopUpMenu"_s);
    EXPECT_EQ(layout(tray.menu()),
              QStringList({
                  u"mnuPopup_Show|&Show..."_s,
                  u"mnuPopup_Hide|&Minimise to Tray"_s,
                  u"-"_s,
                  u"mnuPopup_Graph|View &Graph..."_s,
                  u"-"_s,
                  u"mnuPopup_Refresh|&Refresh Now"_s,
                  u"mnuPopup_AutoRefresh|Enable &Auto Refresh"_s,
                  u"mnuPopup_Options|&Options..."_s,
                  u"-"_s,
                  u"mnuPopup_Quolla|Quolla &Web"_s,
                  u"[mnuPopup_QuollaToolbox|&Toolbox..., mnuPopup_QuollaVolume|Volume &Usage..., "
                  u"mnuPopup_QuollaConnections|&Connection History..., mnuPopup_QuollaSMS|SMS..., -, "
                  u"mnuPopup_QuollaMail|Web&Mail..., mnuPopup_QuollaFault|&Network Status Page..., "
                  u"mnuPopup_QuollaPhone|&Support Call Waiting Stats...]"_s,
                  u"-"_s,
                  u"mnuPopup_Exit|E&xit"_s,
              }));
    EXPECT_EQ(tray.menu().defaultAction(), tray.item(u"mnuPopup_Show"_s));
    EXPECT_EQ(tray.linksMenu().objectName(), u"mnuPopup_Quolla"_s);
    EXPECT_TRUE(tray.item(u"mnuPopup_AutoRefresh"_s)->isCheckable());
    EXPECT_EQ(tray.item(u"nothing"_s), nullptr);
}

TEST(TrayMenuTest, PrepareSetsHideAutoRefreshAndConnections)
{
    TrayMenu tray;
    QAction* hide = tray.item(u"mnuPopup_Hide"_s);
    QAction* autoRefresh = tray.item(u"mnuPopup_AutoRefresh"_s);
    QAction* connections = tray.item(u"mnuPopup_QuollaConnections"_s);

    tray.prepare(false, true, false);
    EXPECT_FALSE(hide->isEnabled());
    EXPECT_TRUE(autoRefresh->isChecked());
    EXPECT_FALSE(connections->isEnabled());

    tray.prepare(true, false, true);
    EXPECT_TRUE(hide->isEnabled());
    EXPECT_FALSE(autoRefresh->isChecked());
    EXPECT_TRUE(connections->isEnabled());
}

TEST(TrayMenuTest, ConnectionsNeedPasswordOptionAndLink)
{
    Settings settings;
    RunState run = allLinks();
    settings.OptionFlags = OptionFlag::PwdToolbox;
    EXPECT_TRUE(TrayMenu::connectionsEnabled(settings, run));
    settings.OptionFlags = Settings::DefaultOptions & ~static_cast<int32_t>(OptionFlag::PwdToolbox);
    EXPECT_FALSE(TrayMenu::connectionsEnabled(settings, run));
    settings.OptionFlags = OptionFlag::PwdToolbox;
    run.URLConnections.clear();
    EXPECT_FALSE(TrayMenu::connectionsEnabled(settings, run));

    // Shown while its link is set, but greyed without the password option.
    TrayMenu tray;
    run = allLinks();
    settings.OptionFlags = OptionFlag::AutoRefresh;
    tray.setLinks(u"Brindle &Web"_s, run);
    tray.prepare(true, settings, run);
    EXPECT_TRUE(tray.item(u"mnuPopup_QuollaConnections"_s)->isVisible());
    EXPECT_FALSE(tray.item(u"mnuPopup_QuollaConnections"_s)->isEnabled());
    EXPECT_TRUE(tray.item(u"mnuPopup_AutoRefresh"_s)->isChecked());
}

TEST(TrayMenuTest, LinkItemsVisibleWhileTheirLinkIsSet)
{
    TrayMenu tray;
    RunState run = allLinks();
    tray.setLinks(u"Corvo &Web"_s, run);
    EXPECT_EQ(tray.linksMenu().title(), u"Corvo &Web"_s);
    for (const TrayMenu::LinkItem& link : TrayMenu::linkItems())
        EXPECT_TRUE(tray.item(QString::fromLatin1(link.objectName))->isVisible()) << link.objectName;

    // Each item follows its own link, no other.
    for (const TrayMenu::LinkItem& cleared : TrayMenu::linkItems()) {
        RunState partial = allLinks();
        (partial.*cleared.link).clear();
        tray.setLinks(u"Corvo &Web"_s, partial);
        for (const TrayMenu::LinkItem& link : TrayMenu::linkItems()) {
            EXPECT_EQ(tray.item(QString::fromLatin1(link.objectName))->isVisible(), link.link != cleared.link)
                << cleared.objectName << " cleared, " << link.objectName;
        }
    }
    EXPECT_EQ(TrayMenu::linkItems().size(), 7);
}

TEST(TrayMenuTest, ItemsEmitTheirSignals)
{
    TrayMenu tray;
    QSignalSpy shown(&tray, &TrayMenu::showClicked);
    QSignalSpy hidden(&tray, &TrayMenu::hideClicked);
    QSignalSpy graph(&tray, &TrayMenu::graphClicked);
    QSignalSpy refresh(&tray, &TrayMenu::refreshClicked);
    QSignalSpy autoRefresh(&tray, &TrayMenu::autoRefreshToggled);
    QSignalSpy options(&tray, &TrayMenu::optionsClicked);
    QSignalSpy link(&tray, &TrayMenu::linkClicked);
    QSignalSpy exit(&tray, &TrayMenu::exitClicked);
    QSignalSpy opening(&tray, &TrayMenu::aboutToOpen);

    for (const char* name : {"mnuPopup_Show", "mnuPopup_Hide", "mnuPopup_Graph", "mnuPopup_Refresh", "mnuPopup_Options",
                             "mnuPopup_QuollaMail", "mnuPopup_QuollaPhone", "mnuPopup_Exit"})
        tray.item(QString::fromLatin1(name))->trigger();
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(hidden.count(), 1);
    EXPECT_EQ(graph.count(), 1);
    EXPECT_EQ(refresh.count(), 1);
    EXPECT_EQ(options.count(), 1);
    EXPECT_EQ(exit.count(), 1);
    ASSERT_EQ(link.count(), 2);
    EXPECT_EQ(link[0][0].toString(), u"mnuPopup_QuollaMail"_s);
    EXPECT_EQ(link[1][0].toString(), u"mnuPopup_QuollaPhone"_s);

    // The check mark is inverted before the signal tells its new state.
    tray.prepare(true, false, false);
    tray.item(u"mnuPopup_AutoRefresh"_s)->trigger();
    tray.item(u"mnuPopup_AutoRefresh"_s)->trigger();
    ASSERT_EQ(autoRefresh.count(), 2);
    EXPECT_TRUE(autoRefresh[0][0].toBool());
    EXPECT_FALSE(autoRefresh[1][0].toBool());

    emit tray.menu().aboutToShow();
    EXPECT_EQ(opening.count(), 1);
}

TEST(TrayMenuTest, RefreshItemFollowsTheRefreshCycle)
{
    TrayMenu tray;
    tray.setRefreshEnabled(false);
    EXPECT_FALSE(tray.item(u"mnuPopup_Refresh"_s)->isEnabled());
    tray.setRefreshEnabled(true);
    EXPECT_TRUE(tray.item(u"mnuPopup_Refresh"_s)->isEnabled());
}
