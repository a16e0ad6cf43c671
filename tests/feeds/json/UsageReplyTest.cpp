// SPDX-License-Identifier: MIT
#include "UsageReply.h"
#include "CachedMonth.h"
#include "JsonCacheFile.h"
#include "JsonParser.h"
#include "RunTimeError.h"

#include <QList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

JsonValue tree(const QString& text)
{
    JsonValue value;
    QString error;
    EXPECT_TRUE(JsonParse2(text, value, error)) << error.toStdString();
    return value;
}

int32_t quotaOf(const QString& allocationJson)
{
    return UsageReply::quotaMegabytes(tree(u"{\"a\":"_s + allocationJson + u'}')[u"a"_s]);
}

TEST(Quota, WholeMegabytesOfTheByteCount)
{
    EXPECT_EQ(quotaOf(u"25000000000"_s), 25000);
    EXPECT_EQ(quotaOf(u"\"25000000000\""_s), 25000);
    EXPECT_EQ(quotaOf(u"\"0\""_s), 0);
    EXPECT_EQ(quotaOf(u"1999999"_s), 1);
    // Forms that cutting six characters off the text got wrong.
    EXPECT_EQ(quotaOf(u"\"500000\""_s), 0);
    EXPECT_EQ(quotaOf(u"2.5e10"_s), 25000);
    EXPECT_EQ(quotaOf(u"\"1.5E10\""_s), 15000);
    EXPECT_EQ(quotaOf(u"\"150000000000.0\""_s), 150000);
    EXPECT_EQ(quotaOf(u"-5000000"_s), -5);
    // No number, no quota.
    EXPECT_EQ(quotaOf(u"\"unlimited\""_s), 0);
    EXPECT_EQ(quotaOf(u"null"_s), 0);
    EXPECT_EQ(quotaOf(u"\"\""_s), 0);
}

TEST(Quota, MoreThan32BitsOfMegabytesOverflow)
{
    EXPECT_EQ(quotaOf(u"2147483647000000"_s), 2147483647);
    try {
        quotaOf(u"2147483648000000"_s);
        FAIL() << "no overflow";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.text(), u"[6] Overflow"_s);
    }
}

TEST(ShapedFlag, EveryFormOfYesCountsForBothClasses)
{
    const JsonValue flags = tree(uR"([1,"1",true,"true",TRUE,0,"0",false,"false","yes",2,null])"_s);
    QList<bool> read;
    for (int32_t i = 0; i < 12; ++i)
        read << UsageReply::isShaped(flags[i]);
    EXPECT_EQ(read, (QList<bool>{true, true, true, true, true, false, false, false, false, false, false, false}));
    EXPECT_FALSE(UsageReply::isShaped(JsonValue()));
}

class ReplyReading : public ::testing::Test
{
protected:
    QStringList texts() const
    {
        QStringList out;
        for (const auto& line : lines)
            out << line.first;
        return out;
    }
    UsageDataState state;
    QList<QPair<QString, int16_t>> lines;
    UsageReply reply{state, [this](const QString& text, int16_t level) { lines.append({text, level}); }};
};

TEST_F(ReplyReading, TheLaterShapingClassDecidesTheSpeed)
{
    reply.readTrafficTypes(tree(uR"({"response":{"usage":{"traffic_types":[
        {"classification":"offpeak","name":"Off-peak quota","allocation":"0","is_shaped":true,"shaping_speed":"128kbps"},
        {"classification":"peak","name":"Peak","allocation":1000000,"is_shaped":"1","shaping_speed":"0"},
        {"classification":"Peak","name":"ignored","allocation":9000000}]}}})"_s));
    EXPECT_EQ(state.intOffpeakShapeStatus, 1);
    EXPECT_EQ(state.intPeakShapeStatus, 1);
    EXPECT_EQ(state.szShapingSpeed, QString());
    EXPECT_EQ(state.sngQuotaPeak, 1);
    EXPECT_EQ(state.arrayDailyHeaders[2], u"Off-peak"_s);
    EXPECT_EQ(state.arrayDailyHeaders[1], u"Peak"_s);
    EXPECT_TRUE(texts().contains(u"Pelborne.RetrieveData: offpeak shaping status: True"_s));
    EXPECT_TRUE(texts().contains(u"Pelborne.RetrieveData: offpeak shaping speed:  128kbps"_s));
    EXPECT_TRUE(texts().contains(u"Pelborne.RetrieveData: peak shaping speed:  0"_s));
    EXPECT_FALSE(texts().join(u'\n').contains(u"ignored"_s));
}

TEST(QuotaBeyondAnyQuota, IsNoQuotaWhileItsClassKeepsNameShapingAndHours)
{
    const struct
    {
        QString allocation; // as it stands in the reply
        QString megabytes;  // the quota, as the log names it
        bool overflows;
    } cases[] = {
        {u"2147483647000000"_s, u"2147483647"_s, false},   {u"\"2147483647999999\""_s, u"2147483647"_s, false},
        {u"-2147483648999999"_s, u"-2147483648"_s, false}, {u"2147483648000000"_s, u"0"_s, true},
        {u"\"99999999999999999999\""_s, u"0"_s, true},     {u"99999999999999999999"_s, u"0"_s, true},
        {u"\"-2147483649000000\""_s, u"0"_s, true},        {u"1e300"_s, u"0"_s, true},
    };
    for (const auto& c : cases) {
        UsageDataState state;
        QStringList lines;
        UsageReply reply{state, [&lines](const QString& text, int16_t level) {
                             lines.append(text + u" ("_s + QString::number(level) + u')');
                         }};
        const JsonValue root = tree(uR"({"response":{"offpeak_start":"01:00:00","offpeak_end":"07:00:00",
            "usage":{"traffic_types":[
            {"classification":"peak","name":"Peak, any time","allocation":%1,"is_shaped":"1","shaping_speed":"1024kbps"},
            {"classification":"offpeak","name":"Night","allocation":%1,"is_shaped":"true","shaping_speed":"0"}]}}})"_s
                                        .arg(c.allocation));
        reply.readTrafficTypes(root);
        reply.readOffpeakHours(root);
        const std::string which = c.allocation.toStdString();
        const float quota = float(c.megabytes.toLongLong());
        EXPECT_EQ(state.sngQuotaPeak, quota) << which;
        EXPECT_EQ(state.sngQuotaOffpeak, quota) << which;
        EXPECT_EQ(state.arrayDailyHeaders[1], u"Peak, any time"_s) << which;
        EXPECT_EQ(state.arrayDailyHeaders[2], u"Night"_s) << which;
        EXPECT_EQ(state.intPeakShapeStatus, 1) << which;
        EXPECT_EQ(state.intOffpeakShapeStatus, 1) << which;
        EXPECT_EQ(state.szShapingSpeed, u"1024kbps"_s) << which;
        EXPECT_EQ(state.intPeakEnd, 1) << which;
        EXPECT_EQ(state.intPeakStart, 7) << which;
        EXPECT_EQ(lines.count(u"Error while extracting quota data from JSON data: [6] Overflow (2)"_s),
                  c.overflows ? 2 : 0)
            << lines.join(u'\n').toStdString();
        EXPECT_TRUE(lines.contains(u"Pelborne.RetrieveData: peak quota: "_s + c.megabytes + u" MB (6)"_s))
            << lines.join(u'\n').toStdString();
    }
}

TEST_F(ReplyReading, OffpeakHoursAreTheFirstTwoCharacters)
{
    state.sngQuotaOffpeak = 1;
    reply.readOffpeakHours(tree(uR"({"response":{"offpeak_start":"01:30:00","offpeak_end":"x9:00"}})"_s));
    EXPECT_EQ(state.intPeakEnd, 1);
    EXPECT_EQ(state.intPeakStart, 12);
    EXPECT_EQ(texts(), (QStringList{u"Pelborne.RetrieveData: found offpeak start time in JSON: 01"_s,
                                    u"Pelborne.RetrieveData: non-numeric offpeak end time: x9"_s,
                                    u"Pelborne.RetrieveData: using default offpeak end time: 12:00"_s}));
}

TEST_F(ReplyReading, AnAnniversaryIsAWholeDay)
{
    reply.readAnniversary(tree(uR"({"response":{"quota_reset":{"anniversary":"15"}}})"_s));
    EXPECT_EQ(state.intAnniversaryDate, 15);
    reply.readAnniversary(tree(uR"({"response":{"quota_reset":{"anniversary":"soon"}}})"_s));
    EXPECT_EQ(state.intAnniversaryDate, 15);
    EXPECT_EQ(lines.last().first, u"Pelborne.RetrieveData: non-numeric anniversary date found: soon"_s);
    EXPECT_THROW(reply.readAnniversary(tree(uR"({"response":{"quota_reset":{"anniversary":40000}}})"_s)), RunTimeError);
    EXPECT_THROW(reply.readAnniversary(tree(uR"({"response":{}})"_s)), RunTimeError);
}

TEST(CacheFileName, OrdinaryNamesGiveTheUsualFiles)
{
    EXPECT_EQ(JsonCacheFile::path(u"/c"_s, u"alice"_s, QString(), false), u"/c/alice-json.txt"_s);
    EXPECT_EQ(JsonCacheFile::path(u"/c"_s, u"alice"_s, QString(), true), u"/c/alice_h-json.txt"_s);
    EXPECT_EQ(JsonCacheFile::path(u"/c"_s, u"alice"_s, u"alice.mobile@quolla.example"_s, true),
              u"/c/alice-alice.mobile@quolla.example_h-json.txt"_s);
}

TEST(CacheFileName, NoNameReachesOutsideTheFolder)
{
    EXPECT_EQ(JsonCacheFile::path(u"/c"_s, u"../../etc/passwd"_s, QString(), false), u"/c/.._.._etc_passwd-json.txt"_s);
    EXPECT_EQ(JsonCacheFile::path(u"/c"_s, u".."_s, u"a\\b"_s, false), u"/c/..-a_b-json.txt"_s);
    EXPECT_EQ(JsonCacheFile::path(u"/c"_s, u"/"_s, u".."_s, true), u"/c/_-.._h-json.txt"_s);
}

TEST(CacheFileMonth, EveryDayMustLieInTheBillingMonthThatBeginsInTheMonthAskedFor)
{
    const auto day = [](int month, int dayOfMonth) { return *LocalDateTime::fromParts(2024, month, dayOfMonth); };
    const std::tuple<int16_t, QList<LocalDateTime>, bool> cases[] = {
        {1, {day(3, 1), day(3, 31)}, true},   {0, {day(3, 1), day(4, 1)}, false},
        {15, {day(3, 15), day(4, 14)}, true}, {15, {day(2, 15), day(3, 14)}, false},
        {31, {day(3, 31), day(4, 29)}, true}, {31, {}, true}};
    for (const auto& [resetDay, days, holds] : cases) {
        UsageDataState month;
        month.intAnniversaryDate = resetDay;
        month.arrayDailyDates = days;
        EXPECT_EQ(!CachedMonth::mismatch(month, day(3, 17)), holds) << resetDay << ", " << days.size() << " days";
    }
}

} // namespace
