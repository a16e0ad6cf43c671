// SPDX-License-Identifier: MIT
#include "FeedConverters.h"
#include "CoreTestContext.h"
#include "FakeFeed.h"
#include "FeedComponents.h"
#include "qoMonth.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const LocalDateTime FirstDay = *LocalDateTime::fromParts(2008, 3, 15);
const QString CRLF = u"\r\n"_s;

// Both converters behave alike; the tests run for each.
struct PelborneSide
{
    static QString name() { return u"Pelborne"_s; }
    static FakeFeed::Script& script() { return FakeFeed::pelborne(); }
    static bool convert(FeedConverters& c, bool fromCache, qoMonth& month, bool historical, QString& e, QString& d)
    {
        return c.Pelborne2qoMonth(fromCache, month, historical, e, d);
    }
    static bool slotFilled(const FeedComponents& components) { return components.hasJSON(); }
    static FakeFeed::Servers servers(bool present) { return FakeFeed::Servers(present, true); }
};

struct SarnickSide
{
    static QString name() { return u"Sarnick"_s; }
    static FakeFeed::Script& script() { return FakeFeed::sarnick(); }
    static bool convert(FeedConverters& c, bool fromCache, qoMonth& month, bool historical, QString& e, QString& d)
    {
        return c.Sarnick2qoMonth(fromCache, month, historical, e, d);
    }
    static bool slotFilled(const FeedComponents& components) { return components.hasXML(); }
    static FakeFeed::Servers servers(bool present) { return FakeFeed::Servers(true, present); }
};

template <class Side>
class FeedConvertersTest : public ::testing::Test
{
protected:
    FeedConvertersTest()
    {
        FakeFeed::reset();
        core.settings.Username = u"fred@quolla.example"_s;
        core.settings.Password = u"pass word"_s;
        core.settings.AccountType = 3;
        core.settings.Timeout = 45;
        core.run.ProfileNumber = 2;
        core.run.URLXMLUsage = u"https://feed.example/usage?u=qoUID&p=qoPWD"_s;
        script().current = FakeFeed::sampleMonth(FirstDay, 6, u"2008-03-20 10:45:00"_s);
    }

    static FakeFeed::Script& script() { return Side::script(); }
    static QString name() { return Side::name(); }
    bool convert(bool fromCache = false, bool historical = false)
    {
        return Side::convert(converters, fromCache, month, historical, error, detail);
    }
    const FakeFeed::Call& call() const { return script().calls.last(); }

    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    FeedComponents components{core.log, core.clock};
    FeedConverters converters{core.settings, core.run, core.log, components};
    qoMonth month;
    QString error;
    QString detail;
};

using Sides = ::testing::Types<PelborneSide, SarnickSide>;
TYPED_TEST_SUITE(FeedConvertersTest, Sides);
} // namespace

TYPED_TEST(FeedConvertersTest, CopiesEveryPropertyIntoAFreshRecord)
{
    FakeFeed::Servers servers;
    // What the record held before is replaced whole, the derived figures too.
    this->month.PlanType = 2;
    this->month.AvgPeak = 99;
    this->month.ElapsedOffpeak = 50;
    ASSERT_TRUE(this->convert()) << this->detail.toStdString();

    const FakeFeed::Month& fed = this->script().current;
    const qoMonth& m = this->month;
    EXPECT_EQ(m.AnniversaryDate, FirstDay);
    EXPECT_EQ(m.IP, fed.szIP);
    EXPECT_EQ(m.LastConnect, fed.szLastConnect);
    EXPECT_EQ(m.LastUpdate, u"2008-03-20 10:45:00"_s);
    EXPECT_EQ(m.ShapingSpeed, u"256"_s);
    EXPECT_EQ(m.PlanName, u"Home 40"_s);
    EXPECT_EQ(m.ProductName, u"Broadband"_s);
    EXPECT_EQ(m.PeakQuota, fed.sngQuotaPeak);
    EXPECT_EQ(m.TotalPeak, fed.sngUsedPeak);
    EXPECT_EQ(m.PeakQuotaLeft, fed.sngLeftPeak);
    EXPECT_EQ(m.PercentPeak, fed.sngPctPeak);
    EXPECT_EQ(m.OffPeakQuota, fed.sngQuotaOffpeak);
    EXPECT_EQ(m.TotalOffpeak, fed.sngUsedOffpeak);
    EXPECT_EQ(m.OffpeakQuotaLeft, fed.sngLeftOffPeak);
    EXPECT_EQ(m.TotalFreezone, fed.sngUsedFreezone);
    EXPECT_EQ(m.PeakStart, 8);
    EXPECT_EQ(m.PeakEnd, 2);
    EXPECT_EQ(m.DailyDates, *fed.arrayDailyDates);
    EXPECT_EQ(m.DailyPeak, *fed.arrayDailyPeak);
    EXPECT_EQ(m.DailyOffpeak, *fed.arrayDailyOffPeak);
    EXPECT_EQ(m.DailyFreezone, *fed.arrayDailyFreezone);
    EXPECT_EQ(m.DailyTotals, *fed.arrayDailyTotals);
    EXPECT_EQ(m.DailyUploads, *fed.arrayDailyUploads);
    EXPECT_EQ(m.DailyHeaders[2], u"OffPeak"_s);
    EXPECT_EQ(m.PlanType, 0);
    EXPECT_EQ(m.AvgPeak, 0);
    EXPECT_EQ(m.ElapsedOffpeak, 0);
    EXPECT_EQ(m.PercentOffPeak, 0); // sngPctOffPeak is not taken

    // The object lived for the call only.
    EXPECT_FALSE(TypeParam::slotFilled(this->components));
    EXPECT_EQ(servers.liveObjects(), 0);
    EXPECT_EQ(this->script().objectsMade, 1);
}

TYPED_TEST(FeedConvertersTest, PutsTheSettingsAndTheProgramsClock)
{
    FakeFeed::Servers servers;
    ASSERT_TRUE(this->convert());
    const FakeFeed::Call& call = this->call();
    EXPECT_EQ(call.profile, 2);
    EXPECT_EQ(call.timeout, 45);
    EXPECT_EQ(call.accountName, u"Dapple"_s);
    EXPECT_EQ(call.user, u"fred@quolla.example"_s);
    EXPECT_EQ(call.password, u"pass word"_s);
    EXPECT_TRUE(call.clockGiven);
    EXPECT_EQ(call.clockNow, this->core.clock.now());
    EXPECT_FALSE(call.historical);
    EXPECT_EQ(call.historicalDate, LocalDateTime());
    // Only the XML feed takes the address template.
    EXPECT_EQ(call.loginURL, this->name() == u"Sarnick"_s ? this->core.run.URLXMLUsage : QString());
}

TYPED_TEST(FeedConvertersTest, LogsTheStepsAndTheComponentsStatus)
{
    FakeFeed::Servers servers;
    this->script().status = {{this->name() + u".RetrieveData: fetching"_s, 4}};
    ASSERT_TRUE(this->convert());
    const QString routine = this->name() + u"2qoMonth"_s;
    const QList<CoreTestContext::LogLine> lines = this->core.logLines();
    QStringList texts;
    for (const CoreTestContext::LogLine& line : lines)
        texts.append(QString::number(line.level) + u' ' + line.text);
    EXPECT_EQ(texts, (QStringList{u"3 calling "_s + routine + u" for profile 2"_s,
                                  u"3 "_s + routine + u": retrieving data from "_s + this->name(),
                                  u"4 "_s + this->name() + u".RetrieveData: fetching"_s,
                                  u"2 successfully retrieved live data"_s, u"2 processing daily usage data..."_s,
                                  u"6 "_s + routine + u": manipulating retrieved data"_s,
                                  u"6 "_s + routine + u": cleaning up"_s}));
}

TYPED_TEST(FeedConvertersTest, StatusErrorsShowABoxUnlessQuiet)
{
    FakeFeed::Servers servers;
    this->script().status = {{u"component trouble"_s, 1}};
    this->core.window.mainWindowVisible = false;
    ASSERT_TRUE(this->convert());
    // Not quiet: box mode 0, shown even with the window hidden.
    ASSERT_EQ(this->core.window.messageBoxes.size(), 1);
    EXPECT_EQ(this->core.window.messageBoxes[0].text, u"component trouble"_s);

    // Quiet by the option or by /Q (/H): logged at its level, no box.
    this->core.settings.OptionFlags |= int32_t(OptionFlag::QuietMode);
    ASSERT_TRUE(this->convert());
    this->core.settings.OptionFlags &= ~int32_t(OptionFlag::QuietMode);
    this->core.run.CmdLineQuiet = true;
    ASSERT_TRUE(this->convert());
    EXPECT_EQ(this->core.window.messageBoxes.size(), 1);
    EXPECT_EQ(this->core.logTexts().count(u"component trouble"_s), 3);
}

TYPED_TEST(FeedConvertersTest, HistoricalFetchNeverReadsTheCache)
{
    FakeFeed::Servers servers;
    this->script().historical =
        FakeFeed::sampleMonth(*LocalDateTime::fromParts(2008, 2, 15), 29, u"2008-03-15 00:10:00"_s);
    this->month.AnniversaryDate = *LocalDateTime::fromParts(2008, 2, 1);
    ASSERT_TRUE(this->convert(true, true));
    EXPECT_FALSE(this->call().fromCache);
    EXPECT_TRUE(this->call().historical);
    EXPECT_EQ(this->call().historicalDate, *LocalDateTime::fromParts(2008, 2, 1));
    // The record is the month the feed gave: it begins on its first listed day.
    EXPECT_EQ(this->month.AnniversaryDate, *LocalDateTime::fromParts(2008, 2, 15));
    EXPECT_EQ(this->month.LastUpdate, u"2008-03-15 00:10:00"_s);
    EXPECT_TRUE(
        this->core.logTexts().contains(this->name() + u"2qoMonth: retrieving historical data from "_s + this->name()));
}

TYPED_TEST(FeedConvertersTest, CachedRequestIsPassedOn)
{
    FakeFeed::Servers servers;
    ASSERT_TRUE(this->convert(true));
    EXPECT_TRUE(this->call().fromCache);
    EXPECT_TRUE(this->core.logTexts().contains(u"successfully retrieved cached data"_s));
}

TYPED_TEST(FeedConvertersTest, AComponentServingItsCacheDoesNotChangeTheCallersWords)
{
    FakeFeed::Servers servers;
    this->script().setsFromCache = true;
    ASSERT_TRUE(this->convert(false));
    EXPECT_TRUE(this->core.logTexts().contains(u"successfully retrieved live data"_s));
}

TYPED_TEST(FeedConvertersTest, ProxyOnlyWhenSwitchedOn)
{
    FakeFeed::Servers servers;
    this->core.settings.Proxy = u"proxy.example:3128"_s;
    this->core.settings.ProxyUID = u"pu"_s;
    this->core.settings.ProxyPWD = u"pp"_s;
    this->core.settings.UseProxy = false;
    ASSERT_TRUE(this->convert());
    EXPECT_EQ(this->call().proxy, QString());
    EXPECT_EQ(this->call().proxyUID, QString());
    EXPECT_EQ(this->call().proxyPWD, QString());

    this->core.settings.UseProxy = true;
    ASSERT_TRUE(this->convert());
    EXPECT_EQ(this->call().proxy, u"proxy.example:3128"_s);
    EXPECT_EQ(this->call().proxyUID, u"pu"_s);
    EXPECT_EQ(this->call().proxyPWD, u"pp"_s);
}

TYPED_TEST(FeedConvertersTest, AFailedRetrievalHandsBackTheComponentsTexts)
{
    FakeFeed::Servers servers;
    this->script().retrieveResult = false;
    this->script().lastError = u"Retrieval error: timeout"_s;
    this->script().lastErrorDetail = this->name() + u".RetrieveData: Retrieval error:"_s + CRLF + u"timed out"_s;
    this->month.LastUpdate = u"kept"_s;
    EXPECT_FALSE(this->convert());
    EXPECT_EQ(this->error, u"Retrieval error: timeout"_s);
    EXPECT_EQ(this->detail, this->script().lastErrorDetail);
    EXPECT_EQ(this->month.LastUpdate, u"kept"_s);
    EXPECT_FALSE(TypeParam::slotFilled(this->components));
    EXPECT_EQ(servers.liveObjects(), 0);
    // The caller logs both texts; the converter stops after its announcement.
    EXPECT_FALSE(this->core.logTexts().contains(u"successfully retrieved live data"_s));
}

TYPED_TEST(FeedConvertersTest, NoDaysIsARunTimeFailure)
{
    FakeFeed::Servers servers;
    this->script().current.arrayDailyDates = QList<LocalDateTime>();
    this->month.LastUpdate = u"kept"_s;
    EXPECT_FALSE(this->convert());
    EXPECT_EQ(this->detail, this->name() + u"2qoMonth failed:"_s + CRLF + u"[9] Subscript out of range"_s);
    EXPECT_EQ(this->error, u"Subscript out of range"_s);
    EXPECT_EQ(this->month.LastUpdate, u"kept"_s);
    EXPECT_FALSE(TypeParam::slotFilled(this->components));
    EXPECT_EQ(servers.liveObjects(), 0);

    // No array at all fails the same way.
    this->script().current.arrayDailyDates.reset();
    EXPECT_FALSE(this->convert());
    EXPECT_EQ(this->error, u"Subscript out of range"_s);
}

// The month is the one, by the reset day, that holds most of the listed days, whatever day the list
// begins on and whatever the last update says; without a usable reset day it runs a calendar month
// from the first listed day.
TYPED_TEST(FeedConvertersTest, TheResetDayBoundsTheMonthNotTheFirstListedDay)
{
    FakeFeed::Servers servers;
    const auto day = [](int month, int dayOfMonth) { return *LocalDateTime::fromParts(2008, month, dayOfMonth); };
    const struct
    {
        int16_t resetDay;
        QString lastUpdate;
        LocalDateTime first;
        int16_t kept;
        qsizetype days;
    } cases[] = {
        {10, u"2008-03-20 10:45:00"_s, day(3, 10), 10, 6}, // listed from the 15th: the month still starts on the 10th
        {17, u"2008-03-20 10:45:00"_s, day(3, 17), 17, 4}, // the 15th and 16th belong to the month before
        {31, u"2008-03-20 10:45:00"_s, day(2, 29), 31, 6}, // a leap February's last day for a reset on the 31st
        {0, u"2008-03-20 10:45:00"_s, day(3, 15), 0, 6},   {32, u"2008-03-20 10:45:00"_s, day(3, 15), 0, 6},
        {-1, u"2008-03-20 10:45:00"_s, day(3, 15), 0, 6},  {10, u"unknown"_s, day(3, 10), 10, 6},
        {18, u"2008-03-20 10:45:00"_s, day(3, 18), 18, 3}, // as many days either side: the later month
    };
    for (const auto& c : cases) {
        this->script().current = FakeFeed::sampleMonth(FirstDay, 6, c.lastUpdate);
        this->script().current.intAnniversaryDate = c.resetDay;
        ASSERT_TRUE(this->convert()) << this->detail.toStdString();
        EXPECT_EQ(this->month.AnniversaryDate, c.first) << c.resetDay;
        EXPECT_EQ(this->month.ResetDay, c.kept) << c.resetDay;
        EXPECT_EQ(this->month.DailyDates.size(), c.days) << c.resetDay;
    }
    EXPECT_TRUE(this->core.logTexts().contains(this->name() + u"2qoMonth: dropping 2008-03-16, which lies outside "
                                                              u"the month from 2008-03-17 to 2008-04-16"_s));

    // Not one listed day in the month asked for: as good as no days, the month kept.
    this->script().historical = FakeFeed::sampleMonth(FirstDay, 6, u"2008-04-02 08:00:00"_s);
    this->script().historical.intAnniversaryDate = 1;
    this->month.AnniversaryDate = day(2, 1);
    const qoMonth before = this->month;
    EXPECT_FALSE(this->convert(false, true));
    EXPECT_EQ(this->error, u"Subscript out of range"_s);
    EXPECT_EQ(this->month, before);
}

TYPED_TEST(FeedConvertersTest, AMissingComponentIsReportedNotThrown)
{
    FakeFeed::Servers servers = TypeParam::servers(false);
    EXPECT_FALSE(this->convert());
    EXPECT_EQ(this->error, u"Can't create object"_s);
    EXPECT_EQ(this->detail, this->name() + u"2qoMonth failed:"_s + CRLF + u"[429] Can't create object"_s);
    EXPECT_FALSE(TypeParam::slotFilled(this->components));
}

TYPED_TEST(FeedConvertersTest, AProfileTheComponentRefusesFailsTheCall)
{
    FakeFeed::Servers servers;
    this->core.run.ProfileNumber = 25;
    EXPECT_FALSE(this->convert());
    EXPECT_EQ(this->detail, this->name() + u"2qoMonth failed:"_s + CRLF + u"[380] Invalid property value"_s);
    EXPECT_TRUE(this->script().calls.isEmpty());
    EXPECT_EQ(servers.liveObjects(), 0);
}

TEST(FeedComponents, CacheTestUsesAFreshObjectOfTheChosenComponent)
{
    FakeFeed::reset();
    FakeFeed::Servers servers;
    CoreTestContext core(u"CacheTest"_s);
    FeedComponents components(core.log, core.clock);
    FakeFeed::sarnick().cacheExpired = false;
    EXPECT_FALSE(components.CacheExpired(false, u"fred"_s));
    EXPECT_TRUE(components.CacheExpired(true, u"fred"_s));
    EXPECT_EQ(FakeFeed::sarnick().cacheExpiredUsers, QStringList{u"fred"_s});
    EXPECT_EQ(FakeFeed::pelborne().cacheExpiredUsers, QStringList{u"fred"_s});
    EXPECT_FALSE(components.hasJSON());
    EXPECT_FALSE(components.hasXML());
    EXPECT_EQ(servers.liveObjects(), 0);
}
