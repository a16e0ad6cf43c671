// SPDX-License-Identifier: MIT
#include "QtTrayBackend.h"

#include "imgTray.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class QtTrayBackendTest : public ::testing::Test
{
protected:
    QtTrayBackendTest()
    {
        backend.setAvailability([this] { return trayPresent; });
        // Keeps the guess (which asks the session bus) out of the tests.
        backend.setSingleClickRestores(false);
    }

    bool trayPresent = false;
    QtTrayBackend backend;
};
} // namespace

TEST_F(QtTrayBackendTest, WithoutTrayAddFailsAndChangesWaitForIt)
{
    // Nothing added yet: changes find no icon.
    EXPECT_FALSE(backend.modifyIcon(imgTray::icon(u"ok_ok"_s)));
    EXPECT_FALSE(backend.modifyTip(u"tip"_s));
    EXPECT_FALSE(backend.remove());

    EXPECT_FALSE(backend.add(imgTray::icon(u"none_none"_s), u"Tallyroo"_s));
    EXPECT_TRUE(backend.isWaitingForTray());
    EXPECT_FALSE(backend.isShown());
    // Kept for when a tray comes, and no failure that would make the caller retry or re-add.
    EXPECT_TRUE(backend.modifyIcon(imgTray::icon(u"working2"_s)));
    EXPECT_TRUE(backend.modifyTip(u"usage"_s));
    EXPECT_EQ(backend.currentIcon().cacheKey(), imgTray::icon(u"working2"_s).cacheKey());
    EXPECT_EQ(backend.currentTip(), u"usage"_s);
}

TEST_F(QtTrayBackendTest, TrayAppearingIsReportedOnce)
{
    QSignalSpy appeared(&backend, &QtTrayBackend::trayAppeared);
    EXPECT_FALSE(backend.add(imgTray::icon(u"none_none"_s), u"Tallyroo"_s));
    backend.areaChanged();
    EXPECT_EQ(appeared.count(), 0);

    trayPresent = true;
    backend.areaChanged();
    backend.areaChanged();
    EXPECT_EQ(appeared.count(), 1);

    // What modSysTray does on that signal: remove, then add, which now shows the icon.
    EXPECT_TRUE(backend.remove());
    EXPECT_TRUE(backend.add(imgTray::icon(u"ok_warn"_s), u"usage"_s));
    EXPECT_TRUE(backend.isShown());
    EXPECT_FALSE(backend.isWaitingForTray());
    EXPECT_TRUE(backend.modifyTip(u"more"_s));
    EXPECT_TRUE(backend.remove());
    EXPECT_FALSE(backend.isShown());
    EXPECT_FALSE(backend.modifyIcon(imgTray::icon(u"ok_ok"_s)));
}

TEST_F(QtTrayBackendTest, RemovingWhileWaitingStopsLooking)
{
    QSignalSpy appeared(&backend, &QtTrayBackend::trayAppeared);
    EXPECT_FALSE(backend.add(imgTray::icon(u"none_none"_s), u"Tallyroo"_s));
    EXPECT_TRUE(backend.remove());
    trayPresent = true;
    backend.areaChanged();
    EXPECT_EQ(appeared.count(), 0);
}

TEST_F(QtTrayBackendTest, ClicksByDesktopKind)
{
    QSignalSpy restore(&backend, &QtTrayBackend::doubleClicked);
    QSignalSpy context(&backend, &QtTrayBackend::contextMenuRequested);

    // A tray that reports double clicks: a single click does nothing.
    backend.setSingleClickRestores(false);
    backend.handleActivation(QSystemTrayIcon::Trigger);
    EXPECT_EQ(restore.count(), 0);
    backend.handleActivation(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(restore.count(), 1);

    // One that only reports activations: the single click restores.
    backend.setSingleClickRestores(true);
    backend.handleActivation(QSystemTrayIcon::Trigger);
    EXPECT_EQ(restore.count(), 2);
    backend.handleActivation(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(restore.count(), 2);

    backend.handleActivation(QSystemTrayIcon::Context);
    EXPECT_EQ(context.count(), 1);
    // With the menu handed to the tray, the tray opens it itself.
    QMenu menu;
    backend.setContextMenu(&menu);
    backend.handleActivation(QSystemTrayIcon::Context);
    EXPECT_EQ(context.count(), 1);
}

TEST(QtTrayBackendGuess, EnvironmentDecidesSingleClick)
{
    qputenv("TALLY_TRAY_SINGLE_CLICK", "1");
    EXPECT_TRUE(QtTrayBackend::trayHostSendsNoDoubleClick(false));
    qputenv("TALLY_TRAY_SINGLE_CLICK", "0");
    EXPECT_FALSE(QtTrayBackend::trayHostSendsNoDoubleClick(true));
    qunsetenv("TALLY_TRAY_SINGLE_CLICK");
}

TEST(QtTrayBackendTip, EveryKindOfTrayShowsTheTextsCharacters)
{
    const QString text = u"Tallyroo [<b>Ann</b> &amp; <font color=red>\"Bo\" 'Cy' < > \u00fc\u20ac]: 1 MB"_s;
    // A panel shows a StatusNotifier item's tooltip as plain text, or as Qt does (lxqt-panel), as
    // rich text where it looks like markup; Qt draws an XEmbed icon's so itself.
    for (const bool statusNotifierItem : {true, false}) {
        for (const bool asQtDoes : {true, false}) {
            const QString shown = QtTrayBackend::shownTip(text, statusNotifierItem);
            QTextDocument drawn;
            (asQtDoes || !statusNotifierItem) && Qt::mightBeRichText(shown) ? drawn.setHtml(shown)
                                                                            : drawn.setPlainText(shown);
            EXPECT_EQ(drawn.toPlainText().replace(QChar::Nbsp, u' ').remove(QChar(0x2060)), text) << asQtDoes;
        }
    }
    // A notification's body goes as it stands where it is not read as markup.
    EXPECT_EQ(QtTrayBackend::shownMessage(text, false), text);
}
