// SPDX-License-Identifier: MIT
// The store shared between processes: writers killed half-way and writers racing each other.
#include "RegistryStore.h"
#include "TestEnvironment.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QString Config = u"Software\\Tallymeter\\Config"_s;

using TestEnvironment::readFile;

RegistryStore storeAt(const QString& path)
{
    return RegistryStore([path] { return path; });
}

// Runs `body` in a child process; its result becomes the child's exit status.
pid_t runChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}
} // namespace

TEST(RegistryStoreProcesses, AWriterKilledBeforeItsRenameLeavesTheOldFileWhole)
{
    const QString folder = TestEnvironment::freshFolder(u"crash"_s);
    const QString path = folder + u"/registry.reg"_s;
    RegistryStore store = storeAt(path);
    ASSERT_TRUE(store.setValue(Config, u"Path"_s, RegistryValue::text(u"/old"_s)).ok());
    const QByteArray before = readFile(path);

    const pid_t child = runChild([&] {
        RegistryStore::setBeforeReplaceHook([] { ::raise(SIGKILL); });
        store.setValue(Config, u"Path"_s, RegistryValue::text(u"/new and much longer than before"_s));
        return 0;
    });
    ASSERT_GT(child, 0);
    const int status = waitFor(child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(storeAt(path).value(Config, u"Path"_s), RegistryValue::text(u"/old"_s));
    const QStringList leftovers = QDir(folder).entryList({u"registry.reg.tmp-*"_s}, QDir::Files | QDir::Hidden);
    ASSERT_EQ(leftovers.size(), 1);
    // The complete temporary file was never taken for the real one.
    EXPECT_TRUE(readFile(folder + u'/' + leftovers.first()).contains("/new and much longer"));

    // The lock died with the writer; the next writer goes ahead and clears what it left.
    ASSERT_TRUE(store.setValue(Config, u"n"_s, RegistryValue::dword(1)).ok());
    EXPECT_TRUE(QDir(folder).entryList({u"registry.reg.tmp-*"_s}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(storeAt(path).value(Config, u"Path"_s), RegistryValue::text(u"/old"_s));
}

TEST(RegistryStoreProcesses, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int ValuesEach = 200;
    const QString path = TestEnvironment::freshFolder(u"race"_s) + u"/tallymeter/registry.reg"_s;

    // Both children wait on the pipe, so they start writing together.
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    const auto writer = [&](const QString& prefix) {
        return [&, prefix] {
            ::close(gate[1]);
            char byte = 0;
            if (::read(gate[0], &byte, 1) < 0)
                return 2;
            RegistryStore store = storeAt(path);
            for (int i = 0; i < ValuesEach; ++i) {
                if (!store.setValue(Config, prefix + QString::number(i), RegistryValue::dword(uint32_t(i))).ok())
                    return 1;
            }
            return 0;
        };
    };
    const pid_t first = runChild(writer(u"first"_s));
    const pid_t second = runChild(writer(u"second"_s));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    ::close(gate[0]);
    ::close(gate[1]);

    const int firstStatus = waitFor(first);
    const int secondStatus = waitFor(second);
    ASSERT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0) << firstStatus;
    ASSERT_TRUE(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 0) << secondStatus;

    RegistryStore reader = storeAt(path);
    int found = 0;
    for (const QString& prefix : {u"first"_s, u"second"_s}) {
        for (int i = 0; i < ValuesEach; ++i) {
            if (reader.value(Config, prefix + QString::number(i)) == RegistryValue::dword(uint32_t(i)))
                ++found;
        }
    }
    EXPECT_EQ(found, 2 * ValuesEach);
}
