// SPDX-License-Identifier: MIT
#include "RegistryFileFormat.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QStringList Config = {u"Software"_s, u"Tallymeter"_s, u"Config"_s};

RegistryContent roundTrip(const RegistryContent& content)
{
    QString error;
    const std::optional<RegistryContent> parsed =
        RegistryFileFormat::parse(RegistryFileFormat::serialise(content), &error);
    EXPECT_TRUE(parsed.has_value()) << error.toStdString();
    return parsed.value_or(RegistryContent());
}

RegistryContent parseOrFail(const QByteArray& text)
{
    QString error;
    const std::optional<RegistryContent> parsed = RegistryFileFormat::parse(text, &error);
    EXPECT_TRUE(parsed.has_value()) << error.toStdString();
    return parsed.value_or(RegistryContent());
}
} // namespace

TEST(RegistryFileFormat, WritesAReadableExportLikeText)
{
    RegistryContent content;
    content.setValue(Config, u"Path"_s, RegistryValue::text(u"/home/me/Tallymeter"_s));
    content.setValue(Config, u"debug"_s, RegistryValue::dword(10));
    content.setValue(Config, QString(), RegistryValue::text(u"default"_s));
    content.setValue(Config, u"Blob"_s, {REG_BINARY, QByteArray("\x01\xff", 2)});
    content.setValue(Config, u"Multi"_s, {REG_MULTI_SZ, QByteArray("a\0b\0", 4)});
    EXPECT_EQ(RegistryFileFormat::serialise(content), QByteArray("Tallymeter registry 1\n"
                                                                 "\n[Software]\n"
                                                                 "\n[Software\\Tallymeter]\n"
                                                                 "\n[Software\\Tallymeter\\Config]\n"
                                                                 "@=\"default\"\n"
                                                                 "\"Blob\"=hex:01,ff\n"
                                                                 "\"debug\"=dword:0000000a\n"
                                                                 "\"Multi\"=hex(7):61,00,62,00\n"
                                                                 "\"Path\"=\"/home/me/Tallymeter\"\n"));
}

TEST(RegistryFileFormat, KeepsEveryTypeAndItsBytes)
{
    RegistryContent content;
    const QList<std::pair<QString, RegistryValue>> values = {
        {u"sz"_s, RegistryValue::text(u"plain"_s)},
        {u"sz with NULs"_s, {REG_SZ, QByteArray("a\0b\0", 4)}},
        {u"sz not UTF-8"_s, {REG_SZ, QByteArray("\xff\xfe", 2)}},
        {u"empty sz"_s, {REG_SZ, QByteArray()}},
        {u"expand"_s, {REG_EXPAND_SZ, QByteArray("%HOME%\0", 7)}},
        {u"dword max"_s, RegistryValue::dword(0xFFFFFFFFu)},
        {u"dword zero"_s, RegistryValue::dword(0)},
        {u"short dword"_s, {REG_DWORD, QByteArray("\x05", 1)}},
        {u"binary"_s, {REG_BINARY, QByteArray("\x00\x10\x7f\x80", 4)}},
        {u"empty binary"_s, {REG_BINARY, QByteArray()}},
        {u"none"_s, {REG_NONE, QByteArray("x", 1)}},
        {u"qword"_s, {REG_QWORD, QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08", 8)}},
        {u"big type number"_s, {0xFFFFFFFFu, QByteArray("z", 1)}},
    };
    for (const auto& [name, value] : values)
        content.setValue(Config, name, value);
    const RegistryContent back = roundTrip(content);
    for (const auto& [name, value] : values) {
        const RegistryValue* read = back.value(Config, name);
        ASSERT_NE(read, nullptr) << name.toStdString();
        EXPECT_EQ(read->type, value.type) << name.toStdString();
        EXPECT_EQ(read->data, value.data) << name.toStdString();
    }
}

TEST(RegistryFileFormat, AnyTextRoundTripsInNamesValuesAndKeys)
{
    const QStringList texts = {
        u"\"quoted\" = \"x\""_s,
        u"[brackets] ]["_s,
        u"back\\slash\\"_s,
        u"new\nline\r\nand\ttab"_s,
        u"Grüße, Ωμέγα, 日本語, 🙂"_s,
        QString(u"embedded\0NUL\0"_s),
        u"  spaces around  "_s,
        u"percent %41 and \\x41 and \\0"_s,
        u"@"_s,
        u";not a comment"_s,
        QString(QChar(0x7F)) + QChar(0x1B),
    };
    RegistryContent content;
    for (const QString& text : texts) {
        // Key components cannot hold a backslash: it separates them.
        QString component = text;
        component.replace(u'\\', u'/');
        const QStringList key = {u"Software"_s, component};
        content.setValue(key, text, RegistryValue::text(text));
    }
    const RegistryContent back = roundTrip(content);
    for (const QString& text : texts) {
        QString component = text;
        component.replace(u'\\', u'/');
        const QStringList key = {u"Software"_s, component};
        ASSERT_TRUE(back.hasKey(key)) << text.toStdString();
        EXPECT_EQ(back.keys().value(QStringList(key).join(u'\\').toCaseFolded()).path, key);
        const RegistryValue* read = back.value(key, text);
        ASSERT_NE(read, nullptr) << text.toStdString();
        EXPECT_EQ(read->type, REG_SZ);
        EXPECT_EQ(QString::fromUtf8(read->data), text);
        EXPECT_EQ(back.keys().value(QStringList(key).join(u'\\').toCaseFolded()).values.first().first, text);
    }
}

TEST(RegistryFileFormat, ValuesOfTheRootKeyUseAnEmptySection)
{
    RegistryContent content;
    content.setValue({}, u"top"_s, RegistryValue::dword(1));
    const QByteArray text = RegistryFileFormat::serialise(content);
    EXPECT_TRUE(text.contains("\n[]\n\"top\"=dword:00000001\n"));
    const RegistryContent back = roundTrip(content);
    const RegistryValue* read = back.value({}, u"top"_s);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(*read, RegistryValue::dword(1));
}

TEST(RegistryFileFormat, AcceptsWhatAPersonMightWrite)
{
    const RegistryContent content = parseOrFail("; my settings\r\n"
                                                "\r\n"
                                                "  [Software\\Sarnick\\Config]  \r\n"
                                                "# timeout in seconds\r\n"
                                                "\"timeout\" = dword:3c\r\n"
                                                "\"Blob\"=hex: 1, 0a ,FF\r\n"
                                                "\"Path\"=\"C:\\\\x\"   \r\n"
                                                "[software\\sarnick\\config]\n"
                                                "\"TIMEOUT\"=dword:0000003d\n");
    // Sections of other spellings merge; a later value replaces an earlier one.
    const QStringList key = {u"Software"_s, u"Sarnick"_s, u"Config"_s};
    ASSERT_TRUE(content.hasKey({u"Software"_s}));
    ASSERT_TRUE(content.hasKey({u"Software"_s, u"Sarnick"_s}));
    EXPECT_EQ(*content.value(key, u"timeout"_s), RegistryValue::dword(0x3d));
    EXPECT_EQ(content.value(key, u"Blob"_s)->data, QByteArray("\x01\x0a\xff", 3));
    EXPECT_EQ(content.value(key, u"Path"_s)->data, QByteArray("C:\\x"));
    EXPECT_EQ(content.keys().value(u"software\\sarnick\\config"_s).path, key);
}

TEST(RegistryFileFormat, AnEmptyTextIsAnEmptyHive)
{
    const RegistryContent content = parseOrFail({});
    EXPECT_EQ(content.keys().size(), 1); // the root alone
    EXPECT_FALSE(content.hasSubkeys({}));
}

TEST(RegistryFileFormat, RejectsTextItDoesNotUnderstand)
{
    const QList<QByteArray> broken = {
        "\"name\"=\"value before any key\"\n",
        "[Software\n",
        "[Software\\\\Double]\n",
        "[Software\\]\n",
        "[Bad%zzEscape]\n",
        "[Cut%4]\n",
        "[Software]\n\"unterminated=\"x\"\n",
        "[Software]\n\"a\"=\"unterminated\n",
        "[Software]\n\"a\"=\"bad \\q escape\"\n",
        "[Software]\n\"a\"=\"bad \\x4 escape\"\n",
        "[Software]\n\"a\"=\"x\" trailing\n",
        "[Software]\n\"a\"=dword:\n",
        "[Software]\n\"a\"=dword:123456789\n",
        "[Software]\n\"a\"=dword:xyz\n",
        "[Software]\n\"a\"=hex:1,,2\n",
        "[Software]\n\"a\"=hex:123\n",
        "[Software]\n\"a\"=hex(:01\n",
        "[Software]\n\"a\"=qword:1\n",
        "[Software]\n\"a\"\n",
        "[Software]\nname=\"x\"\n",
        "Tallymeter registry 2\n",
        "\x89PNG\r\n\x1a\n",
    };
    for (const QByteArray& text : broken) {
        QString error;
        EXPECT_FALSE(RegistryFileFormat::parse(text, &error).has_value()) << text.toStdString();
        EXPECT_TRUE(error.startsWith(u"line "_s)) << error.toStdString();
    }
}

TEST(RegistryFileFormat, NamesTheLineOfAFault)
{
    QString error;
    EXPECT_FALSE(RegistryFileFormat::parse("Tallymeter registry 1\n\n[A]\n\"ok\"=dword:1\n\"bad\"=\n", &error));
    EXPECT_EQ(error, u"line 5: malformed value"_s);
}
