// SPDX-License-Identifier: MIT
#include "UserNames.h"

#include <QList>
#include <QPair>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Line
{
    QString text;
    int16_t level;
};

class Lines
{
public:
    StatusSink sink()
    {
        return [this](const QString& text, int16_t level) { m_lines.append({text, level}); };
    }
    const QList<Line>& all() const { return m_lines; }

private:
    QList<Line> m_lines;
};

TEST(UserNames, CleanUsernameKeepsWhatComesBeforeTheFirstAt)
{
    EXPECT_EQ(CleanUsername(u"alice@quolla.example"_s), u"alice"_s);
    EXPECT_EQ(CleanUsername(u"alice"_s), u"alice"_s);
    EXPECT_EQ(CleanUsername(u"@quolla.example"_s), QString());
    EXPECT_EQ(CleanUsername(u"a@b@c"_s), u"a"_s);
    EXPECT_EQ(CleanUsername(QString()), QString());
}

TEST(UserNames, URLEncodeEscapesEveryByteButTheSafeOnes)
{
    Lines lines;
    EXPECT_EQ(URLEncode(u"Az09.-_*"_s, lines.sink()), u"Az09.-_*"_s);
    EXPECT_EQ(URLEncode(u"a b"_s, lines.sink()), u"a+b"_s);
    EXPECT_EQ(URLEncode(u"&=~+%/?#@"_s, lines.sink()), u"%26%3D%7E%2B%25%2F%3F%23%40"_s);
    EXPECT_EQ(URLEncode(QString(QChar(5)), lines.sink()), u"%05"_s);
    // Every byte of the UTF-8 form, so the provider gets the character back whole.
    EXPECT_EQ(URLEncode(u"\u00fc"_s, lines.sink()), u"%C3%BC"_s);
    EXPECT_EQ(URLEncode(u"\u20ac1"_s, lines.sink()), u"%E2%82%AC1"_s);
    EXPECT_EQ(URLEncode(u"\U0001F600"_s, lines.sink()), u"%F0%9F%98%80"_s);
    EXPECT_EQ(URLEncode(QString(), lines.sink()), QString());

    ASSERT_EQ(lines.all().size(), 8);
    EXPECT_EQ(lines.all()[0].text, u"URLEncode: encoding 8 char string"_s);
    EXPECT_EQ(lines.all()[0].level, 12);
    EXPECT_EQ(lines.all()[7].text, u"URLEncode: encoding 0 char string"_s);
    // Without a listener it encodes all the same.
    EXPECT_EQ(URLEncode(u"a b"_s, {}), u"a+b"_s);
}

TEST(UserNames, FullUsernameAppendsTheBrandsDomain)
{
    const FullUsernameWording wording{u"Pelborne.FullUsername"_s, u"JSON"_s};
    const QList<QPair<QString, QString>> brands{
        {u"Quolla"_s, u"bob@quolla.example"_s},   {u"BRINDLE"_s, u"bob@brindle.example"_s},
        {u"corvo"_s, u"bob@corvo.example"_s},     {u"DaPpLe"_s, u"bob@dapple.example"_s},
        {u"Emberly"_s, u"bob@emberly.example"_s},
    };
    for (const auto& [account, expected] : brands) {
        Lines lines;
        EXPECT_EQ(FullUsername(u"bob"_s, account, wording, lines.sink()), expected);
        ASSERT_EQ(lines.all().size(), 1);
        EXPECT_EQ(lines.all()[0].text, u"Pelborne.FullUsername: appending domain name for "_s + account +
                                           u" to username for JSON feed authentication"_s);
        EXPECT_EQ(lines.all()[0].level, 6);
    }
}

TEST(UserNames, FullUsernameLeavesOtherNamesAlone)
{
    const FullUsernameWording wording{u"Sarnick.RetrieveData"_s, u"XML"_s};
    for (const QString& account : {QString(), u"quolla "_s, u"Other"_s}) {
        Lines lines;
        EXPECT_EQ(FullUsername(u"bob"_s, account, wording, lines.sink()), u"bob"_s);
        ASSERT_EQ(lines.all().size(), 2);
        EXPECT_EQ(lines.all()[1].text,
                  u"Sarnick.RetrieveData: unknown account type ["_s + account + u"], no domain name to append"_s);
        EXPECT_EQ(lines.all()[1].level, 3);
    }
    Lines silent;
    EXPECT_EQ(FullUsername(u"bob@elsewhere.example"_s, u"Quolla"_s, wording, silent.sink()),
              u"bob@elsewhere.example"_s);
    EXPECT_EQ(FullUsername(u"@"_s, u"Quolla"_s, wording, silent.sink()), u"@"_s);
    EXPECT_TRUE(silent.all().isEmpty());
}

TEST(UserNames, TemplatesAreFilledInOnePass)
{
    const QString login = u"https://h/x?u=qoUID&p=qoPWD&again=QOUID&pw2=qopwd"_s;
    // Every user placeholder, only the first password placeholder, any letter case.
    EXPECT_EQ(FillUrlTemplate(login, {{u"qoUID"_s, u"bob"_s, false}, {u"qoPWD"_s, u"secret"_s, true}}),
              u"https://h/x?u=bob&p=secret&again=bob&pw2=qopwd"_s);
    // Values are never searched again: a user name that spells a placeholder keeps it.
    EXPECT_EQ(FillUrlTemplate(login, {{u"qoUID"_s, u"qopwd"_s, false}, {u"qoPWD"_s, u"secret"_s, true}}),
              u"https://h/x?u=qopwd&p=secret&again=qopwd&pw2=qopwd"_s);
    EXPECT_EQ(FillUrlTemplate(u"?t=qoTOKEN&s=qoSERVICE"_s,
                              {{u"qoTOKEN"_s, u"qoSERVICE"_s, false}, {u"qoSERVICE"_s, u"svc"_s, true}}),
              u"?t=qoSERVICE&s=svc"_s);
    EXPECT_EQ(FillUrlTemplate(u"no placeholders qoUI"_s, {{u"qoUID"_s, u"x"_s, false}}), u"no placeholders qoUI"_s);
    EXPECT_EQ(FillUrlTemplate(QString(), {{u"qoUID"_s, u"x"_s, false}}), QString());
}

} // namespace
