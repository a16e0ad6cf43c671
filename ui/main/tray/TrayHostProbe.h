// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Whether the desktop has a notification area now, asked of each kind directly.
//
// Qt decides once per process, when it makes its first tray icon (or is first asked whether a
// tray exists), whether icons go to a StatusNotifier host over D-Bus or into an XEmbed tray, and
// keeps that answer. Asked while no host is there yet, it would never use a D-Bus panel that
// starts later. So the program asks here instead, and lets Qt make its icon only once an area is
// there; from then on the icon can live only in an area of the kind Qt chose.
namespace TrayHostProbe {

inline const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

enum class Kind {
    None,
    StatusNotifier,
    XEmbed,
};

// A StatusNotifier watcher on the session bus that has a host (a panel that shows items).
bool statusNotifierHostPresent();
// An owner of the X screen's _NET_SYSTEM_TRAY_S<n> selection; always false off X11.
bool xembedTrayPresent();
// Whether the platform can show a tray icon at all (a test's offscreen platform cannot).
bool platformHasTrays();

// The kind Qt's icons use in this process; None until the first icon is made.
Kind iconKind();
// To be called just before the process's first tray icon is made: notes the kind Qt will choose.
void noteIconMade();
// An area the program's icon can show in: before the first icon, either kind; after it, the
// kind Qt chose.
bool usableAreaPresent();

} // namespace TrayHostProbe
