// SPDX-License-Identifier: MIT
#include "JsonParser.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Parsed
{
    bool ok = false;
    JsonValue value = JsonValue::fromText(u"untouched"_s);
    QString error;
};

Parsed parse(const QString& text)
{
    Parsed parsed;
    parsed.ok = JsonParse2(text, parsed.value, parsed.error);
    return parsed;
}

void expectFailure(const QString& text, const QString& error)
{
    const Parsed parsed = parse(text);
    EXPECT_FALSE(parsed.ok) << text.toStdString();
    EXPECT_EQ(parsed.error, error) << text.toStdString();
}

// The raised error's number; the result and the error text must stay as they were.
int32_t raisedNumber(const QString& text)
{
    JsonValue result = JsonValue::fromText(u"untouched"_s);
    QString error = u"untouched"_s;
    try {
        JsonParse2(text, result, error);
    } catch (const RunTimeError& raised) {
        EXPECT_EQ(result.text(), u"untouched") << text.toStdString();
        EXPECT_EQ(error, u"untouched") << text.toStdString();
        return raised.number();
    }
    return 0;
}

QString repeated(const QString& part, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

} // namespace

TEST(JsonParse2Errors, UnexpectedSymbolsWithTheirPositions)
{
    expectFailure(u"tru"_s, u"Unexpected symbol 't' at position 1"_s);
    expectFailure(u"fals"_s, u"Unexpected symbol 'f' at position 1"_s);
    expectFailure(u"[tru]"_s, u"Unexpected symbol 't' at position 2"_s);
    expectFailure(u"]"_s, u"Unexpected symbol ']' at position 1"_s);
    expectFailure(u" \r\n :"_s, u"Unexpected symbol ':' at position 5"_s);
    expectFailure(u"[1, x]"_s, u"Unexpected symbol 'x' at position 5"_s);
    expectFailure(u"{\"a\":1,]}"_s, u"Unexpected symbol ']' at position 8"_s);
    expectFailure(u"\u00e9"_s, u"Unexpected symbol '\u00e9' at position 1"_s);
    EXPECT_EQ(parse(u"x"_s).value.text(), u"untouched"); // no value was read
}

TEST(JsonParse2Errors, NumbersThatDoNotConvertNameTheTokensFirstPosition)
{
    expectFailure(u"-0x10"_s, u"Type mismatch at position 1"_s);
    expectFailure(u"[1, 2, 1-2]"_s, u"Type mismatch at position 8"_s);
    expectFailure(u"{\"a\": [--1]}"_s, u"Type mismatch at position 8"_s);
    expectFailure(u"[0x]"_s, u"Type mismatch at position 2"_s);
    expectFailure(u"[.]"_s, u"Type mismatch at position 2"_s);
    expectFailure(u"[1e400]"_s, u"Overflow at position 2"_s);
}

TEST(JsonParse2Errors, AFailureKeepsTheTopDictionaryAsFarAsItWasBuilt)
{
    const Parsed array = parse(u"[1,2,x]"_s);
    EXPECT_FALSE(array.ok);
    EXPECT_EQ(array.error, u"Unexpected symbol 'x' at position 6");
    ASSERT_TRUE(array.value.isDictionary());
    EXPECT_EQ(array.value.count(), 2);
    EXPECT_EQ(array.value[1].number(), 2.0);

    const Parsed twice = parse(u"{\"a\":[1]:2}"_s);
    EXPECT_FALSE(twice.ok);
    EXPECT_EQ(twice.error, u"Value already specified at position 9");
    ASSERT_TRUE(twice.value.isDictionary());
    EXPECT_EQ(twice.value.count(), 0);

    const Parsed nested = parse(u"{\"ok\":1,\"bad\":[1,}]}"_s);
    EXPECT_FALSE(nested.ok);
    EXPECT_EQ(nested.error, u"Unexpected symbol '}' at position 18");
    EXPECT_EQ(nested.value[u"ok"_s].number(), 1.0);
    EXPECT_FALSE(nested.value.dictionary()->exists(u"bad"_s));
}

TEST(JsonParse2Errors, RaisedErrorsReachTheCaller)
{
    EXPECT_EQ(raisedNumber(u"{\"a\":1,\"A\":2}"_s), 457);
    EXPECT_EQ(raisedNumber(u"[{\"key\":1,\"KEY\":{}}]"_s), 457);
    EXPECT_EQ(raisedNumber(u"\"\\u00zz\""_s), 13);
    EXPECT_EQ(raisedNumber(u"\"\\x4\""_s), 13);
    EXPECT_EQ(raisedNumber(u"\"\\u00e"_s), 13); // the end mark is no hexadecimal digit
    // Cut off before the end mark: the literal or escape would read past the characters.
    for (const QString& text : {u"tr"_s, u"fal"_s, u"nu"_s, u"[t]"_s, u"\"\\u12"_s, u"\"\\x"_s})
        EXPECT_EQ(raisedNumber(text), 9) << text.toStdString();
}

TEST(JsonParse2Errors, NestingIsLimitedTo512Levels)
{
    const Parsed deepest = parse(repeated(u"["_s, 512) + u"7"_s + repeated(u"]"_s, 512));
    ASSERT_TRUE(deepest.ok) << deepest.error.toStdString();
    const JsonValue* level = &deepest.value;
    for (int i = 1; i < 512; ++i)
        level = &(*level)[0];
    EXPECT_EQ((*level)[0].number(), 7.0);

    expectFailure(repeated(u"["_s, 513) + repeated(u"]"_s, 513), u"Nesting too deep at position 513"_s);
    expectFailure(repeated(u"["_s, 100000), u"Nesting too deep at position 513"_s);
    EXPECT_TRUE(parse(repeated(u"{\"a\":"_s, 512)).ok);
    expectFailure(repeated(u"{\"a\":"_s, 100000), u"Nesting too deep at position 2561"_s);
    expectFailure(repeated(u" [{\"k\" :"_s, 50000), u"Nesting too deep at position 2050"_s);
}

TEST(JsonParse2Errors, AFailureDeepInsideNestedObjectsEndsInLinearTime)
{
    // Each member retries its value once after a failure; repeated at every level that would
    // take 2^60 reads.
    expectFailure(repeated(u"{\"a\":"_s, 60) + u"x"_s, u"Unexpected symbol 'x' at position 301"_s);
    const Parsed shallow = parse(repeated(u"{\"a\":"_s, 60) + u"}"_s);
    EXPECT_TRUE(shallow.ok);
    EXPECT_EQ(shallow.error, u"Unexpected symbol '}' at position 301");
}

TEST(JsonParse2Errors, ACharacterZeroEndsTheText)
{
    const Parsed parsed = parse(u"[1"_s + QChar(0) + u",2]"_s);
    EXPECT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.value.count(), 1);
    const Parsed text = parse(u"\"ab"_s + QChar(0) + u"cd\""_s);
    EXPECT_TRUE(text.ok);
    EXPECT_EQ(text.value.text(), u"ab");
}

TEST(JsonParserInternals, GetCharStopsAtTheEndMark)
{
    using namespace JsonParserInternals;
    JsonParserState state(u" \t a"_s);
    EXPECT_EQ(pvJsonGetChar(state), u'a');
    EXPECT_EQ(state.pos, 4);
    EXPECT_EQ(state.lastChar, u'a');
    EXPECT_EQ(pvJsonGetChar(state), 0); // the end mark itself
    EXPECT_EQ(state.pos, 5);
    EXPECT_EQ(state.lastChar, 0);
    state.lastChar = u'z';
    EXPECT_EQ(pvJsonGetChar(state), 0); // beyond it: nothing read, nothing recorded
    EXPECT_EQ(state.pos, 5);
    EXPECT_EQ(state.lastChar, u'z');
    EXPECT_FALSE(pvJsonMissing().has_value());
}

TEST(JsonParse2, AReplyThatMustCloseFailsWhenItEndsInsideAnOpenValue)
{
    const struct
    {
        QString text;
        QString error;
    } cut[] = {
        {u"{\"success\":1,\"data\":[{\"day\":1},{\"day\":2"_s,
         u"Unexpected end of text in an open object at position 40"_s},
        {u"{\"success\":1,\"data\":[1,2,"_s, u"Unexpected end of text in an open array at position 26"_s},
        {u"[{\"a\":1}"_s, u"Unexpected end of text in an open array at position 9"_s},
        {u"{\"success\":1,\"name\":\"Quo"_s, u"Unexpected end of text in an open string at position 25"_s},
        {u"{\"success\":1,\"na"_s, u"Unexpected end of text in an open string at position 17"_s},
        {u"[\"a\\"_s, u"Unexpected end of text in an open string at position 5"_s},
        {u"{\"a\":"_s, u"Unexpected end of text in an open object at position 6"_s},
        {u"[1"_s + QChar(0) + u",2]"_s, u"Unexpected end of text in an open array at position 3"_s},
    };
    for (const auto& [text, error] : cut) {
        JsonValue lenient;
        QString lenientError;
        EXPECT_TRUE(JsonParse2(text, lenient, lenientError)) << text.toStdString(); // lenient unless asked
        JsonValue result;
        QString szErr;
        EXPECT_FALSE(JsonParse2(text, result, szErr, JsonTextEnd::MustClose)) << text.toStdString();
        EXPECT_EQ(szErr, error) << text.toStdString();
    }

    // Whole texts, with the leniencies that do not lose an end: trailing commas, stray text after
    // the value, a member whose value failed.
    for (const QString& text : {u"{\"success\":1,\"data\":[1,2,],}"_s, u"{\"a\":[]} trailing"_s, u"[1,,3]"_s,
                                u"{\"a\":}"_s, u"\"text\""_s, u"42"_s, u""_s}) {
        JsonValue result;
        QString szErr;
        EXPECT_TRUE(JsonParse2(text, result, szErr, JsonTextEnd::MustClose))
            << text.toStdString() << ": " << szErr.toStdString();
    }
    JsonValue result;
    QString szErr;
    EXPECT_FALSE(JsonParse2(u"[1, x"_s, result, szErr, JsonTextEnd::MustClose));
    EXPECT_EQ(szErr, u"Unexpected symbol 'x' at position 5"_s); // a failure before the end keeps its own text
}
