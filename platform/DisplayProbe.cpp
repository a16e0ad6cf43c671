// SPDX-License-Identifier: MIT
#include "DisplayProbe.h"

#include <QByteArray>
#include <QDir>
#include <QLibraryInfo>
#include <QList>
#include <QStringList>

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace Qt::StringLiterals;

// A connection made as Qt's X platform makes it, through libxcb with DISPLAY and the X authority,
// so an X server that refuses this user counts as closed too. libxcb is loaded at run time: the
// program itself does not need it, and without it the X platform cannot load either.
class DisplayProbe::XConnection
{
public:
    XConnection()
    {
        m_library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!m_library)
            return;
        using Connect = void* (*)(const char*, int*);
        using HasError = int (*)(void*);
        const auto connect = reinterpret_cast<Connect>(::dlsym(m_library, "xcb_connect"));
        const auto hasError = reinterpret_cast<HasError>(::dlsym(m_library, "xcb_connection_has_error"));
        m_disconnect = reinterpret_cast<Disconnect>(::dlsym(m_library, "xcb_disconnect"));
        if (!connect || !hasError || !m_disconnect)
            return;
        // An error gives a connection object too, which only disconnect frees.
        m_connection = connect(nullptr, nullptr);
        m_open = m_connection && hasError(m_connection) == 0;
    }
    ~XConnection()
    {
        if (m_connection)
            m_disconnect(m_connection);
        if (m_library)
            ::dlclose(m_library);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool isOpen() const { return m_open; }

private:
    using Disconnect = void (*)(void*);
    void* m_library = nullptr;
    void* m_connection = nullptr;
    Disconnect m_disconnect = nullptr;
    bool m_open = false;
};

namespace {
QString quoted(const QByteArray& name)
{
    return u'"' + QString::fromLocal8Bit(name) + u'"';
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

// The folders Qt looks in for platform plugins: QT_QPA_PLATFORM_PLUGIN_PATH itself, and the
// platforms folder of every plugin folder (QT_PLUGIN_PATH's, then Qt's own).
QStringList platformPluginFolders()
{
    QStringList folders;
    if (const QString own = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"); !own.isEmpty())
        folders.append(own);
    QStringList pluginFolders = qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    pluginFolders.append(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    for (const QString& folder : pluginFolders)
        folders.append(folder + u"/platforms"_s);
    return folders;
}

// Debian ships the plugin apart from Qt itself (qt6-wayland), so a Wayland session may lack it.
bool waylandPluginInstalled()
{
    for (const QString& folder : platformPluginFolders()) {
        if (!QDir(folder).entryList({u"libqwayland*.so"_s}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

// The plugins Qt tries, in its order: QT_QPA_PLATFORM's list; else Wayland where the session
// names it, with the X platform after it.
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
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland")
        names.append("wayland");
    names.append("xcb");
    return names;
}
} // namespace

DisplayProbe::DisplayProbe()
{
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    QStringList reasons;
    bool pluginMissing = false;
    for (const QByteArray& name : platformsToTry()) {
        if (name == "xcb") {
            if (!display.isEmpty()) {
                m_x = std::make_unique<XConnection>();
                if (m_x->isOpen())
                    return;
                m_x.reset();
            }
            reasons.append(display.isEmpty() ? u"DISPLAY is not set"_s
                                             : u"the X display "_s + quoted(display) + u" cannot be opened"_s);
        } else if (name.startsWith("wayland")) {
            const QByteArray socket = wayland.isEmpty() ? QByteArray("wayland-0") : wayland;
            const bool opens = waylandDisplayOpens(socket);
            pluginMissing = opens && !waylandPluginInstalled();
            if (opens && !pluginMissing)
                return;
            reasons.append(u"the Wayland display "_s + quoted(socket) +
                           (opens ? u" needs Qt's Wayland platform plugin (qt6-wayland), which is not installed"_s
                                  : u" cannot be opened"_s));
        } else {
            return;
        }
    }
    reasons.removeDuplicates();
    m_reason = display.isEmpty() && wayland.isEmpty() && !pluginMissing
                   ? u"neither DISPLAY nor WAYLAND_DISPLAY is set"_s
                   : reasons.join(u"; "_s);
}

DisplayProbe::~DisplayProbe() = default;

void DisplayProbe::release()
{
    m_x.reset();
}
