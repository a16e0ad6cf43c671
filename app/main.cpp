// SPDX-License-Identifier: MIT
#include "LocalDateTime.h"
#include "ProgramExit.h"
#include "SignalHandOff.h"
#include "TallyProgram.h"
#include "WindowedApplication.h"

#include <QCoreApplication>

#include <csignal>
#include <memory>

int main(int argc, char* argv[])
{
    // Before anything a signal could cut short: the display's connection, the settings, the lock.
    SignalHandOff::takeOver();
    // A reader that stops early (tallymeter /H | head) must not end the program in the middle of
    // a store: writes to a closed pipe then fail quietly instead.
    std::signal(SIGPIPE, SIG_IGN);

    // The run-once mode needs no display; everything else shows windows.
    bool hidden = false;
    for (int i = 1; i < argc; ++i)
        hidden = hidden || QByteArray(argv[i]).left(2).toUpper() == "/H";
    // Without a window, a tray icon or timers the program could only sit there holding the
    // single-instance lock; and a display that is named but gone would end it in Qt's abort.
    std::unique_ptr<QCoreApplication> application;
    int failure = 0;
    if (hidden)
        application = std::make_unique<QCoreApplication>(argc, argv);
    else if (!(application = WindowedApplication::open(argc, argv, failure)))
        return failure;
    // Panels list the tray item under this name (Qt sends it as the StatusNotifier item's title).
    // No file or setting of the program is found by it.
    QCoreApplication::setApplicationName(QStringLiteral("Tallyroo"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    SystemClock clock;
    TallyProgram program(arguments, QCoreApplication::applicationDirPath(), clock);
    // A signal ends the windowed program through its exit routine, also while start-up still
    // waits for the provider or asks a question, so a fetch under way is given up and the
    // single-instance lock is given back. The run-once mode gives up its refresh, ends through the
    // same routine, and says in its status that it was stopped.
    const SignalHandOff endingSignals([&program, hidden](int) {
        if (hidden)
            ProgramExit::begin();
        else
            program.window().exitProgram();
    });
    // One that came while the application was being made: nothing is written yet, nor anything to
    // save. The run-once mode did not refresh, and says so as for a later signal.
    if (const int signal = SignalHandOff::received(); signal != 0)
        return hidden ? TallyProgram::endedBySignal(signal) : TallyProgram::Ok;
    if (const std::optional<int> status = program.Main()) {
        if (hidden && SignalHandOff::received() != 0)
            return TallyProgram::endedBySignal(SignalHandOff::received());
        return *status;
    }
    // Exit came while start-up waited: the event loop's end was asked for before it ran.
    if (ProgramExit::begun())
        return TallyProgram::Ok;
    return QCoreApplication::exec();
}
