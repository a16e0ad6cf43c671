// SPDX-License-Identifier: MIT
// Every reset day over five years of calendar months (two leap Februaries among them): the month the
// provider lists, from the reset date to the day before the next, comes through the converter whole
// and the month calculations, the time to reset and the history's reading of the stored first days
// all see the same bounds.
#include "BillingMonth.h"
#include "CoreTestContext.h"
#include "FakeFeed.h"
#include "FeedComponents.h"
#include "FeedConverters.h"
#include "MonthCalcs.h"
#include "MonthDisplay.h"
#include "RegistryHive.h"
#include "qoMonth.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The reset date of a calendar month, worked out here from the calendar alone.
QDate resetDate(int resetDay, QDate anyDayOfMonth)
{
    const QDate first(anyDayOfMonth.year(), anyDayOfMonth.month(), 1);
    return first.addDays(std::min(resetDay, first.daysInMonth()) - 1);
}

LocalDateTime at(QDate date, int hour = 0)
{
    return LocalDateTime::fromDate(date, QTime(hour, 0));
}

class BillingMonthSweep : public ::testing::Test
{
protected:
    BillingMonthSweep()
    {
        FakeFeed::reset();
        core.settings.Username = u"fred"_s;
        core.settings.Password = u"pass"_s;
        // Thousands of conversions: the file log would only slow them down.
        QString error;
        core.registry.WriteRegWordValue(HKEY_CURRENT_USER, core.app.appKey(), u"debug"_s, 0, error);
    }

    // The provider's month from first to last, as the reply lists it, with its reset day.
    static FakeFeed::Month listed(QDate first, QDate last, int resetDay, const LocalDateTime& lastUpdate)
    {
        FakeFeed::Month month = FakeFeed::sampleMonth(at(first), int(first.daysTo(last)) + 1, lastUpdate.toString());
        month.intAnniversaryDate = int16_t(resetDay);
        month.sngQuotaOffpeak = 0; // one anytime quota: the share gone is the share of the month's time
        return month;
    }

    qoMonth convert(bool historical, const LocalDateTime& asked = {})
    {
        qoMonth month;
        month.AnniversaryDate = asked;
        QString error;
        QString detail;
        EXPECT_TRUE(converters.Pelborne2qoMonth(false, month, historical, error, detail)) << detail.toStdString();
        return month;
    }

    qoMonth calculated(qoMonth month, const LocalDateTime& now)
    {
        core.clock.set(now);
        QString error;
        EXPECT_TRUE(calcs.qoMonthCalcs(month, error)) << error.toStdString();
        return month;
    }

    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    FeedComponents components{core.settings, core.run, core.log, core.clock};
    FeedConverters converters{core.settings, core.run, core.log, components};
    MonthCalcs calcs{core.app, core.registry, core.log, core.settings, core.run, core.clock};
};

} // namespace

TEST_F(BillingMonthSweep, EveryResetDayKeepsEveryListedDayAndTheSameBoundsEverywhere)
{
    FakeFeed::Servers servers;
    FakeFeed::Script& script = FakeFeed::pelborne();
    const QDate sweepStart(2024, 1, 1); // to December 2028: Februaries of 2024 and 2028 have 29 days
    for (int resetDay = 1; resetDay <= 31; ++resetDay) {
        for (int m = 0; m < 60; ++m) {
            const QDate month = sweepStart.addMonths(m);
            const QDate first = resetDate(resetDay, month);
            const QDate next = resetDate(resetDay, month.addMonths(1));
            const QDate last = next.addDays(-1);
            const int days = int(first.daysTo(next));
            SCOPED_TRACE(
                QString(u"reset day %1, month from %2"_s.arg(resetDay).arg(first.toString(Qt::ISODate))).toStdString());

            // The current month, refreshed at noon on its first and on its last day.
            for (const QDate& updated : {first, last}) {
                script.current = listed(first, last, resetDay, at(updated, 12));
                const qoMonth converted = convert(false);
                ASSERT_EQ(converted.DailyDates, *script.current.arrayDailyDates);
                EXPECT_EQ(converted.TotalPeak, script.current.sngUsedPeak);
                EXPECT_EQ(converted.AnniversaryDate, at(first));
                EXPECT_EQ(converted.ResetDay, resetDay);
                EXPECT_EQ(BillingMonth::of(converted).next, at(next));
                EXPECT_EQ(BillingMonth::keyOf(converted), at(first));

                const qoMonth figures = calculated(converted, at(updated, 12));
                const double gone = (first.daysTo(updated) + 0.5) / days * 100;
                EXPECT_NEAR(figures.ElapsedPeak, gone, 1e-4);
                EXPECT_EQ(MonthDisplay::NextResetDate(converted, at(updated, 12)), at(next));
            }

            // A provider a day ahead lists the first day at 23:30 the evening before; one a day behind
            // still lists the whole month at 00:30 on the next one's first day. One quota, then two.
            for (const bool ahead : {true, false}) {
                const LocalDateTime clock = ahead ? at(first).addSeconds(-1800) : at(next).addSeconds(1800);
                script.current = listed(first, ahead ? first : last, resetDay, clock);
                qoMonth converted = convert(false);
                ASSERT_EQ(converted.DailyDates, *script.current.arrayDailyDates);
                EXPECT_EQ(BillingMonth::of(converted), (BillingMonth{at(first), at(next), int16_t(resetDay)}));
                for (const float offpeakQuota : {0.0f, 40000.0f}) {
                    converted.OffPeakQuota = offpeakQuota;
                    const qoMonth figures = calculated(converted, clock);
                    EXPECT_EQ(figures.ElapsedPeak, ahead ? 0 : 100);
                    EXPECT_EQ(figures.ElapsedOffpeak, ahead ? 0 : 100);
                    EXPECT_FLOAT_EQ(figures.AvgRemainingPeak, ahead ? figures.PeakQuotaLeft / float(days) : 0);
                }
            }

            // The same month back-filled: asked for by its calendar month.
            script.historical = listed(first, last, resetDay, at(next, 1));
            const qoMonth past = convert(true, at(QDate(first.year(), first.month(), 1)));
            ASSERT_EQ(past.DailyDates, *script.historical.arrayDailyDates);
            EXPECT_EQ(past.AnniversaryDate, at(first));
            EXPECT_EQ(BillingMonth::of(past).previous().next, at(first));
            const qoMonth pastFigures = calculated(past, at(next, 1));
            EXPECT_EQ(pastFigures.ElapsedPeak, 100);
            EXPECT_FLOAT_EQ(pastFigures.AvgOffpeak, past.TotalOffpeak / float(days));

            // Stored without its reset day: either neighbouring month's first day tells the history
            // where the month ends.
            const LocalDateTime before = at(resetDate(resetDay, month.addMonths(-1)));
            for (const auto& [previous, following] :
                 {std::pair{std::optional(before), std::optional(at(next))},
                  std::pair{std::optional(before), std::optional<LocalDateTime>()},
                  std::pair{std::optional<LocalDateTime>(), std::optional(at(next))}}) {
                const int16_t implied = BillingMonth::impliedResetDay(at(first), previous, following);
                EXPECT_EQ(BillingMonth::from(at(first), implied).next, at(next));
            }
        }
    }
}
