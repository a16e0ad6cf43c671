// SPDX-License-Identifier: MIT
#include "MonthXmlRenderer.h"

#include <QXmlStreamWriter>

using namespace Qt::StringLiterals;

namespace {
// Line breaks only between blocks: inside a day or a traffic type every child node is an element.
void newLine(QXmlStreamWriter& xml)
{
    xml.writeCharacters(u"\n"_s);
}

void writeTrafficTypes(QXmlStreamWriter& xml, const MonthDescription& month)
{
    xml.writeStartElement(u"expected_traffic_types"_s);
    newLine(xml);
    for (const auto& type : month.trafficTypes) {
        xml.writeStartElement(u"type"_s);
        xml.writeAttribute(u"classification"_s, type.classification);
        xml.writeTextElement(u"name"_s, type.name);
        xml.writeTextElement(u"quota_allocation"_s,
                             type.allocationText.isEmpty() ? QString::number(type.quotaMb) : type.allocationText);
        xml.writeStartElement(u"is_shaped"_s);
        xml.writeAttribute(u"speed"_s, type.speed);
        xml.writeCharacters(type.shaped ? u"true"_s : u"false"_s);
        xml.writeEndElement();
        xml.writeEndElement();
        newLine(xml);
    }
    xml.writeEndElement();
    newLine(xml);
}

void writeDays(QXmlStreamWriter& xml, const MonthDescription& month)
{
    xml.writeStartElement(u"volume_usage"_s);
    newLine(xml);
    for (const auto& day : month.days) {
        xml.writeStartElement(u"day_hour"_s);
        xml.writeAttribute(u"period"_s, day.date.toString(u"yyyy-MM-dd"));
        for (const auto& [type, bytes] : day.values) {
            xml.writeStartElement(u"usage"_s);
            xml.writeAttribute(u"type"_s, type);
            xml.writeCharacters(day.unreadable ? u"n/a"_s : QString::number(bytes));
            xml.writeEndElement();
        }
        xml.writeEndElement();
        newLine(xml);
    }
    xml.writeEndElement();
    newLine(xml);
}
} // namespace

QByteArray MonthXmlRenderer::usage(const MonthDescription& month)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    newLine(xml);
    xml.writeStartElement(u"qo_feed"_s);
    newLine(xml);

    xml.writeStartElement(u"account_info"_s);
    xml.writeTextElement(u"product"_s, month.product);
    xml.writeTextElement(u"plan"_s, month.plan);
    xml.writeEndElement();
    newLine(xml);

    xml.writeStartElement(u"connections"_s);
    for (const auto& connection : month.connections) {
        xml.writeStartElement(u"ip"_s);
        xml.writeAttribute(u"on_since"_s, connection.onSince);
        xml.writeCharacters(connection.ip);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    newLine(xml);

    xml.writeStartElement(u"volume_usage"_s);
    newLine(xml);
    xml.writeStartElement(u"quota_reset"_s);
    xml.writeTextElement(u"anniversary"_s, QString::number(month.anniversary));
    xml.writeEndElement();
    newLine(xml);
    writeTrafficTypes(xml, month);
    if (!month.offpeakStart.isEmpty())
        xml.writeTextElement(u"offpeak_start"_s, month.offpeakStart);
    if (!month.offpeakEnd.isEmpty())
        xml.writeTextElement(u"offpeak_end"_s, month.offpeakEnd);
    newLine(xml);
    writeDays(xml, month);
    xml.writeEndElement(); // volume_usage
    newLine(xml);

    xml.writeEndElement(); // qo_feed
    xml.writeEndDocument();
    return out;
}

QByteArray MonthXmlRenderer::error(const QString& text)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    newLine(xml);
    xml.writeStartElement(u"qo_feed"_s);
    xml.writeTextElement(u"error"_s, text);
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}
