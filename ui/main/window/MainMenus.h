// SPDX-License-Identifier: MIT
#pragma once

#include "UsageDataTypes.h"

#include <QList>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QPoint;

// The main window's menu bar and its two hidden popup menus (grid and profiles), with the object
// names and captions the program knows them by.
struct MainMenus
{
    static constexpr int ProfileCount = HighestProfileNumber + 1;

    struct ProfileItem
    {
        QString caption;
        bool visible = false;
        bool checked = false;
    };

    QMenu* mnuFile = nullptr;
    QAction* mnuReload = nullptr;
    QAction* mnuRefresh = nullptr;
    QAction* mnuFile_MinToTray = nullptr;
    QAction* mnuFile_Exit = nullptr;

    QMenu* mnuEdit = nullptr;
    QAction* mnuEdit_Select = nullptr;
    QAction* mnuEdit_Copy = nullptr;

    QMenu* mnuConfig_ = nullptr;
    QAction* mnuConfig = nullptr;

    QMenu* mnuGraph_ = nullptr;
    QAction* mnuGraph = nullptr;

    QMenu* mnuHelp = nullptr;
    QAction* mnuVersionCheck = nullptr;
    QAction* mnuHelp_Website = nullptr;
    QAction* mnuHelp_Usage = nullptr;
    QAction* mnuHelp_FAQ = nullptr;
    QAction* mnuHelp_Appreciation = nullptr;
    QAction* mnuAbout = nullptr;

    QMenu* mnuGridPopup = nullptr;
    QAction* mnuGridPopup_Add = nullptr;
    QAction* mnuGridPopup_Select = nullptr;
    QAction* mnuGridPopup_Copy = nullptr;

    // "mnuProfile_0" .. "mnuProfile_30", one a profile number.
    QMenu* mnuProfiles = nullptr;
    QList<QAction*> mnuProfile;

    // productName goes into the help menu's captions.
    void build(QMainWindow& window, const QString& productName);
    // Sets item i from items[i] (hidden when there is none) and pops the menu up.
    void showProfiles(const QList<ProfileItem>& items, const QPoint& globalPos);
};
