// SPDX-License-Identifier: MIT
// Every reset day over five years of calendar months (two leap Februaries among them): the month the
// provider lists, from the reset date to the day before the next, comes through the converter whole,
// also with the provider's date a day either side of the computer's, and the month calculations and the
// time to reset see the same bounds, also while the computer's clock is before or after them; stored and
// read back, it keeps its days and bounds.
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

// One reset day each.
class BillingMonthSweep : public ::testing::TestWithParam<int>
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

    // The provider's month from first to last, as the reply lists it, with its reset day (0: the sweep's).
    FakeFeed::Month listed(QDate first, QDate last, const LocalDateTime& lastUpdate, int reset = 0) const
    {
        FakeFeed::Month month = FakeFeed::sampleMonth(at(first), int(first.daysTo(last)) + 1, lastUpdate.toString());
        month.intAnniversaryDate = int16_t(reset > 0 ? reset : resetDay);
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

    // The current month from first, listed up to the provider's date listedTo and fetched at now: every
    // listed day kept, in the month from first to the day before next.
    qoMonth refreshed(QDate first, QDate listedTo, QDate next, const LocalDateTime& now)
    {
        script.current = listed(first, listedTo, now);
        const qoMonth month = convert(false);
        EXPECT_EQ(month.DailyDates, *script.current.arrayDailyDates);
        EXPECT_EQ(month.TotalPeak, script.current.sngUsedPeak);
        EXPECT_EQ(BillingMonth::of(month), (BillingMonth{at(first), at(next), int16_t(resetDay)}));
        return month;
    }

    // The month that begins in a calendar month, back-filled: asked for by that calendar month, every
    // day listed.
    qoMonth backFilled(QDate month, int reset = 0)
    {
        reset = reset > 0 ? reset : resetDay;
        const QDate next = resetDate(reset, month.addMonths(1));
        script.historical = listed(resetDate(reset, month), next.addDays(-1), at(next, 1), reset);
        return convert(true, at(QDate(month.year(), month.month(), 1)));
    }

    qoMonth calculated(qoMonth month, const LocalDateTime& now)
    {
        core.clock.set(now);
        QString error;
        EXPECT_TRUE(calcs.qoMonthCalcs(month, error)) << error.toStdString();
        return month;
    }

    const int resetDay = GetParam();
    FakeFeed::Servers servers;
    FakeFeed::Script& script = FakeFeed::pelborne();
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    FeedComponents components{core.log, core.clock};
    FeedConverters converters{core.settings, core.run, core.log, components};
    MonthCalcs calcs{core.app, core.registry, core.log, core.settings, core.run, core.clock};
};

} // namespace

TEST_P(BillingMonthSweep, EveryMonthKeepsEveryListedDayAndTheSameBoundsEverywhere)
{
    const QDate sweepStart(2024, 1, 1); // to December 2028: Februaries of 2024 and 2028 have 29 days
    for (int m = 0; m < 60; ++m) {
        const QDate month = sweepStart.addMonths(m);
        const QDate first = resetDate(resetDay, month);
        const QDate next = resetDate(resetDay, month.addMonths(1));
        const QDate last = next.addDays(-1);
        const int days = int(first.daysTo(next));
        SCOPED_TRACE(u"month from %1"_s.arg(first.toString(Qt::ISODate)).toStdString());

        // The current month, refreshed at noon on its first and on its last day.
        for (const QDate& updated : {first, last}) {
            const qoMonth figures = calculated(refreshed(first, updated, next, at(updated, 12)), at(updated, 12));
            const double gone = (first.daysTo(updated) + 0.5) / days * 100;
            EXPECT_NEAR(figures.ElapsedPeak, gone, 1e-4);
            EXPECT_EQ(MonthDisplay::NextResetDate(figures, at(updated, 12)), at(next));
        }

        // A provider a day ahead lists the first day at 23:30 and at 01:30 the day before; one a day
        // behind still lists the whole month at 00:30 on the next one's first day. One quota, then two.
        for (const LocalDateTime& clock :
             {at(first).addSeconds(-1800), at(first).addSeconds(-81000), at(next).addSeconds(1800)}) {
            const bool ahead = clock < at(first);
            qoMonth converted = refreshed(first, ahead ? first : last, next, clock);
            for (const float offpeakQuota : {0.0f, 40000.0f}) {
                converted.OffPeakQuota = offpeakQuota;
                const qoMonth figures = calculated(converted, clock);
                EXPECT_EQ(figures.ElapsedPeak, ahead ? 0 : 100);
                EXPECT_EQ(figures.ElapsedOffpeak, ahead ? 0 : 100);
                EXPECT_FLOAT_EQ(figures.AvgRemainingPeak, ahead ? figures.PeakQuotaLeft / float(days) : 0);
            }
            // The reset is counted to the end of the month shown, and is due once that has passed.
            EXPECT_EQ(MonthDisplay::NextResetDate(converted, clock), ahead ? at(next) : clock);
        }

        // The same month back-filled.
        const qoMonth past = backFilled(month);
        ASSERT_EQ(past.DailyDates, *script.historical.arrayDailyDates);
        EXPECT_EQ(past.AnniversaryDate, at(first));
        EXPECT_EQ(BillingMonth::of(past).previous().next, at(first));
        const qoMonth pastFigures = calculated(past, at(next, 1));
        EXPECT_EQ(pastFigures.ElapsedPeak, 100);
        EXPECT_FLOAT_EQ(pastFigures.AvgOffpeak, past.TotalOffpeak / float(days));
    }
}

// Stored as the program stores them (the first as the current month, with the account's reset day,
// the rest back-filled), then read back as the next start and the monthly chart read them: each month
// as the newest stored, then among the rest. Every month; and every other one (even months for two
// years, then odd ones: every calendar month among them, each followed by a missing one) in an older
// database that keeps no reset day, until the current month is stored again.
TEST_P(BillingMonthSweep, EveryStoredMonthReadsBackWithTheDaysAndBoundsItHadLive)
{
    QList<qoMonth> months;
    QList<qsizetype> every;
    QList<qsizetype> gaps;
    for (QDate month(2024, 1, 1); month.year() < 2028; month = month.addMonths(1)) {
        every.append(months.size());
        if ((months.size() % 2 == 0) == (month.year() < 2026))
            gaps.append(months.size());
        months.append(backFilled(month));
    }
    modSQL history{core.app, core.settings, core.run, core.log};
    QString error;
    const auto store = [&](qsizetype i, bool current) {
        EXPECT_TRUE(history.qoMonth2SQL(months.at(i), !current, error)) << error.toStdString();
    };
    const auto readsBack = [&](qsizetype i, bool kept, bool nextStored) {
        const qoMonth& live = months.at(i);
        const QDate first = live.AnniversaryDate.date();
        SCOPED_TRACE(first.toString(Qt::ISODate).toStdString() + (kept ? ", reset day kept" : "") +
                     (nextStored ? ", next month stored" : ""));
        qoMonth read;
        ASSERT_TRUE(history.SQL2qoMonth(live.AnniversaryDate, read, error)) << error.toStdString();
        EXPECT_EQ(read.DailyDates, live.DailyDates);
        EXPECT_EQ(read.TotalPeak, live.TotalPeak);
        // Nothing else tells where a month from the last day of a short month ends: as late as it can.
        const bool open = !kept && !nextStored && first.day() == first.daysInMonth();
        EXPECT_EQ(BillingMonth::of(read), BillingMonth::from(at(first), int16_t(open ? 31 : resetDay)));
    };
    for (const bool older : {false, true}) {
        const QList<qsizetype>& stored = older ? gaps : every;
        core.settings.Username = older ? u"older"_s : u"every"_s;
        ASSERT_TRUE(history.CheckSQLDatabase(error)) << error.toStdString();
        const auto forgetResetDay = [&] {
            LiteConnection conn;
            conn.Open(history.DatabaseFile());
            conn.Execute(u"delete from Config where id='ResetDay'"_s);
        };
        for (const qsizetype i : stored) {
            store(i, i == stored.first());
            if (older && i == stored.first())
                forgetResetDay();
            readsBack(i, !older, false);
        }
        MonthlyTotals totals;
        ASSERT_TRUE(history.SQLGetMonthlyTotals(totals, error)) << error.toStdString();
        ASSERT_EQ(totals.Totals.size(), stored.size());
        for (qsizetype n = 0; n < stored.size(); ++n)
            EXPECT_EQ(totals.Totals.at(n).Peak, months.at(stored.at(stored.size() - 1 - n)).TotalPeak);
        const auto readAll = [&](bool kept) {
            for (qsizetype n = 0; n < stored.size(); ++n)
                readsBack(stored.at(n), kept, n + 1 < stored.size() && stored.at(n + 1) == stored.at(n) + 1);
        };
        readAll(!older);
        if (older)
            store(stored.last(), true);
        else
            forgetResetDay();
        readAll(older);
    }
}

// The account moves its reset day a day earlier as the next month begins or a month later (the month
// between never stored): the first month reads back, and is totalled for the monthly chart, with every
// day stored before the next one begins.
TEST_P(BillingMonthSweep, AStoredMonthKeepsItsDaysWhenTheResetDayMovesEarlier)
{
    modSQL history{core.app, core.settings, core.run, core.log};
    QString error;
    for (QDate month(2024, 1, 1); resetDay > 1 && month < QDate(2025, 3, 1); month = month.addMonths(1)) {
        for (const int gap : {0, 1}) {
            const qoMonth before = backFilled(month);
            const qoMonth after = backFilled(month.addMonths(1 + gap), resetDay - 1);
            core.settings.Username = month.toString(u"yyyyMM"_s) + QString::number(gap);
            qoMonth read;
            MonthlyTotals totals;
            ASSERT_TRUE(history.CheckSQLDatabase(error) && history.qoMonth2SQL(before, false, error) &&
                        history.qoMonth2SQL(after, false, error) &&
                        history.SQL2qoMonth(before.AnniversaryDate, read, error) &&
                        history.SQLGetMonthlyTotals(totals, error))
                << error.toStdString();
            QList<LocalDateTime> days = before.DailyDates;
            days.removeIf([&](const LocalDateTime& day) { return day >= after.AnniversaryDate; });
            EXPECT_EQ(read.DailyDates, days) << core.settings.Username.toStdString();
            EXPECT_TRUE(BillingMonth::of(read).contains(days.last()));
            EXPECT_EQ(totals.Totals.value(1).Peak, read.TotalPeak);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ResetDays, BillingMonthSweep, ::testing::Range(1, 32));
