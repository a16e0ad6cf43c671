// SPDX-License-Identifier: MIT
// The windowed program's start on the displays people have: an X server with no other client, a
// Wayland session without Qt's Wayland plugin, with and without an X display beside it.
#include "TallymeterProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocalServer>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

class DisplayStart : public TallymeterProgram
{
protected:
    DisplayStart()
    {
        // Only what each test names: no display, no platform chosen, Qt's own plugin folders.
        for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"WAYLAND_SOCKET"_s, u"XDG_SESSION_TYPE"_s,
                                    u"QT_QPA_PLATFORM"_s, u"QT_PLUGIN_PATH"_s, u"QT_QPA_PLATFORM_PLUGIN_PATH"_s})
            env.remove(name);
        writeProfile(u"sunshine 42"_s);
        // As a session's runtime folder is, else Qt's platforms warn about it.
        QFile::setPermissions(home + u"/runtime"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ~DisplayStart() override
    {
        if (xServer.state() != QProcess::NotRunning) {
            xServer.terminate();
            if (!xServer.waitForFinished(5000))
                xServer.kill();
            xServer.waitForFinished();
        }
    }

    // An X server of the test's own, which resets itself whenever its last client leaves, as
    // Xvfb, a kiosk's X server and a fresh VNC session do; its name for DISPLAY.
    QString startXServer()
    {
        const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
        if (xvfb.isEmpty())
            return {};
        // The server takes a free display number itself and says which.
        xServer.start(xvfb,
                      {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s});
        if (!xServer.waitForStarted(10000))
            return {};
        QElapsedTimer waited;
        waited.start();
        while (!xServer.canReadLine() && xServer.state() == QProcess::Running && waited.elapsed() < 30000)
            xServer.waitForReadyRead(1000);
        const QString number = QString::fromUtf8(xServer.readLine()).trimmed();
        return number.isEmpty() ? QString() : u':' + number;
    }

    // Turns this process's events until done() or ms have passed.
    static bool waitFor(const std::function<bool()>& done, int ms)
    {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done())
                loop.quit();
        });
        poll.start(20);
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
        return done();
    }

    // Starts the program with its windows, waits until it shows the refreshed month, then ends
    // it as the desktop session does. Its exit status; -2 when it crashed or aborted (output
    // says how), -1 when it never showed the month.
    int startShowAndEnd()
    {
        QFile::remove(dataDir + u"/debug.log"_s);
        ageLastRefresh();
        QProcess program;
        program.setProcessEnvironment(env);
        // Without the stored month every start refreshes, so the month shown is a sign of the
        // whole start.
        program.start(QStringLiteral(TALLYMETER_PATH), {u"/NOOLD"_s});
        if (!program.waitForStarted(10000))
            return -1;
        const bool shown = waitFor(
            [&] {
                return program.state() == QProcess::NotRunning ||
                       log().contains(u"retrieved live data for alice from JSON feed"_s);
            },
            60000);
        if (shown && program.state() == QProcess::Running)
            ::kill(pid_t(program.processId()), SIGTERM);
        if (!waitFor([&] { return program.state() == QProcess::NotRunning; }, 20000)) {
            program.kill();
            program.waitForFinished();
        }
        output = QString::fromUtf8(program.readAllStandardError());
        if (program.exitStatus() != QProcess::NormalExit)
            return -2;
        return shown ? program.exitCode() : -1;
    }

    // A socket where a Wayland compositor would listen, in the runtime folder (whose path must
    // fit a socket address, hence the short test names); it takes
    // connections and never answers.
    void fakeWaylandCompositor(const QString& name)
    {
        ASSERT_TRUE(compositor.listen(home + u"/runtime/"_s + name)) << compositor.errorString().toStdString();
        env.insert(u"WAYLAND_DISPLAY"_s, name);
        env.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
    }

    bool endedAsWithoutADisplay(int status) const
    {
        return status == 6 && output.contains(u"tallymeter: no display to show the window on ("_s) &&
               output.contains(u"/H to refresh once"_s);
    }

    QProcess xServer;
    QLocalServer compositor;
};

bool waylandPluginInstalled()
{
    return !QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + u"/platforms"_s)
                .entryList({u"libqwayland*.so"_s})
                .isEmpty();
}

} // namespace

TEST_F(DisplayStart, OnAnXServerWithNoOtherClientEveryStartShowsTheWindow)
{
    const QString display = startXServer();
    if (display.isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    env.insert(u"DISPLAY"_s, display);
    // Each start finds the server as the one before left it: without a client.
    for (int start = 1; start <= 10; ++start) {
        const int status = startShowAndEnd();
        ASSERT_EQ(status, 0) << "start " << start << ": " << output.toStdString() << log().toStdString();
        EXPECT_FALSE(output.contains(u"could not connect to display"_s)) << output.toStdString();
    }
}

// Without the plugin Qt would go on to the X display, or abort where there is none.
TEST_F(DisplayStart, WaylandWithoutQtsPlugin)
{
    if (waylandPluginInstalled())
        GTEST_SKIP() << "Qt's Wayland plugin is installed here";
    fakeWaylandCompositor(u"wayland-7"_s);

    // Wayland alone: nothing Qt could draw on.
    EXPECT_TRUE(endedAsWithoutADisplay(run({}))) << output.toStdString();
    EXPECT_TRUE(output.contains(u"the Wayland display \"wayland-7\" needs Qt's Wayland platform plugin"_s))
        << output.toStdString();
    // Asked for by name, the same.
    env.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
    EXPECT_TRUE(endedAsWithoutADisplay(run({}))) << output.toStdString();
    env.remove(u"QT_QPA_PLATFORM"_s);

    // A plugin file that Qt cannot load passes the check; the start still ends with the status and
    // the message instead of Qt's abort.
    const QString plugins = home + u"/plugins"_s;
    ASSERT_TRUE(QDir().mkpath(plugins));
    QFile fake(plugins + u"/libqwayland-generic.so"_s);
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a library");
    fake.close();
    env.insert(u"QT_QPA_PLATFORM_PLUGIN_PATH"_s, plugins);
    EXPECT_TRUE(endedAsWithoutADisplay(run({}))) << output.toStdString();
    EXPECT_TRUE(output.contains(u"none of Qt's platform plugins could start on it"_s)) << output.toStdString();
    // Nothing was taken: no lock, no request.
    EXPECT_FALSE(QFileInfo::exists(lockFolder()));
    EXPECT_TRUE(providerLog().isEmpty()) << providerLog().toStdString();

    // With an X display beside it (XWayland), the window opens there.
    const QString display = startXServer();
    if (display.isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    env.remove(u"QT_QPA_PLATFORM_PLUGIN_PATH"_s);
    env.insert(u"DISPLAY"_s, display);
    EXPECT_EQ(startShowAndEnd(), 0) << output.toStdString() << log().toStdString();
}
