// SPDX-License-Identifier: MIT
// Replies whose days are wrong. A day that cannot be read fails the refresh and leaves everything
// as the last good refresh left it, so the next refresh asks the provider again; a date listed twice
// or a day of the next month leaves one month of distinct days, shown, exported, stored and read
// back alike. And a plan without limits, whose quotas fit no quota and whose class names hold
// commas and quotes, keeps every class and one set of figures.
#include "FakeProvider.h"
#include "MonthDescription.h"
#include "MonthJsonRenderer.h"
#include "MonthXmlRenderer.h"
#include "RegistryStore.h"
#include "TallymeterProgram.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

enum class Feed { Json, Xml };

QString componentOf(Feed feed)
{
    return feed == Feed::Json ? u"Pelborne"_s : u"Sarnick"_s;
}

std::string feedName(const ::testing::TestParamInfo<Feed>& info)
{
    return info.param == Feed::Json ? "Json" : "Xml";
}

class DailyDataAccidents : public TallymeterProgram
{
protected:
    DailyDataAccidents() : TallymeterProgram(false)
    {
        if (server.start())
            base = server.baseUrl();
    }

    void useFeed(Feed feed)
    {
        m_feed = feed;
        writeProfile(u"sunshine 42"_s, feed == Feed::Json ? QString() : u"\"UseJSONFeed\"=dword:00000000\n"_s);
    }

    // The next request for alice's usage is answered with the month of a fixture account, as the
    // provider renders it today.
    void answerNextRequestWith(const QString& account)
    {
        const QDate today = QDate::currentDate();
        QString error;
        const std::optional<MonthDescription> month = MonthDescription::fromJson(
            server.fixture(u"accounts/"_s + account + u"/usage-template.json"_s), today, today, &error);
        ASSERT_TRUE(month) << error.toStdString();
        FakeProvider::Rule rule;
        const bool json = m_feed == Feed::Json;
        rule.path = json ? u"/cgi-bin/api.cgi"_s : u"/cgi-bin/new/volume_usage_xml.cgi"_s;
        rule.queryContains = json ? u"_TOKEN=alice-"_s : u"username=alice"_s;
        rule.body = json ? MonthJsonRenderer::usage(*month, false) : MonthXmlRenderer::usage(*month);
        rule.times = 1;
        server.addRule(rule);
        sent = rule.body;
    }

    int usageRequests() const
    {
        int n = 0;
        for (const FakeProvider::Request& request : server.requests())
            n += request.rawQuery.contains("Usage") || request.path.contains(u"volume_usage"_s) ? 1 : 0;
        return n;
    }

    QString cacheFile() const { return m_feed == Feed::Json ? u"alice-json.txt"_s : u"alice.xml"_s; }

    QString lastRefresh() const
    {
        RegistryStore store([this]() -> QString { return home + u"/config/tallymeter/registry.reg"_s; });
        const std::optional<RegistryValue> value =
            store.value(u"Software\\"_s + componentOf(m_feed) + u"\\Config"_s, u"alice"_s);
        return value ? QString::fromUtf8(value->data) : u"(missing)"_s;
    }

    // The stored peak figure of every day, by date.
    QMap<QString, double> storedPeaks() const
    {
        QMap<QString, double> peaks;
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(dataDir + u"/alice.sl3"_s).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr) == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, "select Date, Peak from DailyData", -1, &statement, nullptr) == SQLITE_OK) {
                while (sqlite3_step(statement) == SQLITE_ROW)
                    peaks.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))),
                                 sqlite3_column_double(statement, 1));
            }
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return peaks;
    }

    // This month's CSV export.
    QByteArray csvFile() const
    {
        return TestEnvironment::readFile(dataDir + u'/' + QDate::currentDate().toString(u"yyyyMM"_s) + u".csv"_s);
    }

    // This month's CSV export without its title line (the class names read back from the
    // database may be worded otherwise).
    QStringList csvLines() const
    {
        QStringList lines = QString::fromUtf8(csvFile()).split(u"\r\n"_s, Qt::SkipEmptyParts);
        if (!lines.isEmpty())
            lines.removeFirst();
        return lines;
    }

    // The month's totals in data.xml.
    QStringList xmlTotals() const
    {
        const QString xml = QString::fromUtf8(TestEnvironment::readFile(dataDir + u"/data.xml"_s));
        QStringList totals;
        for (const QString& field : {u"TotalPeak"_s, u"TotalOffpeak"_s, u"TotalFreezone"_s})
            totals.append(QRegularExpression(u' ' + field + u"='([^']*)'"_s).match(xml).captured(1));
        return totals;
    }

    FakeProvider server{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
    QByteArray sent;

private:
    Feed m_feed = Feed::Json;
};

class UnreadableDay : public DailyDataAccidents, public ::testing::WithParamInterface<Feed>
{};

TEST_P(UnreadableDay, FailsTheRefreshKeepsTheLastGoodOneAndIsAskedForAgain)
{
    ASSERT_NE(server.port(), 0);
    useFeed(GetParam());
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString() << log().toStdString();
    const QMap<QString, QByteArray> before = keptFiles();
    ASSERT_TRUE(before.contains(cacheFile())) << before.keys().join(u' ').toStdString();
    // Past the minimum interval, so the next run asks the provider.
    ageLastRefresh();
    const QString aged = lastRefresh();
    answerNextRequestWith(u"unreadableday"_s);
    int asked = usageRequests();
    qsizetype logged = log().size();

    EXPECT_EQ(run({u"/H"_s}), 1) << output.toStdString();
    EXPECT_EQ(usageRequests(), asked + 1);
    const QString said = log().mid(logged);
    const QRegularExpression failure(u"Parse error: \\[(424|13)\\] error while parsing data"_s);
    EXPECT_TRUE(said.contains(failure)) << said.toStdString();
    EXPECT_TRUE(said.contains(componentOf(GetParam()) + u".ParseDailyData: error while parsing data:"_s))
        << said.toStdString();
    EXPECT_TRUE(output.contains(failure)) << output.toStdString();
    const QMap<QString, QByteArray> after = keptFiles();
    EXPECT_EQ(after.keys(), before.keys());
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_TRUE(after.value(it.key()) == it.value()) << it.key().toStdString() << " changed";
    EXPECT_EQ(lastRefresh(), aged);

    // Right away: the failed reply is no fresh cache, so the provider is asked again (and now
    // answers well).
    asked = usageRequests();
    logged = log().size();
    EXPECT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    EXPECT_GT(usageRequests(), asked);
    EXPECT_TRUE(log().mid(logged).contains(u"retrieved live data for alice from "_s))
        << log().mid(logged).toStdString();
    EXPECT_NE(lastRefresh(), aged);
}

INSTANTIATE_TEST_SUITE_P(Feeds, UnreadableDay, ::testing::Values(Feed::Json, Feed::Xml), feedName);

struct StrayDay
{
    const char* name;
    Feed feed;
    QString account; // the fixture account whose month the provider sends
    QString note;    // the converter's line, after the date
};

void PrintTo(const StrayDay& stray, std::ostream* out)
{
    *out << stray.name;
}

class StrayDays : public DailyDataAccidents, public ::testing::WithParamInterface<StrayDay>
{};

TEST_P(StrayDays, LeaveOneMonthOfDistinctDaysShownStoredAndReadBackAlike)
{
    const StrayDay& stray = GetParam();
    ASSERT_NE(server.port(), 0);
    useFeed(stray.feed);
    answerNextRequestWith(stray.account);
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString() << log().toStdString();

    const QDate first(QDate::currentDate().year(), QDate::currentDate().month(), 1);
    const QString firstDay = first.toString(u"yyyy-MM-dd"_s);
    const QString nextMonth = first.addMonths(1).toString(u"yyyy-MM-dd"_s);
    const QString date = stray.note.startsWith(u"dropping"_s) ? nextMonth : firstDay;
    const QString line = componentOf(stray.feed) + u"2qoMonth: "_s + stray.note.arg(date);
    EXPECT_TRUE(log().contains(line)) << log().toStdString();
    EXPECT_TRUE(output.contains(line)) << output.toStdString(); // a level-2 line

    // The reply is cached as it came; the month is one row per date, the 1st as listed last.
    EXPECT_EQ(keptFiles().value(cacheFile()), sent);
    const QMap<QString, double> stored = storedPeaks();
    EXPECT_EQ(stored.value(firstDay), 35.0);
    EXPECT_FALSE(stored.contains(nextMonth));
    const QStringList csv = csvLines();
    ASSERT_GE(csv.size(), 2);
    EXPECT_EQ(csv.filter(QRegularExpression(u'^' + firstDay)).size(), 1) << csv.join(u'\n').toStdString();
    EXPECT_TRUE(csv.filter(nextMonth).isEmpty()) << csv.join(u'\n').toStdString();
    EXPECT_TRUE(csv.filter(QRegularExpression(u'^' + firstDay)).first().startsWith(firstDay + u", 35.00"_s));
    // The totals are those of the days listed.
    const QStringList totals = csv.last().split(u", "_s);
    ASSERT_EQ(totals.first(), u"Totals"_s);
    for (qsizetype column = 1; column < totals.size(); ++column) {
        double sum = 0;
        for (qsizetype row = 0; row + 1 < csv.size(); ++row)
            sum += csv[row].split(u", "_s).value(column).toDouble();
        EXPECT_NEAR(totals[column].toDouble(), sum, 0.001) << csv.join(u'\n').toStdString();
    }
    const QStringList exported = xmlTotals();
    EXPECT_NEAR(exported.first().toDouble(), totals[1].toDouble(), 0.001);

    // Right away the month comes back from the database, with the same days and totals.
    const qsizetype logged = log().size();
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    EXPECT_TRUE(log().mid(logged).contains(u"retrieved cached data for alice from database"_s))
        << log().mid(logged).toStdString();
    EXPECT_EQ(csvLines(), csv);
    EXPECT_EQ(xmlTotals(), exported);
}

const QString Twice = u"date %1 listed more than once, keeping its last entry"_s;
const QString Outside = u"dropping %1, which lies outside the month from "_s;

INSTANTIATE_TEST_SUITE_P(Accidents, StrayDays,
                         ::testing::Values(StrayDay{"JsonDateTwice", Feed::Json, u"doubledday"_s, Twice},
                                           StrayDay{"XmlDateTwice", Feed::Xml, u"doubledday"_s, Twice},
                                           StrayDay{"JsonNextMonthsDay", Feed::Json, u"nextmonthday"_s, Outside},
                                           StrayDay{"XmlNextMonthsDay", Feed::Xml, u"nextmonthday"_s, Outside}),
                         [](const ::testing::TestParamInfo<StrayDay>& info) { return std::string(info.param.name); });

class UnlimitedPlan : public DailyDataAccidents, public ::testing::WithParamInterface<Feed>
{};

// Hundredths of a two-decimal cell, so that sums compare exactly.
qint64 cents(const QString& cell)
{
    return qRound64(cell.toDouble() * 100);
}

TEST_P(UnlimitedPlan, KeepsEveryClassAndOneSetOfFiguresExportedStoredAndReadBack)
{
    ASSERT_NE(server.port(), 0);
    useFeed(GetParam());
    answerNextRequestWith(u"unlimited"_s);
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString() << log().toStdString();
    const QString kind = GetParam() == Feed::Json ? u"JSON"_s : u"XML"_s;
    EXPECT_TRUE(log().contains(u"Error while extracting quota data from "_s + kind + u" data: [6] Overflow"_s))
        << log().toStdString();

    // Both classes stand, with their names, shaping and the off-peak hours, and no quota.
    const QString peak = u"Peak \"fair use\", any time"_s;
    const QString night = u"Night, 1am-7am"_s;
    EXPECT_EQ(storedRows("select Value from Config where id in ('PeakLabel', 'OffPeakLabel') order by id desc"),
              (QList<QStringList>{{peak}, {night}}));
    EXPECT_EQ(storedRows("select PeakStatus, OffPeakStatus from Status"), (QList<QStringList>{{u"1"_s, u"0"_s}}));
    // This month (the one before it was back-filled as the provider's sample month).
    const QString first = QDate::currentDate().toString(u"yyyy-MM-01"_s);
    const QByteArray monthSql =
        "select PeakQuota, OffpeakQuota, PeakStart, PeakEnd from MonthlyData where AnniversaryDate='" + first.toUtf8() +
        "'";
    EXPECT_EQ(storedRows(monthSql.constData()), (QList<QStringList>{{u"0"_s, u"0"_s, u"7"_s, u"1"_s}}));
    // The 1st's 737.454321 and 63.004321 MB are kept with two decimals.
    const QByteArray firstDaySql =
        "select printf('%.6f', Peak), printf('%.6f', Offpeak) from DailyData where Date='" + first.toUtf8() + "'";
    EXPECT_EQ(storedRows(firstDaySql.constData()), (QList<QStringList>{{u"737.450000"_s, u"63.000000"_s}}));

    // The CSV: the names quoted with the blank before them, one column each; every total the sum
    // of the figures shown.
    const QByteArray csv = csvFile();
    QStringList lines = QString::fromUtf8(csv).split(u"\r\n"_s, Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3) << csv.toStdString();
    EXPECT_EQ(lines.takeFirst(), u"Date,\" Peak \"\"fair use\"\", any time\",\" Night, 1am-7am\", Total"_s);
    EXPECT_EQ(lines.first(), first + u", 737.45, 63.00, 800.45"_s);
    const QStringList totals = lines.takeLast().split(u", "_s);
    ASSERT_EQ(totals.size(), 4) << csv.toStdString();
    qint64 sums[3] = {};
    for (const QString& line : std::as_const(lines)) {
        const QStringList cells = line.split(u", "_s);
        ASSERT_EQ(cells.size(), 4) << line.toStdString();
        EXPECT_EQ(cents(cells[3]), cents(cells[1]) + cents(cells[2])) << line.toStdString();
        for (int column = 0; column < 3; ++column)
            sums[column] += cents(cells[column + 1]);
    }
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(cents(totals[column + 1]), sums[column]) << csv.toStdString();
    const QStringList exported = xmlTotals();
    EXPECT_EQ(cents(exported[0]), sums[0]);
    EXPECT_EQ(cents(exported[1]), sums[1]);
    const QByteArray xml = TestEnvironment::readFile(dataDir + u"/data.xml"_s);
    EXPECT_TRUE(xml.contains(" PeakQuota='0'")) << xml.toStdString();

    // Read back from the database at the next start, the month is exported to the byte alike.
    const qsizetype logged = log().size();
    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString();
    EXPECT_TRUE(log().mid(logged).contains(u"retrieved cached data for alice from database"_s))
        << log().mid(logged).toStdString();
    EXPECT_EQ(csvFile(), csv);
    EXPECT_EQ(TestEnvironment::readFile(dataDir + u"/data.xml"_s), xml);
}

INSTANTIATE_TEST_SUITE_P(Feeds, UnlimitedPlan, ::testing::Values(Feed::Json, Feed::Xml), feedName);

} // namespace
