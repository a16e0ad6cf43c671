// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Whether the windowing system that Qt's platform plugin is going to connect to can be reached,
// asked before the application object exists: Qt ends the process with an abort when its platform
// cannot be opened, and a stale DISPLAY (an ssh session whose forwarding is gone, an X server that
// has ended) is easy to have.
namespace DisplayProbe {
// Empty when one of the platforms Qt will try can be opened; otherwise why none can, such as
// "the X display ":5" cannot be opened". The platforms are those QT_QPA_PLATFORM names, or Qt's
// own choice by the desktop session; one that needs no display server (offscreen, vnc...) counts
// as open.
QString unavailableReason();
} // namespace DisplayProbe
