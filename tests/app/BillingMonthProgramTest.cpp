// SPDX-License-Identifier: MIT
// The program's run-once refresh against the fake provider, with the clock of the day the provider's
// month is about: a month that starts on a day a short month clamped keeps every day the provider
// lists, and a stray day of the month before is dropped with its line instead of moving the month.
// The database, the CSV, data.xml and the next start's read-back all hold the same month, also when
// the provider's own date is a day off the computer's across the reset, and when no month is stored
// beside it. Refreshes walking across the reset leave the month before as the provider finished it.
#include "BillingMonth.h"
#include "FakeProvider.h"
#include "MonthDescription.h"
#include "MonthJsonRenderer.h"
#include "MonthXmlRenderer.h"
#include "ProgramExit.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "TallyProgram.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QXmlStreamReader>

#include <algorithm>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {
const QString Config = u"Software\\Tallymeter\\Config"_s;

enum class Feed { Json, Xml };

struct BillingCase
{
    const char* name;
    Feed feed;
    int resetDay;
    LocalDateTime now;   // the refresh; the provider lists the month up to this day
    QDate first;         // the month's first day, its key
    QDate stray;         // a day of the month before, listed in the middle; invalid: none
    QDate previousFirst; // the back-filled month, from here to the day before first
    // Not 0: the provider itself lists its months, its date this many days off now's.
    int providerDayOffset = 0;
    bool previousFails = false; // the provider fails the back-fill, so the month is stored alone
    // A walk across the edge: refreshes this many hours off now (the last at now), the provider's
    // clock this many hours off the computer's.
    int providerHours = 0;
    QList<int> walk{};
};

void PrintTo(const BillingCase& c, std::ostream* out)
{
    *out << c.name;
}

QString component(Feed feed)
{
    return feed == Feed::Json ? u"Pelborne"_s : u"Sarnick"_s;
}

class BillingMonthProgram : public ::testing::TestWithParam<BillingCase>
{
protected:
    BillingMonthProgram()
    {
        const BillingCase& c = GetParam();
        provider.setToday(c.now.date());
        EXPECT_TRUE(provider.start());
        QString error;
        registry.WriteRegWordValue(HKEY_CURRENT_USER, u"Software\\Tallymeter"_s, u"debug"_s, 10, error);
        registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"DisableEncryption"_s, 1, error);
        registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"Options"_s, 0x1bbec, error); // history, CSV, XML
        registry.WriteRegStringValue(HKEY_CURRENT_USER, Config, u"Username"_s, u"alice"_s, error);
        registry.WriteRegStringValue(HKEY_CURRENT_USER, Config, u"Password"_s, u"sunshine 42"_s, error);
        registry.WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Pelborne\\Config"_s, u"ToolboxURL"_s,
                                     provider.baseUrl(), error);
        if (c.feed == Feed::Xml) {
            registry.WriteRegWordValue(HKEY_CURRENT_USER, Config, u"UseJSONFeed"_s, 0, error);
            registry.WriteRegStringValue(
                HKEY_CURRENT_USER, u"Software\\Tallymeter"_s, u"URLXMLUsage"_s,
                provider.baseUrl() + u"/cgi-bin/new/volume_usage_xml.cgi?username=qoUID&action=login&password=qoPWD"_s,
                error);
        }
    }

    // The provider answers the month asked for and the current month with these.
    void serve(const MonthDescription& current, const MonthDescription& previous)
    {
        const bool json = GetParam().feed == Feed::Json;
        const auto rule = [&](const QString& query, const MonthDescription& month) {
            FakeProvider::Rule r;
            r.path = json ? u"/cgi-bin/api.cgi"_s : u"/cgi-bin/new/volume_usage_xml.cgi"_s;
            r.queryContains = query;
            r.body = json ? MonthJsonRenderer::usage(month, false) : MonthXmlRenderer::usage(month);
            provider.addRule(r);
        };
        const QString period = u"period="_s + GetParam().previousFirst.toString(u"yyyyMM"_s);
        if (GetParam().previousFails)
            provider.addRule({.queryContains = period, .status = 500});
        else
            rule(period, previous);
        rule(json ? u"_TOKEN=alice-"_s : u"username=alice"_s, current);
    }

    // One run of the program's main routine, run-once and hidden, as `tallymeter /H` does it.
    std::optional<int> runHidden()
    {
        program = std::make_unique<TallyProgram>(QStringList{u"/H"_s}, TestEnvironment::home(), clock);
        const std::optional<int> status = program->Main();
        // The run-once mode ends by asking the application to quit: take that back for the next run.
        ProgramExit::reset();
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        return status;
    }

    QString dataDir() const { return program->run().DataDir; }
    QString file(const QString& name) const
    {
        return QString::fromUtf8(TestEnvironment::readFile(dataDir() + u'/' + name));
    }
    QString log() const { return file(u"debug.log"_s); }
    // A query's text that ends comparing with the first day of the month before, in date order.
    QByteArray since(const char* sql) const
    {
        return sql + GetParam().previousFirst.toString(Qt::ISODate).toLatin1() + "' order by 1";
    }

    // Rows of a query on the account's database, values joined by "|".
    QStringList rows(const char* sql) const
    {
        QStringList result;
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(dataDir() + u"/alice.sl3"_s).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr) == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
                while (sqlite3_step(statement) == SQLITE_ROW) {
                    QStringList values;
                    for (int i = 0; i < sqlite3_column_count(statement); ++i)
                        values.append(
                            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i))));
                    result.append(values.join(u'|'));
                }
            }
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return result;
    }

    // The CSV export's day lines and its totals line.
    struct Csv
    {
        QStringList dates;
        QStringList totals;
    };
    Csv csv() const
    {
        QStringList lines =
            file(GetParam().first.toString(u"yyyyMM"_s) + u".csv"_s).split(u"\r\n"_s, Qt::SkipEmptyParts);
        Csv result;
        if (lines.size() < 2)
            return result;
        result.totals = lines.takeLast().split(u", "_s);
        lines.removeFirst();
        for (const QString& line : std::as_const(lines))
            result.dates.append(line.section(u", "_s, 0, 0));
        return result;
    }

    // A field of data.xml's one row, as an XML reader finds it; empty when the file does not read whole.
    QString xmlField(const QString& field) const
    {
        QXmlStreamReader xml(file(u"data.xml"_s));
        QString value;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"row"_s)
                value = xml.attributes().value(field).toString();
        }
        return xml.hasError() ? QString() : value;
    }

    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
    SystemRegistry registry;
    FixedClock clock{GetParam().now};
    std::unique_ptr<TallyProgram> program;
};

QStringList datesFrom(QDate first, QDate last)
{
    QStringList dates;
    for (QDate day = first; day <= last; day = day.addDays(1))
        dates.append(day.toString(Qt::ISODate));
    return dates;
}

} // namespace

TEST_P(BillingMonthProgram, KeepsEveryDayOfTheMonthAndOnlyThoseFromEverySource)
{
    const BillingCase& c = GetParam();
    ASSERT_NE(provider.port(), 0);
    QString error;
    const std::optional<MonthDescription> account = MonthDescription::fromJson(
        provider.fixture(u"accounts/alice/usage-template.json"_s), c.now.date(), c.now.date(), &error);
    ASSERT_TRUE(account) << error.toStdString();
    MonthDescription current = account->billingMonth(c.resetDay, c.first, c.now.date());
    const MonthDescription previous = account->billingMonth(c.resetDay, c.previousFirst, c.first.addDays(-1));
    if (c.stray.isValid()) {
        MonthDescription::Day stray = current.days.first();
        stray.date = c.stray;
        stray.values.first().second = 987650000; // no figure of the month before reads like it
        current.days.insert(current.days.size() / 2, stray);
    }
    if (c.providerDayOffset == 0 && c.walk.isEmpty())
        serve(current, previous);
    else
        provider.setCalendar(u"alice"_s, {c.resetDay, c.providerDayOffset});

    QStringList lastDay; // the month before's last day after each refresh
    for (const int hours : c.walk.isEmpty() ? QList<int>{0} : c.walk) {
        clock.set(c.now.addHours(hours));
        const LocalDateTime providers = clock.now().addHours(c.providerHours);
        provider.setNow(QDateTime(providers.date(), providers.time()));
        ASSERT_EQ(runHidden(), TallyProgram::Ok) << log().toStdString();
        lastDay += rows(QByteArray("select Peak from DailyData where Date='" +
                                   c.first.addDays(-1).toString(Qt::ISODate).toLatin1() + "'")
                            .constData());
    }
    const QStringList listed = datesFrom(c.first, c.now.addHours(c.providerHours).date().addDays(c.providerDayOffset));
    const QString first = c.first.toString(Qt::ISODate);
    const QString said = log();
    if (c.stray.isValid()) {
        const QDate nextMonth = QDate(c.first.year(), c.first.month(), 1).addMonths(1);
        const QDate last = nextMonth.addDays(std::min(c.resetDay, nextMonth.daysInMonth()) - 2);
        const QString dropped = u"[2] "_s + component(c.feed) + u"2qoMonth: dropping "_s +
                                c.stray.toString(Qt::ISODate) + u", which lies outside the month from "_s + first +
                                u" to "_s + last.toString(Qt::ISODate);
        EXPECT_EQ(said.count(dropped), 1) << said.toStdString();
    } else {
        EXPECT_FALSE(said.contains(u"2qoMonth: dropping"_s)) << said.toStdString();
    }
    // The back-fill asked for the calendar month of the month before and stored it under its reset date.
    int askedPrevious = 0;
    for (const FakeProvider::Request& request : provider.requests())
        askedPrevious +=
            QString::fromUtf8(request.rawQuery).contains(u"period="_s + c.previousFirst.toString(u"yyyyMM"_s));
    EXPECT_EQ(askedPrevious, 1); // once, however many refreshes list the month after it
    // Its last day as the provider finished it: the whole of what it had counted by the first refresh.
    if (!c.walk.isEmpty()) {
        EXPECT_NEAR(lastDay.last().toDouble() * c.now.addHours(c.walk[0] + c.providerHours).hour() / 24,
                    lastDay.first().toDouble(), 0.02);
    }

    // The months stored, each under its first day; every listed day of this one, nothing else.
    const QStringList months =
        c.previousFails ? QStringList{first} : QStringList{c.previousFirst.toString(Qt::ISODate), first};
    EXPECT_EQ(rows(since("select AnniversaryDate from MonthlyData where AnniversaryDate>='")), months);
    const QStringList stored = rows(since("select Date from DailyData where Date>='"));
    EXPECT_EQ(stored, (c.previousFails ? QStringList() : datesFrom(c.previousFirst, c.first.addDays(-1))) + listed);
    if (c.stray.isValid()) {
        // The stray day holds the figure of its own month.
        const QString strayPeak =
            rows(QString(u"select Peak from DailyData where Date='"_s + c.stray.toString(Qt::ISODate) + u'\'')
                     .toUtf8()
                     .constData())
                .value(0);
        EXPECT_NE(strayPeak.toDouble(), 987.65);
    }

    // The CSV is named after the month's first day and lists its days; its totals are theirs.
    const Csv live = csv();
    EXPECT_EQ(live.dates, listed);
    ASSERT_EQ(live.totals.value(0), u"Totals"_s);
    EXPECT_EQ(xmlField(u"AnniversaryDate"_s), QString::number(c.first.day()));
    EXPECT_NEAR(xmlField(u"TotalPeak"_s).toDouble(), live.totals.value(1).toDouble(), 0.005);

    // The next start reads the month back from the database: the same month, days and bounds.
    const qoMonth liveMonth = program->run().CurrentMonth;
    ASSERT_EQ(runHidden(), TallyProgram::Ok) << log().toStdString();
    EXPECT_TRUE(log().mid(said.size()).contains(u"retrieved cached data for alice from database"_s))
        << log().mid(said.size()).toStdString();
    const qoMonth& readBack = program->run().CurrentMonth;
    EXPECT_EQ(readBack.AnniversaryDate.date(), c.first);
    EXPECT_EQ(readBack.ResetDay, c.resetDay);
    EXPECT_EQ(BillingMonth::of(readBack), BillingMonth::of(liveMonth));
    EXPECT_EQ(readBack.ElapsedPeak, liveMonth.ElapsedPeak);
    EXPECT_EQ(readBack.DailyDates.size(), listed.size());
    EXPECT_EQ(rows(since("select AnniversaryDate from MonthlyData where AnniversaryDate>='")), months);
    const Csv again = csv();
    EXPECT_EQ(again.dates, listed);
    ASSERT_EQ(again.totals.size(), live.totals.size());
    for (qsizetype i = 1; i < live.totals.size(); ++i)
        EXPECT_NEAR(again.totals[i].toDouble(), live.totals[i].toDouble(), 0.005 * double(listed.size()));
    EXPECT_EQ(xmlField(u"AnniversaryDate"_s), QString::number(c.first.day()));
}

INSTANTIATE_TEST_SUITE_P(
    Accounts, BillingMonthProgram,
    ::testing::Values(
        // Reset on the 31st: the month from 28 February runs to 30 March.
        BillingCase{"JsonClampedStart", Feed::Json, 31, *LocalDateTime::fromParts(2025, 3, 30, 12), QDate(2025, 2, 28),
                    QDate(), QDate(2025, 1, 31)},
        BillingCase{"XmlClampedStart", Feed::Xml, 31, *LocalDateTime::fromParts(2025, 3, 30, 12), QDate(2025, 2, 28),
                    QDate(), QDate(2025, 1, 31)},
        // A leap February: reset on the 30th, the month from 29 February runs to 29 March.
        BillingCase{"JsonLeapClampedStart", Feed::Json, 30, *LocalDateTime::fromParts(2024, 3, 29, 9),
                    QDate(2024, 2, 29), QDate(), QDate(2024, 1, 30)},
        // A day of October listed in the middle of November's days.
        BillingCase{"JsonStrayEarlierDay", Feed::Json, 1, *LocalDateTime::fromParts(2025, 11, 20, 12),
                    QDate(2025, 11, 1), QDate(2025, 10, 28), QDate(2025, 10, 1)},
        BillingCase{"XmlStrayEarlierDay", Feed::Xml, 1, *LocalDateTime::fromParts(2025, 11, 20, 12), QDate(2025, 11, 1),
                    QDate(2025, 10, 28), QDate(2025, 10, 1)},
        // Reset on the 10th. A provider a day ahead lists 10 December at 23:30 on the 9th; one a day
        // behind still lists 10 November to 9 December at 00:30 on the 10th.
        BillingCase{"JsonProviderADayAhead", Feed::Json, 10, *LocalDateTime::fromParts(2026, 12, 9, 23, 30),
                    QDate(2026, 12, 10), QDate(), QDate(2026, 11, 10), 1},
        BillingCase{"XmlProviderADayBehind", Feed::Xml, 10, *LocalDateTime::fromParts(2026, 12, 10, 0, 30),
                    QDate(2026, 11, 10), QDate(), QDate(2026, 10, 10), -1},
        // No month stored beside it, from 28 February: reset on the 31st it runs to 30 March, which
        // the first day alone does not tell; on the 28th, to 27 March, which the latest end would pass.
        BillingCase{"JsonAlone", Feed::Json, 31, *LocalDateTime::fromParts(2026, 3, 30, 12), QDate(2026, 2, 28),
                    QDate(), QDate(2026, 1, 31), 0, true},
        BillingCase{"XmlAlone", Feed::Xml, 28, *LocalDateTime::fromParts(2026, 3, 27, 12), QDate(2026, 2, 28), QDate(),
                    QDate(2026, 1, 28), 0, true},
        // Walks: the provider at 19:00 and 21:00 on the last day (the computer past midnight at the
        // second) and 01:00; at 23:00, 01:00 and 03:00 (the computer before midnight, or with it).
        BillingCase{"JsonProviderAnEveningBehind", Feed::Json, 10, *LocalDateTime::fromParts(2025, 12, 10, 5),
                    QDate(2025, 12, 10), QDate(), QDate(2025, 11, 10), 0, false, -4, QList<int>{-6, -4, 0}},
        BillingCase{"XmlProviderAnEveningAhead", Feed::Xml, 31, *LocalDateTime::fromParts(2025, 11, 29, 23),
                    QDate(2025, 11, 30), QDate(), QDate(2025, 10, 31), 0, false, 4, QList<int>{-4, -2, 0}},
        BillingCase{"JsonClocksInStep", Feed::Json, 1, *LocalDateTime::fromParts(2025, 12, 1, 3), QDate(2025, 12, 1),
                    QDate(), QDate(2025, 11, 1), 0, false, 0, QList<int>{-4, -2, 0}}),
    [](const ::testing::TestParamInfo<BillingCase>& info) { return std::string(info.param.name); });
