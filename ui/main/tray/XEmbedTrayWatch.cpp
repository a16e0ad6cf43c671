// SPDX-License-Identifier: MIT
#include "XEmbedTrayWatch.h"

#include <QByteArray>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <dlfcn.h>
#include <type_traits>

// Qt's X platform has libxcb loaded; the program itself does not link it.
struct XEmbedTrayWatch::Xcb
{
    xcb_connection_t* connection = nullptr;
    void* library = nullptr;
    decltype(&::xcb_intern_atom) internAtom = nullptr;
    decltype(&::xcb_intern_atom_reply) internAtomReply = nullptr;
    decltype(&::xcb_get_selection_owner) getOwner = nullptr;
    decltype(&::xcb_get_selection_owner_reply) getOwnerReply = nullptr;
    decltype(&::xcb_change_window_attributes) changeAttributes = nullptr;

    bool load()
    {
        library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
        if (!library)
            return false;
        const auto symbol = [this](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(library, name));
            return function != nullptr;
        };
        return symbol(internAtom, "xcb_intern_atom") && symbol(internAtomReply, "xcb_intern_atom_reply") &&
               symbol(getOwner, "xcb_get_selection_owner") && symbol(getOwnerReply, "xcb_get_selection_owner_reply") &&
               symbol(changeAttributes, "xcb_change_window_attributes");
    }

    ~Xcb()
    {
        if (library)
            ::dlclose(library);
    }
};

namespace {
// The screen number of DISPLAY (":0.1" is screen 1), as X clients pick their default screen.
int screenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon + 1);
    return colon >= 0 && dot > colon ? display.mid(dot + 1).toInt() : 0;
}
} // namespace

XEmbedTrayWatch::XEmbedTrayWatch(QObject* parent) : QObject(parent)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    auto xcb = std::make_unique<Xcb>();
    if (!x11 || !x11->connection() || !xcb->load())
        return;
    xcb->connection = x11->connection();
    const QByteArray selection = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber());
    const QByteArray manager = "MANAGER";
    // Both questions go out before either answer is awaited.
    const xcb_intern_atom_cookie_t cookies[] = {
        xcb->internAtom(xcb->connection, 0, uint16_t(selection.size()), selection.constData()),
        xcb->internAtom(xcb->connection, 0, uint16_t(manager.size()), manager.constData())};
    uint32_t* atoms[] = {&m_selection, &m_manager};
    for (int i = 0; i < 2; ++i) {
        xcb_intern_atom_reply_t* reply = xcb->internAtomReply(xcb->connection, cookies[i], nullptr);
        *atoms[i] = reply ? reply->atom : uint32_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    if (m_selection == XCB_ATOM_NONE || m_manager == XCB_ATOM_NONE)
        return;
    m_xcb = std::move(xcb);
    QCoreApplication::instance()->installNativeEventFilter(this);
    track(currentOwner());
}

XEmbedTrayWatch::~XEmbedTrayWatch()
{
    if (m_xcb && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

uint32_t XEmbedTrayWatch::currentOwner() const
{
    xcb_get_selection_owner_reply_t* reply =
        m_xcb->getOwnerReply(m_xcb->connection, m_xcb->getOwner(m_xcb->connection, m_selection), nullptr);
    const uint32_t owner = reply ? reply->owner : XCB_NONE;
    std::free(reply);
    return owner;
}

void XEmbedTrayWatch::track(uint32_t owner)
{
    // The server reports a window's destruction to the clients that ask for its structure events; a
    // tray that went before the request reached the server is no longer the owner when asked again
    // (the question also sends the request).
    for (uint32_t heard = XCB_NONE; owner != XCB_NONE && owner != heard; owner = currentOwner()) {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        m_xcb->changeAttributes(m_xcb->connection, owner, XCB_CW_EVENT_MASK, &mask);
        heard = owner;
    }
    follow(owner);
}

void XEmbedTrayWatch::follow(uint32_t owner)
{
    const bool was = trayPresent();
    m_owner = owner;
    if (trayPresent() != was)
        emit changed();
}

bool XEmbedTrayWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    // The top bit marks an event another client sent.
    switch (static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE: {
        const auto* event = static_cast<const xcb_client_message_event_t*>(message);
        if (event->type == m_manager && event->format == 32 && event->data.data32[1] == m_selection)
            track(event->data.data32[2]);
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (m_owner != XCB_NONE && static_cast<const xcb_destroy_notify_event_t*>(message)->window == m_owner)
            follow(XCB_NONE);
        break;
    default:
        break;
    }
    return false;
}
