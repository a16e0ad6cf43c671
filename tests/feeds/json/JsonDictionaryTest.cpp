// SPDX-License-Identifier: MIT
#include "JsonDictionary.h"
#include "JsonValue.h"
#include "RunTimeError.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

JsonValue text(const QString& value)
{
    return JsonValue::fromText(value);
}

void expectRaises(int32_t number, const auto& action)
{
    try {
        action();
        ADD_FAILURE() << "no error raised";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), number) << error.description().toStdString();
    }
}

} // namespace

TEST(JsonDictionary, TextModeMatchesKeysWithoutRegardToLetterCase)
{
    JsonDictionary object(JsonDictionary::CompareMode::Text);
    object.add(u"Success"_s, text(u"1"_s));
    object.add(u"Ärger"_s, text(u"umlaut"_s));
    EXPECT_EQ(object.item(u"success"_s).text(), u"1");
    EXPECT_EQ(object.item(u"SUCCESS"_s).text(), u"1");
    EXPECT_EQ(object.item(u"äRGER"_s).text(), u"umlaut");
    EXPECT_TRUE(object.exists(u"sUCCESS"_s));
    EXPECT_FALSE(object.exists(u"Succes"_s));
    EXPECT_FALSE(object.exists(u"Successs"_s));
}

TEST(JsonDictionary, BinaryModeAndKeyKindsKeepKeysApart)
{
    JsonDictionary dictionary(JsonDictionary::CompareMode::Binary);
    dictionary.add(u"a"_s, text(u"lower"_s));
    dictionary.add(u"A"_s, text(u"upper"_s));
    dictionary.add(1, text(u"number"_s));
    dictionary.add(u"1"_s, text(u"text"_s));
    EXPECT_EQ(dictionary.count(), 4);
    EXPECT_EQ(dictionary.item(u"A"_s).text(), u"upper");
    EXPECT_EQ(dictionary.item(1).text(), u"number");
    EXPECT_EQ(dictionary.item(u"1"_s).text(), u"text");
}

TEST(JsonDictionary, KeepsInsertionOrderAndGivesEmptyForMissingKeys)
{
    JsonDictionary object(JsonDictionary::CompareMode::Text);
    const QStringList keys{u"zeta"_s, u"alpha"_s, u"Mid"_s};
    for (const QString& key : keys)
        object.add(key, text(key.toUpper()));
    QStringList seen;
    for (const auto& entry : object)
        seen << entry.key.text();
    EXPECT_EQ(seen, keys);
    EXPECT_EQ(object.entryAt(2).value.text(), u"MID");
    EXPECT_TRUE(object.item(u"nothere"_s).isEmpty());
    EXPECT_TRUE(object.item(0).isEmpty());
    EXPECT_EQ(object.count(), 3); // a failed lookup adds nothing
}

TEST(JsonDictionary, RepeatedKeyRaises457AndChangesNothing)
{
    JsonDictionary object(JsonDictionary::CompareMode::Text);
    object.add(u"a"_s, text(u"first"_s));
    try {
        object.add(u"A"_s, text(u"second"_s));
        ADD_FAILURE() << "no error raised";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), 457);
        EXPECT_EQ(error.description(), u"This key is already associated with an element of this collection");
    }
    EXPECT_EQ(object.count(), 1);
    EXPECT_EQ(object.item(u"a"_s).text(), u"first");

    JsonDictionary array;
    array.add(0, text(u"x"_s));
    array.add(5, text(u"y"_s));
    expectRaises(457, [&] { array.add(5, text(u"z"_s)); });
    expectRaises(457, [&] { array.add(0, text(u"z"_s)); });
    EXPECT_EQ(array.count(), 2);
}

TEST(JsonDictionary, LargeDictionariesFindEveryKeyAndEveryDuplicate)
{
    // Past the few entries searched one by one, the hash index must agree with the comparison.
    JsonDictionary object(JsonDictionary::CompareMode::Text);
    for (int i = 0; i < 2000; ++i)
        object.add(QString(u"Key"_s + QString::number(i)), JsonValue::fromNumber(i));
    for (int i = 0; i < 2000; i += 37)
        EXPECT_EQ(object.item(QString(u"kEY"_s + QString::number(i))).number(), i);
    EXPECT_TRUE(object.item(u"key2000"_s).isEmpty());
    expectRaises(457, [&] { object.add(u"KEY1999"_s, {}); });
    expectRaises(457, [&] { object.add(u"key0"_s, {}); });
    EXPECT_EQ(object.entryAt(1999).key.text(), u"Key1999");
}

TEST(JsonDictionary, SparseAndUnorderedNumberKeys)
{
    JsonDictionary array;
    array.add(0, text(u"a"_s));
    array.add(2, text(u"c"_s));
    EXPECT_TRUE(array.item(1).isEmpty());
    EXPECT_EQ(array.item(2).text(), u"c");
    array.add(1, text(u"b"_s)); // after a gap: found by key, not by position
    EXPECT_EQ(array.item(1).text(), u"b");
    EXPECT_EQ(array.entryAt(1).key.number(), 2);
    for (int i = 100; i > 3; --i)
        array.add(i, JsonValue::fromNumber(i));
    EXPECT_EQ(array.item(50).number(), 50);
    EXPECT_TRUE(array.item(3).isEmpty());
    EXPECT_TRUE(array.item(-1).isEmpty());
    expectRaises(457, [&] { array.add(77, {}); });
}

TEST(JsonValue, TextFormsAsThePlatformShowsThem)
{
    EXPECT_EQ(JsonValue::fromNumber(1000).toText(), u"1000");
    EXPECT_EQ(JsonValue::fromNumber(0.5).toText(), u"0.5");
    EXPECT_EQ(JsonValue::fromNumber(-12.25).toText(), u"-12.25");
    EXPECT_EQ(JsonValue::fromNumber(-0.0).toText(), u"0");
    EXPECT_EQ(JsonValue::fromNumber(123456789012345).toText(), u"123456789012345");
    EXPECT_EQ(JsonValue::fromNumber(0.1 + 0.2).toText(), u"0.30000000000000004");
    EXPECT_EQ(JsonValue::fromNumber(0.00001).toText(), u"0.00001");
    EXPECT_EQ(JsonValue::fromNumber(1e15).toText(), u"1E+15");
    EXPECT_EQ(JsonValue::fromNumber(2.5e-7).toText(), u"2.5E-07");
    EXPECT_EQ(JsonValue::fromBoolean(true).toText(), u"True");
    EXPECT_EQ(JsonValue::fromBoolean(false).toText(), u"False");
    EXPECT_EQ(JsonValue::null().toText(), u"");
    EXPECT_EQ(JsonValue().toText(), u"");
    EXPECT_EQ(JsonValue::fromText(u" as is "_s).toText(), u" as is ");
    const auto dictionary = JsonValue::fromDictionary(std::make_shared<JsonDictionary>());
    expectRaises(13, [&] { (void)dictionary.toText(); });
}

TEST(JsonValue, NumbersFromEveryKind)
{
    bool ok = false;
    EXPECT_EQ(JsonValue::fromText(u" 42.5 "_s).toNumber(&ok), 42.5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(JsonValue::fromBoolean(true).toNumber(&ok), -1.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(JsonValue().toNumber(&ok), 0.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(JsonValue::fromText(u"12abc"_s).toNumber(&ok), 0.0);
    EXPECT_FALSE(ok);
    JsonValue::null().toNumber(&ok);
    EXPECT_FALSE(ok);
}

TEST(JsonValue, WalkingIntoAPlainValueRaisesObjectRequired)
{
    auto object = std::make_shared<JsonDictionary>(JsonDictionary::CompareMode::Text);
    object->add(u"Name"_s, JsonValue::fromText(u"x"_s));
    const JsonValue tree = JsonValue::fromDictionary(object);
    EXPECT_EQ(tree[u"NAME"_s].text(), u"x");
    EXPECT_TRUE(tree[u"missing"_s].isEmpty());
    EXPECT_EQ(tree.count(), 1);
    expectRaises(424, [&] { (void)tree[u"missing"_s][u"deeper"_s]; });
    expectRaises(424, [&] { (void)tree[u"name"_s].count(); });
    expectRaises(424, [&] { (void)JsonValue()[0]; });
}
