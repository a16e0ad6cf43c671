// SPDX-License-Identifier: MIT
#include "ComponentTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace ComponentTestSupport;

namespace {

const LocalDateTime Now = *LocalDateTime::fromParts(2024, 3, 10, 12, 0, 0);

// Removes its own connection from inside its handler.
class OneShotSink final : public Sarnick::__UsageData
{
public:
    EventConnection<Sarnick::__UsageData> connection;
    int calls = 0;
    void Status(const QString&, int16_t) override
    {
        ++calls;
        connection.disconnect();
    }
};

class StatusEvents : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeText(configKey(u"Sarnick"_s), u"alice"_s, Now.addSeconds(-100).toString());
        object = ComRuntime::createObject(u"Sarnick.UsageData"_s);
        usage = comQuery<Sarnick::_UsageData>(object);
        ASSERT_TRUE(usage);
        comQuery<ClockSeam>(object)->setClock(std::make_shared<FixedClock>(Now));
    }

    std::shared_ptr<ComObject> object;
    std::shared_ptr<Sarnick::_UsageData> usage;
};

TEST_F(StatusEvents, EverySinkHearsTheLinesInOrderWhileTheCallRuns)
{
    StatusRecorder first;
    StatusRecorder second;
    EventConnection<Sarnick::__UsageData> a(object, first);
    EventConnection<Sarnick::__UsageData> b(object, second);
    ASSERT_TRUE(a.connected());
    ASSERT_TRUE(b.connected());

    EXPECT_FALSE(usage->CacheExpired(u"alice"_s));
    EXPECT_EQ(first.texts().size(), 4);
    EXPECT_EQ(first.texts().value(0), u"Sarnick.CacheExpired: last refresh was: 2024-03-10 11:58:20"_s);
    EXPECT_EQ(first.texts().value(3), u"Sarnick.CacheExpired: forcing cached read instead of fetch"_s);
    EXPECT_EQ(second.texts(), first.texts());
}

TEST_F(StatusEvents, ADisconnectedSinkHearsNothingMore)
{
    StatusRecorder recorder;
    StatusRecorder stays;
    EventConnection<Sarnick::__UsageData> connection(object, recorder);
    EventConnection<Sarnick::__UsageData> other(object, stays);
    usage->CacheExpired(u"alice"_s);
    const qsizetype heard = recorder.lines().size();
    ASSERT_GT(heard, 0);

    connection.disconnect();
    EXPECT_FALSE(connection.connected());
    usage->CacheExpired(u"alice"_s);
    EXPECT_EQ(recorder.lines().size(), heard);
    EXPECT_EQ(stays.lines().size(), 2 * heard);

    // Disconnecting twice, or after the object is gone, is harmless.
    connection.disconnect();
    usage.reset();
    object.reset();
    EXPECT_FALSE(other.connected());
    other.disconnect();
}

TEST_F(StatusEvents, AHandlerMayDisconnectItself)
{
    OneShotSink sink;
    StatusRecorder recorder;
    ASSERT_TRUE(sink.connection.connect(object, sink));
    EventConnection<Sarnick::__UsageData> later(object, recorder);
    usage->CacheExpired(u"alice"_s);
    EXPECT_EQ(sink.calls, 1);
    EXPECT_EQ(recorder.lines().size(), 4);
}

TEST_F(StatusEvents, OnlyTheObjectsOwnEventInterfaceConnects)
{
    StatusRecorder recorder;
    EventConnection<Pelborne::__UsageData> wrong;
    EXPECT_FALSE(wrong.connect(object, recorder));
    EXPECT_FALSE(wrong.connected());
    EXPECT_FALSE(wrong.connect(nullptr, recorder));
}

} // namespace
