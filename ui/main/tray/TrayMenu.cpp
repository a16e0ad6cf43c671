// SPDX-License-Identifier: MIT
#include "TrayMenu.h"

#include "RunState.h"
#include "Settings.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

const QList<TrayMenu::LinkItem>& TrayMenu::linkItems()
{
    static const QList<LinkItem> items{
        {"mnuPopup_QuollaToolbox", &RunState::URLToolbox},
        {"mnuPopup_QuollaVolume", &RunState::URLVolumeUsage},
        {"mnuPopup_QuollaConnections", &RunState::URLConnections},
        {"mnuPopup_QuollaSMS", &RunState::URLSMS},
        {"mnuPopup_QuollaMail", &RunState::URLMail},
        {"mnuPopup_QuollaFault", &RunState::URLFaults},
        {"mnuPopup_QuollaPhone", &RunState::URLPhoneWait},
    };
    return items;
}

TrayMenu::TrayMenu(QObject* parent) : QObject(parent), m_menu(std::make_unique<QMenu>())
{
    QMenu& menu = *m_menu;
    menu.setObjectName(u"mnuPopup"_s);
    menu.setTitle(u"SysTrayPopUpMenu"_s);

    QAction* show = addItem(menu, "mnuPopup_Show", u"&Show..."_s);
    menu.setDefaultAction(show);
    connect(show, &QAction::triggered, this, &TrayMenu::showClicked);
    connect(addItem(menu, "mnuPopup_Hide", u"&Minimise to Tray"_s), &QAction::triggered, this, &TrayMenu::hideClicked);
    menu.addSeparator();
    connect(addItem(menu, "mnuPopup_Graph", u"View &Graph..."_s), &QAction::triggered, this, &TrayMenu::graphClicked);
    menu.addSeparator();
    connect(addItem(menu, "mnuPopup_Refresh", u"&Refresh Now"_s), &QAction::triggered, this, &TrayMenu::refreshClicked);
    QAction* autoRefresh = addItem(menu, "mnuPopup_AutoRefresh", u"Enable &Auto Refresh"_s);
    autoRefresh->setCheckable(true);
    // The check mark is already inverted when triggered arrives.
    connect(autoRefresh, &QAction::triggered, this, &TrayMenu::autoRefreshToggled);
    connect(addItem(menu, "mnuPopup_Options", u"&Options..."_s), &QAction::triggered, this, &TrayMenu::optionsClicked);
    menu.addSeparator();

    m_links = menu.addMenu(u"Quolla &Web"_s);
    m_links->setObjectName(u"mnuPopup_Quolla"_s);
    m_links->menuAction()->setObjectName(u"mnuPopup_Quolla"_s);
    const QList<std::pair<const char*, QString>> links{
        {"mnuPopup_QuollaToolbox", u"&Toolbox..."_s},
        {"mnuPopup_QuollaVolume", u"Volume &Usage..."_s},
        {"mnuPopup_QuollaConnections", u"&Connection History..."_s},
        {"mnuPopup_QuollaSMS", u"SMS..."_s},
        {nullptr, QString()},
        {"mnuPopup_QuollaMail", u"Web&Mail..."_s},
        {"mnuPopup_QuollaFault", u"&Network Status Page..."_s},
        {"mnuPopup_QuollaPhone", u"&Support Call Waiting Stats..."_s},
    };
    for (const auto& [name, caption] : links) {
        if (!name) {
            m_links->addSeparator();
            continue;
        }
        const QString itemName = QString::fromLatin1(name);
        connect(addItem(*m_links, name, caption), &QAction::triggered, this,
                [this, itemName] { emit linkClicked(itemName); });
    }
    menu.addSeparator();
    connect(addItem(menu, "mnuPopup_Exit", u"E&xit"_s), &QAction::triggered, this, &TrayMenu::exitClicked);

    connect(&menu, &QMenu::aboutToShow, this, &TrayMenu::aboutToOpen);
}

TrayMenu::~TrayMenu() = default;

QAction* TrayMenu::addItem(QMenu& menu, const char* objectName, const QString& caption)
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

QMenu& TrayMenu::menu()
{
    return *m_menu;
}

QMenu& TrayMenu::linksMenu()
{
    return *m_links;
}

QAction* TrayMenu::item(const QString& objectName) const
{
    const QList<QAction*> actions = m_menu->actions() + m_links->actions();
    for (QAction* action : actions) {
        if (!action->isSeparator() && action->objectName() == objectName)
            return action;
    }
    return nullptr;
}

void TrayMenu::prepare(bool mainWindowVisible, bool autoRefresh, bool connectionsEnabled)
{
    item(u"mnuPopup_Hide"_s)->setEnabled(mainWindowVisible);
    item(u"mnuPopup_AutoRefresh"_s)->setChecked(autoRefresh);
    item(u"mnuPopup_QuollaConnections"_s)->setEnabled(connectionsEnabled);
}

void TrayMenu::prepare(bool mainWindowVisible, const Settings& settings, const RunState& run)
{
    prepare(mainWindowVisible, settings.hasOption(OptionFlag::AutoRefresh), connectionsEnabled(settings, run));
}

bool TrayMenu::connectionsEnabled(const Settings& settings, const RunState& run)
{
    return !run.URLConnections.isEmpty() && settings.hasOption(OptionFlag::PwdToolbox);
}

void TrayMenu::setLinks(const QString& brandCaption, const RunState& run)
{
    m_links->setTitle(brandCaption);
    for (const LinkItem& link : linkItems())
        item(QString::fromLatin1(link.objectName))->setVisible(!(run.*link.link).isEmpty());
}

void TrayMenu::setRefreshEnabled(bool enabled)
{
    item(u"mnuPopup_Refresh"_s)->setEnabled(enabled);
}
