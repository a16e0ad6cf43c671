// SPDX-License-Identifier: MIT
#include "../support/ScopedTimeZone.h"
#include "SarnickRetrievalSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace SarnickRetrievalSupport;

namespace {

QByteArray trafficType(const QByteArray& classification, const QByteArray& name, const QByteArray& quota,
                       const QByteArray& shaped = "false", const QByteArray& speed = "0")
{
    return "<type classification=\"" + classification + "\"><name>" + name + "</name><quota_allocation>" + quota +
           "</quota_allocation><is_shaped speed=\"" + speed + "\">" + shaped + "</is_shaped></type>";
}

const QByteArray PeakAndOffpeak = "<expected_traffic_types>" + trafficType("peak", "peak", "1000") +
                                  trafficType("offpeak", "Off-peak quota", "2000", "true", "64kbps") +
                                  "</expected_traffic_types>\n";
const QByteArray OneDay = "<volume_usage><day_hour period=\"2024-03-01\"><u type=\"peak\">1</u>"
                          "<u type=\"offpeak\">1</u></day_hour></volume_usage>\n";

QByteArray days(const QByteArray& dayElements)
{
    return "<volume_usage>" + dayElements + "</volume_usage>\n";
}

QByteArray connections(const QByteArray& ipElements)
{
    return "<connections>" + ipElements + "</connections>\n";
}

using SarnickDocument = SarnickRetrieval;

TEST_F(SarnickDocument, DaysKeepTheirOrderAndEachClassItsLastValue)
{
    ASSERT_TRUE(readCached(feedDocument(
        PeakAndOffpeak +
        days("<day_hour period=\"2024-03-02\"><u type=\"peak\">1500000</u><u type=\"offpeak\">250000</u>"
             "<u type=\"uploads\">5</u></day_hour>\n"
             "<day_hour period=\"2024-03-01\"><u type=\"peak\"></u><u type=\"Anytime\">999000000</u>"
             "<u type=\"bonus\">7</u><u type=\"freezone\">3000000</u></day_hour>\n"
             "<day_hour period=\"2024-03-03\"><u type=\"usage\">1000000</u><u type=\"peak\">2000000</u></day_hour>"))))
        << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(*usage().arrayDailyDates(),
              (QList<LocalDateTime>{*LocalDateTime::fromParts(2024, 3, 2), *LocalDateTime::fromParts(2024, 3, 1),
                                    *LocalDateTime::fromParts(2024, 3, 3)}));
    EXPECT_EQ(*usage().arrayDailyPeak(), (QList<float>{1.5f, 0.0f, 2.0f}));
    EXPECT_EQ(*usage().arrayDailyOffPeak(), (QList<float>{0.25f, 0.0f, 0.0f}));
    EXPECT_EQ(*usage().arrayDailyFreezone(), (QList<float>{0.0f, 3.0f, 0.0f}));
    EXPECT_EQ(*usage().arrayDailyUploads(), (QList<float>{0.000005f, 0.0f, 0.0f}));
    EXPECT_EQ(*usage().arrayDailyTotals(), (QList<float>{1.75f, 3.0f, 2.0f}));

    // Titles: the class names without " quota", first letter raised; a total column.
    EXPECT_EQ(usage().arrayDailyHeaders(),
              (DailyHeaders{u"Date"_s, u"Peak"_s, u"Off-peak"_s, QString(), u"Total"_s, QString()}));
    EXPECT_EQ(usage().sngUsedPeak(), 3.5f);
    EXPECT_EQ(usage().sngLeftPeak(), 996.5f);
    EXPECT_FLOAT_EQ(usage().sngPctPeak(), 0.35f);
    EXPECT_EQ(usage().sngUsedFreezone(), 3.0f);
    EXPECT_EQ(usage().intOffpeakShapeStatus(), 1);
    EXPECT_EQ(usage().intPeakShapeStatus(), 0);
    // The peak's speed "0" clears the speed, the shaped off-peak class sets it.
    EXPECT_EQ(usage().szShapingSpeed(), u"64kbps"_s);
    EXPECT_EQ(levelOf(u"offpeak shaping speed:  64kbps"_s), 6);
    EXPECT_EQ(levelOf(u"offpeak quota: 2000 MB"_s), 6);
    EXPECT_EQ(recorder.levelOf(u"Sarnick.ParseDailyData: processing daily data"_s), 6);
    EXPECT_EQ(recorder.levelOf(u"Sarnick.ParseDailyData: calculating daily averages, durations"_s), 6);
}

TEST_F(SarnickDocument, OneValuePerDayMeansNoTotalColumn)
{
    ASSERT_TRUE(readCached(feedDocument(
        "<expected_traffic_types>" + trafficType("anytime", "daily usage", "500") + "</expected_traffic_types>" +
        days("<day_hour period=\"2024-03-01\"><u type=\"anytime\">600000000</u></day_hour>"
             "<day_hour period=\"2024-03-02\"><u type=\"anytime\">0</u><u type=\"uploads\">1</u></day_hour>"))));
    EXPECT_EQ(usage().arrayDailyHeaders(),
              (DailyHeaders{u"Date"_s, u"Daily usage"_s, QString(), QString(), QString(), QString()}));
    // Over the quota: nothing left, more than 100 percent.
    EXPECT_EQ(usage().sngLeftPeak(), 0.0f);
    EXPECT_FLOAT_EQ(usage().sngPctPeak(), 120.0f);
    // Without an off-peak quota the percentage stays 0 and nothing is left of it.
    EXPECT_EQ(usage().sngPctOffPeak(), 0.0f);
    EXPECT_EQ(usage().sngLeftOffPeak(), 0.0f);
}

TEST_F(SarnickDocument, DaysThatCannotBeReadFailTheParse)
{
    const std::pair<QByteArray, QString> cases[] = {
        {days(""), u"[91] Object variable or With block variable not set"_s},
        {"", u"[91] Object variable or With block variable not set"_s},
        {days("<day_hour period=\"2024-03-01\"><u type=\"peak\">-5</u></day_hour>"), u"[13] Type mismatch"_s},
        {days("<day_hour period=\"2024-03-01\"><u type=\"peak\">12 MB</u></day_hour>"), u"[13] Type mismatch"_s},
        {days("<day_hour period=\"2024-03-01\">loose text<u type=\"peak\">1</u></day_hour>"), u"[13] Type mismatch"_s},
        {days("<day_hour period=\"1 March\"><u type=\"peak\">1</u></day_hour>"), u"[13] Type mismatch"_s},
        {days("<day_hour period=\"2024-03-01\"><u type=\"peak\">1e99</u></day_hour>"), u"[6] Overflow"_s},
    };
    for (const auto& [volumeUsage, detail] : cases) {
        EXPECT_FALSE(readCached(feedDocument(PeakAndOffpeak + volumeUsage))) << volumeUsage.toStdString();
        EXPECT_EQ(usage().szLastError(),
                  u"Parse error: "_s + detail.section(u']', 0, 0) + u"] error while parsing data"_s);
        EXPECT_EQ(usage().szLastErrorDetail(), u"Sarnick.ParseDailyData: error while parsing data:"_s + CRLF + detail);
        // Only a whole month moves the last refresh.
        EXPECT_EQ(readText(sarnickKey(), Alice), u"(missing)"_s);
    }
}

TEST_F(SarnickDocument, OffPeakHoursComeFromTheFirstTwoCharacters)
{
    const auto hours = [&](const QByteArray& start, const QByteArray& end) {
        QByteArray parts = PeakAndOffpeak;
        if (!start.isNull())
            parts += "<offpeak_start>" + start + "</offpeak_start>";
        if (!end.isNull())
            parts += "<offpeak_end>" + end + "</offpeak_end>";
        EXPECT_TRUE(readCached(feedDocument(parts + OneDay)));
        return std::pair{usage().intPeakEnd(), usage().intPeakStart()};
    };
    EXPECT_EQ(hours("23:00", "07:00"), (std::pair<int16_t, int16_t>{23, 7}));
    EXPECT_EQ(levelOf(u"found offpeak start time in XML: 23"_s), 6);
    EXPECT_EQ(levelOf(u"found offpeak end time in XML: 07"_s), 6);

    EXPECT_EQ(hours("2:00", "07:00"), (std::pair<int16_t, int16_t>{2, 7}));
    EXPECT_EQ(levelOf(u"non-numeric offpeak start time: 2:"_s), 2);
    EXPECT_EQ(levelOf(u"using default offpeak start time: 02:00"_s), 6);

    EXPECT_EQ(hours("01:00", QByteArray()), (std::pair<int16_t, int16_t>{1, 12}));
    EXPECT_EQ(levelOf(u"failed to find offpeak end time in XML"_s), 2);
    EXPECT_EQ(levelOf(u"using default offpeak end time: 12:00"_s), 6);

    // Without an off-peak class the times are not even looked at.
    ASSERT_TRUE(readCached(feedDocument("<expected_traffic_types>" + trafficType("peak", "Peak", "10") +
                                        "</expected_traffic_types><offpeak_start>23:00</offpeak_start>" + OneDay)));
    EXPECT_EQ(levelOf(u"skipping check for offpeak start time"_s), 6);
    EXPECT_EQ(usage().intPeakEnd(), 2);
    EXPECT_EQ(usage().intPeakStart(), 12);
}

TEST_F(SarnickDocument, AQuotaBeyondAnyQuotaIsNoQuotaWhileItsClassKeepsNameShapingAndHours)
{
    const struct
    {
        QByteArray allocation;
        float quota;
        bool overflows;
    } cases[] = {
        {"2147483647", 2147483647.0f, false},
        {"2147483647.4", 2147483647.0f, false},
        {"-2147483648", -2147483648.0f, false},
        {"2147483647.5", 0, true},
        {"2147483648", 0, true},
        {"99999999999999999999", 0, true},
        {"-2147483649", 0, true},
        {"1e12", 0, true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(readCached(feedDocument("<expected_traffic_types>" +
                                            trafficType("peak", "Peak, any time", c.allocation, "true", "1024kbps") +
                                            trafficType("offpeak", "Night", c.allocation, "true") +
                                            "</expected_traffic_types><offpeak_start>01:00</offpeak_start>"
                                            "<offpeak_end>07:00</offpeak_end>" +
                                            OneDay)))
            << usage().szLastErrorDetail().toStdString();
        const std::string which = c.allocation.toStdString();
        EXPECT_EQ(usage().sngQuotaPeak(), c.quota) << which;
        EXPECT_EQ(usage().sngQuotaOffpeak(), c.quota) << which;
        EXPECT_EQ(usage().arrayDailyHeaders()[1], u"Peak, any time"_s) << which;
        EXPECT_EQ(usage().arrayDailyHeaders()[2], u"Night"_s) << which;
        EXPECT_EQ(usage().intPeakShapeStatus(), 1) << which;
        EXPECT_EQ(usage().intOffpeakShapeStatus(), 1) << which;
        EXPECT_EQ(usage().szShapingSpeed(), u"1024kbps"_s) << which;
        EXPECT_EQ(usage().intPeakEnd(), 1) << which;
        EXPECT_EQ(usage().intPeakStart(), 7) << which;
        EXPECT_EQ(recorder.texts().count(u"Error while extracting quota data from XML data: [6] Overflow"_s),
                  c.overflows ? 2 : 0)
            << which;
    }
}

TEST_F(SarnickDocument, TrafficTypesThatAreIncompleteOrOddAreReportedAndPassedOver)
{
    ASSERT_TRUE(readCached(feedDocument("<expected_traffic_types><type classification=\"peak\"/>" +
                                        trafficType("peak", "First", "100") +
                                        "<type classification=\"peak\"><name>Second</name><name>Ignored</name>"
                                        "<quota_allocation>1e12</quota_allocation></type>" +
                                        trafficType("offpeak", "Night", "lots", "TRUE", "128kbps") +
                                        "<type classification=\"freezone\"><name>Free</name><name>Other</name></type>" +
                                        trafficType("uploads", "Sent", "0") + trafficType("Peak", "Wrong case", "5") +
                                        "</expected_traffic_types>" + OneDay)));
    EXPECT_EQ(levelOf(u"failed to find details in <type> #0 node in XML"_s), 2);
    EXPECT_EQ(recorder.levelOf(u"Error while extracting quota data from XML data: [6] Overflow"_s), 2);
    // The overflowing quota is no quota; the later peak type still names the class.
    EXPECT_EQ(usage().sngQuotaPeak(), 0.0f);
    EXPECT_EQ(usage().arrayDailyHeaders()[1], u"Second"_s);
    // A quota that is no number counts 0; shaped only for exactly "true", its speed all the same.
    EXPECT_EQ(usage().sngQuotaOffpeak(), 0.0f);
    EXPECT_EQ(usage().intOffpeakShapeStatus(), 0);
    EXPECT_EQ(usage().szShapingSpeed(), u"128kbps"_s);
    EXPECT_EQ(levelOf(u"freezone shaping status: N/A"_s), 6);
    // Of two children with one name the first counts.
    EXPECT_EQ(usage().arrayDailyHeaders()[3], u"Free"_s);
    EXPECT_EQ(usage().arrayDailyHeaders()[5], u"Uploads"_s);
    EXPECT_EQ(levelOf(u"uploads name: Sent"_s), 6);
    EXPECT_FALSE(recorder.anyContains(u"Wrong case"_s));

    ASSERT_TRUE(readCached(feedDocument(OneDay)));
    EXPECT_EQ(levelOf(u"failed to find expected traffic types in XML"_s), 2);
}

TEST_F(SarnickDocument, TheLatestConnectionWinsAndItsStartIsShownInLocalTime)
{
    const ScopedTimeZone zone("Asia/Kolkata");
    const auto connect = [&](const QByteArray& ips) {
        EXPECT_TRUE(readCached(feedDocument(OneDay, connections(ips))));
        return std::pair{usage().szIP(), usage().szLastConnect()};
    };
    EXPECT_EQ(connect("<ip on_since=\"2024-03-01 10:00:00\">10.0.0.1</ip><ip on_since=\"2024-03-01 12:00:00\">"
                      "10.0.0.2</ip><ip on_since=\"2024-03-01 11:00:00\">10.0.0.3</ip>"),
              (std::pair{u"10.0.0.2"_s, u"2024-03-01 17:30:00"_s}));
    EXPECT_EQ(levelOf(u"found connection details 3/3: 10.0.0.3 with connect time 2024-03-01 11:00:00"_s), 6);
    EXPECT_EQ(connect("<ip on_since=\"2024-03-01 10:00:00\">10.0.0.1</ip><ip on_since=\"2024-03-01 10:00:00\">"
                      "10.0.0.2</ip>"),
              (std::pair{u"10.0.0.1"_s, u"2024-03-01 15:30:00"_s}));
    EXPECT_EQ(connect("<ip>10.0.0.9</ip><ip on_since=\"2024-02-29 23:45:00\">10.0.0.1</ip>"
                      "<ip on_since=\"2024-13-01 00:00:00\">10.0.0.2</ip>"),
              (std::pair{u"10.0.0.1"_s, u"2024-03-01 05:15:00"_s}));
    EXPECT_EQ(levelOf(u"failed to find connect time attribute in XML for IP 10.0.0.9"_s), 2);
    EXPECT_EQ(levelOf(u"invalid date: 2024-13-01 00:00:00 / 2024-02-29 23:45:00"_s), 2);

    // No connection at all: both stay unknown and no conversion is tried.
    EXPECT_EQ(connect(""), (std::pair{u"unknown"_s, u"unknown"_s}));
    EXPECT_EQ(levelOf(u"failed to find connection time and IP address in XML"_s), 2);
    EXPECT_FALSE(recorder.anyContains(u"timezone"_s));
    // Connections without a time: the address alone cannot be converted.
    EXPECT_EQ(connect("<ip>10.0.0.9</ip>"), (std::pair{u"unknown"_s, u"unknown"_s}));
    EXPECT_EQ(levelOf(u"failed to apply timezone offset to last connect time: unknown"_s), 2);
}

TEST_F(SarnickDocument, TheConnectionTimeFollowsTheOffsetOfItsOwnDay)
{
    // Summer time in Sydney ends at 03:00 on 7 April 2024, when 02:00 to 03:00 comes twice.
    const ScopedTimeZone zone("Australia/Sydney");
    const std::pair<QByteArray, QString> cases[] = {
        {"2024-04-06 15:30:00", u"2024-04-07 02:30:00"_s}, {"2024-04-06 16:30:00", u"2024-04-07 02:30:00"_s},
        {"2024-04-06 17:30:00", u"2024-04-07 03:30:00"_s}, {"2024-01-15 00:00:00", u"2024-01-15 11:00:00"_s},
        {"2024-07-15 00:00:00", u"2024-07-15 10:00:00"_s},
    };
    for (const auto& [since, local] : cases) {
        ASSERT_TRUE(readCached(feedDocument(OneDay, connections("<ip on_since=\"" + since + "\">10.0.0.1</ip>"))));
        EXPECT_EQ(usage().szLastConnect(), local) << since.toStdString();
    }
}

TEST_F(SarnickDocument, TheResetDayAndWhatIsEnoughOfADocument)
{
    ASSERT_TRUE(readCached("<qo_feed><account_info><plan>Only a plan</plan></account_info><volume_usage>" + OneDay +
                           "</volume_usage></qo_feed>"));
    EXPECT_EQ(usage().szPlanName(), u"Only a plan"_s);
    EXPECT_EQ(levelOf(u"failed to find product name in XML"_s), 2);
    EXPECT_EQ(levelOf(u"failed to find anniversary date in XML"_s), 2);
    EXPECT_EQ(usage().intAnniversaryDate(), 0);

    const QByteArray noReset = "<qo_feed><volume_usage><quota_reset><anniversary>";
    EXPECT_FALSE(readCached(noReset + "soon</anniversary></quota_reset>" + OneDay + "</volume_usage></qo_feed>"));
    EXPECT_EQ(levelOf(u"non-numeric anniversary date found: soon"_s), 2);
    EXPECT_EQ(usage().szLastError(), u"Error retrieving data: invalid XML data"_s);

    // A reset day too large for its number is reported, and the month still comes through.
    ASSERT_TRUE(readCached(feedDocument(PeakAndOffpeak + OneDay).replace("<anniversary>1<", "<anniversary>99999<")));
    EXPECT_EQ(usage().intAnniversaryDate(), 0);
    EXPECT_EQ(usage().szLastError(), u"Retrieve error: extracting anniversary date"_s);
    EXPECT_EQ(usage().szLastErrorDetail(), u"Sarnick.RetrieveData: error while processing XML data:"_s + CRLF +
                                               u"failed to extract anniversary date:"_s + CRLF + u"[6] Overflow"_s);
}

} // namespace
