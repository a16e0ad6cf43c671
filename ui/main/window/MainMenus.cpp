// SPDX-License-Identifier: MIT
#include "MainMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

QMenu* menu(QMenuBar* bar, const QString& name, const QString& title)
{
    QMenu* added = bar->addMenu(title);
    added->setObjectName(name);
    return added;
}

QAction* item(QMenu* owner, const QString& name, const QString& caption)
{
    QAction* action = owner->addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

void MainMenus::build(QMainWindow& window, const QString& productName)
{
    QMenuBar* bar = window.menuBar();

    mnuFile = menu(bar, u"mnuFile"_s, u"&File"_s);
    mnuReload = item(mnuFile, u"mnuReload"_s, u"Reload from &Cache"_s);
    mnuRefresh = item(mnuFile, u"mnuRefresh"_s, u"&Refresh Data"_s);
    mnuFile->addSeparator();
    mnuFile_MinToTray = item(mnuFile, u"mnuFile_MinToTray"_s, u"&Minimise to Tray"_s);
    mnuFile->addSeparator();
    mnuFile_Exit = item(mnuFile, u"mnuFile_Exit"_s, u"E&xit"_s);

    mnuEdit = menu(bar, u"mnuEdit"_s, u"&Edit"_s);
    mnuEdit_Select = item(mnuEdit, u"mnuEdit_Select"_s, u"Select &All"_s);
    mnuEdit_Copy = item(mnuEdit, u"mnuEdit_Copy"_s, u"&Copy to Clipboard"_s);

    mnuConfig_ = menu(bar, u"mnuConfig_"_s, u"&Configuration"_s);
    mnuConfig = item(mnuConfig_, u"mnuConfig"_s, u"&Options..."_s);

    mnuGraph_ = menu(bar, u"mnuGraph_"_s, u"&Graph"_s);
    mnuGraph = item(mnuGraph_, u"mnuGraph"_s, u"&View..."_s);

    mnuHelp = menu(bar, u"mnuHelp"_s, u"&Help"_s);
    mnuVersionCheck = item(mnuHelp, u"mnuVersionCheck"_s, u"Check for &Updates..."_s);
    mnuHelp->addSeparator();
    mnuHelp_Website = item(mnuHelp, u"mnuHelp_Website"_s, productName + u" &Website..."_s);
    mnuHelp_Usage = item(mnuHelp, u"mnuHelp_Usage"_s, productName + u" usage &info web page..."_s);
    mnuHelp_FAQ = item(mnuHelp, u"mnuHelp_FAQ"_s, productName + u" &FAQ web page..."_s);
    mnuHelp_Appreciation = item(mnuHelp, u"mnuHelp_Appreciation"_s, u"&Show Your Appreciation..."_s);
    mnuHelp->addSeparator();
    mnuAbout = item(mnuHelp, u"mnuAbout"_s, u"&About "_s + productName + u"..."_s);

    mnuGridPopup = new QMenu(&window);
    mnuGridPopup->setObjectName(u"mnuGridPopup"_s);
    mnuGridPopup_Add = item(mnuGridPopup, u"mnuGridPopup_Add"_s, u"&Add Up..."_s);
    mnuGridPopup->addSeparator();
    mnuGridPopup_Select = item(mnuGridPopup, u"mnuGridPopup_Select"_s, u"&Select All"_s);
    mnuGridPopup_Copy = item(mnuGridPopup, u"mnuGridPopup_Copy"_s, u"&Copy to Clipboard"_s);

    mnuProfiles = new QMenu(u"ProfilePopupMenu"_s, &window);
    mnuProfiles->setObjectName(u"mnuProfiles"_s);
    for (int i = 0; i < ProfileCount; ++i) {
        QAction* profile = item(mnuProfiles, u"mnuProfile_"_s + QString::number(i), QString());
        profile->setCheckable(true);
        profile->setVisible(false);
        mnuProfile << profile;
    }
}

void MainMenus::showProfiles(const QList<ProfileItem>& items, const QPoint& globalPos)
{
    for (int i = 0; i < mnuProfile.size(); ++i) {
        const ProfileItem item = i < items.size() ? items.at(i) : ProfileItem{};
        mnuProfile.at(i)->setText(item.caption);
        mnuProfile.at(i)->setVisible(item.visible);
        mnuProfile.at(i)->setChecked(item.checked);
    }
    mnuProfiles->popup(globalPos);
}
