// SPDX-License-Identifier: MIT
#include "PasswordScrambler.h"
#include "CoreTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class PasswordScramblerTest : public ::testing::Test
{
protected:
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    PasswordScrambler scrambler{core.app, core.registry, core.log};

    QString codes(const QString& text)
    {
        QStringList numbers;
        for (const QChar c : text)
            numbers.append(QString::number(c.unicode()));
        return numbers.join(u' ');
    }
};
} // namespace

TEST_F(PasswordScramblerTest, KnownCodesOfEarlierReleases)
{
    EXPECT_EQ(codes(scrambler.CryptString(u"abc"_s, true)), u"201 199 197"_s);
    EXPECT_EQ(scrambler.CryptString(u"abc"_s, true), u"ÉÇÅ"_s);
    EXPECT_EQ(codes(scrambler.CryptString(u" ~"_s, true)), u"255 67"_s);
    EXPECT_EQ(scrambler.CryptString(u"ÉÇÅ"_s, false), u"abc"_s);
}

TEST_F(PasswordScramblerTest, EveryPrintableAsciiTextRoundTrips)
{
    QString printable;
    for (char16_t code = 32; code <= 126; ++code)
        printable += QChar(code);
    const QString scrambled = scrambler.CryptString(printable, true);
    ASSERT_EQ(scrambled.size(), printable.size());
    for (const QChar c : scrambled) {
        EXPECT_EQ(c.unicode() % 2, 1);
        EXPECT_GE(c.unicode(), 67);
        EXPECT_LE(c.unicode(), 255);
    }
    EXPECT_EQ(scrambler.CryptString(scrambled, false), printable);
}

TEST_F(PasswordScramblerTest, AnyTypedTextRoundTrips)
{
    for (const QString& password : {u"pässwörd"_s, u"€uro"_s, u"日本語"_s, u"key😀"_s, QString(QChar(127)), u"\t\n"_s}) {
        QString scrambled;
        QString szErr;
        ASSERT_TRUE(scrambler.CryptString(password, true, scrambled, szErr)) << password.toStdString();
        EXPECT_NE(scrambled, password);
        QString plain;
        ASSERT_TRUE(scrambler.CryptString(scrambled, false, plain, szErr));
        EXPECT_EQ(plain, password);
    }
    EXPECT_TRUE(core.window.messageBoxes.isEmpty());
}

TEST_F(PasswordScramblerTest, CharactersBeyondAsciiKeepAsciiNeighboursAsBefore)
{
    // "aé": 'a' as ever, the two bytes of 'é' in the high block, all reversed.
    EXPECT_EQ(codes(scrambler.CryptString(u"aé"_s, true)), u"425 451 197"_s);
}

TEST_F(PasswordScramblerTest, ReversesTheText)
{
    EXPECT_EQ(scrambler.CryptString(u"a"_s, true), QString(QChar(197)));
    EXPECT_EQ(codes(scrambler.CryptString(u"ab"_s, true)), u"199 197"_s);
}

TEST_F(PasswordScramblerTest, PlainStoredTextUnscramblesRoundingHalvesToEven)
{
    EXPECT_EQ(codes(scrambler.CryptString(u"D"_s, false)), u"32"_s);
    EXPECT_EQ(codes(scrambler.CryptString(u"F"_s, false)), u"34"_s);
    EXPECT_EQ(codes(scrambler.CryptString(u"DF"_s, false)), u"34 32"_s);
}

TEST_F(PasswordScramblerTest, EmptyTextNeedsNoRegistry)
{
    core.setDword(core.app.configKey(), u"DisableEncryption"_s, 1);
    EXPECT_EQ(scrambler.CryptString(QString(), true), QString());
    EXPECT_EQ(scrambler.CryptString(QString(), false), QString());
    EXPECT_TRUE(core.logLines().isEmpty());
}

TEST_F(PasswordScramblerTest, DisableEncryptionLeavesTextsAsTheyAre)
{
    core.setDword(core.app.configKey(), u"DisableEncryption"_s, 1);
    EXPECT_EQ(scrambler.CryptString(u"secret"_s, true), u"secret"_s);
    EXPECT_EQ(scrambler.CryptString(u"\u0001"_s, false), u"\u0001"_s);

    const QList<CoreTestContext::LogLine> lines = core.logLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.at(0).text, u"CryptString: DisableEncryption setting found: 1"_s);
    EXPECT_EQ(lines.at(0).level, 6);
    EXPECT_EQ(lines.at(1).text, u"CryptString: skipping encryption due to DisableEncryption registry setting"_s);
    EXPECT_EQ(lines.at(1).level, 3);
    EXPECT_EQ(lines.at(3).text, u"CryptString: skipping decryption due to DisableEncryption registry setting"_s);
}

TEST_F(PasswordScramblerTest, DisableEncryptionZeroStillScrambles)
{
    core.setDword(core.app.configKey(), u"DisableEncryption"_s, 0);
    EXPECT_EQ(scrambler.CryptString(u"abc"_s, true), u"ÉÇÅ"_s);
    EXPECT_EQ(core.logTexts(), QStringList{u"CryptString: DisableEncryption setting found: 0"_s});
}

TEST_F(PasswordScramblerTest, UnconvertibleTextsFailAndSayWhy)
{
    // Code 2 has no plain form; U+0241 is beyond the high block; U+01C3 alone is half a character.
    for (const QString& stored : {u"ab\u0002"_s, u"\u0241"_s, u"\u01C3"_s}) {
        QString result = u"untouched"_s;
        QString szErr;
        EXPECT_FALSE(scrambler.CryptString(stored, false, result, szErr));
        EXPECT_TRUE(result.isEmpty());
        EXPECT_EQ(szErr, u"[5] Invalid procedure call or argument"_s);
    }
    QString szErr;
    QString result;
    EXPECT_FALSE(scrambler.CryptString(QString(QChar(0xD800)), true, result, szErr));

    const QList<CoreTestContext::LogLine> lines = core.logLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.at(0).level, 1);
    EXPECT_EQ(lines.at(0).text, u"CryptString: Failed to decrypt password: [5] Invalid procedure call or argument"_s);
    EXPECT_EQ(lines.at(3).text, u"CryptString: Failed to encrypt password: [5] Invalid procedure call or argument"_s);
    EXPECT_EQ(core.window.messageBoxes.size(), 4);
}
