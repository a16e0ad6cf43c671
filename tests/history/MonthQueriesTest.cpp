// SPDX-License-Identifier: MIT
#include "HistoryTestContext.h"
#include "MainRoutines.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class MonthQueriesTest : public ::testing::Test
{
protected:
    HistoryTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};

    static LocalDateTime day(int year, int month, int d) { return HistoryTestContext::day(year, month, d); }
    void store(const qoMonth& month, bool historical = true)
    {
        QString err;
        ASSERT_TRUE(ctx.history.qoMonth2SQL(month, historical, err)) << err.toStdString();
    }
    // Months beginning on the 14th of May, June and August 2010, each with 62 days stored, so
    // every month's end decides which rows it sums.
    void storeThreeMonths()
    {
        for (const int month : {5, 6, 8}) {
            qoMonth stored = HistoryTestContext::sampleMonth(day(2010, month, 14), 62);
            stored.DailyPeak.fill(1.0f);
            stored.DailyOffpeak.fill(2.0f);
            stored.DailyUploads.fill(0.5f);
            stored.OffPeakQuota = float(month * 1000);
            store(stored);
        }
    }
};
} // namespace

TEST_F(MonthQueriesTest, MonthListIsNewestFirstWithoutBadDates)
{
    QList<LocalDateTime> months;
    QString err;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err));
    EXPECT_FALSE(ctx.history.SQLGetMonths(months, err));
    EXPECT_EQ(err, u"SQLGetMonths: database read error:\r\n[-1] no data found in MonthlyData table"_s);

    storeThreeMonths();
    ctx.exec(u"insert into MonthlyData(AnniversaryDate) values('2010-13-01')"_s);
    ASSERT_TRUE(ctx.history.SQLGetMonths(months, err));
    EXPECT_EQ(months, (QList<LocalDateTime>{day(2010, 8, 14), day(2010, 6, 14), day(2010, 5, 14)}));
    EXPECT_EQ(ctx.logAt(1), QStringList{u"SQLGetMonths: invalid anniversary date found in MonthlyData table: "
                                        u"2010-13-01"_s});
}

TEST_F(MonthQueriesTest, LastUpdateOfNewestAndOfAGivenMonth)
{
    LocalDateTime when;
    QString err;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err));
    EXPECT_FALSE(ctx.history.SQLGetLastUpdate(when, err));
    EXPECT_EQ(err, u"SQLGetLastUpdate: database read error:\r\n[-1] no value found in MonthlyData table"_s);

    store(HistoryTestContext::sampleMonth(day(2010, 5, 14), 31));
    store(HistoryTestContext::sampleMonth(day(2010, 6, 14), 5));
    ASSERT_TRUE(ctx.history.SQLGetLastUpdate(when, err));
    EXPECT_EQ(when, *LocalDateTime::fromParts(2010, 6, 18, 21, 0, 0));
    ASSERT_TRUE(ctx.history.SQLGetLastUpdateForMonth(day(2010, 5, 14), when, err));
    EXPECT_EQ(when, *LocalDateTime::fromParts(2010, 6, 13, 21, 0, 0));
    EXPECT_TRUE(ctx.logAt(3).contains(u"calling SQLGetLastUpdateForMonth for profile 0 for 2010-05-14"_s));

    // A month not stored yet is what the back-fill looks for.
    EXPECT_FALSE(ctx.history.SQLGetLastUpdateForMonth(day(2010, 4, 14), when, err));
    EXPECT_EQ(err, u"SQLGetLastUpdateForMonth: database read error:\r\n[-1] no value found in MonthlyData table"_s);

    ctx.exec(u"update MonthlyData set LastUpdate='yesterday' where AnniversaryDate='2010-06-14'"_s);
    EXPECT_FALSE(ctx.history.SQLGetLastUpdate(when, err));
    EXPECT_EQ(err, u"SQLGetLastUpdate: database read error:\r\n[-1] invalid date retrieved: yesterday"_s);
    EXPECT_EQ(when, *LocalDateTime::fromParts(2010, 6, 13, 21, 0, 0));
}

TEST_F(MonthQueriesTest, MonthTotalsCoverTheMonthUpToTheNextOrOneCalendarMonth)
{
    storeThreeMonths();
    MonthlyTotals totals;
    QString err;
    ASSERT_TRUE(ctx.history.SQLGetMonthlyTotals(totals, err)) << err.toStdString();
    // Newest first: August, June, May. 14 May to 13 June: 31 days; 14 June to 13 July: 30 days
    // (August is too far away).
    ASSERT_EQ(totals.Totals.size(), 3);
    EXPECT_EQ(totals.Totals[2], (MonthTotal{31, 62, 15.5f, 15.5f, 25000, 5000}));
    EXPECT_EQ(totals.Totals[1], (MonthTotal{30, 60, 15, 15, 25000, 6000}));
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQLGetMonthTotals: next anniversary date too far away, ignoring it"_s));
    EXPECT_TRUE(
        ctx.logAt(6).contains(u"SQLGetMonthTotals: no anniversary date after 2010-06-14, assuming calendar month"_s));
    EXPECT_TRUE(ctx.logAt(12).contains(
        u"SQLGetMonthTotals: anniversary date: 2010-05-14, next anniversary date: 2010-06-14"_s));

    // Without upload figures the upload total is 0.
    ctx.exec(u"update DailyData set Upload=NULL"_s);
    ASSERT_TRUE(ctx.history.SQLGetMonthlyTotals(totals, err));
    EXPECT_EQ(totals.Totals[0].Uploads, 0.0f);
    EXPECT_EQ(totals.Totals[0].Peak, 31.0f);
}

TEST_F(MonthQueriesTest, MonthlyTotalsKeepZerosForAMonthThatFails)
{
    QString err;
    MonthlyTotals totals;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err));
    EXPECT_FALSE(ctx.history.SQLGetMonthlyTotals(totals, err));
    EXPECT_EQ(err, u"SQLGetMonthlyTotals: failed to read data:\r\nSQLGetMonths: database read error:\r\n[-1] no data "
                   u"found in MonthlyData table"_s);

    storeThreeMonths();
    // sum() skips NULLs: only a month without a single peak figure has no peak total.
    ctx.exec(u"update DailyData set Peak=NULL where Date between '2010-06-14' and '2010-07-13'"_s);
    ASSERT_TRUE(ctx.history.SQLGetMonthlyTotals(totals, err));
    EXPECT_EQ(totals.Dates, (QList<LocalDateTime>{day(2010, 8, 14), LocalDateTime(), day(2010, 5, 14)}));
    ASSERT_EQ(totals.Totals.size(), 3);
    EXPECT_EQ(totals.Totals[0].OffpeakQuota, 8000.0f);
    EXPECT_EQ(totals.Totals[1], MonthTotal{});
    EXPECT_EQ(totals.Totals[2].Peak, 31.0f);
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQLGetMonthlyTotals: retrieved 3 months"_s));
    EXPECT_EQ(ctx.logAt(3)
                  .filter(u"SQLGetMonthlyTotals: failed to read data for month 1 (2010-06-14): "
                          u"SQLGetMonthTotals: database read failed: [94] Invalid use of Null"_s)
                  .size(),
              1);
}

TEST_F(MonthQueriesTest, HistoricalHeadersFitEveryStoredMonth)
{
    std::array<QString, DailyHeader::Count> headers;
    QString err;
    qoMonth anytime = HistoryTestContext::sampleMonth(day(2010, 4, 14), 3);
    anytime.OffPeakQuota = 0;
    anytime.DailyUploads.fill(0.0f);
    store(anytime);
    ASSERT_TRUE(ctx.history.SQLGetHistoricalHeaders(headers, err));
    EXPECT_EQ(headers,
              (std::array<QString, 6>{u"Date"_s, u"Anytime"_s, QString(), u"Freezone"_s, u"Total"_s, QString()}));

    store(HistoryTestContext::sampleMonth(day(2010, 5, 14), 3));
    ASSERT_TRUE(ctx.history.SQLGetHistoricalHeaders(headers, err));
    EXPECT_EQ(headers, (std::array<QString, 6>{u"Date"_s, u"Anytime / Peak"_s, u"Offpeak"_s, u"Freezone"_s, u"Total"_s,
                                               u"Uploads"_s}));

    ctx.exec(u"delete from MonthlyData where OffpeakQuota = 0"_s);
    ASSERT_TRUE(ctx.history.SQLGetHistoricalHeaders(headers, err));
    EXPECT_EQ(headers[DailyHeader::Peak], u"Peak"_s);
    EXPECT_EQ(headers[DailyHeader::Offpeak], u"Offpeak"_s);
}

TEST_F(MonthQueriesTest, MainWindowMonthListReadsTheDatabase)
{
    storeThreeMonths();
    MainRoutines routines(ctx.core.app, ctx.core.settings, ctx.core.run, ctx.core.window, ctx.core.log,
                          ctx.history.storedMonthsReader());
    QString err;
    ASSERT_TRUE(routines.SQLGetMonths(err)) << err.toStdString();
    EXPECT_EQ(ctx.core.window.monthList, (QStringList{u"August 2010"_s, u"June 2010"_s, u"May 2010"_s}));
}

TEST_F(MonthQueriesTest, EveryReaderReportsAMissingFileName)
{
    ctx.core.settings.Username.clear();
    QString err;
    EXPECT_FALSE(ctx.history.CheckSQLDatabase(err));
    QList<LocalDateTime> months;
    EXPECT_FALSE(ctx.history.SQLGetMonths(months, err));
    EXPECT_EQ(err, u"SQLGetMonths: failed to open database \"\": \r\n[-1] no database filename specified"_s);
    LocalDateTime when;
    EXPECT_FALSE(ctx.history.SQLGetLastUpdate(when, err));
    EXPECT_EQ(err, u"SQLGetLastUpdate: failed to open database \"\": \r\n[-1] no database filename specified"_s);
    std::array<QString, DailyHeader::Count> headers;
    EXPECT_FALSE(ctx.history.SQLGetHistoricalHeaders(headers, err));
    EXPECT_TRUE(err.startsWith(u"SQLGetHistoricalHeaders: failed to open database "_s));
    qoMonth month;
    EXPECT_FALSE(ctx.history.SQL2qoMonth({}, month, err));
    EXPECT_TRUE(err.startsWith(u"SQL2qoMonth: failed to open database "_s));
}
