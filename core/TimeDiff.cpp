// SPDX-License-Identifier: MIT
#include "TimeDiff.h"

#include "LocalDateTime.h"

using namespace Qt::StringLiterals;

namespace {
const QString unknown = u"unknown"_s;

void report(const DateMessageSink& log, const QString& message)
{
    if (log)
        log(message, 3);
}

bool parse(const QString& text, LocalDateTime& date, const DateMessageSink& log)
{
    QString szErr;
    if (myCDate(text, date, szErr, log))
        return true;
    report(log, u"TimeDiff: failed to convert date string '"_s + text + u"': "_s + szErr);
    return false;
}
} // namespace

QString TimeDiff(const QString& from, const QString& to, const DateMessageSink& log)
{
    LocalDateTime start;
    LocalDateTime end;
    if (!parse(from, start, log) || !parse(to, end, log))
        return unknown;

    int64_t minutes = start.minuteBoundariesTo(end);
    if (minutes < 0) {
        report(log, u"TimeDiff: negative time diff between '"_s + from + u"' & '"_s + to + u'\'');
        return unknown;
    }
    const int64_t days = minutes / 1440;
    minutes %= 1440;
    const int64_t hours = minutes / 60;
    minutes %= 60;
    return QString::number(days) + (days == 1 ? u" day, "_s : u" days, "_s) + QString::number(hours) +
           (minutes < 10 ? u":0"_s : u":"_s) + QString::number(minutes);
}
