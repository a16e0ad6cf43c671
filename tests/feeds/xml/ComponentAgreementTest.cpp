// SPDX-License-Identifier: MIT
#include "../support/ScopedTimeZone.h"
#include "SarnickRetrievalSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace SarnickRetrievalSupport;

namespace {

// The JSON API and the XML feed tell the same month: both components must fill the same properties
// from it.
class ComponentAgreement : public SarnickRetrieval
{
protected:
    void SetUp() override
    {
        SarnickRetrieval::SetUp();
        writeText(configKey(u"Pelborne"_s), u"ToolboxURL"_s, provider.baseUrl());
        pelborne = std::make_unique<PelborneComponent>(u"Pelborne.UsageData"_s, pelborneLines);
        ASSERT_TRUE(pelborne->usage);
        pelborne->setClock(clock);
        pelborne->usage->intTimeout(10);
        pelborne->usage->szAccountName(u"Quolla"_s);
        pelborne->usage->szCachePath(cacheFolder);
    }

    void expectSameMonth()
    {
        const Pelborne::_UsageData& json = *pelborne->usage;
        const Sarnick::_UsageData& xml = usage();
        EXPECT_EQ(json.szProductName(), xml.szProductName());
        EXPECT_EQ(json.szPlanName(), xml.szPlanName());
        EXPECT_EQ(json.szIP(), xml.szIP());
        EXPECT_EQ(json.szLastConnect(), xml.szLastConnect());
        EXPECT_EQ(json.szShapingSpeed(), xml.szShapingSpeed());
        EXPECT_EQ(json.sngQuotaPeak(), xml.sngQuotaPeak());
        EXPECT_EQ(json.sngQuotaOffpeak(), xml.sngQuotaOffpeak());
        EXPECT_EQ(json.sngUsedPeak(), xml.sngUsedPeak());
        EXPECT_EQ(json.sngUsedOffpeak(), xml.sngUsedOffpeak());
        EXPECT_EQ(json.sngUsedFreezone(), xml.sngUsedFreezone());
        EXPECT_EQ(json.sngLeftPeak(), xml.sngLeftPeak());
        EXPECT_EQ(json.sngLeftOffPeak(), xml.sngLeftOffPeak());
        EXPECT_EQ(json.sngPctPeak(), xml.sngPctPeak());
        EXPECT_EQ(json.sngPctOffPeak(), xml.sngPctOffPeak());
        EXPECT_EQ(json.intPeakShapeStatus(), xml.intPeakShapeStatus());
        EXPECT_EQ(json.intOffpeakShapeStatus(), xml.intOffpeakShapeStatus());
        EXPECT_EQ(json.intPeakStart(), xml.intPeakStart());
        EXPECT_EQ(json.intPeakEnd(), xml.intPeakEnd());
        EXPECT_EQ(json.arrayDailyDates(), xml.arrayDailyDates());
        EXPECT_EQ(json.arrayDailyPeak(), xml.arrayDailyPeak());
        EXPECT_EQ(json.arrayDailyOffPeak(), xml.arrayDailyOffPeak());
        EXPECT_EQ(json.arrayDailyFreezone(), xml.arrayDailyFreezone());
        EXPECT_EQ(json.arrayDailyUploads(), xml.arrayDailyUploads());
        EXPECT_EQ(json.arrayDailyTotals(), xml.arrayDailyTotals());
        // The class titles differ on purpose: the JSON component drops a trailing " usage" from them,
        // the XML component shows the feed's names. The other titles are the same.
        const DailyHeaders jsonHeaders = json.arrayDailyHeaders();
        const DailyHeaders xmlHeaders = xml.arrayDailyHeaders();
        for (const int fixed : {0, 4, 5})
            EXPECT_EQ(jsonHeaders[fixed], xmlHeaders[fixed]);
        for (const int named : {1, 2, 3}) {
            const QString tidied =
                xmlHeaders[named].endsWith(u" usage"_s) ? xmlHeaders[named].chopped(6) : xmlHeaders[named];
            EXPECT_EQ(jsonHeaders[named], tidied);
        }
        EXPECT_EQ(json.arrayTotals(), xml.arrayTotals());
    }

    const ScopedTimeZone zone{"Australia/Sydney"};
    StatusRecorder pelborneLines;
    std::unique_ptr<PelborneComponent> pelborne;
};

TEST_F(ComponentAgreement, BothComponentsFillTheSameMonth)
{
    const std::pair<QString, QString> accounts[] = {
        {Alice, AlicePassword},
        {u"anytime"_s, u"anytime-pass"_s},
        {u"nooffpeak"_s, u"nooffpeak-pass"_s},
        {u"<b>Ann &amp; Cy< #+%\u00e9"_s, u"p&+% #\u00e9=?x"_s}, // what a query or markup would take apart
    };
    for (const auto& [user, password] : accounts) {
        bool jsonFromCache = false;
        ASSERT_TRUE(pelborne->usage->RetrieveData(user, password, jsonFromCache))
            << pelborne->usage->szLastErrorDetail().toStdString();
        ASSERT_TRUE(retrieve(user, password)) << usage().szLastErrorDetail().toStdString();
        SCOPED_TRACE(user.toStdString());
        expectSameMonth();
    }
    // And the sample account's earlier month, by calendar months and by reset days whose month runs
    // into the next: fetched, then read back from each component's earlier-month file.
    for (const auto& [resetDay, firstDay] : {std::pair{0, 1}, std::pair{15, 15}, std::pair{31, 29}}) {
        provider.setCalendar(Alice, {resetDay, 0});
        for (const bool cached : {false, true}) {
            SCOPED_TRACE("February, reset day " + std::to_string(resetDay) + (cached ? ", cached" : ""));
            const LocalDateTime february = *LocalDateTime::fromParts(2024, 2, 10);
            bool jsonFromCache = cached;
            LocalDateTime month = february;
            ASSERT_TRUE(pelborne->usage->RetrieveData(Alice, AlicePassword, jsonFromCache, {}, {}, {}, true, month));
            ASSERT_TRUE(retrieveMonth(february, cached)) << usage().szLastErrorDetail().toStdString();
            EXPECT_EQ(fromCache, cached);
            EXPECT_EQ(usage().arrayDailyDates()->first().day(), firstDay);
            expectSameMonth();
        }
    }
}

} // namespace
