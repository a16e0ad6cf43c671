// SPDX-License-Identifier: MIT
// A refresh whose reply is cut off on its way leaves the stored month, its exports and the cached
// reply as the last good refresh left them, and the hidden run says it failed.
#include "FakeProvider.h"
#include "TallymeterProgram.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

enum class Feed { Json, Xml };
enum class Transport { WinHttp, Msxml };
enum class Cut {
    InTheDayList,      // a whole HTTP response whose document stops part-way through the days
    ShortBody,         // half the body that the Content-Length announces, then a close
    ResetAfterHeaders, // the status line and headers, then a reset
};

struct Accident
{
    const char* name;
    Feed feed;
    Transport transport;
    Cut cut;
    QString says; // what the log tells the user
};

void PrintTo(const Accident& accident, std::ostream* out)
{
    *out << accident.name;
}

class CutOffReplies : public TallymeterProgram, public ::testing::WithParamInterface<Accident>
{
protected:
    CutOffReplies() : TallymeterProgram(false)
    {
        if (server.start())
            base = server.baseUrl();
    }

    FakeProvider server{QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s};
};

TEST_P(CutOffReplies, LeaveTheStoredMonthItsExportsAndTheCacheAsTheyWere)
{
    const Accident& accident = GetParam();
    ASSERT_NE(server.port(), 0);
    const bool json = accident.feed == Feed::Json;
    writeProfile(u"sunshine 42"_s, json ? QString() : u"\"UseJSONFeed\"=dword:00000000\n"_s);
    const QString componentKey = json ? u"Software\\Pelborne\\Config"_s : u"Software\\Sarnick\\Config"_s;
    if (accident.transport == Transport::Msxml)
        setRegistryValue(componentKey, u"UseMSXML"_s, RegistryValue::dword(1));

    ASSERT_EQ(run({u"/H"_s}), 0) << output.toStdString() << log().toStdString();
    const QMap<QString, QByteArray> before = keptFiles();
    const QString csv = QDate::currentDate().toString(u"yyyyMM"_s) + u".csv"_s;
    for (const QString& name : {u"alice.sl3"_s, u"data.xml"_s, csv})
        ASSERT_TRUE(before.contains(name)) << name.toStdString();
    // The last good reply of this month, as it came.
    QByteArray reply;
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (it.key().startsWith(u"alice"_s) && !it.key().contains(u"_h"_s) &&
            it.key().endsWith(json ? u"-json.txt"_s : u".xml"_s))
            reply = it.value();
    }
    // Where each day starts: a cut there leaves whole days before it, the shape that reads as a
    // shorter month.
    const QByteArray day = json ? "{\"period\":" : "<day_hour";
    QList<qsizetype> days;
    for (qsizetype at = reply.indexOf(day); at >= 0; at = reply.indexOf(day, at + 1))
        days.append(at);
    ASSERT_FALSE(days.isEmpty()) << "no cached reply of this month";

    FakeProvider::Rule rule;
    rule.path = json ? u"/cgi-bin/api.cgi"_s : u"/cgi-bin/new/volume_usage_xml.cgi"_s;
    rule.queryContains = json ? u"_TOKEN=alice-"_s : u"username=alice"_s;
    rule.useDefaultReply = true;
    switch (accident.cut) {
    case Cut::InTheDayList:
        rule.cutBodyAt = int(days[days.size() / 2]);
        break;
    case Cut::ShortBody:
        rule.breakOffAfter = int(reply.size() / 2);
        break;
    case Cut::ResetAfterHeaders:
        rule.breakOffAfter = 0;
        rule.breakOffWithReset = true;
        break;
    }
    server.addRule(rule);
    // Within the minimum interval the program would read its cache instead of asking.
    ageLastRefresh();
    const qsizetype logged = log().size();

    EXPECT_EQ(run({u"/H"_s}), 1) << output.toStdString();
    const QString said = log().mid(logged);
    EXPECT_TRUE(said.contains(accident.says)) << said.toStdString();
    // A connection that broke is told in the transport's words, not as data that made no sense.
    if (accident.cut != Cut::InTheDayList) {
        EXPECT_FALSE(said.contains(u"invalid"_s, Qt::CaseInsensitive)) << said.toStdString();
    }
    EXPECT_FALSE(said.contains(u"successfully retrieved"_s)) << said.toStdString();
    const QMap<QString, QByteArray> after = keptFiles();
    EXPECT_EQ(after.keys(), before.keys());
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_TRUE(after.value(it.key()) == it.value()) << it.key().toStdString() << " changed";
}

const QString Terminated = u"The connection with the server has been terminated."_s;

INSTANTIATE_TEST_SUITE_P(Accidents, CutOffReplies,
                         ::testing::Values(Accident{"JsonCutInTheDayList", Feed::Json, Transport::WinHttp,
                                                    Cut::InTheDayList, u"Unexpected end of text in an open "_s},
                                           Accident{"XmlCutInTheDayList", Feed::Xml, Transport::WinHttp,
                                                    Cut::InTheDayList, u"error reading XML from cache file"_s},
                                           Accident{"JsonShortBody", Feed::Json, Transport::WinHttp, Cut::ShortBody,
                                                    Terminated},
                                           Accident{"XmlResetAfterHeadersOverMsxml", Feed::Xml, Transport::Msxml,
                                                    Cut::ResetAfterHeaders, u"[12030] "_s + Terminated}),
                         [](const ::testing::TestParamInfo<Accident>& info) { return std::string(info.param.name); });

} // namespace
