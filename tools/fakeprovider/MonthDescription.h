// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// One month of one service as the provider knows it, independent of how it is sent. The JSON API and
// the XML feed are both rendered from it, so the two tell the same story.
//
// File form (JSON; "{month}", "{prevmonth}" and "{nextmonth}" anywhere in the text become the
// described month, the one before and the one after, as "yyyy-MM", so one template serves whatever
// month it is asked for):
//   { "product": "...", "plan": "...", "anniversary": 15,
//     "offpeak_start": "02:00:00", "offpeak_end": "12:00:00",          (both optional)
//     "connections": [ { "ip": "203.0.113.7", "on_since": "{month}-01 00:30:00" } ],   (UTC)
//     "traffic_types": [ { "classification": "peak", "name": "Peak usage", "quota_mb": 150000,
//                          "shaped": false, "speed": "256" }, ... ],   (speed: kbit/s)
//       (a type's "allocation": "99999999999999999999" is sent as it stands in place of its quota:
//        the JSON API's allocation in bytes and the XML feed's quota in MB, as a plan without a
//        limit may send a number too large for any quota)
//     "days": [ { "day": 1, "peak": 1523456789, "offpeak": 734000000, ... }, ... ] }   (bytes)
// The days are sent in the order listed, a day listed twice twice. The provider's accidents: a day
// given by "date": "yyyy-MM-dd" instead of "day" is sent as it stands, also outside the month or
// after today; a day with "unreadable": true cannot be read (the JSON API sends it without its
// types, the XML feed with values that are no numbers).
struct MonthDescription
{
    struct TrafficType
    {
        QString classification; // "peak", "anytime", "usage", "offpeak", "freezone", "uploads"
        QString name;
        qint64 quotaMb = 0;
        QString allocationText; // when not empty, sent instead of quotaMb in both feeds
        bool shaped = false;
        QString speed = QStringLiteral("0"); // "0": no shaping speed
    };
    struct Connection
    {
        QString ip;
        QString onSince; // "yyyy-MM-dd HH:mm:ss", UTC
    };
    struct Day
    {
        QDate date;
        QList<QPair<QString, qint64>> values; // classification and bytes, in traffic-type order
        bool unreadable = false;
    };

    QString product;
    QString plan;
    int anniversary = 0;
    QString offpeakStart;
    QString offpeakEnd;
    QList<Connection> connections;
    QList<TrafficType> trafficTypes;
    QList<Day> days;

    // Reads the file form for the month that holds monthDate, keeping only the days up to lastDay (the
    // provider knows nothing of days still to come). Nothing, with error set, when the text is unusable.
    static std::optional<MonthDescription> fromJson(QByteArray text, QDate monthDate, QDate lastDay, QString* error);

    // The provider's billing month for a reset day: this account and its traffic classes, the reset
    // day resetDay and every day from first to last in date order, each with the figures of this
    // description's days in turn (a month that starts on a clamped day: reset day 31, 28 February
    // to 30 March). A description without days gives days without figures.
    MonthDescription billingMonth(int resetDay, QDate first, QDate last) const;
};
