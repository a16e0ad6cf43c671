// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>

// Whether the windowing system that Qt's platform plugin is going to connect to can be reached,
// asked before the application object exists: Qt ends the process with an abort when its platform
// cannot be opened, and a stale DISPLAY (an ssh session whose forwarding is gone, an X server that
// has ended) is easy to have.
class DisplayProbe
{
public:
    // Tries the platforms Qt will try, in Qt's order, until one can be opened. An X connection
    // that opened stays open until release(): an X server whose last client leaves resets
    // itself (Xvfb, a kiosk started with xinit, a fresh VNC session), and a connection that Qt
    // opens a moment later fails.
    DisplayProbe();
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    // Empty when one of the platforms Qt will try can be opened; otherwise why none can, such as
    // "the X display ":5" cannot be opened". The platforms are those QT_QPA_PLATFORM names, or
    // Qt's own choice: Wayland where the session says so, then X. One that needs no display
    // server (offscreen, vnc...) counts as open; Wayland only where Qt has its plugin for it.
    const QString& unavailableReason() const { return m_reason; }

    // Lets the X server go; to be called once Qt's own connection is open.
    void release();

private:
    class XConnection;
    std::unique_ptr<XConnection> m_x;
    QString m_reason;
};
