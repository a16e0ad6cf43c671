// SPDX-License-Identifier: MIT
#include "LocalDateTime.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int64_t secondsPerDay = 86400;

// Julian day number of 1899-12-30, day serial 0 (a constant, so no static initialisation order).
constexpr int64_t epochJulianDay = 2415019;

// Division that rounds towards minus infinity, so times before the epoch land on the right day.
constexpr int64_t floorDiv(int64_t value, int64_t divisor)
{
    const int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

constexpr int64_t floorMod(int64_t value, int64_t divisor)
{
    return value - floorDiv(value, divisor) * divisor;
}

// QDate has no year 0 (1 BC is year -1); month arithmetic needs a gapless year count.
constexpr int toAstronomicalYear(int qtYear)
{
    return qtYear < 0 ? qtYear + 1 : qtYear;
}

constexpr int fromAstronomicalYear(int year)
{
    return year <= 0 ? year - 1 : year;
}

int64_t secondsOf(const QDate& date, int secondsOfDay)
{
    return (date.toJulianDay() - epochJulianDay) * secondsPerDay + secondsOfDay;
}

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

std::optional<LocalDateTime> LocalDateTime::fromParts(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 100 || year > 9999 || !QDate::isValid(year, month, day))
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return LocalDateTime(secondsOf(QDate(year, month, day), hour * 3600 + minute * 60 + second));
}

LocalDateTime LocalDateTime::fromDate(const QDate& date, const QTime& time)
{
    if (!date.isValid())
        return {};
    const int ofDay = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
    return LocalDateTime(secondsOf(date, ofDay));
}

LocalDateTime LocalDateTime::fromSerial(double serial)
{
    // Far beyond any calendar date; also keeps the conversion to integers defined.
    constexpr double serialLimit = 1.0e9;
    if (!std::isfinite(serial) || std::fabs(serial) > serialLimit)
        return {};
    // In the serial format a negative value's fraction still counts forward from its whole day:
    // -1.25 is 1899-12-29 06:00, not 1899-12-28 18:00.
    const double wholeDays = std::trunc(serial);
    const double fraction = std::fabs(serial - wholeDays);
    const auto ofDay = static_cast<int64_t>(std::llround(fraction * secondsPerDay));
    return LocalDateTime(static_cast<int64_t>(wholeDays) * secondsPerDay + ofDay);
}

LocalDateTime LocalDateTime::fromUtc(const QDateTime& utc, const QTimeZone& zone)
{
    if (!utc.isValid())
        return {};
    const QDateTime local = zone.isValid() ? utc.toTimeZone(zone) : utc.toUTC();
    return fromDate(local.date(), local.time());
}

QDate LocalDateTime::date() const
{
    return QDate::fromJulianDay(epochJulianDay + floorDiv(m_seconds, secondsPerDay));
}

QTime LocalDateTime::time() const
{
    return QTime::fromMSecsSinceStartOfDay(secondsOfDay() * 1000);
}

int LocalDateTime::year() const
{
    return date().year();
}

int LocalDateTime::month() const
{
    return date().month();
}

int LocalDateTime::day() const
{
    return date().day();
}

int LocalDateTime::hour() const
{
    return secondsOfDay() / 3600;
}

int LocalDateTime::minute() const
{
    return secondsOfDay() / 60 % 60;
}

int LocalDateTime::second() const
{
    return secondsOfDay() % 60;
}

int LocalDateTime::daysInMonth() const
{
    return date().daysInMonth();
}

LocalDateTime LocalDateTime::dateOnly() const
{
    return LocalDateTime(m_seconds - floorMod(m_seconds, secondsPerDay));
}

int LocalDateTime::secondsOfDay() const
{
    return static_cast<int>(floorMod(m_seconds, secondsPerDay));
}

double LocalDateTime::toSerial() const
{
    const int64_t wholeDays = floorDiv(m_seconds, secondsPerDay);
    const double fraction = static_cast<double>(floorMod(m_seconds, secondsPerDay)) / secondsPerDay;
    // Mirror of fromSerial: before the epoch the fraction is written with the day's minus sign.
    return wholeDays < 0 ? static_cast<double>(wholeDays) - fraction : static_cast<double>(wholeDays) + fraction;
}

LocalDateTime LocalDateTime::addMonths(int months) const
{
    const QDate from = date();
    const int64_t monthIndex = int64_t(toAstronomicalYear(from.year())) * 12 + (from.month() - 1) + months;
    const int year = fromAstronomicalYear(static_cast<int>(floorDiv(monthIndex, 12)));
    const int month = static_cast<int>(floorMod(monthIndex, 12)) + 1;
    const int day = std::min(from.day(), QDate(year, month, 1).daysInMonth());
    return LocalDateTime(secondsOf(QDate(year, month, day), secondsOfDay()));
}

int64_t LocalDateTime::minuteBoundariesTo(const LocalDateTime& other) const
{
    return floorDiv(other.m_seconds, 60) - floorDiv(m_seconds, 60);
}

int64_t LocalDateTime::dayBoundariesTo(const LocalDateTime& other) const
{
    return floorDiv(other.m_seconds, secondsPerDay) - floorDiv(m_seconds, secondsPerDay);
}

QString LocalDateTime::toString() const
{
    return toDateString() + u' ' + twoDigits(hour()) + u':' + twoDigits(minute()) + u':' + twoDigits(second());
}

QString LocalDateTime::toDateString() const
{
    const QDate d = date();
    return QString::number(d.year()).rightJustified(4, u'0') + u'-' + twoDigits(d.month()) + u'-' + twoDigits(d.day());
}

LocalDateTime SystemClock::now() const
{
    // The one place that reads the system clock; everything else gets a Clock passed in.
    const QDateTime local = QDateTime::currentDateTime();
    return LocalDateTime::fromDate(local.date(), local.time());
}
