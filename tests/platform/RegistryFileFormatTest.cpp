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
    content.createKey({u"Software"_s, u"Empty"_s});
    // Keys without values stand only where nothing below them names them.
    EXPECT_EQ(RegistryFileFormat::serialise(content), QByteArray("Tallymeter registry 1\n"
                                                                 "\n[Software\\Empty]\n"
                                                                 "\n[Software\\Tallymeter\\Config]\n"
                                                                 "@=\"default\"\n"
                                                                 "\"Blob\"=hex:01,ff\n"
                                                                 "\"debug\"=dword:0000000a\n"
                                                                 "\"Multi\"=hex(7):61,00,62,00\n"
                                                                 "\"Path\"=\"/home/me/Tallymeter\"\n"));
    EXPECT_EQ(roundTrip(content), content);
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
        // A byte-order mark that begins a name, or is the whole of it.
        QString(QChar(0xFEFF)),
        QChar(0xFEFF) + u"marked"_s,
    };
    RegistryContent content;
    for (const QString& text : texts)
        content.setValue({u"Software"_s, text}, text, RegistryValue::text(text));
    // A component with a backslash is one level, not two.
    content.setValue({u"Software"_s, u"back"_s, u"slash"_s}, u"two levels"_s, RegistryValue::dword(2));
    const RegistryContent back = roundTrip(content);
    for (const QString& text : texts) {
        const QStringList key = {u"Software"_s, text};
        const RegistryContent::Key* read = back.key(key);
        ASSERT_NE(read, nullptr) << text.toStdString();
        EXPECT_EQ(read->path, key);
        ASSERT_EQ(read->values.size(), 1);
        EXPECT_EQ(read->values.first().first, text);
        EXPECT_EQ(read->values.first().second, RegistryValue::text(text));
    }
    EXPECT_EQ(back, content);
    EXPECT_EQ(RegistryFileFormat::serialise(back), RegistryFileFormat::serialise(content));
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
    EXPECT_EQ(content.key({u"SOFTWARE"_s, u"sarnick"_s, u"config"_s})->path, key);
}

TEST(RegistryFileFormat, AnEmptyTextIsAnEmptyHive)
{
    const RegistryContent content = parseOrFail({});
    EXPECT_EQ(content.keys().size(), 1); // the root alone
    EXPECT_FALSE(content.hasSubkeys({}));
}

TEST(RegistryFileFormat, WhatItReadsItWritesBackTheSame)
{
    // Hand-edited texts: each is written back as what was read, and written again alike.
    const QList<QByteArray> texts = {
        // A component holding a backslash: at the end, at the start, inside.
        "[Software\\Odd%5C]\n\"v\"=\"odd\"\n[Software\\Tallymeter\\Config]\n\"Username\"=\"alice\"\n",
        "[%5cLead]\n[Mid%5Cdle\\x]\n\"v\"=dword:1\n[mid%5cDLE]\n\"V\"=dword:2\n",
        // Escapes of the other characters the key line gives meaning to, and bytes that are not UTF-8.
        "[%25%5d%00%0a%7f]\n\"\\x00\"=\"\\xff\"\n[\xff\xfe\\\xc3]\n\"\xe9\"=\"\xe9\"\n",
        // Sections of other spellings, a leading blank, typed bytes that read as plainer values.
        "[A]\n[a\\B]\n\"x\"=hex(1):41,42\n[ a]\n\"y\"=hex(4):01,00,00,00\n\"z\"=hex(1):ff\n",
        "[]\n@=\"root\"\n\"\"=\"also the default\"\n",
    };
    for (const QByteArray& text : texts) {
        const RegistryContent read = parseOrFail(text);
        const QByteArray written = RegistryFileFormat::serialise(read);
        EXPECT_EQ(parseOrFail(written), read) << text.toStdString() << "\n---\n" << written.toStdString();
        EXPECT_EQ(RegistryFileFormat::serialise(parseOrFail(written)), written) << text.toStdString();
    }

    const RegistryContent odd = parseOrFail(texts[0]);
    EXPECT_NE(odd.value({u"Software"_s, u"Odd\\"_s}, u"v"_s), nullptr);
    EXPECT_FALSE(odd.hasSubkeys({u"Software"_s, u"Odd"_s}));
    EXPECT_TRUE(RegistryFileFormat::serialise(odd).contains("[Software\\Odd%5c]\n"));
    const RegistryContent middle = parseOrFail(texts[1]);
    EXPECT_FALSE(middle.hasKey({u"Mid"_s}));
    EXPECT_EQ(*middle.value({u"MID\\DLE"_s}, u"v"_s), RegistryValue::dword(2));
}

TEST(RegistryFileFormat, KeysNestOnlySoDeepAndCostTheirOwnLength)
{
    const auto keyLine = [](qsizetype depth, qsizetype componentLength) -> QByteArray {
        QByteArray line = "[";
        for (qsizetype i = 0; i < depth; ++i)
            line += (i > 0 ? "\\" : "") + QByteArray(componentLength, char('a' + i % 26));
        return line + "]\n";
    };

    // As deep as allowed, with long components: saved, the text keeps about its own size rather
    // than repeating the path once for every level.
    const QByteArray deepest = "Tallymeter registry 1\n" + keyLine(RegistryContent::MaxDepth, 60) + "\"v\"=dword:1\n";
    const RegistryContent read = parseOrFail(deepest);
    EXPECT_EQ(read.keys().size(), RegistryContent::MaxDepth + 1);
    const QByteArray written = RegistryFileFormat::serialise(read);
    EXPECT_LT(written.size(), deepest.size() + 100);
    EXPECT_EQ(parseOrFail(written), read);

    // One level more, or a line of thousands of levels, is a file the store treats as unreadable.
    for (const qsizetype depth : {RegistryContent::MaxDepth + 1, qsizetype(500000)}) {
        QString error;
        EXPECT_FALSE(RegistryFileFormat::parse("\n" + keyLine(depth, 1) + "\"v\"=dword:1\n", &error));
        EXPECT_EQ(error, u"line 2: key nested too deeply"_s);
    }
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
