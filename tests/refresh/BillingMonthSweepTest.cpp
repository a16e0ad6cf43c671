// SPDX-License-Identifier: MIT
// Every reset day over five years of calendar months (two leap Februaries among them): the month the
// provider lists, from the reset date to the day before the next, comes through the converter whole
// and the month calculations and the time to reset see the same bounds; stored and read back, it keeps
// its days and bounds.
#include "BillingMonth.h"
#include "CoreTestContext.h"
#include "FakeFeed.h"
#include "FeedComponents.h"
#include "FeedConverters.h"
#include "LiteConnection.h"
#include "MonthCalcs.h"
#include "MonthDisplay.h"
#include "RegistryHive.h"
#include "modSQL.h"
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
    FeedComponents components{core.log, core.clock};
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
        }
    }
}

// Stored, then read back as the next start and the monthly chart read it: every month, then every
// other one (a missing month on either side), each read back as the newest stored and among the
// rest; again once the database keeps no reset day, as an older one.
TEST_F(BillingMonthSweep, EveryStoredMonthReadsBackWithTheDaysAndBoundsItHadLive)
{
    FakeFeed::Servers servers;
    modSQL history{core.app, core.settings, core.run, core.log};
    const auto span = [](const BillingMonth& b) {
        return QString(b.first.toDateString() + u' ' + b.last().toDateString() + u' ' + QString::number(b.resetDay))
            .toStdString();
    };
    for (int resetDay = 1; resetDay <= 31; ++resetDay) {
        QList<qoMonth> months; // as the back-fill fetches them, every day listed
        QList<qsizetype> every;
        QList<qsizetype> gaps; // even months for two years, then odd ones: every calendar month among them
        for (QDate month(2024, 1, 1); month.year() < 2028; month = month.addMonths(1)) {
            const QDate next = resetDate(resetDay, month.addMonths(1));
            FakeFeed::pelborne().historical = listed(resetDate(resetDay, month), next.addDays(-1), resetDay, at(next));
            every.append(months.size());
            if ((months.size() % 2 == 0) == (month.year() < 2026))
                gaps.append(months.size());
            months.append(convert(true, at(month)));
        }
        for (const QList<qsizetype>& stored : {every, gaps}) {
            core.settings.Username = u"sweep%1-%2"_s.arg(resetDay).arg(stored.size());
            QString error;
            ASSERT_TRUE(history.CheckSQLDatabase(error)) << error.toStdString();
            const auto readsBack = [&](qsizetype i, bool kept, bool nextStored) {
                const qoMonth& live = months.at(i);
                qoMonth read;
                ASSERT_TRUE(history.SQL2qoMonth(live.AnniversaryDate, read, error)) << error.toStdString();
                EXPECT_EQ(read.DailyDates, live.DailyDates) << span(BillingMonth::of(live));
                EXPECT_EQ(read.TotalPeak, live.TotalPeak) << span(BillingMonth::of(live));
                // Nothing else tells where a month from the last day of a short month ends: as late as it can.
                const QDate first = live.AnniversaryDate.date();
                const bool open = !kept && !nextStored && first.day() == first.daysInMonth();
                EXPECT_EQ(span(BillingMonth::of(read)), span(BillingMonth::from(at(first), open ? 31 : resetDay)))
                    << kept << nextStored;
            };
            for (const qsizetype i : stored) {
                EXPECT_TRUE(history.qoMonth2SQL(months.at(i), i > 0, error)) << error.toStdString();
                readsBack(i, true, false);
            }
            MonthlyTotals totals;
            ASSERT_TRUE(history.SQLGetMonthlyTotals(totals, error)) << error.toStdString();
            ASSERT_EQ(totals.Totals.size(), stored.size());
            for (qsizetype n = 0; n < stored.size(); ++n)
                EXPECT_EQ(totals.Totals.at(n).Peak, months.at(stored.at(stored.size() - 1 - n)).TotalPeak);
            for (const bool kept : {true, false}) {
                for (qsizetype n = 0; n < stored.size(); ++n)
                    readsBack(stored.at(n), kept, n + 1 < stored.size() && stored.at(n + 1) == stored.at(n) + 1);
                LiteConnection conn;
                conn.Open(history.DatabaseFile());
                conn.Execute(u"delete from Config where id='ResetDay'"_s);
            }
        }
    }
}
