// SPDX-License-Identifier: MIT
#include "ExportFixture.h"
#include "HistoryTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class MonthStoreTest : public ::testing::Test
{
protected:
    HistoryTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    const LocalDateTime may14 = HistoryTestContext::day(2010, 5, 14);

    void store(const qoMonth& month, bool historical = false)
    {
        QString err;
        ASSERT_TRUE(ctx.history.qoMonth2SQL(month, historical, err)) << err.toStdString();
    }
    QStringList days() const
    {
        return ctx.rows(u"select Date, Peak, Offpeak, Freezone, Upload from DailyData order by Date"_s);
    }
};
} // namespace

TEST_F(MonthStoreTest, StoresEveryFieldWithQuotesAndRounding)
{
    qoMonth month = HistoryTestContext::sampleMonth(may14, 3);
    month.PlanName = u"Mum's plan"_s;
    month.ProductName = u"O'Brien \"fast\"; drop table Status"_s;
    month.DailyHeaders[DailyHeader::Offpeak] = u"Night's"_s;
    month.DailyPeak[0] = 1234.567f;
    month.DailyOffpeak[1] = 0.004f;
    month.DailyUploads = {-1.0f, 0.0f, 2.345f};
    // The month's first day is its key, also when the provider listed no figures for it.
    month.AnniversaryDate = HistoryTestContext::day(2010, 5, 1);
    month.ResetDay = 1;
    month.PeakQuota = 0.1f;
    store(month);

    EXPECT_EQ(ctx.rows(u"select * from Status"_s), QStringList{u"203.0.113.9|2010-05-14 08:00:00|0|1"_s});
    EXPECT_EQ(ctx.rows(u"select * from MonthlyData"_s),
              QStringList{u"2010-05-01|2010-05-16 21:00:00|0.1|50000|3|8|23|256|Mum's plan|O'Brien \"fast\"; drop "
                          u"table Status"_s});
    EXPECT_EQ(
        ctx.rows(u"select * from Config order by id"_s),
        (QStringList{u"FreezoneLabel|Freezone"_s, u"OffPeakLabel|Night's"_s, u"PeakLabel|Peak"_s, u"ResetDay|1"_s}));
    EXPECT_EQ(days(), (QStringList{u"2010-05-14|1234.57|0|0.5|NULL"_s, u"2010-05-15|2.25|0|0.5|0"_s,
                                   u"2010-05-16|3.25|4|0.5|2.35"_s}));
    EXPECT_EQ(ctx.value(u"select typeof(PeakQuota) || typeof(OffpeakQuota) from MonthlyData"_s).toText(),
              u"realinteger"_s);
    EXPECT_TRUE(ctx.logAt(3).contains(u"calling qoMonth2SQL for profile 0 (fred)"_s));
    EXPECT_TRUE(ctx.logAt(3).contains(u"qoMonth2SQL: vacuuming (compacting) database"_s));
    // The trace shows the statement as the values make it, quotes doubled.
    EXPECT_FALSE(ctx.logAt(20).filter(u"'Mum''s plan'"_s).isEmpty());
}

TEST_F(MonthStoreTest, NumbersIgnoreTheUsersLocale)
{
    const GermanLocale german;
    qoMonth month = HistoryTestContext::sampleMonth(may14, 2);
    month.PeakQuota = 1500.5f;
    month.DailyPeak[1] = 2.345f;
    store(month);
    EXPECT_EQ(ctx.rows(u"select PeakQuota from MonthlyData"_s), QStringList{u"1500.5"_s});
    EXPECT_EQ(ctx.rows(u"select Peak from DailyData order by Date"_s), (QStringList{u"1.25"_s, u"2.35"_s}));
    qoMonth read;
    QString err;
    ASSERT_TRUE(ctx.history.SQL2qoMonth({}, read, err)) << err.toStdString();
    EXPECT_EQ(read.PeakQuota, 1500.5f);
    EXPECT_EQ(read.DailyPeak, (QList<float>{1.25f, 2.35f}));
}

TEST_F(MonthStoreTest, StoringAgainReplacesTheMonth)
{
    store(HistoryTestContext::sampleMonth(may14, 3));
    qoMonth again = HistoryTestContext::sampleMonth(may14, 2);
    again.LastUpdate = u"2010-05-15 23:59:59"_s;
    again.DailyPeak = {7.0f, 8.0f};
    store(again);
    EXPECT_EQ(ctx.rows(u"select AnniversaryDate, LastUpdate from MonthlyData"_s),
              QStringList{u"2010-05-14|2010-05-15 23:59:59"_s});
    // Days the second store no longer carries stay.
    EXPECT_EQ(days(),
              (QStringList{u"2010-05-14|7|0|0.5|0"_s, u"2010-05-15|8|2|0.5|0.1"_s, u"2010-05-16|3.25|4|0.5|0.2"_s}));
}

TEST_F(MonthStoreTest, BackFilledMonthLeavesStatusAndClassNamesAlone)
{
    store(HistoryTestContext::sampleMonth(may14, 2));
    const QStringList status = ctx.rows(u"select * from Status"_s);
    const QStringList config = ctx.rows(u"select * from Config order by id"_s);
    qoMonth april = HistoryTestContext::sampleMonth(HistoryTestContext::day(2010, 4, 14), 2);
    april.IP = u"198.51.100.1"_s;
    april.DailyHeaders = {u"Date"_s, u"Anytime"_s, QString(), QString(), u"Total"_s, QString()};
    april.OffPeakQuota = 0;
    store(april, true);

    EXPECT_EQ(ctx.rows(u"select * from Status"_s), status);
    EXPECT_EQ(ctx.rows(u"select * from Config order by id"_s), QStringList{u"BackfilledMonth|2010-04-14"_s} + config);
    EXPECT_EQ(ctx.rows(u"select AnniversaryDate, OffpeakQuota from MonthlyData order by 1"_s),
              (QStringList{u"2010-04-14|0"_s, u"2010-05-14|50000"_s}));
    // No uploads class: every upload is unknown.
    EXPECT_EQ(ctx.rows(u"select Upload from DailyData where Date < '2010-05-01'"_s),
              (QStringList{u"NULL"_s, u"NULL"_s}));
    EXPECT_EQ(ctx.logAt(3).filter(u"vacuuming"_s).size(), 1);
    store(april); // listed as the current month again: maybe not as the provider finished it
    EXPECT_TRUE(ctx.rows(u"select * from Config where id='BackfilledMonth'"_s).isEmpty());
}

TEST_F(MonthStoreTest, FailingStatementLeavesNoPartialMonth)
{
    store(HistoryTestContext::sampleMonth(may14, 2));
    const QStringList before = days();
    ctx.exec(u"create trigger refuse before insert on DailyData when new.Date = '2010-06-16' "
             u"begin select raise(abort, 'disk says no'); end"_s);

    qoMonth june = HistoryTestContext::sampleMonth(HistoryTestContext::day(2010, 6, 14), 5);
    june.IP = u"198.51.100.7"_s;
    QString err;
    EXPECT_FALSE(ctx.history.qoMonth2SQL(june, false, err));
    EXPECT_EQ(err, u"qoMonth2SQL: failed to replace into DailyData table: \r\n[1811] disk says no"_s);
    EXPECT_TRUE(ctx.logAt(2).contains(u"qoMonth2SQL: failed to replace into DailyData table:  [1811] disk says no"_s));
    EXPECT_EQ(days(), before);
    EXPECT_EQ(ctx.rows(u"select AnniversaryDate from MonthlyData"_s), QStringList{u"2010-05-14"_s});
    EXPECT_EQ(ctx.value(u"select IP from Status"_s).toText(), u"203.0.113.9"_s);
}

TEST_F(MonthStoreTest, MonthWithoutDaysOrTimeStampIsNotStored)
{
    qoMonth empty;
    empty.LastUpdate = u"2010-05-14 10:00:00"_s;
    QString err;
    EXPECT_FALSE(ctx.history.qoMonth2SQL(empty, false, err));
    EXPECT_EQ(err, u"qoMonth2SQL: runtime error while writing to database:\r\n[9] Subscript out of range"_s);
    EXPECT_TRUE(ctx.logAt(2).contains(u"qoMonth2SQL: invalid date array"_s));

    qoMonth unknown = HistoryTestContext::sampleMonth(may14, 2);
    unknown.LastUpdate = u"unknown"_s;
    EXPECT_FALSE(ctx.history.qoMonth2SQL(unknown, false, err));
    EXPECT_EQ(err, u"qoMonth2SQL: runtime error while writing to database:\r\n[13] Type mismatch"_s);

    qoMonth ragged = HistoryTestContext::sampleMonth(may14, 3);
    ragged.DailyFreezone.removeLast();
    EXPECT_FALSE(ctx.history.qoMonth2SQL(ragged, false, err));
    EXPECT_EQ(err, u"qoMonth2SQL: runtime error while writing to database:\r\n[9] Subscript out of range"_s);

    EXPECT_TRUE(ctx.rows(u"select * from Status"_s).isEmpty());
    EXPECT_TRUE(ctx.rows(u"select * from MonthlyData"_s).isEmpty());
    EXPECT_TRUE(days().isEmpty());
}

TEST_F(MonthStoreTest, RefusedUserNameStoresNothing)
{
    store(HistoryTestContext::sampleMonth(may14, 2));
    ctx.core.settings.Username = u"../other@x"_s;
    QString err;
    EXPECT_FALSE(
        ctx.history.qoMonth2SQL(HistoryTestContext::sampleMonth(HistoryTestContext::day(2010, 6, 14), 2), false, err));
    EXPECT_EQ(err, u"qoMonth2SQL: failed to open database \"\": \r\n[-1] no database filename specified"_s);
    EXPECT_EQ(ctx.rows(u"select AnniversaryDate from MonthlyData"_s), QStringList{u"2010-05-14"_s});
    EXPECT_EQ(ctx.logAt(1).filter(u"cannot name a file in the data folder"_s).size(), 1);
}
