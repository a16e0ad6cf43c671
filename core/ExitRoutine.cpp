// SPDX-License-Identifier: MIT
#include "ExitRoutine.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "ProgramExit.h"

using namespace Qt::StringLiterals;

namespace {
void runStep(const std::function<void()>& step)
{
    if (step)
        step();
}
} // namespace

void ExitRoutine::exitRequested()
{
    m_log.LogMessage(u"mnuFile_Exit_Click: initiating exit routines..."_s, 20);
}

void ExitRoutine::unloadRequested(int cancel, const QString& windowState)
{
    m_log.LogMessage(u"frmMain_Unload: cancel: "_s + QString::number(cancel) + u", windowstate: "_s + windowState, 20);
}

void ExitRoutine::close(const WindowSteps& steps)
{
    // From here on a fetch under way gives up, and nothing brings the window or the icon back.
    ProgramExit::begin();
    runStep(steps.release);
    m_log.LogMessage(u"frmMain_Unload: unhooking grid handler..."_s, 20);
    m_log.LogMessage(u"frmMain_Unload: unhooking window..."_s, 20);
    m_log.LogMessage(u"frmMain_Unload: calling unload..."_s, 20);
    runStep(steps.unload);
    m_log.LogMessage(u"terminating "_s + m_app.ProductName, 2);
    m_log.LogMessage(u"frmMain_Unload: ending program execution"_s, 20);
    runStep(steps.end);
}

void ExitRoutine::runWithoutWindow(const WindowSteps& steps)
{
    exitRequested();
    // A window that was never shown is in its normal state.
    unloadRequested(-1, u"0"_s);
    close(steps);
}
