// SPDX-License-Identifier: MIT
#include "MonthDescription.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
qint64 bytesOf(const QJsonValue& value)
{
    return value.isString() ? value.toString().toLongLong() : static_cast<qint64>(value.toDouble());
}

MonthDescription::TrafficType trafficTypeFrom(const QJsonObject& object)
{
    MonthDescription::TrafficType type;
    type.classification = object.value(u"classification").toString();
    type.name = object.value(u"name").toString();
    type.quotaMb = bytesOf(object.value(u"quota_mb"));
    type.allocationText = object.value(u"allocation").toString();
    type.shaped = object.value(u"shaped").toBool();
    if (object.contains(u"speed"))
        type.speed = object.value(u"speed").toString();
    return type;
}
} // namespace

MonthDescription MonthDescription::billingMonth(int resetDay, QDate first, QDate last) const
{
    MonthDescription month = *this;
    month.anniversary = resetDay;
    month.days.clear();
    for (QDate date = first; date <= last; date = date.addDays(1)) {
        Day day = days.isEmpty() ? Day() : days.at(month.days.size() % days.size());
        day.date = date;
        day.unreadable = false;
        month.days.append(day);
    }
    return month;
}

std::optional<MonthDescription> MonthDescription::fromJson(QByteArray text, QDate monthDate, QDate lastDay,
                                                           QString* error)
{
    const QDate first(monthDate.year(), monthDate.month(), 1);
    text.replace("{month}", first.toString(u"yyyy-MM").toLatin1());
    text.replace("{prevmonth}", first.addMonths(-1).toString(u"yyyy-MM").toLatin1());
    text.replace("{nextmonth}", first.addMonths(1).toString(u"yyyy-MM").toLatin1());

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (!document.isObject()) {
        if (error)
            *error = u"month description is not a JSON object: "_s + parseError.errorString();
        return std::nullopt;
    }
    const QJsonObject root = document.object();

    MonthDescription month;
    month.product = root.value(u"product").toString();
    month.plan = root.value(u"plan").toString();
    month.anniversary = root.value(u"anniversary").toInt();
    month.offpeakStart = root.value(u"offpeak_start").toString();
    month.offpeakEnd = root.value(u"offpeak_end").toString();
    for (const QJsonValue& value : root.value(u"connections").toArray()) {
        const QJsonObject object = value.toObject();
        month.connections.append({object.value(u"ip").toString(), object.value(u"on_since").toString()});
    }
    for (const QJsonValue& value : root.value(u"traffic_types").toArray())
        month.trafficTypes.append(trafficTypeFrom(value.toObject()));

    for (const QJsonValue& value : root.value(u"days").toArray()) {
        const QJsonObject object = value.toObject();
        Day day;
        if (object.contains(u"date")) {
            day.date = QDate::fromString(object.value(u"date").toString(), u"yyyy-MM-dd");
            if (!day.date.isValid()) {
                if (error)
                    *error = u"a day without a valid date"_s;
                return std::nullopt;
            }
        } else {
            const int dayNumber = object.value(u"day").toInt();
            if (dayNumber < 1) {
                if (error)
                    *error = u"a day without a valid day number"_s;
                return std::nullopt;
            }
            if (dayNumber > first.daysInMonth())
                continue; // a template's 31st in a shorter month
            day.date = QDate(first.year(), first.month(), dayNumber);
            if (lastDay.isValid() && day.date > lastDay)
                continue;
        }
        day.unreadable = object.value(u"unreadable").toBool();
        // Known classes in the order of the traffic types, then any others the fixture names.
        QStringList keys = object.keys();
        for (const QString& key : {u"day"_s, u"date"_s, u"unreadable"_s})
            keys.removeAll(key);
        for (const TrafficType& type : std::as_const(month.trafficTypes)) {
            if (keys.removeAll(type.classification) > 0)
                day.values.append({type.classification, bytesOf(object.value(type.classification))});
        }
        for (const QString& key : std::as_const(keys))
            day.values.append({key, bytesOf(object.value(key))});
        month.days.append(day);
    }
    return month;
}
