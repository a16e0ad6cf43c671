// SPDX-License-Identifier: MIT
// The windowed program told to end while its refresh waits for a provider that does not answer.
#include "FakeProvider.h"
#include "SingleInstance.h"
#include "TallymeterProgram.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <csignal>
#include <functional>

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

    FakeProvider server{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
};

} // namespace

TEST_F(EndingDuringAFetch, ATerminateSignalEndsTheProgramAtOnceAndGivesTheLockBack)
{
    ASSERT_NE(server.port(), 0);
    writeProfile(u"sunshine 42"_s);
    FakeProvider::Rule held;
    held.path = u"/cgi-bin/api.cgi"_s;
    held.neverAnswer = true;
    server.addRule(held);

    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TALLYMETER_PATH), {});
    ASSERT_TRUE(program.waitForStarted());
    // The start-up refresh is under way.
    ASSERT_TRUE(
        waitFor([&] { return !server.requests().isEmpty() || program.state() == QProcess::NotRunning; }, 30000) &&
        program.state() == QProcess::Running)
        << program.readAllStandardError().toStdString() << log().toStdString();

    QElapsedTimer sinceSignal;
    sinceSignal.start();
    ::kill(pid_t(program.processId()), SIGTERM);
    const bool ended = waitFor([&] { return program.state() == QProcess::NotRunning; }, 20000);
    const qint64 took = sinceSignal.elapsed();
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    ASSERT_TRUE(ended);
    EXPECT_LT(took, 2000);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    const QString text = log();
    const qsizetype terminating = text.indexOf(u"terminating Tallyroo"_s);
    ASSERT_GE(terminating, 0) << text.toStdString();
    // Nothing of the refresh came after it: no icon put back, no retry scheduled.
    const QString after = text.mid(terminating);
    EXPECT_FALSE(after.contains(u"re-adding"_s)) << after.toStdString();
    EXPECT_FALSE(after.contains(u"will attempt again"_s)) << after.toStdString();
    EXPECT_EQ(storedMonths(), 0);
    // The next start is the first.
    SingleInstance next(u"Tallymeter"_s, home + u"/runtime"_s);
    EXPECT_EQ(next.claim(300), SingleInstance::Claim::First);
}
