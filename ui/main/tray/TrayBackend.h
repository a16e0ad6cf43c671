// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QString>

// The notification area as modSysTray sees it: one icon of ours that can be added, changed and
// removed. Each call answers whether the desktop took it, as the shell's notify call does.
// An implementation may raise RunTimeError; modSysTray reports it.
class TrayBackend
{
public:
    virtual ~TrayBackend() = default;

    virtual bool add(const QIcon& icon, const QString& tip) = 0;
    virtual bool modifyIcon(const QIcon& icon) = 0;
    virtual bool modifyTip(const QString& tip) = 0;
    virtual bool remove() = 0;
    // A notification from the icon (a balloon, or the desktop's notification on D-Bus trays).
    virtual bool showMessage(const QString& title, const QString& text) = 0;
};
