// SPDX-License-Identifier: MIT
#include "Dates.h"

#include "RunTimeError.h"
#include "Stubs.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The integer conversion of the original number format overflows outside 16 bits.
constexpr int32_t overflowNumber = 6;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text.at(first)))
        ++first;
    while (last > first && isBlank(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

// Reads 1 or 2 digits at pos; nullopt when there is none.
std::optional<int> readTimeField(const QString& text, qsizetype& pos)
{
    const qsizetype start = pos;
    int value = 0;
    while (pos < text.size() && pos - start < 2 && isDigit(text.at(pos))) {
        value = value * 10 + (text.at(pos).unicode() - u'0');
        ++pos;
    }
    if (pos == start)
        return std::nullopt;
    return value;
}

// Seconds since midnight for the time forms the platform's date-time reader takes after a date:
// "H:mm:ss", "H:mm", either followed by AM or PM, or a bare hour with AM or PM. All blanks mean
// midnight.
std::optional<int> readTimeOfDay(const QString& timeText)
{
    const QString text = trimBlanks(timeText);
    if (text.isEmpty())
        return 0;

    qsizetype pos = 0;
    int fields[3] = {0, 0, 0};
    int fieldCount = 0;
    while (fieldCount < 3) {
        const std::optional<int> field = readTimeField(text, pos);
        if (!field)
            return std::nullopt;
        fields[fieldCount++] = *field;
        if (pos >= text.size() || text.at(pos) != u':')
            break;
        ++pos;
    }

    while (pos < text.size() && isBlank(text.at(pos)))
        ++pos;
    const QString suffix = text.mid(pos).toUpper();
    const bool hasSuffix = !suffix.isEmpty();
    if (hasSuffix && suffix != u"AM"_s && suffix != u"PM"_s)
        return std::nullopt;
    if (fieldCount == 1 && !hasSuffix)
        return std::nullopt;

    int hour = fields[0];
    const int minute = fields[1];
    const int second = fields[2];
    if (minute > 59 || second > 59)
        return std::nullopt;
    if (hasSuffix) {
        if (hour > 12)
            return std::nullopt;
        hour = hour % 12 + (suffix == u"PM"_s ? 12 : 0);
    } else if (hour > 23) {
        return std::nullopt;
    }
    return hour * 3600 + minute * 60 + second;
}

// The calendar year a year number stands for, as the date arithmetic reads it: 0..29 are 2000..2029,
// 30..99 are 1930..1999.
int calendarYear(double wholeYear)
{
    if (wholeYear < -32768.0 || wholeYear > 32767.0)
        throw RunTimeError(overflowNumber, u"Overflow"_s);
    int year = static_cast<int>(wholeYear);
    if (year >= 0 && year <= 29)
        year += 2000;
    else if (year >= 30 && year <= 99)
        year += 1900;
    if (year < 100 || year > 9999)
        throw RunTimeError(RunTimeErrorNumber::InvalidProcedureCall, u"Invalid procedure call or argument"_s);
    return year;
}

} // namespace

std::optional<double> readNumericText(const QString& text)
{
    const QString body = trimBlanks(text);
    qsizetype pos = 0;
    const auto skipDigits = [&body, &pos]() {
        const qsizetype start = pos;
        while (pos < body.size() && isDigit(body.at(pos)))
            ++pos;
        return pos - start;
    };

    if (pos < body.size() && (body.at(pos) == u'+' || body.at(pos) == u'-'))
        ++pos;
    qsizetype mantissaDigits = skipDigits();
    if (pos < body.size() && body.at(pos) == u'.') {
        ++pos;
        mantissaDigits += skipDigits();
    }
    if (mantissaDigits == 0)
        return std::nullopt;

    QString normalised = body;
    if (pos < body.size() && QStringView(u"eEdD").contains(body.at(pos))) {
        // "D" is the double-precision exponent letter of the same format.
        normalised[pos] = u'e';
        ++pos;
        if (pos < body.size() && (body.at(pos) == u'+' || body.at(pos) == u'-'))
            ++pos;
        if (skipDigits() == 0)
            return std::nullopt;
    }
    if (pos != body.size())
        return std::nullopt;

    // A lone trailing point is not in every reader's grammar, so give it a zero.
    if (normalised.endsWith(u'.') || normalised.contains(u".e"_s))
        normalised.replace(u"."_s, u".0"_s);
    bool ok = false;
    const double value = QLocale::c().toDouble(normalised, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

bool myCDate(const QString& text, LocalDateTime& result, QString& szErr, const DateMessageSink& sink)
{
    const auto fail = [&szErr, &sink](const QString& message, int16_t level) {
        szErr = message;
        if (sink)
            sink(message, level);
        return false;
    };

    if (text.isEmpty())
        return fail(u"myCDate: empty string specified"_s, 12);
    if (text.size() < 10)
        return fail(u"myCDate: invalid length string '"_s + text + u'\'', 5);
    if (text.at(4) != u'-' || text.at(7) != u'-')
        return fail(u"myCDate: failed to find separators in expected locations in '"_s + text + u'\'', 5);

    const QString yearText = text.mid(0, 4);
    const QString monthText = text.mid(5, 2);
    const QString dayText = text.mid(8, 2);
    const std::optional<double> yearValue = readNumericText(yearText);
    const std::optional<double> monthValue = readNumericText(monthText);
    const std::optional<double> dayValue = readNumericText(dayText);
    if (!yearValue || !monthValue || !dayValue)
        return fail(u"myCDate: non-numeric component found in '"_s + text + u'\'', 5);

    const QString monthFailure = u"myCDate: month '"_s + monthText + u"' failed bounds check in '"_s + text + u'\'';
    const QString dayFailure = u"myCDate: date '"_s + dayText + u"' failed bounds check in '"_s + text + u'\'';
    const double month = roundHalfEven(*monthValue);
    if (month < 1.0 || month > 12.0)
        return fail(monthFailure, 5);
    const double day = roundHalfEven(*dayValue);
    if (day < 1.0 || day > 31.0)
        return fail(dayFailure, 5);

    // The character between date and time (blank, "T" or anything else) is not looked at.
    const QString timeText = text.size() >= 12 ? text.mid(11) : QString();
    try {
        const int year = calendarYear(roundHalfEven(*yearValue));
        // A day past the end of its month is refused rather than rolled into the next month, so
        // that 2026-02-30 cannot quietly become 2 March.
        if (static_cast<int>(day) > QDate(year, static_cast<int>(month), 1).daysInMonth())
            return fail(dayFailure, 5);
        const std::optional<int> timeOfDay = readTimeOfDay(timeText);
        if (!timeOfDay)
            throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
        const std::optional<LocalDateTime> midnight =
            LocalDateTime::fromParts(year, static_cast<int>(month), static_cast<int>(day));
        if (!midnight)
            throw RunTimeError(RunTimeErrorNumber::InvalidProcedureCall, u"Invalid procedure call or argument"_s);
        result = midnight->addSeconds(*timeOfDay);
        return true;
    } catch (const RunTimeError& error) {
        return fail(u"myCDate: runtime error converting '"_s + text + u"': "_s + error.text(), 2);
    }
}

bool myCDate(const QString& text, LocalDateTime& result, QString& szErr)
{
    return myCDate(text, result, szErr, InfoMessage);
}
