// SPDX-License-Identifier: MIT
// The windowed program told to end while its refresh waits for a provider that does not answer.
#include "FakeProvider.h"
#include "SingleInstance.h"
#include "TallymeterProgram.h"

#include "RegistryStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <functional>
#include <pthread.h>

using namespace Qt::StringLiterals;

namespace {

class EndingDuringAFetch : public TallymeterProgram
{
protected:
    EndingDuringAFetch() : TallymeterProgram(false)
    {
        if (server.start())
            base = server.baseUrl();
        // The windows offscreen; the program only asks whether there is a display at all.
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"DISPLAY"_s, u":0"_s);
    }

    // The provider takes the usage request and never answers it.
    void holdTheUsageReply()
    {
        FakeProvider::Rule held;
        held.path = u"/cgi-bin/api.cgi"_s;
        held.neverAnswer = true;
        server.addRule(held);
    }

    // Starts the program and waits until its refresh is under way; false when it ended first.
    bool startWhileTheFetchIsHeld(QProcess& program, const QStringList& arguments)
    {
        server.clearRequests();
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TALLYMETER_PATH), arguments);
        return program.waitForStarted() &&
               waitFor([&] { return !server.requests().isEmpty() || program.state() == QProcess::NotRunning; },
                       30000) &&
               program.state() == QProcess::Running;
    }

    // Sends the signal; true when the program ended on it (else it is killed).
    static bool endsOn(QProcess& program, int signal)
    {
        ::kill(pid_t(program.processId()), signal);
        const bool ended = waitFor([&] { return program.state() == QProcess::NotRunning; }, 20000);
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        return ended;
    }

    FakeProvider server{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
};

} // namespace

TEST_F(EndingDuringAFetch, EachEndingSignalEndsTheProgramAtOnceThroughItsExitRoutine)
{
    ASSERT_NE(server.port(), 0);
    writeProfile(u"sunshine 42"_s);
    // Shown, not minimised, so that there is a placement to save.
    setRegistryValue(u"Software\\Tallymeter\\Config"_s, u"Options"_s, RegistryValue::dword(0x1bbec & ~0x40));
    holdTheUsageReply();

    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        QFile::remove(dataDir + u"/debug.log"_s);
        QProcess program;
        // The start-up refresh is under way.
        ASSERT_TRUE(startWhileTheFetchIsHeld(program, {}))
            << program.readAllStandardError().toStdString() << log().toStdString();

        QElapsedTimer sinceSignal;
        sinceSignal.start();
        const bool ended = endsOn(program, signal);
        const qint64 took = sinceSignal.elapsed();
        ASSERT_TRUE(ended);
        // Far within the fetch's own time-out (120 s): it did not wait for the provider. The margin
        // is for a sanitizer build on a busy machine, whose start and end alone take seconds.
        EXPECT_LT(took, 10000);
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);

        const QString text = log();
        const qsizetype terminating = text.indexOf(u"terminating Tallyroo"_s);
        ASSERT_GE(terminating, 0) << text.toStdString();
        // The window's part of the routine ran: its placement was saved.
        const qsizetype saved = text.indexOf(QRegularExpression(u"calling SaveFormLocation: \\d+x\\d+"_s));
        EXPECT_GE(saved, 0) << text.toStdString();
        EXPECT_LT(saved, terminating);
        // Nothing of the refresh came after it: no icon put back, no retry scheduled.
        const QString after = text.mid(terminating);
        EXPECT_FALSE(after.contains(u"re-adding"_s)) << after.toStdString();
        EXPECT_FALSE(after.contains(u"will attempt again"_s)) << after.toStdString();
        EXPECT_EQ(storedMonths(), 0);
        // The next start is the first.
        SingleInstance next(u"Tallymeter"_s, lockFolder());
        EXPECT_EQ(next.claim(300), SingleInstance::Claim::First);
    }
    EXPECT_TRUE(QString::fromUtf8(TestEnvironment::readFile(home + u"/config/tallymeter/registry.reg"_s))
                    .contains(u"\"frmMainLeft\"=dword:"_s, Qt::CaseInsensitive));
}

TEST_F(EndingDuringAFetch, TheRunOnceModeStoppedByASignalStoresNothingAndSaysSoInItsStatus)
{
    ASSERT_NE(server.port(), 0);
    writeProfile(u"sunshine 42"_s);
    holdTheUsageReply();

    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        QProcess program;
        ASSERT_TRUE(startWhileTheFetchIsHeld(program, {u"/H"_s})) << program.readAllStandardError().toStdString();

        if (signal == SIGTERM) {
            // A second run-once start meanwhile is told, in one line, why it did nothing.
            EXPECT_EQ(run({u"/H"_s}), 4);
            EXPECT_EQ(output.count(u"An instance of Tallyroo is already running."_s), 1) << output.toStdString();
        }

        ASSERT_TRUE(endsOn(program, signal));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 128 + signal);
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        EXPECT_TRUE(errors.contains(u"tallymeter: ended by SIG"_s)) << errors.toStdString();
        const QString text = log();
        EXPECT_TRUE(text.contains(u"RefreshData: program is ending, abandoning refresh"_s)) << text.toStdString();
        EXPECT_TRUE(text.contains(u"terminating Tallyroo"_s));
        EXPECT_EQ(storedMonths(), 0);
        EXPECT_FALSE(QFile::exists(dataDir + u"/data.xml"_s));
    }
}

TEST_F(EndingDuringAFetch, ASignalAtOnceAfterTheStartEndsItWithNothingHalfWritten)
{
    writeProfile(u"sunshine 42"_s);
    const QString config = home + u"/config/tallymeter"_s;
    RegistryStore settings([&]() -> QString { return config + u"/registry.reg"_s; });
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    for (const int delay : {0, 1, 3, 10, 30, 60, 100, 150, 200}) {
        SCOPED_TRACE(delay);
        QProcess program;
        program.setProcessEnvironment(env);
        // Held back until the program takes it, as one that came before its first instruction.
        pthread_sigmask(SIG_BLOCK, &term, nullptr);
        program.start(QStringLiteral(TALLYMETER_PATH), {});
        program.waitForStarted();
        pthread_sigmask(SIG_UNBLOCK, &term, nullptr);
        QThread::msleep(delay);
        ASSERT_TRUE(endsOn(program, SIGTERM));
        EXPECT_EQ(program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2, 0);
        // No temporary or journal file, the settings whole, the lock given back.
        const QStringList left = QDir(dataDir).entryList(QDir::Files | QDir::Hidden) +
                                 QDir(config).entryList(QDir::Files | QDir::Hidden) +
                                 QDir(lockFolder()).entryList(QDir::Files | QDir::System);
        EXPECT_TRUE(left.filter(QRegularExpression(u"tmp-|pending|journal|unreadable|Tallymeter-"_s)).isEmpty())
            << left.join(u' ').toStdString();
        EXPECT_EQ(settings.value(u"Software\\Tallymeter\\Config"_s, u"Username"_s), RegistryValue::text(u"alice"_s));
    }
}
