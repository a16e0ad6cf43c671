// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>
#include <memory>

// Whether the X screen has an XEmbed notification area (an owner of its _NET_SYSTEM_TRAY_S<n>
// selection), followed by what the X server reports: the MANAGER message a tray sends to the root
// window when it takes the selection, and the destruction of the tray's window. The server is
// asked who owns the selection when the watch is made and when a tray announces itself, never on a
// timer. Off X11 there is never a tray.
class XEmbedTrayWatch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit XEmbedTrayWatch(QObject* parent = nullptr);
    ~XEmbedTrayWatch() override;

    bool trayPresent() const { return m_owner != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void changed();

private:
    struct Xcb;
    uint32_t currentOwner() const;
    // Follows the tray whose window is owner, or whichever owns the selection once told of its end.
    void track(uint32_t owner);
    // Notes owner (0: none) as the tray.
    void follow(uint32_t owner);

    std::unique_ptr<Xcb> m_xcb;
    uint32_t m_selection = 0;
    uint32_t m_manager = 0;
    uint32_t m_owner = 0;
};
