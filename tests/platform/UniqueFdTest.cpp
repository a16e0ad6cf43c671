// SPDX-License-Identifier: MIT
#include "UniqueFd.h"
#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>

using namespace Qt::StringLiterals;

namespace {
int openScratch()
{
    const QString path = TestEnvironment::freshFolder(u"unique-fd"_s) + u"/scratch"_s;
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

bool isOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}
} // namespace

TEST(UniqueFd, ClosesItsDescriptorWhenItGoesOrIsReplaced)
{
    int raw = -1;
    {
        const UniqueFd fd(openScratch());
        raw = fd.get();
        ASSERT_TRUE(fd.isValid());
        EXPECT_TRUE(isOpen(raw));
    }
    EXPECT_FALSE(isOpen(raw));

    UniqueFd first(openScratch());
    const int firstRaw = first.get();
    UniqueFd second(openScratch());
    const int secondRaw = second.get();
    first = std::move(second);
    EXPECT_FALSE(isOpen(firstRaw));
    EXPECT_EQ(first.get(), secondRaw);
    EXPECT_FALSE(second.isValid());

    UniqueFd moved(std::move(first));
    EXPECT_EQ(moved.get(), secondRaw);
    EXPECT_FALSE(first.isValid());
    EXPECT_TRUE(isOpen(secondRaw));
}

TEST(UniqueFd, ReleaseHandsTheDescriptorOverAndCloseReportsTheOutcome)
{
    UniqueFd owner(openScratch());
    const int raw = owner.release();
    EXPECT_FALSE(owner.isValid());
    EXPECT_TRUE(isOpen(raw));
    EXPECT_EQ(::close(raw), 0);

    UniqueFd closing(openScratch());
    EXPECT_EQ(closing.close(), 0);
    EXPECT_FALSE(closing.isValid());
    EXPECT_EQ(closing.close(), EBADF);

    // A failed open is held as no descriptor at all.
    const UniqueFd failed(::open("/nonexistent/for/sure", O_RDONLY | O_CLOEXEC));
    EXPECT_FALSE(failed.isValid());
    EXPECT_EQ(failed.get(), -1);
}
