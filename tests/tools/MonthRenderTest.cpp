// SPDX-License-Identifier: MIT
#include "MonthDescription.h"
#include "MonthJsonRenderer.h"
#include "MonthXmlRenderer.h"
#include "ProviderTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray sampleMonthText(const QString& name)
{
    QFile file(ProviderTestSupport::providerData() + u"/accounts/alice/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

MonthDescription sampleMarch()
{
    QString error;
    const auto month =
        MonthDescription::fromJson(sampleMonthText(u"usage-202403.json"_s), QDate(2024, 3, 1), {}, &error);
    return month.value_or(MonthDescription());
}

// Bytes per traffic class over the month, and the day count, as the JSON reply tells them.
QMap<QString, qint64> jsonTotals(const QByteArray& reply, int& days)
{
    QMap<QString, qint64> totals;
    const QJsonArray data = QJsonDocument::fromJson(reply).object()[u"response"][u"usage"][u"data"].toArray();
    days = int(data.size());
    for (const QJsonValue& day : data) {
        for (const QJsonValue& type : day[u"types"].toArray()) {
            const QJsonValue value = type[u"value"];
            totals[type[u"type"].toString()] +=
                value.isString() ? value.toString().toLongLong() : qint64(value.toDouble());
        }
    }
    return totals;
}

// The same from the XML reply; also notes whether any day holds something other than elements.
QMap<QString, qint64> xmlTotals(const QByteArray& reply, int& days, bool& onlyElementsInDays)
{
    QMap<QString, qint64> totals;
    days = 0;
    onlyElementsInDays = true;
    QXmlStreamReader xml(reply);
    bool inDay = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"day_hour") {
            inDay = true;
            ++days;
        } else if (xml.isEndElement() && xml.name() == u"day_hour") {
            inDay = false;
        } else if (inDay && xml.isStartElement()) {
            const QString type = xml.attributes().value(u"type"_s).toString();
            totals[type] += xml.readElementText().toLongLong();
        } else if (inDay && xml.isCharacters()) {
            onlyElementsInDays = false;
        }
    }
    EXPECT_FALSE(xml.hasError()) << qPrintable(xml.errorString());
    return totals;
}
} // namespace

TEST(MonthDescription, FillsTheTemplateForTheMonthAskedAndStopsAtTheLastDay)
{
    QString error;
    const auto may = MonthDescription::fromJson(sampleMonthText(u"usage-template.json"_s), QDate(2024, 5, 20),
                                                QDate(2024, 5, 10), &error);
    ASSERT_TRUE(may) << qPrintable(error);
    ASSERT_EQ(may->days.size(), 10);
    EXPECT_EQ(may->days.front().date, QDate(2024, 5, 1));
    EXPECT_EQ(may->days.back().date, QDate(2024, 5, 10));
    ASSERT_EQ(may->connections.size(), 2);
    EXPECT_EQ(may->connections.at(0).onSince, u"2024-04-27 22:14:09");
    EXPECT_EQ(may->connections.at(1).onSince, u"2024-05-01 00:30:00");

    // A 31-day template in a 30-day month, and across a year boundary for the month before.
    const auto april =
        MonthDescription::fromJson(sampleMonthText(u"usage-template.json"_s), QDate(2024, 4, 1), {}, &error);
    ASSERT_TRUE(april);
    EXPECT_EQ(april->days.size(), 30);
    const auto january =
        MonthDescription::fromJson(sampleMonthText(u"usage-template.json"_s), QDate(2025, 1, 1), {}, &error);
    ASSERT_TRUE(january);
    EXPECT_EQ(january->connections.at(0).onSince, u"2024-12-27 22:14:09");
}

TEST(MonthDescription, OrdersADaysValuesByTrafficTypeAndRejectsBrokenText)
{
    const QByteArray text = R"({"traffic_types": [{"classification": "peak"}, {"classification": "uploads"}],
        "days": [{"day": 2, "zz_other": 5, "uploads": "300", "peak": 7000000000}]})";
    QString error;
    const auto month = MonthDescription::fromJson(text, QDate(2024, 2, 1), {}, &error);
    ASSERT_TRUE(month);
    ASSERT_EQ(month->days.size(), 1);
    const QList<QPair<QString, qint64>> expected{{u"peak"_s, 7000000000}, {u"uploads"_s, 300}, {u"zz_other"_s, 5}};
    EXPECT_EQ(month->days.at(0).values, expected);

    EXPECT_FALSE(MonthDescription::fromJson("{\"days\": [", QDate(2024, 2, 1), {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(MonthDescription::fromJson(R"({"days": [{"peak": 1}]})", QDate(2024, 2, 1), {}, &error));
}

TEST(MonthRenderers, JsonAndXmlTellTheSameMonth)
{
    const MonthDescription march = sampleMarch();
    ASSERT_EQ(march.days.size(), 31);
    int jsonDays = 0;
    int xmlDays = 0;
    bool onlyElements = false;
    const QMap<QString, qint64> fromJson = jsonTotals(MonthJsonRenderer::usage(march, false), jsonDays);
    const QMap<QString, qint64> fromText = jsonTotals(MonthJsonRenderer::usage(march, true), jsonDays);
    const QMap<QString, qint64> fromXml = xmlTotals(MonthXmlRenderer::usage(march), xmlDays, onlyElements);
    EXPECT_EQ(jsonDays, 31);
    EXPECT_EQ(xmlDays, 31);
    EXPECT_EQ(fromJson.keys(), (QStringList{u"freezone"_s, u"offpeak"_s, u"peak"_s, u"uploads"_s}));
    EXPECT_GT(fromJson.value(u"peak"_s), 0);
    EXPECT_EQ(fromJson, fromXml);
    EXPECT_EQ(fromJson, fromText);
    // Every child of a day is an element, so a reader that counts child nodes counts values.
    EXPECT_TRUE(onlyElements);
}

TEST(MonthRenderers, JsonCarriesTheFieldsInTheirWireForms)
{
    const MonthDescription march = sampleMarch();
    const QJsonObject response =
        QJsonDocument::fromJson(MonthJsonRenderer::usage(march, false)).object()[u"response"].toObject();
    EXPECT_EQ(response[u"account_info"][u"plan"].toString(), u"Home Value 300GB");
    EXPECT_EQ(response[u"offpeak_start"].toString(), u"02:00:00");
    EXPECT_EQ(response[u"quota_reset"][u"anniversary"].toInt(), 1);
    const QJsonArray types = response[u"usage"][u"traffic_types"].toArray();
    ASSERT_EQ(types.size(), 4);
    EXPECT_EQ(types[0][u"classification"].toString(), u"peak");
    EXPECT_EQ(types[0][u"allocation"].toDouble(), 150000000000.0); // bytes
    EXPECT_EQ(types[0][u"is_shaped"].toString(), u"0");
    EXPECT_EQ(types[1][u"is_shaped"].toString(), u"false");
    const QJsonValue firstDay = response[u"usage"][u"data"][0];
    EXPECT_TRUE(firstDay[u"period"].isDouble());
    EXPECT_EQ(firstDay[u"period"].toDouble(), 20240301.0);

    const QJsonObject asText =
        QJsonDocument::fromJson(MonthJsonRenderer::usage(march, true)).object()[u"response"].toObject();
    EXPECT_EQ(asText[u"usage"][u"data"][0][u"period"].toString(), u"20240301");
    EXPECT_EQ(asText[u"usage"][u"traffic_types"][0][u"allocation"].toString(), u"150000000000");
    EXPECT_EQ(asText[u"quota_reset"][u"anniversary"].toString(), u"1");

    MonthDescription shaped = march;
    shaped.trafficTypes[0].shaped = true;
    shaped.trafficTypes[1].shaped = true;
    shaped.offpeakStart.clear();
    const QJsonObject flags =
        QJsonDocument::fromJson(MonthJsonRenderer::usage(shaped, false)).object()[u"response"].toObject();
    EXPECT_EQ(flags[u"usage"][u"traffic_types"][0][u"is_shaped"].toString(), u"1");
    EXPECT_EQ(flags[u"usage"][u"traffic_types"][1][u"is_shaped"].toString(), u"true");
    EXPECT_FALSE(flags.contains(u"offpeak_start"));
}

TEST(MonthRenderers, XmlCarriesQuotasInMegabytesAndEscapesText)
{
    MonthDescription march = sampleMarch();
    march.plan = u"Home <Value> & more"_s;
    const QByteArray xml = MonthXmlRenderer::usage(march);
    EXPECT_TRUE(xml.contains("<quota_allocation>150000</quota_allocation>"));
    EXPECT_TRUE(xml.contains("<is_shaped speed=\"256\">false</is_shaped>"));
    EXPECT_TRUE(xml.contains("<ip on_since=\"2024-03-01 00:30:00\">203.0.113.87</ip>"));
    EXPECT_TRUE(xml.contains("<day_hour period=\"2024-03-01\"><usage type=\"peak\">"));
    EXPECT_TRUE(xml.contains("<plan>Home &lt;Value&gt; &amp; more</plan>"));

    const QByteArray error = MonthXmlRenderer::error(u"no data was found for your account"_s);
    EXPECT_TRUE(error.contains("<qo_feed><error>no data was found for your account</error></qo_feed>"));
    EXPECT_EQ(QJsonDocument::fromJson(MonthJsonRenderer::error(u"x"_s)).object()[u"success"].toInt(-1), 0);
}
