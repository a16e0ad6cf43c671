// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QAction;
class QMenu;
struct RunState;
struct Settings;

// The tray icon's popup menu mnuPopup: its items, their enabled, checked and visible rules, and
// one signal per command. The handlers live with whoever connects the signals.
class TrayMenu : public QObject
{
    Q_OBJECT
public:
    explicit TrayMenu(QObject* parent = nullptr);
    ~TrayMenu() override;

    QMenu& menu();
    QMenu& linksMenu(); // mnuPopup_Quolla
    // An item by object name (as "mnuPopup_Hide", "mnuPopup_QuollaMail"); nullptr when none.
    QAction* item(const QString& objectName) const;

    // What is decided each time the menu opens: Hide enabled while the main window is visible,
    // AutoRefresh checked while it is set, Connections enabled as connectionsEnabled() says.
    void prepare(bool mainWindowVisible, bool autoRefresh, bool connectionsEnabled);
    void prepare(bool mainWindowVisible, const Settings& settings, const RunState& run);
    // The connection history carries the password, so it is offered only with PwdToolbox.
    static bool connectionsEnabled(const Settings& settings, const RunState& run);

    // caption: the whole submenu caption, as ProviderLinks::menuCaption gives it ("Quolla &Web").
    // Each link item is visible while its link in run is set.
    void setLinks(const QString& brandCaption, const RunState& run);
    void setRefreshEnabled(bool enabled);

    // The link items in submenu order with the RunState link each one opens.
    struct LinkItem
    {
        const char* objectName;
        QString RunState::*link;
    };
    static const QList<LinkItem>& linkItems();

signals:
    // The menu is about to open, whoever opens it (the tray itself or a popup at the pointer);
    // connect prepare() here, directly, so the states are right before it shows.
    void aboutToOpen();
    void showClicked();
    void hideClicked();
    void graphClicked();
    void refreshClicked();
    void autoRefreshToggled(bool checked);
    void optionsClicked();
    void linkClicked(const QString& itemName);
    void exitClicked();

private:
    QAction* addItem(QMenu& menu, const char* objectName, const QString& caption);

    std::unique_ptr<QMenu> m_menu;
    QMenu* m_links = nullptr;
};
