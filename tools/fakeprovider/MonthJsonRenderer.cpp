// SPDX-License-Identifier: MIT
#include "MonthJsonRenderer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
QJsonValue number(qint64 value, bool asText)
{
    return asText ? QJsonValue(QString::number(value)) : QJsonValue(value);
}

bool isPeakLike(const QString& classification)
{
    return classification == u"peak" || classification == u"anytime" || classification == u"usage";
}

QJsonObject trafficType(const MonthDescription::TrafficType& type, bool numbersAsText)
{
    // The API flags a shaped peak class with "1" and a shaped off-peak class with "true".
    const QString shaped =
        isPeakLike(type.classification) ? (type.shaped ? u"1"_s : u"0"_s) : (type.shaped ? u"true"_s : u"false"_s);
    return QJsonObject{
        {u"classification"_s, type.classification},
        {u"name"_s, type.name},
        {u"allocation"_s, type.allocationText.isEmpty() ? number(type.quotaMb * 1'000'000, numbersAsText)
                                                        : QJsonValue(type.allocationText)},
        {u"is_shaped"_s, shaped},
        {u"shaping_speed"_s, type.speed},
    };
}

QJsonObject day(const MonthDescription::Day& day, bool numbersAsText)
{
    QJsonObject record{{u"period"_s, number(day.date.toString(u"yyyyMMdd").toLongLong(), numbersAsText)}};
    if (day.unreadable)
        return record;
    QJsonArray types;
    for (const auto& [type, bytes] : day.values)
        types.append(QJsonObject{{u"type"_s, type}, {u"value"_s, number(bytes, numbersAsText)}});
    record.insert(u"types"_s, types);
    return record;
}

// The provider's replies lead with their result code, so a reply cut short still shows it.
QByteArray leadWithSuccess(int success, const QJsonObject& rest)
{
    QByteArray text = "{\"success\":" + QByteArray::number(success);
    const QByteArray members = QJsonDocument(rest).toJson(QJsonDocument::Compact);
    if (members.size() > 2)
        text += ',' + members.mid(1);
    else
        text += '}';
    return text;
}
} // namespace

QByteArray MonthJsonRenderer::signIn(const QString& token, const QList<Service>& services)
{
    QJsonArray list;
    for (const Service& service : services) {
        list.append(QJsonObject{
            {u"pk_v"_s, service.name},
            {u"s_token"_s, service.token},
            {u"actions"_s, QJsonArray::fromStringList(service.actions)},
        });
    }
    return leadWithSuccess(1, QJsonObject{
                                  {u"token"_s, token},
                                  {u"response"_s, QJsonObject{{u"service_list"_s, list}}},
                              });
}

QByteArray MonthJsonRenderer::usage(const MonthDescription& month, bool numbersAsText)
{
    QJsonArray connections;
    for (const auto& connection : month.connections)
        connections.append(QJsonObject{{u"ip"_s, connection.ip}, {u"on_since"_s, connection.onSince}});
    QJsonArray types;
    for (const auto& type : month.trafficTypes)
        types.append(trafficType(type, numbersAsText));
    QJsonArray days;
    for (const auto& entry : month.days)
        days.append(day(entry, numbersAsText));

    QJsonObject response{
        {u"account_info"_s, QJsonObject{{u"product"_s, month.product}, {u"plan"_s, month.plan}}},
        {u"connections"_s, connections},
        {u"quota_reset"_s, QJsonObject{{u"anniversary"_s, number(month.anniversary, numbersAsText)}}},
        {u"usage"_s, QJsonObject{{u"traffic_types"_s, types}, {u"data"_s, days}}},
    };
    if (!month.offpeakStart.isEmpty())
        response.insert(u"offpeak_start"_s, month.offpeakStart);
    if (!month.offpeakEnd.isEmpty())
        response.insert(u"offpeak_end"_s, month.offpeakEnd);
    return leadWithSuccess(1, QJsonObject{{u"response"_s, response}});
}

QByteArray MonthJsonRenderer::error(const QString& text)
{
    return leadWithSuccess(0, QJsonObject{{u"error"_s, text}});
}
