// SPDX-License-Identifier: MIT
#include "LiteConnection.h"
#include "SQLAccess.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace {
class LiteConnectionTest : public ::testing::Test
{
protected:
    QString path = TestEnvironment::freshFolder(
                       QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())) +
                   u"/test.sl3"_s;
    LiteConnection conn;

    void SetUp() override
    {
        conn.Open(path);
        conn.Execute(u"create table T(Id INTEGER primary key, Name VARCHAR(10), Amount REAL)"_s);
    }

    static int32_t errorNumber(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const LiteError& error) {
            return error.number();
        }
        return 0;
    }
};
} // namespace

TEST_F(LiteConnectionTest, ValuesGoInBoundAndComeBackTyped)
{
    conn.Execute(u"insert into T values(?,?,?)"_s,
                 {LiteValue::integer(1), LiteValue::text(u"it's \"x\"; --"_s), LiteValue::real(12.5)});
    conn.Execute(u"insert into T values(?,?,?)"_s, {LiteValue::integer(2), LiteValue(), LiteValue::text(u"7"_s)});

    const LiteResult first = conn.Execute(u"select Name, Amount, Id from T where Id=?"_s, {LiteValue::integer(1)});
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, (LiteRow{LiteValue::text(u"it's \"x\"; --"_s), LiteValue::real(12.5), LiteValue::integer(1)}));

    // The column's affinity applies to bound values as to literals.
    const LiteResult second = conn.Execute(u"select Name, Amount from T where Id=2"_s);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->at(0).isNull());
    EXPECT_EQ(second->at(1), LiteValue::real(7));

    EXPECT_FALSE(conn.Execute(u"select Name from T where Id=3"_s).has_value());
    EXPECT_EQ(conn.Execute(u"select count(*) from T"_s)->first().toInteger(), 2);
}

TEST_F(LiteConnectionTest, StatementStepsThroughRows)
{
    for (int i = 1; i <= 3; ++i)
        conn.Execute(u"insert into T(Id) values(?)"_s, {LiteValue::integer(i)});
    LiteStatement statement = conn.Prepare(u"select Id from T order by Id desc"_s);
    EXPECT_EQ(errorNumber([&] { statement.ColumnValue(0); }), LiteErrorNumber::Misuse);
    QList<int64_t> ids;
    while (statement.Step())
        ids.append(statement.ColumnValue(0).toInteger());
    EXPECT_EQ(ids, (QList<int64_t>{3, 2, 1}));
    EXPECT_FALSE(statement.Step());
    statement.Close();
    EXPECT_EQ(errorNumber([&] { statement.Step(); }), LiteErrorNumber::Misuse);
}

TEST_F(LiteConnectionTest, ErrorNumbersTheSchemaCheckReliesOn)
{
    EXPECT_EQ(errorNumber([&] { conn.Execute(u"select * from Missing"_s); }), LiteErrorNumber::TableMissingOrExists);
    EXPECT_EQ(errorNumber([&] { conn.Execute(u"create table T(x)"_s); }), LiteErrorNumber::TableMissingOrExists);
    EXPECT_EQ(errorNumber([&] { conn.Execute(u"alter table T add column Name TEXT"_s); }),
              LiteErrorNumber::ColumnExists);
    EXPECT_EQ(errorNumber([&] { conn.Execute(u"selec 1"_s); }), 1);
    EXPECT_EQ(errorNumber([&] { conn.Execute(u"insert into T values(?,?,?)"_s, {LiteValue::integer(1)}); }), 25);
    conn.Execute(u"insert into T(Id) values(1)"_s);
    EXPECT_EQ(errorNumber([&] { conn.Execute(u"insert into T(Id) values(1)"_s); }), 1555); // primary key

    LiteConnection nowhere;
    try {
        nowhere.Open(path + u"/no/such/folder.sl3"_s);
        FAIL() << "opened";
    } catch (const LiteError& error) {
        EXPECT_EQ(error.number(), 14);
        EXPECT_EQ(error.description(), u"unable to open database file"_s);
    }
    EXPECT_FALSE(nowhere.isOpen());
    EXPECT_EQ(errorNumber([&] { nowhere.Execute(u"select 1"_s); }), LiteErrorNumber::Misuse);
}

TEST_F(LiteConnectionTest, SecondWriterWaitsForTheFirst)
{
    conn.Execute(u"begin immediate transaction"_s);
    conn.Execute(u"insert into T(Id, Name) values(1, 'first')"_s);
    std::atomic<bool> committed = false;
    std::thread first([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        committed = true;
        conn.Execute(u"commit transaction"_s);
    });

    LiteConnection other;
    other.Open(path);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(other.Execute(u"insert into T(Id, Name) values(2, 'second')"_s));
    EXPECT_TRUE(committed);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    first.join();
    EXPECT_EQ(other.Execute(u"select count(*) from T"_s)->first().toInteger(), 2);
}

TEST(SQLAccess, TraceShowsTheValuesInPlace)
{
    EXPECT_EQ(SQLAccess::traceText(u"select '?', \"a?\" from T where a=? and b=?"_s,
                                   {LiteValue::text(u"it's"_s), LiteValue::real(0.5)}),
              u"select '?', \"a?\" from T where a='it''s' and b=0.5"_s);
    EXPECT_EQ(SQLAccess::traceText(u"vacuum"_s, {}), u"vacuum"_s);
}
