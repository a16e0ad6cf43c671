// SPDX-License-Identifier: MIT
#include "DailyUsage.h"
#include "JsonParser.h"

#include <QList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Line
{
    QString text;
    int16_t level;
};

LocalDateTime day(int year, int month, int dayOfMonth)
{
    return *LocalDateTime::fromParts(year, month, dayOfMonth);
}

class DailyUsage : public ::testing::Test
{
protected:
    bool parse(const QString& data)
    {
        JsonValue tree;
        QString error;
        EXPECT_TRUE(JsonParse2(data, tree, error)) << error.toStdString();
        return ParseDailyData(state, tree, sink);
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Line& line : lines)
            out << line.text;
        return out;
    }

    UsageDataState state;
    QList<Line> lines;
    StatusSink sink = [this](const QString& text, int16_t level) { lines.append({text, level}); };
};

TEST_F(DailyUsage, DaysStayInTheReplysOrder)
{
    ASSERT_TRUE(parse(uR"([
        {"period":"20240303","types":[{"type":"peak","value":3000000},{"type":"offpeak","value":1}]},
        {"period":20240301,"types":[{"type":"peak","value":1000000},{"type":"offpeak","value":1}]},
        {"period":"20240302","types":[{"type":"peak","value":"2000000"},{"type":"offpeak","value":1}]}])"_s));
    EXPECT_EQ(*state.arrayDailyDates, (QList<LocalDateTime>{day(2024, 3, 3), day(2024, 3, 1), day(2024, 3, 2)}));
    EXPECT_EQ(*state.arrayDailyPeak, (QList<float>{3, 1, 2}));
    EXPECT_EQ(state.arrayTotals[1], 6);
}

TEST_F(DailyUsage, EachDayIsReadWithItsOwnClasses)
{
    ASSERT_TRUE(parse(uR"([
        {"period":"20240301","types":[{"type":"peak","value":1500000}]},
        {"period":"20240302","types":[{"type":"anytime","value":2000000},{"type":"offpeak","value":3000000},
                                      {"type":"freezone","value":4000000},{"type":"uploads","value":5000000},
                                      {"type":"mystery","value":9000000}]},
        {"period":"20240303","types":[{"type":"offpeak","value":"250000"},{"type":"offpeak","value":"500000"}]},
        {"period":"20240304","types":[]}])"_s));
    EXPECT_EQ(*state.arrayDailyPeak, (QList<float>{1.5f, 2, 0, 0}));
    EXPECT_EQ(*state.arrayDailyOffPeak, (QList<float>{0, 3, 0.5f, 0}));
    EXPECT_EQ(*state.arrayDailyFreezone, (QList<float>{0, 4, 0, 0}));
    EXPECT_EQ(*state.arrayDailyUploads, (QList<float>{0, 5, 0, 0}));
    EXPECT_EQ(*state.arrayDailyTotals, (QList<float>{1.5f, 9, 0.5f, 0}));
    EXPECT_EQ(state.arrayTotals, (MonthTotals{0, 3.5f, 3.5f, 4, 11, 0}));
    // A first day with one class leaves the total column's header alone.
    EXPECT_EQ(state.arrayDailyHeaders[4], QString());
    EXPECT_EQ(state.arrayDailyHeaders[0], u"Date"_s);
}

TEST_F(DailyUsage, ByteCountsBecomeSinglePrecisionMegabytes)
{
    ASSERT_TRUE(parse(uR"([{"period":"20240301","types":[{"type":"peak","value":123456789},
                                                          {"type":"usage","value":"123456789"}]}])"_s));
    // The count goes through single precision before the division, as the figures always did.
    EXPECT_EQ((*state.arrayDailyPeak)[0], float(double(123456789.0f) / 1e6));
    EXPECT_NE((*state.arrayDailyPeak)[0], float(123.456789));
}

TEST_F(DailyUsage, HeadersAreCompletedAndTidied)
{
    state.arrayDailyHeaders = {QString(), u"peak usage"_s, u"Off-peak_USAGE"_s, u"freezone"_s, QString(), u"Uploads"_s};
    ASSERT_TRUE(
        parse(uR"([{"period":"20240301","types":[{"type":"peak","value":0},{"type":"offpeak","value":0}]}])"_s));
    EXPECT_EQ(state.arrayDailyHeaders,
              (DailyHeaders{u"Date"_s, u"Peak"_s, u"Off-peak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s}));
    EXPECT_EQ(TidyHeader(u" Usage"_s), QString());
    EXPECT_EQ(TidyHeader(u"usage"_s), u"Usage"_s);
    EXPECT_EQ(TidyHeader(u"peak usage extra"_s), u"Peak usage extra"_s);
}

TEST_F(DailyUsage, UsedLeftAndPercentComeFromTheMonth)
{
    state.sngQuotaPeak = 100;
    state.sngQuotaOffpeak = 0;
    ASSERT_TRUE(
        parse(uR"([{"period":"20240301","types":[{"type":"peak","value":70000000},{"type":"offpeak","value":8000000}]},
                           {"period":"20240302","types":[{"type":"peak","value":50000000},{"type":"freezone","value":1000000}]}])"_s));
    EXPECT_EQ(state.sngUsedPeak, 120);
    EXPECT_EQ(state.sngUsedOffpeak, 8);
    EXPECT_EQ(state.sngUsedFreezone, 1);
    EXPECT_EQ(state.sngLeftPeak, 0);
    EXPECT_FLOAT_EQ(state.sngPctPeak, 120);
    EXPECT_EQ(state.sngPctOffPeak, 0);
    EXPECT_EQ(texts(), (QStringList{u"Pelborne.ParseDailyData: processing daily data"_s,
                                    u"Pelborne.ParseDailyData: calculating daily totals"_s,
                                    u"Pelborne.ParseDailyData: calculating daily averages, durations"_s}));
    EXPECT_EQ(lines[0].level, 6);
}

TEST_F(DailyUsage, AnUnreadableLastUpdateIsReportedOnceTheResetDayIsKnown)
{
    state.szLastUpdate = u"unknown"_s;
    state.intAnniversaryDate = 15;
    ASSERT_TRUE(parse(uR"([{"period":"20240301","types":[{"type":"peak","value":1}]}])"_s));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[3].text, u"Pelborne.ParseDailyData: invalid last refresh date: unknown"_s);
    EXPECT_EQ(lines[3].level, 3);

    lines.clear();
    state.szLastUpdate = u"2024-03-02 10:00:00"_s;
    ASSERT_TRUE(parse(uR"([{"period":"20240301","types":[{"type":"peak","value":1}]}])"_s));
    EXPECT_EQ(lines.size(), 3);
}

TEST_F(DailyUsage, UnreadableRecordsFailWithTheirReason)
{
    const std::pair<QString, QString> cases[] = {
        {u"[]"_s, u"[424] Object required"_s},
        {u"{}"_s, u"[424] Object required"_s},
        {uR"([{"period":"20240301","types":[{"type":"peak","value":"lots"}]}])"_s, u"[13] Type mismatch"_s},
        {uR"([{"period":"20240301","types":[{"type":"peak","value":null}]}])"_s, u"[13] Type mismatch"_s},
        {uR"([{"period":"20240231","types":[{"type":"peak","value":1}]}])"_s, u"[13] Type mismatch"_s},
        {uR"([{"period":"20240301","types":[{"type":"peak","value":1}]},{"period":"20240302"}])"_s,
         u"[424] Object required"_s},
        {uR"([{"period":"20240301","types":[{"type":"peak","value":1e40}]}])"_s, u"[6] Overflow"_s},
    };
    for (const auto& [data, detail] : cases) {
        EXPECT_FALSE(parse(data)) << data.toStdString();
        EXPECT_EQ(state.szLastErrorDetail, u"Pelborne.ParseDailyData: error while parsing data:\r\n"_s + detail);
        EXPECT_EQ(state.szLastError, u"Parse error: "_s + detail.section(u' ', 0, 0) + u" error while parsing data"_s);
    }
}

TEST_F(DailyUsage, DaysReadBeforeAFailureKeepTheirValues)
{
    EXPECT_FALSE(parse(uR"([{"period":"20240301","types":[{"type":"peak","value":4000000}]},
                            {"period":"20240302","types":[{"type":"peak","value":"x"}]}])"_s));
    EXPECT_EQ(*state.arrayDailyPeak, (QList<float>{4, 0}));
    EXPECT_EQ(state.arrayTotals, MonthTotals{});
}

} // namespace
