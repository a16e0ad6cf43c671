// SPDX-License-Identifier: MIT
#include "TextRoutines.h"
#include "DefaultLocale.h"

#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

TEST(TextRoutines, FormatPluralAddsTheSUnlessExactlyOne)
{
    EXPECT_EQ(FormatPlural(1, u"month"_s), u"1 month"_s);
    EXPECT_EQ(FormatPlural(2, u"month"_s), u"2 months"_s);
    EXPECT_EQ(FormatPlural(0, u"minute"_s), u"0 minutes"_s);
    EXPECT_EQ(FormatPlural(-1, u"minute"_s), u"-1 minutes"_s);
    EXPECT_EQ(FormatPlural(120, u"second"_s), u"120 seconds"_s);
}

TEST(TextRoutines, AccountTypeNames)
{
    const QStringList names = {u"Quolla"_s, u"Brindle"_s, u"Corvo"_s, u"Dapple"_s, u"Emberly"_s};
    for (int16_t type = 0; type < 5; ++type)
        EXPECT_EQ(GetAccountTypeName(type), names.at(type));
    EXPECT_EQ(GetAccountTypeName(5), u"unknown"_s);
    EXPECT_EQ(GetAccountTypeName(7), u"unknown"_s);
    EXPECT_EQ(GetAccountTypeName(-1), u"unknown"_s);
}

TEST(TextRoutines, StripDomainKeepsTheTextBeforeTheFirstAt)
{
    EXPECT_EQ(StripDomain(u"fred@quolla.example"_s), u"fred"_s);
    EXPECT_EQ(StripDomain(u"fred"_s), u"fred"_s);
    EXPECT_EQ(StripDomain(u"@quolla.example"_s), QString());
    EXPECT_EQ(StripDomain(u"a@b@c"_s), u"a"_s);
    EXPECT_EQ(StripDomain(QString()), QString());
}

TEST(TextRoutines, OrdinalSuffixOverTheDaysOfAMonth)
{
    for (int16_t day = 1; day <= 31; ++day) {
        QString suffix = u"th"_s;
        if (day == 1 || day == 21 || day == 31)
            suffix = u"st"_s;
        else if (day == 2 || day == 22)
            suffix = u"nd"_s;
        else if (day == 3 || day == 23)
            suffix = u"rd"_s;
        EXPECT_EQ(OrdinalSuffix(day), QString::number(day) + suffix) << day;
    }
}

TEST(TextRoutines, OrdinalSuffixOutsideTheDays)
{
    EXPECT_EQ(OrdinalSuffix(0), u"0th"_s);
    EXPECT_EQ(OrdinalSuffix(111), u"111st"_s); // only a tens value of exactly 1 says "th"
    EXPECT_EQ(OrdinalSuffix(112), u"112nd"_s);
    EXPECT_EQ(OrdinalSuffix(-1), u"-1"_s);
    EXPECT_EQ(OrdinalSuffix(-10), u"-10th"_s);
}

TEST(TextRoutines, WholeNumbersWithAndWithoutSeparators)
{
    EXPECT_EQ(FormatWholeNumber(1234567, true), u"1,234,567"_s);
    EXPECT_EQ(FormatWholeNumber(1234567, false), u"1234567"_s);
    EXPECT_EQ(FormatWholeNumber(999, true), u"999"_s);
    EXPECT_EQ(FormatWholeNumber(1000, true), u"1,000"_s);
    EXPECT_EQ(FormatWholeNumber(-1234, true), u"-1,234"_s);
    EXPECT_EQ(FormatWholeNumber(0, true), u"0"_s);
    EXPECT_EQ(FormatWholeNumber(std::numeric_limits<int32_t>::min(), true), u"-2,147,483,648"_s);
}

TEST(TextRoutines, TwoDecimalsRoundTheDecimalDigitsHalfAwayFromZero)
{
    EXPECT_EQ(FormatTwoDecimals(u"16.58986"_s, false), u"16.59"_s);
    EXPECT_EQ(FormatTwoDecimals(u"1.005"_s, false), u"1.01"_s);
    EXPECT_EQ(FormatTwoDecimals(u"0.125"_s, false), u"0.13"_s);
    EXPECT_EQ(FormatTwoDecimals(u"0.005"_s, false), u"0.01"_s);
    EXPECT_EQ(FormatTwoDecimals(u"0.0049"_s, false), u"0.00"_s);
    EXPECT_EQ(FormatTwoDecimals(u"999.995"_s, true), u"1,000.00"_s);
    EXPECT_EQ(FormatTwoDecimals(u"-1234.567"_s, true), u"-1,234.57"_s);
    EXPECT_EQ(FormatTwoDecimals(u"-0.001"_s, false), u"0.00"_s);
    EXPECT_EQ(FormatTwoDecimals(u"0"_s, false), u"0.00"_s);
    EXPECT_EQ(FormatTwoDecimals(u"5000"_s, true), u"5,000.00"_s);
    EXPECT_EQ(FormatTwoDecimals(u"5000"_s, false), u"5000.00"_s);
    EXPECT_EQ(FormatTwoDecimals(u"1e+07"_s, true), u"10,000,000.00"_s);
    EXPECT_EQ(FormatTwoDecimals(u" 12.3 "_s, false), u"12.30"_s);
}

TEST(TextRoutines, TwoDecimalsOfANonNumberIsEmpty)
{
    EXPECT_EQ(FormatTwoDecimals(u"abc"_s, false), QString());
    EXPECT_EQ(FormatTwoDecimals(QString(), true), QString());
}

TEST(TextRoutines, SingleTextHasSevenSignificantDigits)
{
    EXPECT_EQ(singleText(16.589861f), u"16.58986"_s);
    EXPECT_EQ(singleText(25.0f), u"25"_s);
    EXPECT_EQ(singleText(0.1f), u"0.1"_s);
    EXPECT_EQ(FormatTwoDecimals(singleText(1e7f), false), u"10000000.00"_s);
    // Never in exponent form, and a large whole single keeps every digit.
    EXPECT_EQ(singleText(500000.0f), u"500000"_s);
    EXPECT_EQ(singleText(12345678.0f), u"12345678"_s);
    EXPECT_EQ(singleText(-0.00005f), u"-0.00005"_s);
}

TEST(TextRoutines, MonthNamesFollowTheLocaleAndReadBack)
{
    EXPECT_EQ(MonthYearText(QDate(2024, 3, 15)), u"March 2024"_s);
    EXPECT_EQ(MonthYearText(QDate(2011, 9, 1), true), u"Sep 2011"_s);
    EXPECT_EQ(MonthYearText(QDate()), QString());
    {
        const DefaultLocale german(DefaultLocale::german());
        EXPECT_EQ(MonthYearText(QDate(2024, 3, 15)), u"M\u00e4rz 2024"_s);
        EXPECT_EQ(MonthYearText(QDate(2026, 12, 1)), u"Dezember 2026"_s);
        EXPECT_EQ(ReadMonthYearText(u"M\u00e4rz 2024"_s), QDate(2024, 3, 1));
        // A name of another language is no month here.
        EXPECT_FALSE(ReadMonthYearText(u"March 2024"_s).isValid());
    }
    // Where a month's name changes with its place in a sentence, it stands alone here.
    const DefaultLocale russian(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(MonthYearText(QDate(2024, 1, 1)), QLocale().standaloneMonthName(1) + u" 2024"_s);
    for (int month = 1; month <= 12; ++month) {
        for (const bool shortName : {false, true}) {
            const QDate first(2023, month, 1);
            EXPECT_EQ(ReadMonthYearText(MonthYearText(first.addDays(9), shortName)), first) << month;
        }
    }
    for (const QString& none : {QString(), u"2024"_s, u"Foo 2024"_s, u"January"_s})
        EXPECT_FALSE(ReadMonthYearText(none).isValid()) << none.toStdString();
}

TEST(FormatPlainDecimals, NeverGroupsThousands)
{
    EXPECT_EQ(FormatPlainDecimals(u"1234567.891"_s), u"1234567.89"_s);
    EXPECT_EQ(FormatPlainDecimals(u"0.005"_s), u"0.01"_s);
    EXPECT_EQ(FormatPlainDecimals(u"text"_s), QString());
}
