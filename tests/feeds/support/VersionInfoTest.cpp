// SPDX-License-Identifier: MIT
#include "ElfTestImage.h"
#include "FileVersionInfo.h"
#include "Path.h"
#include "RunTimeError.h"
#include "TestEnvironment.h"
#include "VersionBlockFormat.h"
#include "VersionText.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <array>

using namespace Qt::StringLiterals;

namespace {

using VersionBlockFormat::StringPair;
using namespace std::string_view_literals;

constexpr std::array<StringPair, 3> Strings{{
    {"FileVersion", "2.04.0010"},
    {"ProductName", "Sample product"},
    {"Comments", "ends\0hidden"sv}, // a NUL inside the value cuts it
}};

VersionBlockFormat::Block sampleBlock(uint16_t language = 0x0409, uint16_t codePage = 1252,
                                      std::string_view tableKey = "040904E4")
{
    VersionBlockFormat::Block block;
    block.language = language;
    block.codePage = codePage;
    block.tableKey = tableKey;
    block.strings = Strings;
    return block;
}

// An ELF file holding the block; the block may be cut to its first `keep` bytes (with its size
// field saying so), which drops the translation, fixed information or string table.
QString fileWithBlock(const QString& name, const VersionBlockFormat::Block& block, qsizetype keep = -1)
{
    QByteArray bytes = ElfTestImage::encodeBlock(block);
    if (keep >= 0) {
        bytes.truncate(keep);
        ElfTestImage::setDeclaredSize(bytes, uint32_t(keep));
    }
    const QString path = TestEnvironment::freshFolder(name) + u"/module.so";
    EXPECT_TRUE(ElfTestImage::write(path, ElfTestImage::build({{".tally_version", bytes}})));
    return path;
}

RunTimeError raisedBy(clsFileVersionInfo& info, const QString& path)
{
    try {
        info.setFileName(path);
    } catch (const RunTimeError& error) {
        return error;
    }
    ADD_FAILURE() << "no RunTimeError raised for " << path.toStdString();
    return RunTimeError(0, {});
}

} // namespace

// The test program carries the block of tally_embed_version(support_tests PRODUCT_NAME "Tallyroo"
// VERSION 1.3.2).
TEST(VersionInfo, ReadsTheTestProgramsOwnVersionBlock)
{
    clsFileVersionInfo info;
    info.setFileName(NameOfCaller());
    EXPECT_EQ(info.languageCode(), u"040904E4");
    EXPECT_EQ(info.FileVersion(), u"1.03.0002");
    EXPECT_EQ(info.ProductName(), u"Tallyroo");
    EXPECT_EQ(info.GetValue(u"FileDescription"_s), u"Tallyroo");
    EXPECT_EQ(info.fixedInfo().major, 1u);
    EXPECT_EQ(info.fixedInfo().minor, 3u);
    EXPECT_EQ(info.fixedInfo().patch, 2u);
}

TEST(VersionInfo, GetFileVersionCleansTheVersionAndGivesTheProduct)
{
    QString product;
    EXPECT_EQ(GetFileVersion(NameOfCaller(), product), u"1.3.2");
    EXPECT_EQ(product, u"Tallyroo");
}

TEST(VersionInfo, CallerVersionInfoNamesTheHostProgram)
{
    EXPECT_EQ(CallerVersionInfo(), u"Tallyroo 1.3.2");
}

TEST(VersionInfo, PathOfCallerIsTheTestProgramsFolder)
{
    const QString expected = QFileInfo(QStringLiteral(TALLY_TEST_BINARY_DIR)).canonicalFilePath();
    EXPECT_EQ(PathOfCaller(), expected);
    EXPECT_FALSE(PathOfCaller().endsWith(u'/'));
    EXPECT_EQ(NameOfCaller(), expected + u"/support_tests");
    EXPECT_EQ(PathOfCaller_9x(), PathOfCaller_NT());
    EXPECT_EQ(GetVersion(), 2);
}

TEST(FileVersionErrors, EmptyNameRaisesTheFirstErrorAndKeepsTheName)
{
    clsFileVersionInfo info;
    const RunTimeError error = raisedBy(info, QString());
    EXPECT_EQ(error.number(), -2127660985);
    EXPECT_EQ(error.description(), u"Either you haven't specified a valid file name, or the module you specified "
                                   u"can't be associated with a file.");
    EXPECT_EQ(error.source(), u"VersionInfo");
    EXPECT_EQ(info.FileVersion(), QString());
}

TEST(FileVersionErrors, FileWithoutABlockRaisesTheSizeError)
{
    const QString folder = TestEnvironment::freshFolder(u"noblock"_s);
    const QString plain = folder + u"/plain.txt";
    ASSERT_TRUE(ElfTestImage::write(plain, "not a program"));
    const QString elf = folder + u"/other.so";
    ASSERT_TRUE(ElfTestImage::write(elf, ElfTestImage::build({{".data", "xyz"}})));

    for (const QString& path : {plain, elf, QString(folder + u"/missing.so"), folder}) {
        clsFileVersionInfo info;
        const RunTimeError error = raisedBy(info, path);
        EXPECT_EQ(error.number(), -2127660984) << path.toStdString();
        EXPECT_EQ(error.description(),
                  u"Unable to retrieve the version info size. Perhaps the module name or file name is invalid.");
        EXPECT_EQ(error.source(), u"VersionInfo");
        EXPECT_EQ(info.FileName(), path);
    }
}

TEST(FileVersionErrors, BlockWithoutTranslationOrFixedInformationRaises)
{
    clsFileVersionInfo info;
    const VersionBlockFormat::Block block = sampleBlock();
    const RunTimeError noTranslation = raisedBy(info, fileWithBlock(u"headeronly"_s, block, 16));
    EXPECT_EQ(noTranslation.number(), -2127660982);
    EXPECT_EQ(noTranslation.description(), u"Unable to retrieve language and code page information.");
    EXPECT_EQ(noTranslation.source(), u"VersionInfo");

    const RunTimeError noFixed = raisedBy(info, fileWithBlock(u"nofixed"_s, block, 20));
    EXPECT_EQ(noFixed.number(), -2127660981);
    EXPECT_EQ(noFixed.description(), u"Unable to retrieve fixed file version information.");
    EXPECT_EQ(noFixed.source(), u"VersionInfo");
}

TEST(VersionBlockValues, ZeroTranslationReadsTheDefaultStringTable)
{
    clsFileVersionInfo info;
    info.setFileName(fileWithBlock(u"zerotranslation"_s, sampleBlock(0, 0)));
    EXPECT_EQ(info.languageCode(), u"040904E4");
    EXPECT_EQ(info.FileVersion(), u"2.04.0010");
    EXPECT_EQ(info.ProductName(), u"Sample product");
}

TEST(VersionBlockValues, LanguageCodeIsLanguageThenCodePageInUpperCaseHex)
{
    clsFileVersionInfo info;
    // German, Unicode: a table under any other key is not found.
    info.setFileName(fileWithBlock(u"german"_s, sampleBlock(0x0407, 0x04B0, "040704b0")));
    EXPECT_EQ(info.languageCode(), u"040704B0");
    EXPECT_EQ(info.ProductName(), u"Sample product");

    info.setFileName(fileWithBlock(u"mismatch"_s, sampleBlock(0x0C0A, 0x000A)));
    EXPECT_EQ(info.languageCode(), u"0C0A000A");
    EXPECT_EQ(info.ProductName(), QString());
}

TEST(VersionBlockValues, ValuesStopAtTheirFirstNulAndMissingOnesAreEmpty)
{
    clsFileVersionInfo info;
    info.setFileName(fileWithBlock(u"values"_s, sampleBlock()));
    EXPECT_EQ(info.GetValue(u"Comments"_s), u"ends");
    EXPECT_EQ(info.GetValue(u"comments"_s), u"ends");
    EXPECT_EQ(info.GetValue(u"CompanyName"_s), QString());
}

TEST(VersionBlockValues, ZeroPadAndTrimNull)
{
    EXPECT_EQ(clsFileVersionInfo::ZeroPad(u"9"_s, u"2"_s), u"09");
    EXPECT_EQ(clsFileVersionInfo::ZeroPad(u"E4"_s, u"2"_s), u"E4");
    EXPECT_EQ(clsFileVersionInfo::ZeroPad(u"12345"_s, u"4"_s), u"2345");
    EXPECT_EQ(clsFileVersionInfo::ZeroPad(u"7"_s, u"0"_s), QString());
    EXPECT_EQ(clsFileVersionInfo::adhTrimNull(u"abc"_s), u"abc");
    EXPECT_EQ(clsFileVersionInfo::adhTrimNull(QString(u"ab\0c"_s)), u"ab");
    EXPECT_EQ(clsFileVersionInfo::adhTrimNull(QString(u"\0abc"_s)), QString());
}

TEST(GetFileVersion, IsUnknownWithoutABlockAndKeepsTheProduct)
{
    const QString path = TestEnvironment::freshFolder(u"getfileversion"_s) + u"/plain.so";
    ASSERT_TRUE(ElfTestImage::write(path, ElfTestImage::build({{".data", "xyz"}})));
    QString product = u"before"_s;
    EXPECT_EQ(GetFileVersion(path, product), u"unknown");
    EXPECT_EQ(product, u"before");
    EXPECT_EQ(GetFileVersion(QString(), product), u"unknown");

    EXPECT_EQ(GetFileVersion(fileWithBlock(u"getfileversion-ok"_s, sampleBlock()), product), u"2.4.10");
    EXPECT_EQ(product, u"Sample product");
}

TEST(CleanupVersionNumber, DropsLeadingZerosOfEveryPartAfterTheFirst)
{
    const std::pair<QString, QString> cases[] = {
        {u"1.00.0002"_s, u"1.0.2"_s}, {u"1.03.0002"_s, u"1.3.2"_s}, {u"1.0.0.2"_s, u"1.0.0.2"_s},
        {u"2.0"_s, u"2.0"_s},         {u"10.10"_s, u"10.10"_s},     {u"01.05"_s, u"01.5"_s},
        {u"1.000"_s, u"1.0"_s},       {u"1.0010"_s, u"1.10"_s},     {u"3.00.0100"_s, u"3.0.100"_s},
        {u"1.0a"_s, u"1.0a"_s},       {u".05"_s, u".5"_s},          {QString(), QString()},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CleanupVersionNumber(in), out) << in.toStdString();
}
