// SPDX-License-Identifier: MIT
#include "JsonParser.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Parsed
{
    bool ok = false;
    JsonValue value;
    QString error;
};

Parsed parse(const QString& text)
{
    Parsed parsed;
    parsed.error = u"stale"_s;
    parsed.ok = JsonParse2(text, parsed.value, parsed.error);
    return parsed;
}

// The keys of a dictionary in order, as texts.
QStringList keysOf(const JsonValue& value)
{
    QStringList keys;
    for (const auto& entry : *value.dictionary())
        keys << entry.key.toText();
    return keys;
}

} // namespace

TEST(JsonParse2, EmptyOrBlankTextLeavesTheResultUntouched)
{
    for (const QString& text : {QString(), u" \t\r\n "_s}) {
        JsonValue result = JsonValue::fromText(u"before"_s);
        QString error = u"stale"_s;
        EXPECT_TRUE(JsonParse2(text, result, error));
        EXPECT_EQ(result.text(), u"before");
        EXPECT_EQ(error, u"");
    }
}

TEST(JsonParse2, TopLevelPlainValues)
{
    EXPECT_EQ(parse(u"  \"abc\"  "_s).value.text(), u"abc");
    EXPECT_EQ(parse(u"42"_s).value.number(), 42.0);
    EXPECT_TRUE(parse(u"null"_s).value.isNull());
    const Parsed complete = parse(u"{\"a\":1} trailing [garbage"_s);
    EXPECT_TRUE(complete.ok);
    EXPECT_EQ(complete.error, u"");
    EXPECT_EQ(complete.value[u"a"_s].number(), 1.0);
}

TEST(JsonParse2, ObjectKeysIgnoreLetterCase)
{
    const Parsed parsed = parse(u"{\"Success\": 1, \"Token\": \"abc\"}"_s);
    ASSERT_TRUE(parsed.ok);
    ASSERT_TRUE(parsed.value.isDictionary());
    EXPECT_EQ(parsed.value.dictionary()->compareMode(), JsonDictionary::CompareMode::Text);
    EXPECT_EQ(parsed.value[u"success"_s].number(), 1.0);
    EXPECT_EQ(parsed.value[u"TOKEN"_s].text(), u"abc");
    EXPECT_EQ(keysOf(parsed.value), (QStringList{u"Success"_s, u"Token"_s}));
}

TEST(JsonParse2, ArraySlotsAndSeparators)
{
    const Parsed gap = parse(u"[1,,3]"_s);
    ASSERT_TRUE(gap.ok);
    EXPECT_EQ(gap.value.count(), 2);
    EXPECT_EQ(keysOf(gap.value), (QStringList{u"0"_s, u"2"_s}));
    EXPECT_EQ(gap.value[2].number(), 3.0);
    EXPECT_TRUE(gap.value[1].isEmpty());

    EXPECT_EQ(parse(u"[]"_s).value.count(), 0);
    EXPECT_EQ(parse(u"[,]"_s).value.count(), 0);
    EXPECT_EQ(keysOf(parse(u"[1,2"_s).value), (QStringList{u"0"_s, u"1"_s}));
    EXPECT_EQ(keysOf(parse(u"[1,2,]"_s).value), (QStringList{u"0"_s, u"1"_s}));
    EXPECT_EQ(keysOf(parse(u"[,,7]"_s).value), (QStringList{u"2"_s}));
}

TEST(JsonParse2, ALaterValueInTheSameSlotWins)
{
    const Parsed two = parse(u"[1 2]"_s);
    ASSERT_TRUE(two.ok);
    EXPECT_EQ(keysOf(two.value), (QStringList{u"0"_s}));
    EXPECT_EQ(two.value[0].number(), 2.0);
    EXPECT_EQ(parse(u"[1 \"x\", true]"_s).value[0].text(), u"x");
    // A dictionary beats a plain value whichever came first.
    EXPECT_TRUE(parse(u"[[9] 2]"_s).value[0].isDictionary());
    EXPECT_TRUE(parse(u"[2 {\"k\":1}]"_s).value[0].isDictionary());
    EXPECT_EQ(parse(u"[[1] [2,3]]"_s).value[0].count(), 2);
}

TEST(JsonParse2, LiteralsInAnyLetterCase)
{
    const Parsed parsed = parse(u"[TRUE, False, NULL, tRuE, nUlL]"_s);
    ASSERT_TRUE(parsed.ok);
    EXPECT_TRUE(parsed.value[0].boolean());
    EXPECT_TRUE(parsed.value[1].isBoolean());
    EXPECT_FALSE(parsed.value[1].boolean());
    EXPECT_TRUE(parsed.value[2].isNull());
    EXPECT_TRUE(parsed.value[3].boolean());
    EXPECT_TRUE(parsed.value[4].isNull());
}

TEST(JsonParse2, NumberTokens)
{
    const Parsed parsed = parse(u"[0x1F, 1e3, -2.5, .5, 5., +3, 0XfF]"_s);
    ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
    const double expected[] = {31, 1000, -2.5, 0.5, 5, 3, 255};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(parsed.value[i].number(), expected[i]) << i;
    EXPECT_EQ(parsed.value[1].toText(), u"1000");

    // A token is its first character and at most 1001 more; the rest starts the next value.
    const QString exponentOf5 = u"1e"_s + QString(999, u'0') + u"5"_s;    // 1002 characters
    const QString cutAfterZeros = u"1e"_s + QString(1000, u'0') + u"5"_s; // 1003 characters
    EXPECT_EQ(parse(exponentOf5).value.number(), 100000.0);
    EXPECT_EQ(parse(cutAfterZeros).value.number(), 1.0);
    EXPECT_EQ(parse(u"["_s + cutAfterZeros + u"]"_s).value[0].number(), 5.0);
}

TEST(JsonParse2, StringEscapes)
{
    EXPECT_EQ(parse(u"\"a\\u00e9b\""_s).value.text(), u"a\u00e9b");
    EXPECT_EQ(parse(u"\"\\b\\f\\n\\r\\t|\\\"\\\\\\/\\q\\U\""_s).value.text(), u"\b\f\n\r\t|\"\\/qU");
    EXPECT_EQ(parse(u"\"\\x41\\x7a\""_s).value.text(), u"Az");
    EXPECT_EQ(parse(u"\"\\ud83d\\ude00\""_s).value.text(), QString::fromUtf16(u"\U0001F600"));
    EXPECT_EQ(parse(u"\"\\uFFFF\""_s).value.text(), QString(QChar(0xFFFF)));
    // Unclosed strings end at the end of the text, also after a lone backslash.
    EXPECT_EQ(parse(u"\"open"_s).value.text(), u"open");
    EXPECT_EQ(parse(u"[\"ab\\"_s).value[0].text(), u"ab");
    EXPECT_EQ(parse(u"[\"x\",\"unclosed"_s).value[1].text(), u"unclosed");
    const QString longRun = QString(5000, u'r');
    EXPECT_EQ(parse(u"\""_s + longRun + u"\\n"_s + longRun + u"\""_s).value.text(), longRun + u'\n' + longRun);
}

TEST(JsonParse2, ManyDistinctAndRepeatedShortStrings)
{
    // Short strings share storage with equal ones read before; distinct ones must never mix up.
    QString text = u"["_s;
    for (int i = 0; i < 3000; ++i)
        text += u"{\"k"_s + QString::number(i % 1500) + u"\":\"v"_s + QString::number(i) + u"\",\"Type\":\"peak\"},"_s;
    const Parsed parsed = parse(text + u"]"_s);
    ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
    ASSERT_EQ(parsed.value.count(), 3000);
    for (int i = 0; i < 3000; ++i) {
        const JsonValue& entry = parsed.value[i];
        ASSERT_EQ(entry[u"K"_s + QString::number(i % 1500)].text(), u"v"_s + QString::number(i)) << i;
        ASSERT_EQ(entry[u"type"_s].text(), u"peak");
        ASSERT_EQ(entry.count(), 2);
    }
}

TEST(JsonParse2, ObjectLeniencies)
{
    EXPECT_EQ(parse(u"{}"_s).value.count(), 0);
    EXPECT_EQ(keysOf(parse(u"{\"a\":1,}"_s).value), (QStringList{u"a"_s}));
    EXPECT_EQ(parse(u"{\"a\":{\"b\":2"_s).value[u"a"_s][u"b"_s].number(), 2.0);
    EXPECT_EQ(keysOf(parse(u"{1:2, 2.5:3, true:4, null:5, \"n\":6}"_s).value),
              (QStringList{u"1"_s, u"2.5"_s, u"True"_s, u"null"_s, u"n"_s}));
    // A lone string is a value under the empty key, also when the text ends after a colon.
    EXPECT_EQ(parse(u"{\"only\"}"_s).value[u""_s].text(), u"only");
    EXPECT_EQ(parse(u"{\"a\":"_s).value[u""_s].text(), u"a");
    // A later string before the colon replaces the key; a value before it becomes the key.
    EXPECT_EQ(keysOf(parse(u"{\"a\" \"b\": 1}"_s).value), (QStringList{u"b"_s}));
    EXPECT_EQ(keysOf(parse(u"{\"a\":1 \"b\":2}"_s).value), (QStringList{u"1"_s}));
    const Parsed stray = parse(u"{\"a\":1 2, \"b\":[1] [2,3]}"_s);
    EXPECT_EQ(stray.value[u"a"_s].number(), 2.0);
    EXPECT_EQ(stray.value[u"b"_s].count(), 2);
}

TEST(JsonParse2, AFailedMemberValueLeavesAnEmptyMemberAndItsErrorText)
{
    const Parsed parsed = parse(u"{\"a\":}"_s);
    EXPECT_TRUE(parsed.ok);
    EXPECT_EQ(keysOf(parsed.value), (QStringList{u"a"_s}));
    EXPECT_TRUE(parsed.value[u"a"_s].isEmpty());
    EXPECT_EQ(parsed.error, u"Unexpected symbol '}' at position 6");

    const Parsed goesOn = parse(u"{\"a\": , \"b\": 2}"_s);
    EXPECT_TRUE(goesOn.ok);
    EXPECT_TRUE(goesOn.value[u"a"_s].isEmpty());
    EXPECT_EQ(goesOn.value[u"b"_s].number(), 2.0);
    EXPECT_EQ(goesOn.error, u"Unexpected symbol ',' at position 7");

    // The emptied value turns into the key at a second colon.
    const Parsed twoColons = parse(u"{\"a\"::1}"_s);
    EXPECT_EQ(keysOf(twoColons.value), (QStringList{u""_s}));
    EXPECT_EQ(twoColons.value[u""_s].number(), 1.0);
}

TEST(JsonParse2, ProviderUsageReply)
{
    const QString reply = uR"({
  "success": 1, "token": "tok-77",
  "response": {
    "account_info": {"product": "Broadband", "plan": "Home 500"},
    "connections": [{"ip": "203.0.113.7", "on_since": "2024-03-01 06:12:44"}],
    "quota_reset": {"anniversary": 15},
    "offpeak_start": "01:00", "offpeak_end": "07:00",
    "service_list": [
      {"pk_v": "jane@example.net", "s_token": "S1", "actions": ["Usage", "Billing"]},
      {"pk_v": "jane", "s_token": "S2", "actions": ["billing"]}
    ],
    "usage": {
      "traffic_types": [{"classification": "peak", "name": "Peak", "allocation": "500000000000",
                         "is_shaped": true, "shaping_speed": "0"}],
      "data": [
        {"period": "20240301", "types": [{"type": "peak", "value": "1234567890"},
                                         {"type": "uploads", "value": 98765}]},
        {"period": 20240302, "types": [{"type": "peak", "value": 55}]}
      ]
    }
  }
})"_s;
    const Parsed parsed = parse(reply);
    ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
    EXPECT_EQ(parsed.error, u"");
    const JsonValue& response = parsed.value[u"Response"_s];
    EXPECT_EQ(parsed.value[u"success"_s].toNumber(), 1.0);
    EXPECT_EQ(parsed.value[u"token"_s].toText(), u"tok-77");
    EXPECT_EQ(response[u"account_info"_s][u"plan"_s].toText(), u"Home 500");
    EXPECT_EQ(response[u"connections"_s][0][u"on_since"_s].toText(), u"2024-03-01 06:12:44");
    EXPECT_EQ(response[u"quota_reset"_s][u"anniversary"_s].toText(), u"15");
    EXPECT_EQ(response[u"service_list"_s].count(), 2);
    EXPECT_EQ(response[u"service_list"_s][1][u"actions"_s][0].toText(), u"billing");
    const JsonValue& types = response[u"usage"_s][u"traffic_types"_s];
    EXPECT_EQ(types[0][u"allocation"_s].toNumber(), 500000000000.0);
    EXPECT_EQ(types[0][u"is_shaped"_s].toText(), u"True");
    const JsonValue& data = response[u"usage"_s][u"data"_s];
    ASSERT_EQ(data.count(), 2);
    EXPECT_EQ(data[0][u"period"_s].toText(), u"20240301");
    EXPECT_EQ(data[1][u"period"_s].toText(), u"20240302");
    EXPECT_EQ(data[0][u"types"_s][0][u"value"_s].toNumber(), 1234567890.0);
    EXPECT_EQ(data[0][u"types"_s][1][u"value"_s].toText(), u"98765");
    EXPECT_TRUE(data[0][u"types"_s][2].isEmpty());
    EXPECT_TRUE(response[u"missing"_s].isEmpty());
}
