// SPDX-License-Identifier: MIT
// Replies whose days are wrong. A day that cannot be read fails the refresh and leaves everything
// as the last good refresh left it, so the next refresh asks the provider again; a date listed twice
// or a day of the next month leaves one month of distinct days, shown, exported, stored and read
// back alike.
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

    // This month's CSV export without its title line (the class names read back from the
    // database may be worded otherwise).
    QStringList csvLines() const
    {
        const QString name = QDate::currentDate().toString(u"yyyyMM"_s) + u".csv"_s;
        QStringList lines =
            QString::fromUtf8(TestEnvironment::readFile(dataDir + u'/' + name)).split(u"\r\n"_s, Qt::SkipEmptyParts);
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

INSTANTIATE_TEST_SUITE_P(Feeds, UnreadableDay, ::testing::Values(Feed::Json, Feed::Xml),
                         [](const ::testing::TestParamInfo<Feed>& info) {
                             return std::string(info.param == Feed::Json ? "Json" : "Xml");
                         });

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

} // namespace
