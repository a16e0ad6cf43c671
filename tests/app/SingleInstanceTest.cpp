// SPDX-License-Identifier: MIT
#include "SingleInstance.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SingleInstanceTest, SecondInstanceBringsTheFirstForwardAndEnds)
{
    const QString folder = TestEnvironment::freshFolder(u"second"_s);
    SingleInstance first(u"Tallymeter"_s, folder);
    int activations = 0;
    first.setActivateHandler([&] { return ++activations == 1; });
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);

    SingleInstance second(u"Tallymeter"_s, folder);
    EXPECT_EQ(second.claim(), SingleInstance::Claim::ActivatedOther);
    EXPECT_EQ(activations, 1);
    // A running copy with no window to show says so.
    SingleInstance third(u"Tallymeter"_s, folder);
    EXPECT_EQ(third.claim(), SingleInstance::Claim::OtherNotShown);

    // Another title is another program.
    SingleInstance other(u"Othermeter"_s, folder);
    EXPECT_EQ(other.claim(), SingleInstance::Claim::First);
}

TEST(SingleInstanceTest, LockWithoutAnAnsweringCopyIsReported)
{
    // A live holder of the lock that never listens; or that cannot, in a folder too long for a socket.
    for (const QString& name : {u"silent"_s, QString(100, u'h')}) {
        SingleInstance probe(u"Tallymeter"_s, TestEnvironment::freshFolder(name));
        QLockFile holder(probe.lockFile());
        ASSERT_TRUE(holder.tryLock(0));
        EXPECT_EQ(probe.claim(300), SingleInstance::Claim::OtherNotShown);
        // Only a path too long is a lasting reason.
        EXPECT_EQ(probe.unreachableBecause().endsWith(u"may be at most 107 bytes"_s), name.size() == 100);
    }
}

TEST(SingleInstanceTest, StaleLockOfAGoneCopyIsTakenOver)
{
    const QString folder = TestEnvironment::freshFolder(u"stale"_s);
    SingleInstance probe(u"Tallymeter"_s, folder);
    // A lock file left by a process that has ended, with a stale socket file beside it.
    QProcess gone;
    gone.start(u"/bin/true"_s, {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    QFile lock(probe.lockFile());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\ntallymeter\n" + QSysInfo::machineHostName().toUtf8() + '\n');
    lock.close();
    QFile socket(probe.socketName());
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    socket.close();

    EXPECT_EQ(probe.claim(300), SingleInstance::Claim::First);
    probe.setActivateHandler([] { return true; });
    SingleInstance second(u"Tallymeter"_s, folder);
    EXPECT_EQ(second.claim(), SingleInstance::Claim::ActivatedOther);
}
