// SPDX-License-Identifier: MIT
#include "JsonNumber.h"
#include "JsonParser.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QLocale>
#include <QProcess>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using namespace Qt::StringLiterals;

namespace {

using JsonNumber::Conversion;

Conversion convert(const QString& text, double& value)
{
    value = -999.0;
    return JsonNumber::toDouble(text, value);
}

// The parsed numbers of "[1.5,2e3,-0.25,1234567.125]" and their texts.
void expectNumbersReadInCLocale()
{
    JsonValue result;
    QString error;
    ASSERT_TRUE(JsonParse2(u"[1.5,2e3,-0.25,1234567.125]"_s, result, error));
    EXPECT_EQ(result[0].number(), 1.5);
    EXPECT_EQ(result[1].number(), 2000.0);
    EXPECT_EQ(result[2].number(), -0.25);
    EXPECT_EQ(result[3].toText(), u"1234567.125");
    EXPECT_EQ(result[2].toText(), u"-0.25");
    EXPECT_EQ(JsonValue::fromText(u"3.75"_s).toNumber(), 3.75);
    EXPECT_EQ(result.count(), 4);
}

} // namespace

TEST(JsonNumber, AcceptsTheLenientDecimalForms)
{
    const struct
    {
        QString text;
        double value;
    } cases[] = {
        {u"0"_s, 0},
        {u"-7"_s, -7},
        {u"+5"_s, 5},
        {u".5"_s, 0.5},
        {u"5."_s, 5},
        {u"-.25"_s, -0.25},
        {u"1e3"_s, 1000},
        {u"1E+3"_s, 1000},
        {u"2.5e-3"_s, 0.0025},
        {u"007"_s, 7},
        {u"1.e2"_s, 100},
        {u"123456789012345678"_s, 123456789012345678.0},
        {u"1e-400"_s, 0},
        {u"0x1F"_s, 31},
        {u"0XfF"_s, 255},
        {u"0x0"_s, 0},
        // Four or eight digits with the top bit set read as positive numbers.
        {u"0xFFFF"_s, 65535},
        {u"0xFFFFFFFF"_s, 4294967295.0},
        {u"0xFFFFFFFFFFFFFFFF"_s, 18446744073709551615.0},
    };
    for (const auto& c : cases) {
        double value = 0;
        EXPECT_EQ(convert(c.text, value), Conversion::Ok) << c.text.toStdString();
        EXPECT_EQ(value, c.value) << c.text.toStdString();
    }
}

TEST(JsonNumber, RejectsMalformedTokens)
{
    for (const QString& text :
         {u""_s,     u"."_s,     u"-"_s,     u"+."_s,  u"1-2"_s,   u"1e"_s,    u"1e+"_s, u"--1"_s,
          u"+-1"_s,  u"1.2.3"_s, u"1e5.5"_s, u"e5"_s,  u"1e5e5"_s, u"-0x10"_s, u"0x"_s,  u"0x1.5"_s,
          u"0x-1"_s, u"1x"_s,    u"12abc"_s, u"1 2"_s, u"inf"_s,   u"nan"_s}) {
        double value = 0;
        EXPECT_EQ(convert(text, value), Conversion::TypeMismatch) << text.toStdString();
    }
    EXPECT_EQ(JsonNumber::description(Conversion::TypeMismatch), u"Type mismatch");
}

TEST(JsonNumber, MagnitudesBeyondTheDoubleRangeOverflow)
{
    double value = 0;
    EXPECT_EQ(convert(u"1e400"_s, value), Conversion::Overflow);
    EXPECT_EQ(convert(u"-1e309"_s, value), Conversion::Overflow);
    EXPECT_EQ(convert(u"0x10000000000000000"_s, value), Conversion::Overflow); // 17 digits
    EXPECT_EQ(convert(u"1"_s + QString(400, u'0'), value), Conversion::Overflow);
    EXPECT_EQ(convert(u"0."_s + QString(400, u'0') + u"1e400"_s, value), Conversion::Ok);
    EXPECT_DOUBLE_EQ(value, 0.1);
    EXPECT_EQ(JsonNumber::description(Conversion::Overflow), u"Overflow");
}

TEST(JsonNumber, ReadingIgnoresTheQtDefaultLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    expectNumbersReadInCLocale();
    QLocale::setDefault(saved);
}

TEST(JsonNumber, ReadingIgnoresTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        // Not installed: build it into the test's own folder, where the locale sources allow.
        const QString folder = TestEnvironment::freshFolder(u"locales"_s);
        QProcess localedef;
        localedef.start(u"localedef"_s, {u"-i"_s, u"de_DE"_s, u"-f"_s, u"UTF-8"_s, folder + u"/de_DE.UTF-8"_s});
        if (localedef.waitForFinished(30000) && localedef.exitCode() == 0)
            qputenv("LOCPATH", QFile::encodeName(folder));
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            GTEST_SKIP() << "no German locale available";
    }
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    expectNumbersReadInCLocale();
    std::setlocale(LC_ALL, saved.c_str());
}
