// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QTimeZone>

#include <compare>
#include <cstdint>
#include <optional>

// A local wall-clock date and time with whole seconds, counted from 1899-12-30 00:00:00 (day
// serial 0). Its arithmetic ignores time zones and daylight saving on purpose: the provider's
// figures, the stored settings and the history database all speak in plain local dates.
class LocalDateTime
{
public:
    // Day serial 0: 1899-12-30 00:00:00, the value of an unset date.
    constexpr LocalDateTime() = default;

    // Calendar-checked construction; nullopt when the parts are not a real date and time
    // (month 1..12, day within its month, year 100..9999, hour 0..23, minute and second 0..59).
    static std::optional<LocalDateTime> fromParts(int year, int month, int day, int hour = 0, int minute = 0,
                                                  int second = 0);
    // A valid QDate (and optionally QTime, milliseconds dropped); an invalid date gives day serial 0.
    static LocalDateTime fromDate(const QDate& date, const QTime& time = QTime(0, 0));
    static constexpr LocalDateTime fromSecondsSinceEpoch(int64_t seconds) { return LocalDateTime(seconds); }
    // Day serial with fraction (the form the history database and the date functions of the
    // original number format use); rounded to the nearest second.
    static LocalDateTime fromSerial(double serial);
    // The wall-clock time that a UTC instant shows in the given zone (the system zone by default),
    // correct across daylight-saving changes and in zones with half-hour offsets.
    static LocalDateTime fromUtc(const QDateTime& utc, const QTimeZone& zone = QTimeZone::systemTimeZone());

    int year() const;
    int month() const;
    int day() const;
    int hour() const;
    int minute() const;
    int second() const;
    QDate date() const;
    QTime time() const;
    int daysInMonth() const;

    // Midnight of the same day.
    LocalDateTime dateOnly() const;
    // Seconds since midnight.
    int secondsOfDay() const;

    constexpr int64_t secondsSinceEpoch() const { return m_seconds; }
    double toSerial() const;

    LocalDateTime addSeconds(int64_t seconds) const { return LocalDateTime(m_seconds + seconds); }
    LocalDateTime addMinutes(int64_t minutes) const { return addSeconds(minutes * 60); }
    LocalDateTime addHours(int64_t hours) const { return addSeconds(hours * 3600); }
    LocalDateTime addDays(int64_t days) const { return addSeconds(days * 86400); }
    // Month arithmetic that clamps the day to the end of the target month (31 January + 1 month is
    // 28 or 29 February); the time of day is kept.
    LocalDateTime addMonths(int months) const;
    LocalDateTime addYears(int years) const { return addMonths(years * 12); }

    // Signed differences: other minus this.
    int64_t secondsTo(const LocalDateTime& other) const { return other.m_seconds - m_seconds; }
    // The number of minute boundaries crossed going from this to other (so 10:00:59 to 10:01:00 is 1).
    int64_t minuteBoundariesTo(const LocalDateTime& other) const;
    // The number of midnights crossed going from this to other.
    int64_t dayBoundariesTo(const LocalDateTime& other) const;

    // "yyyy-mm-dd HH:mm:ss"
    QString toString() const;
    // "yyyy-mm-dd"
    QString toDateString() const;

    friend constexpr auto operator<=>(const LocalDateTime&, const LocalDateTime&) = default;
    friend constexpr bool operator==(const LocalDateTime&, const LocalDateTime&) = default;

private:
    explicit constexpr LocalDateTime(int64_t seconds) : m_seconds(seconds) {}

    int64_t m_seconds = 0;
};

// "Now" for the code that needs it; injected so tests can fix the time.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// The system's wall-clock time in the system time zone.
class SystemClock final : public Clock
{
public:
    LocalDateTime now() const override;
};

// A settable clock for tests and for replaying a known moment.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(LocalDateTime at = {}) : m_at(at) {}
    LocalDateTime now() const override { return m_at; }
    void set(LocalDateTime at) { m_at = at; }
    void advanceSeconds(int64_t seconds) { m_at = m_at.addSeconds(seconds); }

private:
    LocalDateTime m_at;
};
