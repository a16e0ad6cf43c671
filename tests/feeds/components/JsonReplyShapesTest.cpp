// SPDX-License-Identifier: MIT
#include "JsonRetrievalSupport.h"
#include "RegistryRoutines.h"

#include "../support/ScopedTimeZone.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace JsonRetrievalSupport;

namespace {

LocalDateTime date(int year, int month, int day)
{
    return *LocalDateTime::fromParts(year, month, day);
}

// A small reply whose connections are the test's.
QByteArray withConnections(const QByteArray& connections)
{
    return R"({"success":1,"response":{"account_info":{"product":"P","plan":"Q"},"connections":[)" + connections +
           R"(],"quota_reset":{"anniversary":1},"usage":{"traffic_types":[],
              "data":[{"period":"20240301","types":[{"type":"peak","value":1000000}]}]}}})";
}

QByteArray connection(const char* ip, const char* onSince)
{
    return QByteArray(R"({"ip":")") + ip + R"(","on_since":")" + onSince + R"("})";
}

class JsonReplyShapes : public JsonRetrieval
{
protected:
    // A live fetch each time: the last one's refresh time is forgotten first.
    bool fetch(const QString& user = Alice, const QString& password = AlicePassword)
    {
        DeleteRegValue(HKEY_CURRENT_USER, pelborneKey(), user);
        const bool ok = retrieve(user, password);
        EXPECT_FALSE(fromCache);
        return ok;
    }
    bool fetchWith(const QByteArray& body)
    {
        provider.clearRules();
        provider.addRule(usageReply(body));
        return fetch();
    }
};

TEST_F(JsonReplyShapes, NumbersSentAsTextGiveTheSameMonth)
{
    ASSERT_TRUE(fetch());
    const DailyValues peak = usage().arrayDailyPeak();
    const DailyValues uploads = usage().arrayDailyUploads();
    const DailyDates dates = usage().arrayDailyDates();
    const MonthTotals totals = usage().arrayTotals();
    const float quota = usage().sngQuotaPeak();

    ASSERT_TRUE(fetchWith(aliceMarchReply(true))) << usage().szLastErrorDetail().toStdString();
    EXPECT_TRUE(cacheBytes(u"alice-json.txt"_s).contains(R"("period":"20240301")"));
    EXPECT_EQ(usage().arrayDailyPeak(), peak);
    EXPECT_EQ(usage().arrayDailyUploads(), uploads);
    EXPECT_EQ(usage().arrayDailyDates(), dates);
    EXPECT_EQ(usage().arrayTotals(), totals);
    EXPECT_EQ(usage().sngQuotaPeak(), quota);
    EXPECT_EQ(levelOf(u"anniversary date: 1"_s), 6);
}

TEST_F(JsonReplyShapes, TheNumericTextAccountHasOneConnection)
{
    provider.setToday(QDate(2024, 5, 31));
    ASSERT_TRUE(fetch(u"numtext"_s, u"numtext-pass"_s)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(usage().arrayDailyDates()->size(), 31);
    EXPECT_EQ(usage().arrayDailyDates()->first(), date(2024, 5, 1));
    EXPECT_EQ(usage().sngQuotaPeak(), 150000);
    EXPECT_EQ(usage().szIP(), u"192.0.2.30"_s);
    EXPECT_GT(usage().sngUsedPeak(), 0);
    EXPECT_FALSE(recorder.anyContains(u"found connection details"_s));
}

TEST_F(JsonReplyShapes, AnAnytimePlanHasNoOffpeakPeriod)
{
    ASSERT_TRUE(fetch(u"anytime"_s, u"anytime-pass"_s)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(usage().arrayDailyHeaders(),
              (DailyHeaders{u"Date"_s, u"Anytime"_s, QString(), QString(), u"Total"_s, u"Uploads"_s}));
    EXPECT_EQ(usage().sngQuotaPeak(), 100000);
    EXPECT_EQ(usage().intPeakShapeStatus(), 1);
    EXPECT_EQ(usage().szShapingSpeed(), u"512"_s);
    EXPECT_EQ(levelOf(u"peak shaping status: 1"_s), 6);
    EXPECT_EQ(levelOf(u"peak shaping speed:  512"_s), 6);
    EXPECT_EQ(usage().sngQuotaOffpeak(), 0);
    EXPECT_EQ(usage().sngPctOffPeak(), 0);
    EXPECT_EQ(usage().intPeakStart(), -1);
    EXPECT_EQ(usage().intPeakEnd(), -1);
    EXPECT_EQ(levelOf(u"skipping check for offpeak start time"_s), 6);
    EXPECT_EQ(usage().sngUsedFreezone(), 0);
    EXPECT_GT(usage().sngUsedPeak(), 0);
    EXPECT_FLOAT_EQ(usage().sngPctPeak(), usage().sngUsedPeak() / 1000);
}

TEST_F(JsonReplyShapes, APeakPlanWithoutOffpeakKeepsItsFreeZone)
{
    ASSERT_TRUE(fetch(u"nooffpeak"_s, u"nooffpeak-pass"_s)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(usage().arrayDailyHeaders(),
              (DailyHeaders{u"Date"_s, u"Peak"_s, QString(), u"Freezone"_s, u"Total"_s, u"Uploads"_s}));
    EXPECT_EQ(usage().sngQuotaPeak(), 200000);
    EXPECT_EQ(usage().intPeakShapeStatus(), 0);
    EXPECT_EQ(usage().szShapingSpeed(), u"256"_s);
    EXPECT_EQ(usage().intPeakStart(), -1);
    EXPECT_EQ(usage().intPeakEnd(), -1);
    EXPECT_GT(usage().sngUsedFreezone(), 0);
    EXPECT_EQ(usage().sngUsedOffpeak(), 0);
}

TEST_F(JsonReplyShapes, LiteralFlagsTextQuotasAndUnevenDays)
{
    ASSERT_TRUE(fetch(u"flags"_s, u"flags-pass"_s)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(usage().intPeakShapeStatus(), 1);
    EXPECT_EQ(usage().intOffpeakShapeStatus(), 1);
    EXPECT_EQ(levelOf(u"peak shaping status: True"_s), 6);
    EXPECT_EQ(levelOf(u"offpeak shaping speed:  0"_s), 6);
    EXPECT_EQ(usage().szShapingSpeed(), u"256"_s);
    EXPECT_EQ(usage().sngQuotaPeak(), 25000);
    EXPECT_EQ(usage().sngQuotaOffpeak(), 15000);
    // Off-peak from midnight to seven.
    EXPECT_EQ(usage().intPeakEnd(), 0);
    EXPECT_EQ(usage().intPeakStart(), 7);
    // The first day lists one class, so the total column keeps its empty header.
    EXPECT_EQ(usage().arrayDailyHeaders(),
              (DailyHeaders{u"Date"_s, u"Peak"_s, u"Off-peak"_s, QString(), QString(), QString()}));
    EXPECT_EQ(*usage().arrayDailyDates(), (QList<LocalDateTime>{date(2024, 3, 3), date(2024, 3, 1), date(2024, 3, 2)}));
    EXPECT_EQ(*usage().arrayDailyPeak(), (QList<float>{0, 1, 2}));
    EXPECT_EQ(*usage().arrayDailyOffPeak(), (QList<float>{3, 0, 0.5f}));
    EXPECT_EQ(*usage().arrayDailyFreezone(), (QList<float>{0, 0, 0.25f}));
    EXPECT_EQ(*usage().arrayDailyTotals(), (QList<float>{3, 1, 2.75f}));
    EXPECT_EQ(usage().arrayTotals(), (MonthTotals{0, 3, 3.5f, 0.25f, 6.75f, 0}));
    EXPECT_EQ(usage().sngLeftPeak(), 24997);
    EXPECT_FLOAT_EQ(usage().sngPctOffPeak(), 3.5f / 15000 * 100);
}

TEST_F(JsonReplyShapes, TheLatestConnectionWinsAndEqualTimesKeepTheFirst)
{
    const ScopedTimeZone utc("UTC");
    ASSERT_TRUE(fetchWith(withConnections(
        connection("192.0.2.1", "2024-03-01 10:00:00") + ',' + connection("192.0.2.2", "2024-03-01 10:00:00") + ',' +
        connection("192.0.2.3", "2024-03-01 09:59:59") + ',' + connection("192.0.2.4", "not a time"))));
    EXPECT_EQ(usage().szIP(), u"192.0.2.1"_s);
    EXPECT_EQ(usage().szLastConnect(), u"2024-03-01 10:00:00"_s);
    EXPECT_EQ(levelOf(u"found connection details 4/4: 192.0.2.4 with connect time not a time"_s), 6);
    EXPECT_EQ(levelOf(u"invalid date: not a time / 2024-03-01 10:00:00"_s), 2);

    ASSERT_TRUE(fetchWith(withConnections(connection("192.0.2.5", "2024-03-01 10:00:00") + ',' +
                                          connection("192.0.2.6", "2024-03-01 10:00:01"))));
    EXPECT_EQ(usage().szIP(), u"192.0.2.6"_s);
    EXPECT_EQ(levelOf(u"current IP address: 192.0.2.6"_s), 6);
    EXPECT_EQ(levelOf(u"last connect time: 2024-03-01 10:00:01"_s), 6);
}

TEST_F(JsonReplyShapes, ConnectTimesTakeTheOffsetOfTheirOwnMoment)
{
    const ScopedTimeZone sydney("Australia/Sydney");
    // Summer time ends at 03:00 on 7 April 2024: the later instant shows the earlier wall-clock time.
    ASSERT_TRUE(fetchWith(withConnections(connection("192.0.2.7", "2024-04-06 16:00:00") + ',' +
                                          connection("192.0.2.8", "2024-04-06 15:59:59"))));
    EXPECT_EQ(usage().szIP(), u"192.0.2.7"_s);
    EXPECT_EQ(usage().szLastConnect(), u"2024-04-07 02:00:00"_s);

    ASSERT_TRUE(fetchWith(withConnections(connection("192.0.2.9", "2024-04-06 15:59:59"))));
    EXPECT_EQ(usage().szLastConnect(), u"2024-04-07 02:59:59"_s);
    ASSERT_TRUE(fetchWith(withConnections(connection("192.0.2.9", "2024-07-01 00:30:00"))));
    EXPECT_EQ(usage().szLastConnect(), u"2024-07-01 10:30:00"_s);
    ASSERT_TRUE(fetchWith(withConnections(connection("192.0.2.9", "2024-12-31 23:30:00"))));
    EXPECT_EQ(usage().szLastConnect(), u"2025-01-01 10:30:00"_s);
}

TEST_F(JsonReplyShapes, HalfHourZonesKeepTheirHalfHour)
{
    const ScopedTimeZone kolkata("Asia/Kolkata");
    ASSERT_TRUE(fetchWith(withConnections(connection("192.0.2.10", "2024-03-01 00:30:00"))));
    EXPECT_EQ(usage().szLastConnect(), u"2024-03-01 06:00:00"_s);
}

TEST_F(JsonReplyShapes, AConnectTimeThatIsNoDateStaysAsSent)
{
    ASSERT_TRUE(fetchWith(withConnections(connection("192.0.2.11", "yesterday"))));
    EXPECT_EQ(usage().szIP(), u"192.0.2.11"_s);
    EXPECT_EQ(usage().szLastConnect(), u"yesterday"_s);
    EXPECT_EQ(levelOf(u"failed to apply timezone offset to last connect time: yesterday"_s), 2);

    ASSERT_TRUE(fetchWith(withConnections({})));
    EXPECT_EQ(usage().szIP(), u"unknown"_s);
    EXPECT_EQ(usage().szLastConnect(), u"unknown"_s);
    EXPECT_EQ(levelOf(u"failed to find connection time and IP address in JSON"_s), 2);
}

TEST_F(JsonReplyShapes, BypassDomainAppendSendsTheNameAsTyped)
{
    writeNumber(pelborneKey(), u"BypassDomainAppend"_s, 1);
    ASSERT_TRUE(fetch()) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(provider.requests().first().rawQuery, "_USERNAME=alice&_PASSWORD=sunshine+42");
    EXPECT_EQ(levelOf(u"bypassing domain append for username"_s), 6);
    EXPECT_EQ(levelOf(u"using username 'alice' for JSON feed"_s), 6);

    writeNumber(pelborneKey(), u"BypassDomainAppend"_s, 0);
    provider.clearRequests();
    recorder.clear();
    ASSERT_TRUE(fetch());
    EXPECT_EQ(provider.requests().first().rawQuery, "_USERNAME=alice%40quolla.example&_PASSWORD=sunshine+42");
    EXPECT_FALSE(recorder.anyContains(u"bypassing"_s));
}

TEST_F(JsonReplyShapes, TheSwitchUseMSXMLFetchesThroughTheOtherTransport)
{
    writeNumber(pelborneKey(), u"UseMSXML"_s, 1);
    ASSERT_TRUE(fetch()) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(levelOf(u"calling MSXML..."_s), 6);
    EXPECT_EQ(levelOf(u"MSXML fetch completed successfully for daily data"_s), 6);
    EXPECT_FALSE(recorder.anyContains(u"SetupWinHTTP"_s));
    EXPECT_EQ(cacheBytes(u"alice-json.txt"_s), aliceMarchReply());
    const QList<FakeProvider::Request> requests = provider.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests[1].header("User-Agent").contains("(Pelborne COM 1.0.2;"));

    // A failure of that transport keeps its texts and the cached month.
    const QByteArray good = cacheBytes(u"alice-json.txt"_s);
    provider.addRule(usageReply("busy", 500));
    EXPECT_FALSE(fetch());
    EXPECT_TRUE(usage().szLastError().startsWith(u"Retrieval error: "_s)) << usage().szLastError().toStdString();
    EXPECT_EQ(cacheBytes(u"alice-json.txt"_s), good);
}

} // namespace
