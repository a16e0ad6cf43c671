// SPDX-License-Identifier: MIT
#include "LegacySchema.h"

#include "LiteConnection.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace LegacySchema {

void create(const QString& path, double version)
{
    LiteConnection conn;
    conn.Open(path);
    const auto run = [&conn](const QString& sql) { conn.Execute(sql); };
    const auto recordVersion = [&](const QString& number, const QString& date) {
        if (version > 0)
            run(u"insert into SchemaHistory(Version, Date) values("_s + number + u",'"_s + date + u"')"_s);
    };

    if (version > 0)
        run(u"create table SchemaHistory(Version REAL primary key, Date VARCHAR(20) not NULL);"_s);
    run(u"create table Status(IP VARCHAR(16), ConnectTime VARCHAR(20), PeakStatus INTEGER, OffPeakStatus INTEGER)"_s);
    run(u"create table MonthlyData(AnniversaryDate VARCHAR(10) primary key, LastUpdate VARCHAR(20), "
        u"PeakQuota INTEGER, OffpeakQuota INTEGER, PlanType INTEGER)"_s);
    run(u"create table DailyData(Date VARCHAR(20) primary key, Peak REAL, Offpeak REAL, Freezone REAL)"_s);
    recordVersion(u"1.0"_s, u"2008-01-02 10:00:00"_s);

    run(u"insert into Status(IP, ConnectTime, PeakStatus, OffPeakStatus) values('203.0.113.5','2010-05-01 "
        u"07:00:00',0,1)"_s);
    run(u"insert into MonthlyData values('2010-04-14','2010-05-13 23:00:00',25000,50000,1)"_s);
    run(u"insert into MonthlyData values('2010-05-14','2010-05-16 22:15:00',25000,50000,1)"_s);
    for (const QString& day : {u"2010-04-14"_s, u"2010-04-15"_s, u"2010-05-14"_s})
        run(u"insert into DailyData values('"_s + day + u"',10.5,20.25,1)"_s);
    run(u"insert into DailyData values('names','Peak','Off peak','Free zone')"_s);

    if (version >= 1.1) {
        run(u"alter table MonthlyData add column PeakStart INTEGER"_s);
        run(u"alter table MonthlyData add column PeakEnd INTEGER"_s);
        recordVersion(u"1.1"_s, u"2008-06-02 10:00:00"_s);
    }
    if (version >= 1.2) {
        run(u"create table Config(id VARCHAR(20) primary key, Value VARCHAR(20))"_s);
        run(u"replace into Config(id, Value) values('PeakLabel', (select peak from dailydata where date='names'))"_s);
        run(u"replace into Config(id, Value) values('OffPeakLabel', (select offpeak from dailydata where "
            u"date='names'))"_s);
        run(u"replace into Config(id, Value) values('FreezoneLabel', (select freezone from dailydata where "
            u"date='names'))"_s);
        run(u"delete from DailyData where date='names'"_s);
        recordVersion(u"1.2"_s, u"2009-01-02 10:00:00"_s);
    }
    if (version >= 1.3) {
        run(u"alter table MonthlyData add column ShapingSpeed VARCHAR(8)"_s);
        recordVersion(u"1.3"_s, u"2009-06-02 10:00:00"_s);
    }
}

QStringList monthlyRows()
{
    return {u"2010-04-14|2010-05-13 23:00:00|25000|50000|1"_s, u"2010-05-14|2010-05-16 22:15:00|25000|50000|1"_s};
}

QStringList dailyRows()
{
    return {u"2010-04-14|10.5|20.25|1"_s, u"2010-04-15|10.5|20.25|1"_s, u"2010-05-14|10.5|20.25|1"_s};
}

QString statusRow()
{
    return u"203.0.113.5|2010-05-01 07:00:00|0|1"_s;
}

} // namespace LegacySchema
