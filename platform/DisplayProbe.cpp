// SPDX-License-Identifier: MIT
#include "DisplayProbe.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {
QString quoted(const QByteArray& name)
{
    return u'"' + QString::fromLocal8Bit(name) + u'"';
}

// Connects as Qt's X platform does, through libxcb with DISPLAY and the X authority, so an X
// server that refuses this user counts as closed too. Loaded at run time: the program itself
// does not need it, and without it the X platform cannot load either.
bool xDisplayOpens()
{
    void* library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(::dlsym(library, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(library, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(library, "xcb_disconnect"));
    bool opens = false;
    if (connect && hasError && disconnect) {
        // An error gives a connection object too, which only disconnect frees.
        void* connection = connect(nullptr, nullptr);
        opens = connection && hasError(connection) == 0;
        if (connection)
            disconnect(connection);
    }
    ::dlclose(library);
    return opens;
}

// A Wayland compositor listens on a socket named by WAYLAND_DISPLAY ("wayland-0" without it),
// relative to XDG_RUNTIME_DIR unless absolute; a socket handed over in WAYLAND_SOCKET is taken.
bool waylandDisplayOpens(const QByteArray& name)
{
    if (!qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return true;
    QByteArray path = name;
    if (!path.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return false;
        path = runtime + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool opens = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return opens;
}

// The plugins Qt tries, in its order: QT_QPA_PLATFORM's list, else the session's kind of display
// with the X platform as the fall-back.
QList<QByteArray> platformsToTry()
{
    QList<QByteArray> names;
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty()) {
        for (const QByteArray& entry : chosen.split(';')) {
            // Options follow the name after a colon.
            const QByteArray name = entry.split(':').first().trimmed().toLower();
            if (!name.isEmpty())
                names.append(name);
        }
        return names;
    }
    if (qgetenv("XDG_SESSION_TYPE") == "wayland")
        names.append("wayland");
    names.append("xcb");
    return names;
}
} // namespace

namespace DisplayProbe {
QString unavailableReason()
{
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    QStringList reasons;
    for (const QByteArray& name : platformsToTry()) {
        if (name == "xcb") {
            if (!display.isEmpty() && xDisplayOpens())
                return {};
            reasons.append(display.isEmpty() ? u"DISPLAY is not set"_s
                                             : u"the X display "_s + quoted(display) + u" cannot be opened"_s);
        } else if (name.startsWith("wayland")) {
            const QByteArray socket = wayland.isEmpty() ? QByteArray("wayland-0") : wayland;
            if (waylandDisplayOpens(socket))
                return {};
            reasons.append(u"the Wayland display "_s + quoted(socket) + u" cannot be opened"_s);
        } else {
            return {};
        }
    }
    if (display.isEmpty() && wayland.isEmpty())
        return u"neither DISPLAY nor WAYLAND_DISPLAY is set"_s;
    reasons.removeDuplicates();
    return reasons.join(u"; "_s);
}
} // namespace DisplayProbe
