// SPDX-License-Identifier: MIT
// The tray icon and its menu.
#include "MainWindowSeam.h"

#include "LogFrontEnd.h"
#include "ProgramExit.h"
#include "QtTrayBackend.h"
#include "TrayLinks.h"
#include "TrayMenu.h"
#include "frmMain.h"
#include "modSysTray.h"

#include <QMenu>
#include <QTimer>

using namespace Qt::StringLiterals;

void MainWindowSeam::connectTray()
{
    QtTrayBackend* backend = m_trayBackend.get();
    TrayMenu* menu = m_trayMenu.get();
    QObject::connect(backend, &QtTrayBackend::doubleClicked, backend, [this] {
        log(u"SysTray: left button double click, restoring main form"_s, 10);
        restoreMainWindow();
    });
    // The menu opens from the tray itself; its states are settled just before it shows.
    backend->setContextMenu(&menu->menu());
    QObject::connect(menu, &TrayMenu::aboutToOpen, menu, [this] { prepareTrayMenu(); });
    QObject::connect(backend, &QtTrayBackend::trayAppeared, backend, [this] {
        if (trayInUse())
            m_tray->taskbarCreated();
    });
    QObject::connect(backend, &QtTrayBackend::trayLost, backend, [this] {
        log(u"SysTray: the notification area has gone"_s, 6);
        keepWindowReachable();
    });
    QObject::connect(menu, &TrayMenu::showClicked, menu, [this] { restoreMainWindow(); });
    QObject::connect(menu, &TrayMenu::hideClicked, menu, [this] {
        if (m_form)
            m_form->mnuFile_MinToTray_Click();
    });
    QObject::connect(menu, &TrayMenu::graphClicked, menu, [this] { m_commands->cmdTeeGraph_Click(); });
    QObject::connect(menu, &TrayMenu::refreshClicked, menu, [this] { m_commands->cmdRefresh_Click(); });
    QObject::connect(menu, &TrayMenu::autoRefreshToggled, menu,
                     [this](bool checked) { m_commands->mnuPopup_AutoRefresh_Click(checked); });
    QObject::connect(menu, &TrayMenu::optionsClicked, menu, [this] { m_commands->mnuPopup_Options_Click(); });
    QObject::connect(menu, &TrayMenu::linkClicked, menu, [this](const QString& item) {
        openTrayLink(item, m_services->run, m_services->links, m_services->log);
    });
    QObject::connect(menu, &TrayMenu::exitClicked, menu, [this] { exitProgram(); });
}

void MainWindowSeam::prepareTrayMenu()
{
    log(u"SysTray: right button mouse up, showing popup menu"_s, 10);
    m_trayMenu->prepare(isMainWindowVisible(), m_services->settings, m_services->run);
}

bool MainWindowSeam::trayInUse() const
{
    // The exit routine took the icon away; a change now would put it back (a tooltip change
    // re-adds an icon it finds gone).
    return m_tray && !ProgramExit::begun();
}

void MainWindowSeam::AddTrayIcon(const QString& imageKey, const QString& toolTip)
{
    if (!trayInUse())
        return;
    m_tray->AddTrayIcon(imageKey, toolTip);
    keepWindowReachable();
}

void MainWindowSeam::keepWindowReachable()
{
    // Before the desktop has told whether it has an area, the start-up decides (showMainWindow).
    if (!m_form || m_form->isVisible() || m_trayBackend->isShown() || !m_trayBackend->isAreaKnown() ||
        ProgramExit::begun())
        return;
    log(u"SysTray: no notification area to wait in, minimising to the task bar"_s, 6);
    m_form->showMinimized();
}

void MainWindowSeam::ModifyTrayIcon(const QString& imageKey)
{
    if (trayInUse())
        m_tray->ModifyTrayIcon(imageKey);
}

void MainWindowSeam::ModifyTrayToolTip(const QString& toolTip)
{
    if (trayInUse())
        m_tray->ModifyTrayToolTip(toolTip);
}

bool MainWindowSeam::ShowTrayMessage(const QString& title, const QString& text)
{
    return trayInUse() && m_tray->ShowTrayMessage(title, text);
}

void MainWindowSeam::setTrayAnimation(bool running)
{
    if (!m_form)
        return;
    if (running)
        m_form->tmrAnimate().start();
    else
        m_form->tmrAnimate().stop();
}
