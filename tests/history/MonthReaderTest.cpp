// SPDX-License-Identifier: MIT
#include "HistoryTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class MonthReaderTest : public ::testing::Test
{
protected:
    HistoryTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};

    static LocalDateTime day(int year, int month, int d) { return HistoryTestContext::day(year, month, d); }
    void store(const qoMonth& month, bool historical = false)
    {
        QString err;
        ASSERT_TRUE(ctx.history.qoMonth2SQL(month, historical, err)) << err.toStdString();
    }
    qoMonth read(const LocalDateTime& date)
    {
        qoMonth month;
        QString err;
        EXPECT_TRUE(ctx.history.SQL2qoMonth(date, month, err)) << err.toStdString();
        return month;
    }
    QString failure(const LocalDateTime& date)
    {
        qoMonth month;
        month.PlanName = u"untouched"_s;
        QString err;
        EXPECT_FALSE(ctx.history.SQL2qoMonth(date, month, err));
        EXPECT_EQ(month.PlanName, u"untouched"_s);
        return err;
    }
};
} // namespace

TEST_F(MonthReaderTest, ReadsBackWhatWasStored)
{
    qoMonth stored = HistoryTestContext::sampleMonth(day(2010, 5, 14), 4);
    stored.PlanName = u"Mum's plan"_s;
    stored.DailyUploads[2] = -1.0f;
    store(stored);

    const qoMonth month = read({});
    EXPECT_EQ(month.IP, stored.IP);
    EXPECT_EQ(month.LastConnect, stored.LastConnect);
    EXPECT_EQ(month.LastUpdate, stored.LastUpdate);
    EXPECT_EQ(month.AnniversaryDate, day(2010, 5, 14));
    EXPECT_EQ(month.PlanName, u"Mum's plan"_s);
    EXPECT_EQ(month.ProductName, stored.ProductName);
    EXPECT_EQ(month.ShapingSpeed, stored.ShapingSpeed);
    EXPECT_EQ(month.PlanType, 3);
    EXPECT_EQ(month.PeakQuota, 25000.0f);
    EXPECT_EQ(month.OffPeakQuota, 50000.0f);
    EXPECT_EQ(month.OffpeakShapeStatus, 1);
    EXPECT_EQ(month.PeakStart, 8);
    EXPECT_EQ(month.PeakEnd, 23);
    EXPECT_EQ(month.DailyHeaders,
              (std::array<QString, 6>{u"Date"_s, u"Peak"_s, u"Offpeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s}));
    EXPECT_EQ(month.DailyDates, stored.DailyDates);
    EXPECT_EQ(month.DailyPeak, stored.DailyPeak);
    EXPECT_EQ(month.DailyTotals, stored.DailyTotals);
    EXPECT_EQ(month.DailyUploads, (QList<float>{0.0f, 0.1f, 0.0f, 0.3f}));
    EXPECT_FLOAT_EQ(month.TotalPeak, 1.25f + 2.25f + 3.25f + 4.25f);
    EXPECT_FLOAT_EQ(month.TotalOffpeak, 12.0f);
    EXPECT_FLOAT_EQ(month.TotalFreezone, 2.0f);
    EXPECT_EQ(month.PercentPeak, 0.0f); // left to the month calculations

    EXPECT_TRUE(ctx.logAt(3).contains(u"calling SQL2qoMonth for profile 0 (most recent month)"_s));
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQL2qoMonth: last anniversary date: 2010-05-14 (2010-05-14)"_s));
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQL2qoMonth: retrieved daily data for 4 days"_s));
}

TEST_F(MonthReaderTest, MonthEndsAtTheNextStoredMonthOrAfterOneCalendarMonth)
{
    // Days are stored without a month column, so every row between two first days belongs to
    // the earlier month.
    store(HistoryTestContext::sampleMonth(day(2010, 5, 14), 45), true);
    store(HistoryTestContext::sampleMonth(day(2010, 6, 14), 60), true);
    store(HistoryTestContext::sampleMonth(day(2010, 8, 14), 3), true);
    ctx.exec(u"insert into Status values('a','b',0,0)"_s);
    ctx.exec(u"replace into Config values('PeakLabel','Peak')"_s);

    const qoMonth may = read(day(2010, 5, 14));
    EXPECT_EQ(may.DailyDates.first(), day(2010, 5, 14));
    EXPECT_EQ(may.DailyDates.last(), day(2010, 6, 13));
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQL2qoMonth: found next anniversary date in database: 2010-06-14"_s));

    const qoMonth june = read(day(2010, 6, 1));
    EXPECT_EQ(june.DailyDates.size(), 30);
    EXPECT_EQ(june.DailyDates.last(), day(2010, 7, 13));
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQL2qoMonth: next anniversary date too far away, ignoring it"_s));
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQL2qoMonth: anniversary date: 2010-06-14, next anniversary date: "
                                      u"2010-07-14"_s));
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQL2qoMonth: finding anniversary date for June 2010"_s));
    EXPECT_TRUE(ctx.logAt(3).contains(u"calling SQL2qoMonth for profile 0 for month: June 2010 (2010-06-01)"_s));

    const qoMonth august = read({});
    EXPECT_EQ(august.DailyDates.size(), 3);
    EXPECT_TRUE(ctx.logAt(6).contains(u"SQL2qoMonth: assuming calendar month"_s));
}

TEST_F(MonthReaderTest, TwoMonthsInOneCalendarMonth)
{
    // A change of billing day leaves two months beginning in May.
    store(HistoryTestContext::sampleMonth(day(2010, 5, 3), 10), true);
    qoMonth later = HistoryTestContext::sampleMonth(day(2010, 5, 20), 5);
    later.PlanName = u"Later"_s;
    store(later);
    EXPECT_EQ(read(day(2010, 5, 3)).AnniversaryDate, day(2010, 5, 3));
    EXPECT_EQ(read(day(2010, 5, 20)).PlanName, u"Later"_s);
    EXPECT_EQ(read(day(2010, 5, 1)).AnniversaryDate, day(2010, 5, 20));
    EXPECT_EQ(failure(day(2010, 7, 1)),
              u"SQL2qoMonth: database read failed:\r\n[-1] no data returned from MonthlyData table"_s);
}

TEST_F(MonthReaderTest, TitlesFollowTheStoredMonth)
{
    // Current plan: anytime quota with free zone, no off-peak class.
    qoMonth anytime = HistoryTestContext::sampleMonth(day(2010, 6, 14), 3);
    anytime.OffPeakQuota = 0;
    anytime.DailyHeaders = {u"Date"_s, u"Usage"_s, QString(), u"Free"_s, u"Total"_s, QString()};
    anytime.DailyOffpeak = {0, 0, 0};
    store(anytime);
    // An earlier month of a peak and off-peak plan.
    store(HistoryTestContext::sampleMonth(day(2010, 5, 14), 3), true);

    const qoMonth current = read({});
    EXPECT_EQ(current.DailyHeaders,
              (std::array<QString, 6>{u"Date"_s, u"Anytime"_s, QString(), u"Freezone"_s, u"Total"_s, QString()}));

    const qoMonth earlier = read(day(2010, 5, 14));
    EXPECT_EQ(earlier.DailyHeaders,
              (std::array<QString, 6>{u"Date"_s, u"Peak"_s, u"Offpeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s}));
    EXPECT_TRUE(ctx.logAt(6).contains(
        u"SQL2qoMonth: over-riding column headers for historical plan with peak+offpeak quota"_s));

    // Stored names of a peak and off-peak plan, read for an anytime month without usage.
    ctx.exec(u"update Config set Value='Night' where id='OffPeakLabel'"_s);
    ctx.exec(u"update DailyData set Peak=0, Freezone=0 where Date >= '2010-06-14'"_s);
    const qoMonth june = read(day(2010, 6, 14));
    EXPECT_EQ(june.DailyHeaders,
              (std::array<QString, 6>{u"Date"_s, u"Non-free"_s, QString(), u"Free"_s, u"Total"_s, QString()}));
}

TEST_F(MonthReaderTest, UploadsTitleComesFromTheFirstDay)
{
    store(HistoryTestContext::sampleMonth(day(2010, 5, 14), 3));
    ctx.exec(u"update DailyData set Upload=NULL where Date='2010-05-14'"_s);
    const qoMonth month = read({});
    EXPECT_TRUE(month.DailyHeaders[DailyHeader::Uploads].isEmpty());
    EXPECT_EQ(month.DailyUploads, (QList<float>{0.0f, 0.1f, 0.2f}));
}

TEST_F(MonthReaderTest, NullPeakHoursReadAsDefaults)
{
    store(HistoryTestContext::sampleMonth(day(2010, 5, 14), 3));
    ctx.exec(u"update MonthlyData set PeakStart=NULL, PeakEnd=NULL, PlanName=NULL"_s);
    const qoMonth month = read({});
    EXPECT_EQ(month.PeakStart, 12);
    EXPECT_EQ(month.PeakEnd, 2);
    EXPECT_TRUE(month.PlanName.isEmpty());
}

TEST_F(MonthReaderTest, FailuresLeaveTheRecordUnchanged)
{
    QString err;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(failure({}), u"SQL2qoMonth: database read failed:\r\n[-1] no data found in MonthlyData table"_s);

    store(HistoryTestContext::sampleMonth(day(2010, 5, 14), 3));
    ctx.exec(u"delete from Status"_s);
    EXPECT_EQ(failure({}), u"SQL2qoMonth: database read failed:\r\n[-1] no data found in Status table"_s);

    ctx.exec(u"insert into Status values('a','b',0,0)"_s);
    ctx.exec(u"update DailyData set Peak=NULL where Date='2010-05-15'"_s);
    EXPECT_EQ(failure({}), u"SQL2qoMonth: database read failed:\r\n[94] Invalid use of Null"_s);

    ctx.exec(u"delete from DailyData"_s);
    EXPECT_EQ(failure({}),
              u"SQL2qoMonth: database read failed:\r\n[-1] no daily data retrieved from DailyData table"_s);

    ctx.exec(u"delete from Config where id='PeakLabel'"_s);
    EXPECT_EQ(failure({}), u"SQL2qoMonth: database read failed:\r\n[-1] failed to read PeakLabel from Config table"_s);

    ctx.exec(u"update MonthlyData set AnniversaryDate='soon'"_s);
    EXPECT_EQ(failure({}), u"SQL2qoMonth: database read failed from MonthlyData table:\r\nsoon"_s);
}
