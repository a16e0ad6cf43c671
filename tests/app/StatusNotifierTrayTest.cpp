// SPDX-License-Identifier: MIT
// The program on an X display whose notification area is a StatusNotifier panel on D-Bus that
// starts after it, goes away and comes back.
#include "StatusNotifierWatcher.h"
#include "TallymeterProgram.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const QString WatcherService = u"org.kde.StatusNotifierWatcher"_s;

// An X server and a session bus of the test's own: the server listens only on an abstract
// socket and writes no lock file, the bus's socket is in a temporary folder of the test's.
class StatusNotifierTray : public TallymeterProgram
{
protected:
    StatusNotifierTray()
    {
        const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
        const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
        if (xvfb.isEmpty() || daemon.isEmpty())
            return;
        // No reset when the program's display check leaves the server without a client.
        display.start(xvfb, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-nolisten"_s, u"unix"_s, u"-nolock"_s,
                             u"-noreset"_s, u"-screen"_s, u"0"_s, u"800x600x24"_s});
        if (display.waitForReadyRead(10000))
            env.insert(u"DISPLAY"_s, u':' + QString::fromUtf8(display.readLine()).trimmed());

        // A socket's path has room for about a hundred bytes, less than the test's home may take.
        QFile config(busFolder.path() + u"/bus.conf"_s);
        if (!busFolder.isValid() || !config.open(QIODevice::WriteOnly))
            return;
        config.write((u"<busconfig><type>session</type><listen>unix:dir="_s + busFolder.path() +
                      u"</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                      u"<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                      u"<allow own=\"*\"/></policy></busconfig>"_s)
                         .toUtf8());
        config.close();
        bus.start(daemon,
                  {u"--config-file="_s + config.fileName(), u"--print-address=1"_s, u"--nofork"_s, u"--nopidfile"_s});
        if (bus.waitForReadyRead(10000))
            address = QString::fromUtf8(bus.readLine()).trimmed();
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    }

    ~StatusNotifierTray() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
        QDBusConnection::disconnectFromBus(connectionName);
        for (QProcess* process : {&bus, &display}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(5000))
                    process->kill();
                process->waitForFinished();
            }
        }
    }

    bool ready() const { return env.contains(u"DISPLAY"_s) && !address.isEmpty(); }

    // The panel starts: its watcher takes the well-known name, with a host.
    bool startPanel()
    {
        QDBusConnection connection = QDBusConnection::connectToBus(address, connectionName);
        return connection.registerObject(u"/StatusNotifierWatcher"_s, &watcher, QDBusConnection::ExportAllContents) &&
               connection.registerService(WatcherService);
    }
    void stopPanel()
    {
        QDBusConnection connection(connectionName);
        connection.unregisterService(WatcherService);
        connection.unregisterObject(u"/StatusNotifierWatcher"_s);
    }

    // The title a panel lists the item under, asked of the item as a panel asks; a call that
    // does not block, since the program may be calling the watcher in this process meanwhile.
    QString title(const StatusNotifierWatcher::Item& item)
    {
        QDBusMessage get =
            QDBusMessage::createMethodCall(item.service, item.path, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
        get << u"org.kde.StatusNotifierItem"_s << u"Title"_s;
        QDBusPendingCallWatcher call(QDBusConnection(connectionName).asyncCall(get));
        waitFor([&call] { return call.isFinished(); }, 10000);
        const QDBusPendingReply<QDBusVariant> reply = call;
        return reply.isValid() ? reply.value().variant().toString() : u"<"_s + reply.error().message() + u'>';
    }

    QProcess display;
    QTemporaryDir busFolder{QDir::tempPath() + u"/tallybus-XXXXXX"_s};
    QProcess bus;
    QString address;
    QString connectionName = u"panel-"_s + home.section(u'/', -1);
    StatusNotifierWatcher watcher;
    QProcess program;
};

} // namespace

TEST_F(StatusNotifierTray, APanelThatStartsLaterGetsTheIconUnderTheProductNameAndAgainAfterARestart)
{
    if (!ready())
        GTEST_SKIP() << "needs Xvfb and dbus-daemon";
    writeProfile(u"sunshine 42"_s);
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(TALLYMETER_PATH), {u"/NOAUTO"_s});
    ASSERT_TRUE(program.waitForStarted(10000));
    // Up, with no notification area to put its icon in.
    ASSERT_TRUE(waitFor(
        [this] {
            return log().contains(u"Main: no notification area to start in, starting minimised on the task bar"_s);
        },
        30000))
        << log().toStdString();

    ASSERT_TRUE(startPanel());
    ASSERT_TRUE(waitFor([this] { return !watcher.registrations.isEmpty(); }, 15000)) << log().toStdString();
    EXPECT_EQ(title(watcher.registrations.first()).toStdString(), "Tallyroo");

    // The panel restarts: the program sees it go, and the new one gets the icon again.
    stopPanel();
    EXPECT_TRUE(waitFor([this] { return log().contains(u"SysTray: the notification area has gone"_s); }, 15000))
        << log().toStdString();
    ASSERT_TRUE(startPanel());
    EXPECT_TRUE(waitFor([this] { return watcher.registrations.size() >= 2; }, 15000)) << log().toStdString();

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}
