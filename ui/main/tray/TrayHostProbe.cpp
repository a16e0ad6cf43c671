// SPDX-License-Identifier: MIT
#include "TrayHostProbe.h"

#include <QGuiApplication>

#ifdef TALLY_TRAY_HAS_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#endif

#include <xcb/xcb.h>

#include <cstdlib>
#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace TrayHostProbe {

namespace {
Kind& chosenKind()
{
    static Kind kind = Kind::None;
    return kind;
}

// A watcher that does not answer must not hold the program's one thread for long.
constexpr int WatcherTimeoutMs = 1000;

// The screen number of DISPLAY (":0.1" is screen 1), as X clients pick their default screen.
int screenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon + 1);
    return colon >= 0 && dot > colon ? display.mid(dot + 1).toInt() : 0;
}
} // namespace

bool platformHasTrays()
{
    const QString platform = QGuiApplication::platformName();
    return platform == u"xcb"_s || platform.startsWith(u"wayland"_s);
}

bool statusNotifierHostPresent()
{
#ifdef TALLY_TRAY_HAS_DBUS
    if (!platformHasTrays())
        return false;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(WatcherService).value())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(WatcherService, u"/StatusNotifierWatcher"_s,
                                                      u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    get << WatcherService << u"IsStatusNotifierHostRegistered"_s;
    const QDBusMessage reply = bus.call(get, QDBus::Block, WatcherTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().value<QDBusVariant>().variant().toBool();
#else
    return false;
#endif
}

bool xembedTrayPresent()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    // Qt's X platform has libxcb loaded; the program itself does not link it.
    void* library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return false;
    using InternAtom = xcb_intern_atom_cookie_t (*)(xcb_connection_t*, uint8_t, uint16_t, const char*);
    using InternAtomReply =
        xcb_intern_atom_reply_t* (*)(xcb_connection_t*, xcb_intern_atom_cookie_t, xcb_generic_error_t**);
    using GetOwner = xcb_get_selection_owner_cookie_t (*)(xcb_connection_t*, xcb_atom_t);
    using GetOwnerReply = xcb_get_selection_owner_reply_t* (*)(xcb_connection_t*, xcb_get_selection_owner_cookie_t,
                                                               xcb_generic_error_t**);
    const auto internAtom = reinterpret_cast<InternAtom>(::dlsym(library, "xcb_intern_atom"));
    const auto internAtomReply = reinterpret_cast<InternAtomReply>(::dlsym(library, "xcb_intern_atom_reply"));
    const auto getOwner = reinterpret_cast<GetOwner>(::dlsym(library, "xcb_get_selection_owner"));
    const auto getOwnerReply = reinterpret_cast<GetOwnerReply>(::dlsym(library, "xcb_get_selection_owner_reply"));
    bool present = false;
    if (internAtom && internAtomReply && getOwner && getOwnerReply) {
        xcb_connection_t* connection = x11->connection();
        const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber());
        xcb_intern_atom_reply_t* atom =
            internAtomReply(connection, internAtom(connection, 0, uint16_t(name.size()), name.constData()), nullptr);
        if (atom) {
            xcb_get_selection_owner_reply_t* owner =
                getOwnerReply(connection, getOwner(connection, atom->atom), nullptr);
            present = owner && owner->owner != XCB_NONE;
            std::free(owner);
        }
        std::free(atom);
    }
    ::dlclose(library);
    return present;
}

Kind iconKind()
{
    return chosenKind();
}

void noteIconMade()
{
    if (chosenKind() == Kind::None)
        chosenKind() = statusNotifierHostPresent() ? Kind::StatusNotifier : Kind::XEmbed;
}

bool usableAreaPresent()
{
    switch (chosenKind()) {
    case Kind::StatusNotifier:
        return statusNotifierHostPresent();
    case Kind::XEmbed:
        return xembedTrayPresent();
    case Kind::None:
        break;
    }
    return statusNotifierHostPresent() || xembedTrayPresent();
}

} // namespace TrayHostProbe
