// SPDX-License-Identifier: MIT
// The program on an X display whose notification area, a StatusNotifier panel on D-Bus or an XEmbed
// tray, starts after it, goes away and comes back, or hangs.
#include "StatusNotifierWatcher.h"
#include "TallymeterProgram.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

const QString WatcherService = u"org.kde.StatusNotifierWatcher"_s;
const QString StartedOnTheTaskBar = u"Main: no notification area to start in, starting minimised on the task bar"_s;
const QString AreaGone = u"SysTray: the notification area has gone"_s;
const QString AreaCame = u"WindowProc: detected taskbar restart, re-inserting systray icon"_s;

// Started with TALLY_TEST_PANEL naming a bus, this test program is only a panel on that bus, in a
// process of its own that a test can stop. It prints "ready" once it holds the watcher's name, then
// each item that registers, service and path.
const bool panelProcess = [] {
    const QString address = qEnvironmentVariable("TALLY_TEST_PANEL");
    if (address.isEmpty())
        return false;
    int argc = 1;
    char name[] = "panel";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    StatusNotifierWatcher watcher;
    QObject::connect(&watcher, &StatusNotifierWatcher::StatusNotifierItemRegistered, [](const QString& item) {
        std::printf("%s\n", qPrintable(item));
        std::fflush(stdout);
    });
    QDBusConnection bus = QDBusConnection::connectToBus(address, u"panel"_s);
    bus.registerObject(u"/StatusNotifierWatcher"_s, &watcher, QDBusConnection::ExportAllContents);
    bus.registerService(WatcherService);
    std::printf("ready\n");
    std::fflush(stdout);
    std::_Exit(application.exec());
}();

xcb_atom_t atom(xcb_connection_t* x, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// An XEmbed tray on display that takes the screen's selection, announces itself and is gone at once.
void flashTray(const QString& display)
{
    xcb_connection_t* x = xcb_connect(qPrintable(display), nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const xcb_window_t tray = xcb_generate_id(x);
    xcb_client_message_event_t manager{XCB_CLIENT_MESSAGE, 32, 0, root, atom(x, "MANAGER"), {}};
    manager.data.data32[1] = atom(x, "_NET_SYSTEM_TRAY_S0");
    manager.data.data32[2] = tray;
    xcb_create_window(x, 0, tray, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, 0, 0, nullptr);
    xcb_set_selection_owner(x, tray, manager.data.data32[1], XCB_CURRENT_TIME);
    xcb_send_event(x, 0, root, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&manager));
    xcb_destroy_window(x, tray);
    xcb_flush(x);
    xcb_disconnect(x);
}

// Whether the screen of display has an XEmbed tray.
bool trayOwned(const QString& display)
{
    xcb_connection_t* x = xcb_connect(qPrintable(display), nullptr);
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, atom(x, "_NET_SYSTEM_TRAY_S0")), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    std::free(owner);
    xcb_disconnect(x);
    return owned;
}

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
        // A home with a path short enough for the single-instance socket.
        env.insert(u"HOME"_s, busFolder.path());
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    }

    ~StatusNotifierTray() override
    {
        for (QProcess* process : {&program, &panel}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
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

    // A property of the item, asked as a panel asks; a call that does not block, since the
    // program may be calling the watcher in this process meanwhile.
    QVariant property(const StatusNotifierWatcher::Item& item, const QString& name)
    {
        QDBusMessage get =
            QDBusMessage::createMethodCall(item.service, item.path, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
        get << u"org.kde.StatusNotifierItem"_s << name;
        QDBusPendingCallWatcher call(QDBusConnection::connectToBus(address, connectionName).asyncCall(get));
        waitFor([&call] { return call.isFinished(); }, 10000);
        const QDBusPendingReply<QDBusVariant> reply = call;
        return reply.isValid() ? reply.value().variant() : QVariant(u'<' + reply.error().message() + u'>');
    }
    QString title(const StatusNotifierWatcher::Item& item) { return property(item, u"Title"_s).toString(); }
    // The title of the item's tooltip (icon name, pictures, title, text), the line a panel shows.
    QString toolTip(const StatusNotifierWatcher::Item& item)
    {
        const auto tip = property(item, u"ToolTip"_s).value<QDBusArgument>();
        QStringList fields;
        for (tip.beginStructure(); !tip.atEnd();)
            fields << tip.asVariant().toString();
        tip.endStructure();
        return fields.value(2);
    }

    // The program on the sample account, with the user name given if any.
    void startProgram(const QString& user = {})
    {
        writeProfile(u"sunshine 42"_s);
        if (!user.isEmpty())
            setRegistryValue(u"Software\\Tallymeter\\Config"_s, u"Username"_s, RegistryValue::text(user));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(TALLYMETER_PATH), {u"/NOAUTO"_s});
    }
    // Asked to end, the program ends through its exit routine within a few seconds.
    bool endsAtOnce()
    {
        program.terminate();
        return program.waitForFinished(5000) && program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0;
    }
    // Waits until the program has logged line times over.
    bool logs(const QString& line, int times = 1)
    {
        return waitFor([&] { return log().count(line) == times; }, 30000);
    }

    // The panel in a process of its own, which a test can stop.
    bool startPanelProcess()
    {
        QProcessEnvironment panelEnv = env;
        panelEnv.insert(u"TALLY_TEST_PANEL"_s, address);
        panel.setProcessEnvironment(panelEnv);
        panel.start(QCoreApplication::applicationFilePath(), {});
        return panel.waitForReadyRead(15000) && panel.readLine().trimmed() == "ready";
    }
    void pausePanel(bool paused) { ::kill(pid_t(panel.processId()), paused ? SIGSTOP : SIGCONT); }

    // The longest the window's thread took, asked every 100 ms for ms, to answer a line on the
    // single-instance socket (one other than "show" it answers by hanging up); ms when it did not.
    qint64 longestAnswer(int ms)
    {
        const QFileInfoList sockets =
            QDir(busFolder.path() + u"/.cache/tallymeter"_s).entryInfoList({u"*.socket"_s}, QDir::System);
        qint64 longest = sockets.size() == 1 ? 0 : ms;
        QElapsedTimer all;
        all.start();
        for (QElapsedTimer asked; longest < ms && all.elapsed() < ms; waitFor([] { return false; }, 100)) {
            QLocalSocket socket;
            asked.start();
            socket.connectToServer(sockets[0].filePath());
            socket.write("ping\n");
            socket.waitForDisconnected(ms);
            longest = std::max(longest, asked.elapsed());
        }
        return longest;
    }

    // What anyone but the bus itself sends on the bus for ms, spent in meanwhile if given, a line
    // per message.
    QString busTraffic(int ms, const std::function<void(int)>& meanwhile = {})
    {
        QProcess monitor;
        monitor.start(QStandardPaths::findExecutable(u"dbus-monitor"_s), {u"--address"_s, address, u"--profile"_s});
        if (!waitFor([&] { return monitor.peek(1 << 16).contains("NameLost"); }, 10000))
            return u"<no monitor>"_s;
        meanwhile ? meanwhile(ms) : void(waitFor([] { return false; }, ms));
        QStringList sent;
        for (const QString& line : QString::fromUtf8(monitor.readAllStandardOutput()).split(u'\n')) {
            if (!line.isEmpty() && !line.startsWith(u'#') && line.section(u'\t', 3, 3) != u"org.freedesktop.DBus"_s)
                sent << line;
        }
        monitor.kill();
        monitor.waitForFinished();
        return sent.join(u'\n');
    }

    QProcess display;
    QTemporaryDir busFolder{QDir::tempPath() + u"/tallybus-XXXXXX"_s};
    QProcess bus;
    QString address;
    QString connectionName = u"panel-"_s + home.section(u'/', -1);
    StatusNotifierWatcher watcher;
    QProcess panel;
    QProcess program;
};

} // namespace

TEST_F(StatusNotifierTray, APanelThatStartsLaterGetsTheIconAndItsTooltipAsCharactersAgainAfterEachRestartAndNoticesToo)
{
    if (!ready())
        GTEST_SKIP() << "needs Xvfb and dbus-daemon";
    // The settings are found through folders whose names look like markup.
    const QString folder = home + u"/p<i>q</i>r &amp; a&b<c>"_s;
    ASSERT_TRUE(QDir().mkpath(home + u"/p<i>q<"_s) && QFile::link(home + u"/config"_s, folder));
    env.insert(u"XDG_CONFIG_HOME"_s, folder);
    NotificationServer notifications;
    QDBusConnection connection = QDBusConnection::connectToBus(address, connectionName);
    ASSERT_TRUE(connection.registerObject(u"/org/freedesktop/Notifications"_s, &notifications,
                                          QDBusConnection::ExportAllSlots) &&
                connection.registerService(u"org.freedesktop.Notifications"_s));
    // Markup, entities, brackets, quotes, letters beyond ASCII and beyond 16 bits, and control
    // characters at once; a D-Bus string cannot hold a NUL.
    const QString user = u"<b>Ann &amp; <font color=red>\"Bo\" 'Cy' < > \u00fc\u20ac\U0001F600\t\u0001\u0000."_s;
    const QString shownUser = QString(user).replace(QChar(u'\0'), QChar::ReplacementCharacter);
    startProgram(user);
    // Up, with no notification area to put its icon in.
    ASSERT_TRUE(logs(StartedOnTheTaskBar)) << log().toStdString();

    // The panel comes, then restarts twice: the program sees it go, and each new one lists the item
    // under the product name, with the tooltip's title as the characters of the texts.
    for (int restarts = 0; restarts < 3; ++restarts) {
        if (restarts > 0) {
            stopPanel();
            EXPECT_TRUE(logs(AreaGone, restarts)) << log().toStdString();
        }
        const qsizetype registered = watcher.registrations.size();
        ASSERT_TRUE(startPanel());
        QString shown;
        EXPECT_TRUE(waitFor(
            [&] {
                const QList<StatusNotifierWatcher::Item> items = watcher.registrations.mid(registered);
                return log().count(AreaCame) == restarts + 1 && !items.isEmpty() &&
                       (shown = title(items.last()) + u'\n' + toolTip(items.last()).remove(QChar(0x2060)))
                           .startsWith(u"Tallyroo\nTallyroo ["_s + shownUser + u"]: "_s);
            },
            15000))
            << shown.toStdString() << log().toStdString();
    }

    // A slip typed into the settings while the window waits in the tray, then the panel opens the
    // menu: the program meets the slip and says so in a notification, whose body a server that reads
    // markup shows as the notice's characters.
    QFile settings(home + u"/config/tallymeter/registry.reg"_s);
    ASSERT_TRUE(settings.open(QIODevice::ReadWrite));
    const QByteArray text = settings.readAll().replace("\"debug\"=dword:0000000a", "\"debug\"=10");
    settings.resize(0);
    settings.write(text);
    settings.close();
    const StatusNotifierWatcher::Item item = watcher.registrations.last();
    connection.call(QDBusMessage::createMethodCall(item.service,
                                                   property(item, u"Menu"_s).value<QDBusObjectPath>().path(),
                                                   u"com.canonical.dbusmenu"_s, u"AboutToShow"_s)
                    << 0);
    ASSERT_TRUE(waitFor([&] { return !notifications.notices.isEmpty(); }, 15000)) << log().toStdString();
    EXPECT_EQ(notifications.notices[0][0], u"Tallyroo"_s);
    QTextDocument shown;
    shown.setHtml(notifications.notices[0][1]);
    EXPECT_TRUE(shown.toPlainText().startsWith(u"The settings file "_s + folder +
                                               u"/tallymeter/registry.reg cannot be read"_s) &&
                log().contains(shown.toPlainText()))
        << notifications.notices[0][1].toStdString();

    EXPECT_TRUE(endsAtOnce());
}

TEST_F(StatusNotifierTray, APanelStoppedFromTheStartGetsTheIconOnceItAnswersAndNeverHoldsTheWindowOrHearsAPoll)
{
    if (!ready() || QStandardPaths::findExecutable(u"dbus-monitor"_s).isEmpty())
        GTEST_SKIP() << "needs Xvfb, dbus-daemon and dbus-monitor";
    ASSERT_TRUE(startPanelProcess());
    // The panel hangs from before the program starts until after D-Bus's usual limit for an answer
    // (25 s): the program starts on the task bar, answers at once all the while, and asks nothing
    // more meanwhile.
    pausePanel(true);
    QElapsedTimer hung;
    hung.start();
    startProgram();
    ASSERT_TRUE(logs(StartedOnTheTaskBar)) << log().toStdString();
    qint64 answer = 0;
    EXPECT_EQ(busTraffic(30000 - int(hung.elapsed()), [&](int ms) { answer = longestAnswer(ms); }).toStdString(), "");
    EXPECT_LT(answer, 500);
    // The answer it owes brings the icon.
    pausePanel(false);
    ASSERT_TRUE(panel.waitForReadyRead(15000)) << log().toStdString();
    const QString registered = QString::fromUtf8(panel.readLine()).trimmed();
    const StatusNotifierWatcher::Item item{registered.section(u'/', 0, 0), u'/' + registered.section(u'/', 1)};
    ASSERT_EQ(title(item), u"Tallyroo"_s);

    // Idle for longer than the old period between looks at the panel: no message from anyone.
    EXPECT_EQ(busTraffic(6000).toStdString(), "");

    // The panel stops again: the window's thread answers a panel's question at once all the while,
    // and the program ends at once.
    pausePanel(true);
    qint64 longest = 0;
    for (QDeadlineTimer stopped(7000); !stopped.hasExpired(); waitFor([] { return false; }, 100)) {
        QElapsedTimer asked;
        asked.start();
        EXPECT_EQ(title(item), u"Tallyroo"_s);
        longest = std::max(longest, asked.elapsed());
    }
    EXPECT_LT(longest, 500);
    EXPECT_TRUE(endsAtOnce());
    pausePanel(false);
}

TEST_F(StatusNotifierTray, APanelStoppedFromTheStartBesideAnXEmbedTrayNeverHoldsTheWindowAndGetsTheIconOnceItAnswers)
{
    const QString trayer = QStandardPaths::findExecutable(u"trayer"_s);
    if (!ready() || trayer.isEmpty())
        GTEST_SKIP() << "needs Xvfb, dbus-daemon and trayer";
    QProcess tray;
    tray.setProcessEnvironment(env);
    tray.start(trayer, {});
    ASSERT_TRUE(waitFor([this] { return trayOwned(env.value(u"DISPLAY"_s)); }, 10000));
    // The icon cannot go to the tray either while the panel hangs, as at login: making it would
    // wait on the panel. So the window comes to the task bar within its 2 s, and answers at once.
    ASSERT_TRUE(startPanelProcess());
    pausePanel(true);
    QElapsedTimer started;
    started.start();
    startProgram();
    ASSERT_TRUE(logs(StartedOnTheTaskBar)) << log().toStdString();
    EXPECT_LT(started.elapsed(), 5000);
    EXPECT_LT(longestAnswer(3000), 500);
    pausePanel(false);
    ASSERT_TRUE(panel.waitForReadyRead(15000)) << log().toStdString();
    EXPECT_TRUE(panel.readLine().contains("/StatusNotifierItem"));
    EXPECT_TRUE(endsAtOnce());
    tray.terminate();
    tray.waitForFinished();
}

TEST_F(StatusNotifierTray, AnXEmbedTrayThatComesAndGoesTwiceHoldsTheIconWhileItIsThere)
{
    const QString trayer = QStandardPaths::findExecutable(u"trayer"_s);
    if (!ready() || trayer.isEmpty() || QStandardPaths::findExecutable(u"xwininfo"_s).isEmpty())
        GTEST_SKIP() << "needs Xvfb, dbus-daemon, trayer and xwininfo";
    // The program's icon among the windows the tray holds, as the X server lists them.
    const auto iconInTray = [this] {
        QProcess tree;
        tree.setProcessEnvironment(env);
        tree.start(u"xwininfo"_s, {u"-tree"_s, u"-name"_s, u"panel"_s});
        tree.waitForFinished();
        return tree.readAllStandardOutput().contains("(\"tallymeter\"");
    };
    startProgram();
    ASSERT_TRUE(logs(StartedOnTheTaskBar)) << log().toStdString();
    // A tray gone as soon as it came is no place for the icon.
    flashTray(env.value(u"DISPLAY"_s));
    EXPECT_FALSE(waitFor([this] { return log().contains(AreaCame); }, 1000));
    QProcess tray;
    tray.setProcessEnvironment(env);
    for (int round = 1; round <= 3; ++round) {
        tray.start(trayer, {});
        // Qt docks the icon again by itself as well, which may take it out of the tray for a moment.
        bool docked = false;
        waitFor([&] { return docked = docked || (log().count(AreaCame) == round && iconInTray()); }, 15000);
        EXPECT_TRUE(docked) << round << log().toStdString();
        tray.terminate();
        tray.waitForFinished();
        EXPECT_TRUE(logs(AreaGone, round)) << round << log().toStdString();
    }
}
