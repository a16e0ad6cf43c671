// SPDX-License-Identifier: MIT
#include "VersionResource.h"
#include "ElfTestImage.h"
#include "TestEnvironment.h"
#include "VersionBlockFormat.h"

#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using VersionBlockFormat::StringPair;

constexpr std::array<StringPair, 3> Strings{{
    {"FileVersion", "1.03.0002"},
    {"ProductName", "Tallyroo"},
    {"CompanyName", ""},
}};

const VersionBlockFormat::Block SampleBlock = [] {
    VersionBlockFormat::Block block;
    block.fixed = {1, 3, 2, 7};
    block.strings = Strings;
    return block;
}();

using ElfTestImage::encodeBlock;
using ElfTestImage::setDeclaredSize;

QString writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = TestEnvironment::freshFolder(name) + u"/file.bin";
    EXPECT_TRUE(ElfTestImage::write(path, bytes));
    return path;
}

QString elfWithSection(const QString& name, const QByteArray& data, Elf64_Word type = SHT_PROGBITS)
{
    return writeFile(name, ElfTestImage::build({{".text", "code"}, {".tally_version", data, type}}));
}

QByteArray query(const QByteArray& block, const QString& subBlock)
{
    QByteArray value;
    return VersionResource::queryValue(block, subBlock, value) ? value : QByteArray("<none>");
}

// The reader must answer for any file; when it finds a block, that block must be well-formed.
void expectSaneAnswer(const QString& path)
{
    QByteArray block;
    const bool found = VersionResource::readInfo(path, block);
    EXPECT_EQ(VersionResource::infoSize(path), found ? uint32_t(block.size()) : 0u);
    if (found) {
        ASSERT_GE(block.size(), qsizetype(VersionBlockFormat::HeaderSize));
        EXPECT_EQ(block.left(8), QByteArray("TALLYVER"));
        QByteArray value;
        VersionResource::queryValue(block, u"\\StringFileInfo\\040904E4\\ProductName"_s, value);
    }
}

} // namespace

TEST(VersionResourceReader, ReadsTheBlockAndItsParts)
{
    const QByteArray encoded = encodeBlock(SampleBlock);
    const QString path = elfWithSection(u"valid"_s, encoded);
    EXPECT_EQ(VersionResource::infoSize(path), uint32_t(encoded.size()));
    QByteArray block;
    ASSERT_TRUE(VersionResource::readInfo(path, block));
    EXPECT_EQ(block, encoded);

    EXPECT_EQ(query(block, u"\\VarFileInfo\\Translation"_s), QByteArray("\x09\x04\xE4\x04"));
    const QByteArray fixedBytes = query(block, u"\\"_s);
    ASSERT_EQ(fixedBytes.size(), qsizetype(sizeof(VersionBlockFormat::FixedVersionInfo)));
    VersionBlockFormat::FixedVersionInfo fixed;
    std::memcpy(&fixed, fixedBytes.constData(), sizeof fixed);
    EXPECT_EQ(fixed.major, 1u);
    EXPECT_EQ(fixed.minor, 3u);
    EXPECT_EQ(fixed.patch, 2u);
    EXPECT_EQ(fixed.build, 7u);

    // Values come with their terminating NUL; names and keys ignore case.
    EXPECT_EQ(query(block, u"\\StringFileInfo\\040904E4\\FileVersion"_s), QByteArray("1.03.0002", 10));
    EXPECT_EQ(query(block, u"\\stringfileinfo\\040904e4\\productname"_s), QByteArray("Tallyroo", 9));
    EXPECT_EQ(query(block, u"\\varfileinfo\\translation"_s).size(), 4);
    EXPECT_EQ(query(block, u"\\StringFileInfo\\040904E4\\CompanyName"_s), QByteArray(1, '\0'));
    EXPECT_EQ(query(block, u"\\StringFileInfo\\040904E4\\Comments"_s), QByteArray("<none>"));
    EXPECT_EQ(query(block, u"\\StringFileInfo\\040704B0\\FileVersion"_s), QByteArray("<none>"));
    EXPECT_EQ(query(block, u"\\StringFileInfo\\040904E4"_s), QByteArray("<none>"));
    EXPECT_EQ(query(block, u"\\VarFileInfo"_s), QByteArray("<none>"));
    EXPECT_EQ(query(block, QString()), QByteArray("<none>"));
}

TEST(VersionResourceReader, SectionPaddingBeyondTheBlockIsNotPartOfIt)
{
    const QByteArray encoded = encodeBlock(SampleBlock);
    const QString path = elfWithSection(u"padded"_s, encoded + QByteArray(64, '\0'));
    QByteArray block;
    ASSERT_TRUE(VersionResource::readInfo(path, block));
    EXPECT_EQ(block, encoded);
}

TEST(VersionResourceReader, FilesThatAreNotElf64HaveNoBlock)
{
    const QString folder = TestEnvironment::freshFolder(u"notelf"_s);
    QByteArray image = ElfTestImage::build({{".tally_version", encodeBlock(SampleBlock)}});
    QByteArray elf32 = image;
    elf32[EI_CLASS] = ELFCLASS32;
    QByteArray bigEndian = image;
    bigEndian[EI_DATA] = ELFDATA2MSB;
    const std::pair<QString, QByteArray> files[] = {
        {u"text"_s, "just some text that is long enough to look like a header, but is not one at all"},
        {u"empty"_s, {}},
        {u"magic only"_s, "\x7f"
                          "ELF"},
        {u"elf32"_s, elf32},
        {u"big endian"_s, bigEndian},
    };
    for (const auto& [name, bytes] : files) {
        const QString path = folder + u'/' + name;
        ASSERT_TRUE(ElfTestImage::write(path, bytes));
        EXPECT_EQ(VersionResource::infoSize(path), 0u) << name.toStdString();
        QByteArray block("stale");
        EXPECT_FALSE(VersionResource::readInfo(path, block)) << name.toStdString();
        EXPECT_TRUE(block.isEmpty());
    }
    EXPECT_EQ(VersionResource::infoSize(folder + u"/missing"), 0u);
    EXPECT_EQ(VersionResource::infoSize(folder), 0u);
    EXPECT_EQ(VersionResource::infoSize(QString()), 0u);
    // A FIFO must not block the reader waiting for a writer.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + u"/fifo").constData(), 0600), 0);
    EXPECT_EQ(VersionResource::infoSize(folder + u"/fifo"), 0u);
}

TEST(VersionResourceReader, SectionWithoutAValidBlockGivesNone)
{
    const QByteArray encoded = encodeBlock(SampleBlock);
    QByteArray badMagic = encoded;
    badMagic[0] = 'X';
    QByteArray badFormat = encoded;
    badFormat[8] = 2;
    QByteArray tooLong = encoded;
    setDeclaredSize(tooLong, uint32_t(encoded.size() + 1));
    QByteArray tooShort = encoded;
    setDeclaredSize(tooShort, VersionBlockFormat::HeaderSize - 1);
    QByteArray huge = encoded + QByteArray(70 * 1024, '\0');
    setDeclaredSize(huge, uint32_t(huge.size()));

    const std::pair<QString, QByteArray> sections[] = {
        {u"bad magic"_s, badMagic}, {u"bad format"_s, badFormat},        {u"too long"_s, tooLong},
        {u"too short"_s, tooShort}, {u"header cut"_s, encoded.left(15)}, {u"huge"_s, huge},
    };
    for (const auto& [name, data] : sections)
        EXPECT_EQ(VersionResource::infoSize(elfWithSection(u"invalid"_s, data)), 0u) << name.toStdString();

    EXPECT_EQ(VersionResource::infoSize(elfWithSection(u"nobits"_s, encoded, SHT_NOBITS)), 0u);
    EXPECT_EQ(VersionResource::infoSize(writeFile(u"nosection"_s, ElfTestImage::build({{".data", encoded}}))), 0u);
}

TEST(VersionResourceReader, DamagedHeadersGiveNoneNeverACrash)
{
    const QByteArray image = ElfTestImage::build({{".tally_version", encodeBlock(SampleBlock)}});
    const int blockIndex = 1;
    const int namesIndex = 2;
    const auto withHeader = [&](auto change) {
        QByteArray copy = image;
        Elf64_Ehdr header = ElfTestImage::header(copy);
        change(header);
        ElfTestImage::setHeader(copy, header);
        return copy;
    };
    const auto withSection = [&](int index, auto change) {
        QByteArray copy = image;
        Elf64_Shdr section = ElfTestImage::section(copy, index);
        change(section);
        ElfTestImage::setSection(copy, index, section);
        return copy;
    };
    const std::pair<const char*, QByteArray> damaged[] = {
        {"table past the end", withHeader([](Elf64_Ehdr& h) { h.e_shoff = 1u << 30; })},
        {"table offset wraps", withHeader([](Elf64_Ehdr& h) { h.e_shoff = ~Elf64_Off(0) - 8; })},
        {"no table", withHeader([](Elf64_Ehdr& h) { h.e_shoff = 0; })},
        {"too many sections", withHeader([](Elf64_Ehdr& h) { h.e_shnum = 0xFFFF; })},
        {"entries too small", withHeader([](Elf64_Ehdr& h) { h.e_shentsize = 8; })},
        {"name table out of range", withHeader([](Elf64_Ehdr& h) { h.e_shstrndx = 7; })},
        {"name table is section 0", withHeader([](Elf64_Ehdr& h) { h.e_shstrndx = 0; })},
        {"extended count of zero", withHeader([](Elf64_Ehdr& h) { h.e_shnum = 0; })},
        {"extended name index", withHeader([](Elf64_Ehdr& h) { h.e_shstrndx = SHN_XINDEX; })},
        {"names past the end", withSection(namesIndex, [](Elf64_Shdr& s) { s.sh_offset = 1u << 30; })},
        {"names size wraps", withSection(namesIndex, [](Elf64_Shdr& s) { s.sh_size = ~Elf64_Xword(0); })},
        {"names not a table", withSection(namesIndex, [](Elf64_Shdr& s) { s.sh_type = SHT_PROGBITS; })},
        {"name offset past table", withSection(blockIndex, [](Elf64_Shdr& s) { s.sh_name = 0x7FFFFFFF; })},
        {"block past the end", withSection(blockIndex, [](Elf64_Shdr& s) { s.sh_offset = 1u << 30; })},
        {"block size wraps", withSection(blockIndex, [](Elf64_Shdr& s) { s.sh_size = ~Elf64_Xword(0) - 2; })},
        {"block offset wraps", withSection(blockIndex, [](Elf64_Shdr& s) { s.sh_offset = ~Elf64_Off(0) - 2; })},
        {"truncated", image.left(image.size() - 1)},
    };
    for (const auto& [name, bytes] : damaged) {
        const QString path = writeFile(u"damaged"_s, bytes);
        EXPECT_EQ(VersionResource::infoSize(path), 0u) << name;
        QByteArray block;
        EXPECT_FALSE(VersionResource::readInfo(path, block)) << name;
    }
}

TEST(VersionResourceReader, SurvivesEveryFlippedByteOfAnImage)
{
    const QByteArray image = ElfTestImage::build({{".tally_version", encodeBlock(SampleBlock)}});
    const QString path = TestEnvironment::freshFolder(u"flipped"_s) + u"/file.bin";
    for (const char mask : {char(0xFF), char(0x80), char(0x01)}) {
        for (qsizetype i = 0; i < image.size(); ++i) {
            QByteArray copy = image;
            copy[i] = char(copy[i] ^ mask);
            ASSERT_TRUE(ElfTestImage::write(path, copy));
            expectSaneAnswer(path);
        }
    }
}

namespace {
// A copy of this test program, which carries its own block (tally_embed_version in the CMake list).
QString copyOfThisProgram(const QString& name)
{
    const QString path = TestEnvironment::freshFolder(name) + u"/copy";
    EXPECT_TRUE(QFile::copy(u"/proc/self/exe"_s, path));
    EXPECT_GT(VersionResource::infoSize(path), 0u);
    return path;
}

Elf64_Ehdr headerOf(QFile& file)
{
    Elf64_Ehdr header{};
    file.seek(0);
    EXPECT_EQ(file.read(reinterpret_cast<char*>(&header), sizeof header), qint64(sizeof header));
    return header;
}
} // namespace

TEST(VersionResourceReader, RealProgramWithSectionsOutOfReach)
{
    QFile file(copyOfThisProgram(u"realprogram-offsets"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const Elf64_Ehdr header = headerOf(file);
    for (int i = 0; i < header.e_shnum; ++i) {
        const qint64 at = qint64(header.e_shoff) + i * header.e_shentsize;
        Elf64_Shdr section{};
        ASSERT_TRUE(file.seek(at));
        ASSERT_EQ(file.read(reinterpret_cast<char*>(&section), sizeof section), qint64(sizeof section));
        section.sh_offset = ~Elf64_Off(0) - 16;
        ASSERT_TRUE(file.seek(at));
        ASSERT_EQ(file.write(reinterpret_cast<const char*>(&section), sizeof section), qint64(sizeof section));
    }
    file.flush();
    EXPECT_EQ(VersionResource::infoSize(file.fileName()), 0u);
}

TEST(VersionResourceReader, RealProgramCutShort)
{
    QFile file(copyOfThisProgram(u"realprogram-cut"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 fullSize = file.size();
    const Elf64_Ehdr header = headerOf(file);
    // The linker puts the section header table last, so any cut loses (part of) it.
    ASSERT_EQ(qint64(header.e_shoff) + header.e_shnum * header.e_shentsize, fullSize);
    for (const qint64 size : {fullSize - 1, fullSize - qint64(sizeof(Elf64_Shdr)) + 3, qint64(header.e_shoff) + 1}) {
        ASSERT_TRUE(file.resize(size));
        EXPECT_EQ(VersionResource::infoSize(file.fileName()), 0u) << size;
    }
    for (int step = 31; step >= 0; --step) {
        ASSERT_TRUE(file.resize(fullSize * step / 32));
        EXPECT_EQ(VersionResource::infoSize(file.fileName()), 0u) << step;
        expectSaneAnswer(file.fileName());
    }
}

TEST(VersionResourceQuery, PartsMissingFromAShortBlockAreNotFound)
{
    using namespace VersionBlockFormat;
    QByteArray encoded = encodeBlock(SampleBlock);

    QByteArray headerOnly = encoded.left(HeaderSize);
    setDeclaredSize(headerOnly, HeaderSize);
    EXPECT_EQ(query(headerOnly, u"\\VarFileInfo\\Translation"_s), QByteArray("<none>"));
    EXPECT_EQ(query(headerOnly, u"\\"_s), QByteArray("<none>"));

    QByteArray noFixed = encoded.left(FixedOffset);
    setDeclaredSize(noFixed, FixedOffset);
    EXPECT_EQ(query(noFixed, u"\\VarFileInfo\\Translation"_s).size(), 4);
    EXPECT_EQ(query(noFixed, u"\\"_s), QByteArray("<none>"));

    QByteArray noTable = encoded.left(StringsOffset - 1);
    setDeclaredSize(noTable, StringsOffset - 1);
    EXPECT_EQ(query(noTable, u"\\"_s).size(), qsizetype(sizeof(FixedVersionInfo)));
    EXPECT_EQ(query(noTable, u"\\StringFileInfo\\040904E4\\FileVersion"_s), QByteArray("<none>"));

    // The declared size ends inside "Tallyroo": its value has no NUL within the block.
    const qsizetype cut = encoded.indexOf("Tallyroo") + 4;
    QByteArray cutValue = encoded;
    setDeclaredSize(cutValue, uint32_t(cut));
    EXPECT_EQ(query(cutValue, u"\\StringFileInfo\\040904E4\\FileVersion"_s), QByteArray("1.03.0002", 10));
    EXPECT_EQ(query(cutValue, u"\\StringFileInfo\\040904E4\\ProductName"_s), QByteArray("<none>"));

    // A block whose declared size runs past the bytes handed in is read only as far as it goes.
    EXPECT_EQ(query(encoded.left(cut), u"\\StringFileInfo\\040904E4\\ProductName"_s), QByteArray("<none>"));
    EXPECT_EQ(query(QByteArray("TALLYVER"), u"\\"_s), QByteArray("<none>"));
    EXPECT_EQ(query(QByteArray(), u"\\"_s), QByteArray("<none>"));
}
