// SPDX-License-Identifier: MIT
#include "Dates.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Message
{
    QString text;
    int16_t level;
};

// Runs myCDate with a recording sink and a result/error output that hold known values beforehand.
struct Conversion
{
    explicit Conversion(const QString& text)
    {
        ok = myCDate(text, result, szErr, [this](const QString& message, int16_t level) {
            messages.push_back({message, level});
        });
    }

    LocalDateTime result = sentinel();
    QString szErr = u"earlier error"_s;
    std::vector<Message> messages;
    bool ok = false;

    static LocalDateTime sentinel() { return LocalDateTime::fromSecondsSinceEpoch(12345); }
};

LocalDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return LocalDateTime::fromParts(year, month, day, hour, minute, second).value_or(LocalDateTime());
}

void expectAccepted(const QString& text, const LocalDateTime& expected)
{
    const Conversion conversion(text);
    EXPECT_TRUE(conversion.ok) << text.toStdString() << ": " << conversion.szErr.toStdString();
    EXPECT_EQ(conversion.result.toString(), expected.toString()) << text.toStdString();
    EXPECT_EQ(conversion.szErr, u"earlier error"_s) << text.toStdString();
    EXPECT_TRUE(conversion.messages.empty()) << text.toStdString();
}

void expectRejected(const QString& text, const QString& message, int16_t level)
{
    const Conversion conversion(text);
    EXPECT_FALSE(conversion.ok) << text.toStdString();
    EXPECT_EQ(conversion.szErr, message) << text.toStdString();
    EXPECT_EQ(conversion.result, Conversion::sentinel()) << text.toStdString();
    ASSERT_EQ(conversion.messages.size(), 1u) << text.toStdString();
    EXPECT_EQ(conversion.messages.front().text, message);
    EXPECT_EQ(conversion.messages.front().level, level) << text.toStdString();
}

QString runtimeError(const QString& text, const QString& error)
{
    return u"myCDate: runtime error converting '"_s + text + u"': "_s + error;
}

QString dayBounds(const QString& dayText, const QString& text)
{
    return u"myCDate: date '"_s + dayText + u"' failed bounds check in '"_s + text + u'\'';
}

} // namespace

TEST(myCDate, AcceptsTheDateAndTimeStampForms)
{
    expectAccepted(u"2026-12-08"_s, at(2026, 12, 8));
    expectAccepted(u"2026-12-08 14:05:09"_s, at(2026, 12, 8, 14, 5, 9));
    expectAccepted(u"2026-12-08T14:05:09"_s, at(2026, 12, 8, 14, 5, 9));
    expectAccepted(u"2026-12-08x14:05:09"_s, at(2026, 12, 8, 14, 5, 9));
    // Eleven characters: the time text is empty.
    expectAccepted(u"2026-12-08 "_s, at(2026, 12, 8));
    expectAccepted(u"2026-12-08T"_s, at(2026, 12, 8));
    expectAccepted(u"2026-12-08   "_s, at(2026, 12, 8));
}

TEST(myCDate, ChecksRunInOrderWithTheirTextsAndLevels)
{
    expectRejected(QString(), u"myCDate: empty string specified"_s, 12);
    expectRejected(u"2026-1-8"_s, u"myCDate: invalid length string '2026-1-8'"_s, 5);
    expectRejected(u"2026/12/08"_s, u"myCDate: failed to find separators in expected locations in '2026/12/08'"_s, 5);
    expectRejected(u"2026-12/08"_s, u"myCDate: failed to find separators in expected locations in '2026-12/08'"_s, 5);
    expectRejected(u"2026-1a-08"_s, u"myCDate: non-numeric component found in '2026-1a-08'"_s, 5);
    expectRejected(u"20x6-12-08"_s, u"myCDate: non-numeric component found in '20x6-12-08'"_s, 5);
    expectRejected(u"2026-12-  "_s, u"myCDate: non-numeric component found in '2026-12-  '"_s, 5);
    // The month is checked before the day, and both before the time.
    expectRejected(u"2026-13-00 99:99"_s, u"myCDate: month '13' failed bounds check in '2026-13-00 99:99'"_s, 5);
    expectRejected(u"2026-00-01"_s, u"myCDate: month '00' failed bounds check in '2026-00-01'"_s, 5);
    expectRejected(u"2026-12-00"_s, dayBounds(u"00"_s, u"2026-12-00"_s), 5);
    expectRejected(u"2026-12-32"_s, dayBounds(u"32"_s, u"2026-12-32"_s), 5);
    expectRejected(u"2026-12-08 25:00:00"_s, runtimeError(u"2026-12-08 25:00:00"_s, u"[13] Type mismatch"_s), 2);
}

TEST(myCDate, RefusesDaysThatAreNotOnTheCalendar)
{
    expectRejected(u"2026-02-30"_s, dayBounds(u"30"_s, u"2026-02-30"_s), 5);
    expectRejected(u"2026-04-31 10:00:00"_s, dayBounds(u"31"_s, u"2026-04-31 10:00:00"_s), 5);
    expectRejected(u"2025-02-29"_s, dayBounds(u"29"_s, u"2025-02-29"_s), 5);
    expectRejected(u"2100-02-29"_s, dayBounds(u"29"_s, u"2100-02-29"_s), 5);
    expectAccepted(u"2024-02-29"_s, at(2024, 2, 29));
    expectAccepted(u"2000-02-29"_s, at(2000, 2, 29));
    expectAccepted(u"2026-04-30"_s, at(2026, 4, 30));
    expectAccepted(u"2026-12-31 23:59:59"_s, at(2026, 12, 31, 23, 59, 59));
}

TEST(myCDate, ShortYearsAndTheYearRange)
{
    expectAccepted(u"0000-01-01"_s, at(2000, 1, 1));
    expectAccepted(u"0029-01-01"_s, at(2029, 1, 1));
    expectAccepted(u"0030-01-01"_s, at(1930, 1, 1));
    expectAccepted(u"0099-12-31"_s, at(1999, 12, 31));
    expectAccepted(u"0100-01-01"_s, at(100, 1, 1));
    expectAccepted(u"9999-12-31"_s, at(9999, 12, 31));
    // A short year takes part in the leap-year rule as its full year.
    expectAccepted(u"0024-02-29"_s, at(2024, 2, 29));
    expectRejected(u"-001-01-01"_s, runtimeError(u"-001-01-01"_s, u"[5] Invalid procedure call or argument"_s), 2);
    expectRejected(u"1e04-01-01"_s, runtimeError(u"1e04-01-01"_s, u"[5] Invalid procedure call or argument"_s), 2);
    expectRejected(u"9e99-01-01"_s, runtimeError(u"9e99-01-01"_s, u"[6] Overflow"_s), 2);
}

TEST(myCDate, ComponentsPassTheGeneralNumericTest)
{
    expectAccepted(u" 26 -01-08"_s, at(2026, 1, 8));
    expectAccepted(u"2026-+1-08"_s, at(2026, 1, 8));
    expectAccepted(u"2026-1.-8."_s, at(2026, 1, 8));
    expectAccepted(u"2026- 2-08"_s, at(2026, 2, 8));
    // Fractions round half to even before the bounds checks.
    expectAccepted(u"12.5-01-01"_s, at(2012, 1, 1));
    expectAccepted(u"13.5-01-01"_s, at(2014, 1, 1));
    expectRejected(u"2026-.5-01"_s, u"myCDate: month '.5' failed bounds check in '2026-.5-01'"_s, 5);
    expectRejected(u"2026-01-.5"_s, dayBounds(u".5"_s, u"2026-01-.5"_s), 5);
    expectRejected(u"2026--1-01"_s, u"myCDate: month '-1' failed bounds check in '2026--1-01'"_s, 5);
}

TEST(myCDate, TimeTexts)
{
    expectAccepted(u"2026-12-08 14:05"_s, at(2026, 12, 8, 14, 5));
    expectAccepted(u"2026-12-08 7:05:09"_s, at(2026, 12, 8, 7, 5, 9));
    expectAccepted(u"2026-12-08   14:05:09  "_s, at(2026, 12, 8, 14, 5, 9));
    expectAccepted(u"2026-12-08 0:00:00"_s, at(2026, 12, 8));
    expectAccepted(u"2026-12-08 23:59:59"_s, at(2026, 12, 8, 23, 59, 59));
    expectAccepted(u"2026-12-08 2:05:09 PM"_s, at(2026, 12, 8, 14, 5, 9));
    expectAccepted(u"2026-12-08 12:30 AM"_s, at(2026, 12, 8, 0, 30));
    expectAccepted(u"2026-12-08 12:30 pm"_s, at(2026, 12, 8, 12, 30));
    expectAccepted(u"2026-12-08 7am"_s, at(2026, 12, 8, 7, 0));

    for (const QString& text :
         {u"2026-12-08 24:00:00"_s, u"2026-12-08 14:60"_s, u"2026-12-08 14:05:60"_s, u"2026-12-08 14"_s,
          u"2026-12-08 13:00 PM"_s, u"2026-12-08 abc"_s, u"2026-12-08 14:05:09.5"_s, u"2026-12-08 14:05:09Z"_s,
          u"2026-12-08 14::09"_s, u"2026-12-08 14:05:09:01"_s, u"2026-12-08 -1:00"_s, u"2026-12-08 140:05"_s})
        expectRejected(text, runtimeError(text, u"[13] Type mismatch"_s), 2);
}

TEST(myCDate, ComponentFormDiscardsTheMessageButStillReportsIt)
{
    LocalDateTime result = LocalDateTime::fromSecondsSinceEpoch(7);
    QString szErr;
    EXPECT_FALSE(myCDate(u"2026-13-01"_s, result, szErr));
    EXPECT_EQ(szErr, u"myCDate: month '13' failed bounds check in '2026-13-01'"_s);
    EXPECT_EQ(result, LocalDateTime::fromSecondsSinceEpoch(7));

    EXPECT_TRUE(myCDate(u"2026-12-08 14:05:09"_s, result, szErr));
    EXPECT_EQ(result, at(2026, 12, 8, 14, 5, 9));
    EXPECT_EQ(szErr, u"myCDate: month '13' failed bounds check in '2026-13-01'"_s);

    // An empty sink is allowed too.
    EXPECT_FALSE(myCDate(QString(), result, szErr, DateMessageSink()));
    EXPECT_EQ(szErr, u"myCDate: empty string specified"_s);
}

TEST(NumericText, FormsThatPassAndFail)
{
    EXPECT_EQ(readNumericText(u" 12 "_s), 12.0);
    EXPECT_EQ(readNumericText(u"\t+1"_s), 1.0);
    EXPECT_EQ(readNumericText(u"-7"_s), -7.0);
    EXPECT_EQ(readNumericText(u"1."_s), 1.0);
    EXPECT_EQ(readNumericText(u".5"_s), 0.5);
    EXPECT_EQ(readNumericText(u"1e3"_s), 1000.0);
    EXPECT_EQ(readNumericText(u"1.E-1"_s), 0.1);
    EXPECT_EQ(readNumericText(u"1D2"_s), 100.0);
    for (const QString& text : {QString(), u" "_s, u"."_s, u"+"_s, u"1e"_s, u"e5"_s, u"1,0"_s, u"0x10"_s, u"1 2"_s,
                                u"--1"_s, u"1-"_s, u"1e999"_s, u"١٢"_s})
        EXPECT_FALSE(isNumericText(text)) << text.toStdString();
}

TEST(NumericText, RoundHalfEven)
{
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.4999), 2.0);
    EXPECT_EQ(roundHalfEven(2.5001), 3.0);
    EXPECT_EQ(roundHalfEven(-0.5), 0.0);
    EXPECT_EQ(roundHalfEven(-1.5), -2.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(7.0), 7.0);
}
