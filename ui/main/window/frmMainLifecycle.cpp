// SPDX-License-Identifier: MIT
// frmMain's life: hidden in the tray and back, closed, and the end of the program.
#include "frmMain.h"

#include "ModalDialog.h"
#include "Settings.h"

#include <QApplication>
#include <QCloseEvent>

using namespace Qt::StringLiterals;

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !(windowState() & Qt::WindowMinimized) || m_ending)
        return;
    // After the window system has finished minimising, not in the middle of it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!(windowState() & Qt::WindowMinimized) || m_ending)
                return;
            if (!trayPresent()) {
                log(u"frmMain: no notification area to hide in, staying minimised on the task bar"_s, 6);
                return;
            }
            log(u"frmMain: minimising to systray"_s, 6);
            setWindowState(windowState() & ~Qt::WindowMinimized);
            mnuFile_MinToTray_Click();
        },
        Qt::QueuedConnection);
}

void frmMain::mnuFile_MinToTray_Click()
{
    SaveFormLocation();
    if (!trayPresent()) {
        log(u"frmMain: no notification area to hide in, minimising to the task bar"_s, 6);
        if (!(windowState() & Qt::WindowMinimized))
            setWindowState(windowState() | Qt::WindowMinimized);
        return;
    }
    // Hiding also takes the window off the task bar.
    hide();
}

void frmMain::mnuPopup_Show_Click()
{
    // The options dialog keeps the front while it is open; any other dialog lets the window come
    // back behind it. Either way the dialog that holds the window ends up in front, where the
    // user can answer it.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == u"frmConfig"_s && window->isVisible()) {
            log(u"frmMain: frmConfig is visible, so bringing it to foreground"_s, 6);
            if (window->isMinimized())
                window->showNormal();
            window->raise();
            window->activateWindow();
            ModalDialog::raiseActive();
            return;
        }
    }
    log(u"frmMain: restoring main window from systray"_s, 6);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    ModalDialog::raiseActive();
}

void frmMain::mnuFile_Exit_Click()
{
    exitRoutine().exitRequested();
    Form_Unload(-1);
}

void frmMain::endOfSession()
{
    if (m_ending)
        return;
    Form_QueryUnload(2);
    Form_Unload(-1);
}

void frmMain::Form_QueryUnload(int unloadMode)
{
    static const QString modes[] = {u"close cmd from control"_s, u"unload statement from code"_s,
                                    u"windows session ending"_s, u"taskman close"_s,
                                    u"MDI parent is closing"_s,  u"owner is closing"_s};
    const QString mode = unloadMode >= 0 && unloadMode < 6 ? modes[unloadMode] : QString();
    log(u"frmMain_QueryUnload: cancel: 0, unloadmode: "_s + QString::number(unloadMode) + u" ("_s + mode +
            u"), windowstate: "_s + windowStateNumber(),
        20);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (m_ending) {
        event->accept();
        return;
    }
    Form_QueryUnload(event->spontaneous() ? 0 : 1);
    if (Form_Unload(0))
        event->ignore();
    else
        event->accept();
}

bool frmMain::Form_Unload(int cancel)
{
    if (m_ending)
        return false;
    exitRoutine().unloadRequested(cancel, windowStateNumber());
    if (cancel >= 0 && m_context.settings.hasOption(OptionFlag::MinimiseToTray)) {
        // The user asked for the program to live on when closed; without a notification area it
        // lives on the task bar, where the window can be brought back.
        log(trayPresent()
                ? u"frmMain_Unload: minimising to systray instead of closing..."_s
                : u"frmMain_Unload: no notification area to hide in, minimising to the task bar instead of closing..."_s,
            20);
        mnuFile_MinToTray_Click();
        return true;
    }
    m_ending = true;
    ExitRoutine::WindowSteps steps;
    steps.release = [this] {
        emit aboutToEnd();
        SaveFormLocation();
        m_tmrRefresh.stop();
        m_tmrAnimate.stop();
        m_tmrVerCheck.stop();
    };
    steps.unload = [this] { hide(); };
    steps.end = m_endProgram;
    exitRoutine().close(steps);
    return false;
}

ExitRoutine frmMain::exitRoutine() const
{
    return ExitRoutine(m_context.app, m_context.log);
}
