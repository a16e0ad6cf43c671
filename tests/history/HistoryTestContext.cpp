// SPDX-License-Identifier: MIT
#include "HistoryTestContext.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

HistoryTestContext::HistoryTestContext(const QString& name) : core(name)
{
    core.settings.Username = u"fred@quolla.example"_s;
}

QString HistoryTestContext::databasePath() const
{
    return core.run.DataDir + u"/fred.sl3"_s;
}

LiteConnection HistoryTestContext::open() const
{
    LiteConnection conn;
    conn.Open(databasePath());
    return conn;
}

void HistoryTestContext::exec(const QString& sql, const LiteRow& params) const
{
    LiteConnection conn = open();
    try {
        conn.Execute(sql, params);
    } catch (const LiteError& error) {
        ADD_FAILURE() << "fixture statement failed: " << sql.toStdString() << ": " << error.what();
    }
}

LiteValue HistoryTestContext::value(const QString& sql, const LiteRow& params) const
{
    LiteConnection conn = open();
    const LiteResult result = conn.Execute(sql, params);
    return result && !result->isEmpty() ? result->first() : LiteValue();
}

QStringList HistoryTestContext::rows(const QString& sql) const
{
    LiteConnection conn = open();
    LiteStatement statement = conn.Prepare(sql);
    QStringList rows;
    while (statement.Step()) {
        QStringList values;
        for (int i = 0; i < statement.columnCount(); ++i) {
            const LiteValue value = statement.ColumnValue(int16_t(i));
            values.append(value.isNull() ? u"NULL"_s : value.toText());
        }
        rows.append(values.join(u'|'));
    }
    return rows;
}

QStringList HistoryTestContext::columns(const QString& table) const
{
    LiteConnection conn = open();
    LiteStatement statement = conn.Prepare(u"select name, type from pragma_table_info(?)"_s, {LiteValue::text(table)});
    QStringList columns;
    while (statement.Step())
        columns.append(statement.ColumnValue(0).toText() + u' ' + statement.ColumnValue(1).toText());
    return columns;
}

QStringList HistoryTestContext::logAt(int level) const
{
    QStringList texts;
    for (const CoreTestContext::LogLine& line : core.logLines()) {
        if (line.level == level)
            texts.append(line.text);
    }
    return texts;
}

QByteArray HistoryTestContext::fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LocalDateTime HistoryTestContext::day(int year, int month, int dayOfMonth)
{
    return *LocalDateTime::fromParts(year, month, dayOfMonth);
}

qoMonth HistoryTestContext::sampleMonth(const LocalDateTime& firstDay, int days)
{
    qoMonth month;
    month.LastUpdate = firstDay.addDays(days - 1).addHours(21).toString();
    month.IP = u"203.0.113.9"_s;
    month.LastConnect = firstDay.addHours(8).toString();
    month.AnniversaryDate = firstDay;
    month.ShapingSpeed = u"256"_s;
    month.PlanType = 3;
    month.PlanName = u"Home 50"_s;
    month.ProductName = u"Fibre"_s;
    month.PeakQuota = 25000;
    month.OffPeakQuota = 50000;
    month.PeakShapeStatus = 0;
    month.OffpeakShapeStatus = 1;
    month.PeakStart = 8;
    month.PeakEnd = 23;
    month.DailyHeaders = {u"Date"_s, u"Peak"_s, u"Offpeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s};
    for (int i = 0; i < days; ++i) {
        month.DailyDates.append(firstDay.addDays(i));
        month.DailyPeak.append(float(i) + 1.25f);
        month.DailyOffpeak.append(2.0f * float(i));
        month.DailyFreezone.append(0.5f);
        month.DailyTotals.append(float(i) + 1.25f + 2.0f * float(i) + 0.5f);
        month.DailyUploads.append(0.1f * float(i));
        month.TotalPeak += month.DailyPeak.last();
        month.TotalOffpeak += month.DailyOffpeak.last();
        month.TotalFreezone += month.DailyFreezone.last();
    }
    return month;
}
