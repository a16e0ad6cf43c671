// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

class LogFrontEnd;
struct AppInfo;

// The program's exit routine (Exit from the menus, the end of the desktop session, the end of the
// run-once mode): its log lines and the order of its steps. What only a window has to do comes in
// as steps, so a run without a window goes through the same routine with none.
class ExitRoutine
{
public:
    // Each may be left empty.
    struct WindowSteps
    {
        // Remove the tray icon, unload the graph window, save the placement, stop the timers.
        std::function<void()> release;
        // Take the main window down.
        std::function<void()> unload;
        // End the event loop; a run without one returns to its caller instead.
        std::function<void()> end;
    };

    ExitRoutine(const AppInfo& app, LogFrontEnd& log) : m_app(app), m_log(log) {}

    // The Exit command's first line, before the unload.
    void exitRequested();
    // The unload's first line: cancel -1 is the Exit command's, 0 the window's close box.
    void unloadRequested(int cancel, const QString& windowState);
    // Past the point of no return: the window's steps between the routine's lines.
    void close(const WindowSteps& steps);
    // The whole routine where there is no window (the run-once mode, or a start that ends before
    // its window is loaded); steps: what there is to release and end all the same.
    void runWithoutWindow(const WindowSteps& steps = {});

private:
    const AppInfo& m_app;
    LogFrontEnd& m_log;
};
