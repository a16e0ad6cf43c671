// SPDX-License-Identifier: MIT
#include "RegistryRoutines.h"
#include "RegistryStore.h"
#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {
const QString Config = u"Software\\Sarnick\\Config"_s;

class RegistryRoutinesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = TestEnvironment::freshFolder(u"routines"_s);
        RegistryStore::setCurrentUserPath(m_folder + u"/registry.reg"_s);
    }
    void TearDown() override { RegistryStore::setCurrentUserPath({}); }

    static void put(const QString& name, const RegistryValue& value)
    {
        ASSERT_TRUE(RegistryStore::currentUser().setValue(Config, name, value).ok());
    }

    QString m_folder;
};
} // namespace

TEST_F(RegistryRoutinesTest, TextValuesLoseOneTrailingNulOnly)
{
    put(u"with NUL"_s, {REG_SZ, QByteArray("C:\\data\0", 8)});
    put(u"without"_s, {REG_SZ, QByteArray("C:\\data")});
    put(u"two NULs"_s, {REG_SZ, QByteArray("ab\0\0", 4)});
    put(u"expand"_s, {REG_EXPAND_SZ, QByteArray("%HOME%\0", 7)});
    put(u"multi"_s, {REG_MULTI_SZ, QByteArray("a\0b\0\0", 5)});

    QString text;
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, u"with NUL"_s, text));
    EXPECT_EQ(text, u"C:\\data"_s);
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, u"without"_s, text));
    EXPECT_EQ(text, u"C:\\data"_s);
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, u"two NULs"_s, text));
    EXPECT_EQ(text, QString(u"ab\0"_s));
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, u"expand"_s, text));
    EXPECT_EQ(text, u"%HOME%"_s);
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, u"multi"_s, text));
    EXPECT_EQ(text, QString(u"a\0b\0"_s));
}

TEST_F(RegistryRoutinesTest, NumbersReadAsNumbersAndAsSignedText)
{
    QString szErr;
    for (const int32_t number : {0, 10, -1, -2147483647 - 1, 2147483647, 0x00FF0000}) {
        ASSERT_TRUE(WriteRegWordValue(HKEY_CURRENT_USER, Config, u"n"_s, number, szErr)) << szErr.toStdString();
        int32_t read = 12345;
        EXPECT_TRUE(GetRegWordValue(HKEY_CURRENT_USER, Config, u"N"_s, read));
        EXPECT_EQ(read, number);
        QString text;
        EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, u"n"_s, text));
        EXPECT_EQ(text, QString::number(number));
    }
    EXPECT_TRUE(szErr.isEmpty());
}

TEST_F(RegistryRoutinesTest, OnlyADwordIsANumber)
{
    QString szErr;
    ASSERT_TRUE(WriteRegStringValue(HKEY_CURRENT_USER, Config, u"timeout"_s, u"5"_s, szErr));
    put(u"short"_s, {REG_DWORD, QByteArray("\x05", 1)});
    put(u"qword"_s, {REG_QWORD, QByteArray(8, '\1')});
    int32_t number = 77;
    EXPECT_FALSE(GetRegWordValue(HKEY_CURRENT_USER, Config, u"timeout"_s, number));
    EXPECT_FALSE(GetRegWordValue(HKEY_CURRENT_USER, Config, u"short"_s, number));
    EXPECT_FALSE(GetRegWordValue(HKEY_CURRENT_USER, Config, u"qword"_s, number));
    EXPECT_FALSE(GetRegWordValue(HKEY_CURRENT_USER, Config, u"absent"_s, number));
    EXPECT_EQ(number, 77);
}

TEST_F(RegistryRoutinesTest, OtherTypesAreNotReadAsText)
{
    put(u"binary"_s, {REG_BINARY, QByteArray("abc")});
    put(u"none"_s, {REG_NONE, QByteArray()});
    put(u"qword"_s, {REG_QWORD, QByteArray(8, '\0')});
    for (const QString& name : {u"binary"_s, u"none"_s, u"qword"_s}) {
        QString text = u"caller's"_s;
        EXPECT_FALSE(GetRegValue(HKEY_CURRENT_USER, Config, name, text)) << name.toStdString();
        EXPECT_EQ(text, u"caller's"_s);
    }
}

TEST_F(RegistryRoutinesTest, AnEmptyTextIsStoredAsOneNulByte)
{
    QString szErr;
    ASSERT_TRUE(WriteRegStringValue(HKEY_CURRENT_USER, Config, u"Path"_s, QString(), szErr));
    EXPECT_EQ(RegistryStore::currentUser().value(Config, u"Path"_s), (RegistryValue{REG_SZ, QByteArray(1, '\0')}));
    QString text = u"not yet"_s;
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, u"Path"_s, text));
    EXPECT_TRUE(text.isEmpty());
}

TEST_F(RegistryRoutinesTest, TextsRoundTripWhole)
{
    const QString texts[] = {u"/home/José/data"_s, u"line\r\nbreak \"quoted\" [x] \\"_s, QString(u"a\0b"_s),
                             u"日本語 🙂"_s};
    QString szErr;
    for (const QString& value : texts) {
        ASSERT_TRUE(WriteRegStringValue(HKEY_CURRENT_USER, Config, value, value, szErr));
        QString text;
        EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, value, text));
        EXPECT_EQ(text, value);
    }
}

TEST_F(RegistryRoutinesTest, AMissingKeyFailsEveryReader)
{
    QString text = u"caller's"_s;
    int32_t number = 5;
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Config));
    EXPECT_FALSE(GetRegValue(HKEY_CURRENT_USER, Config, u"Path"_s, text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(GetRegWordValue(HKEY_CURRENT_USER, Config, u"timeout"_s, number));
    EXPECT_EQ(number, 5);
    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, Config, u"Path"_s));
    EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, Config));
    // Reading creates nothing.
    EXPECT_FALSE(QFile::exists(m_folder + u"/registry.reg"_s));
}

TEST_F(RegistryRoutinesTest, WritersCreateTheWholePathAndDeletingGoesLeafFirst)
{
    QString szErr;
    ASSERT_TRUE(WriteRegWordValue(HKEY_CURRENT_USER, u"Software\\Tallymeter\\Config1"_s, u"debug"_s, 10, szErr));
    ASSERT_TRUE(WriteRegStringValue(HKEY_CURRENT_USER, Config, u"Path"_s, u"/data"_s, szErr));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, u"Software"_s));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, u"SOFTWARE\\tallymeter"_s));

    EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, u"Software\\Sarnick"_s));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, Config));
    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, Config, u"PATH"_s));
    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, Config, u"Path"_s));
    EXPECT_TRUE(DeleteRegKey(HKEY_CURRENT_USER, Config));
    EXPECT_TRUE(DeleteRegKey(HKEY_CURRENT_USER, u"Software\\Sarnick"_s));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, u"Software\\Sarnick"_s));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, u"Software\\Tallymeter\\Config1"_s));
    EXPECT_TRUE(szErr.isEmpty());
}

TEST_F(RegistryRoutinesTest, LongValuesAreReadWhole)
{
    put(u"long"_s, {REG_SZ, QByteArray(5000, 'x')});
    QString text = u"caller's"_s;
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, Config, u"long"_s, text));
    EXPECT_EQ(text, QString(5000, u'x'));
}

TEST_F(RegistryRoutinesTest, FailedWritesExplainThemselves)
{
    QString szErr;
    EXPECT_FALSE(WriteRegStringValue(HKEY_LOCAL_MACHINE, u"Software"_s, u"x"_s, u"y"_s, szErr));
    EXPECT_EQ(szErr, u"[13] Permission denied"_s);
    EXPECT_FALSE(WriteRegWordValue(0x12345678u, u"Software"_s, u"x"_s, 1, szErr));
    EXPECT_EQ(szErr, u"[9] Bad file descriptor"_s);

    // A file standing where the registry's folder belongs.
    const QString blocked = m_folder + u"/blocked"_s;
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    RegistryStore::setCurrentUserPath(blocked + u"/registry.reg"_s);
    EXPECT_FALSE(WriteRegWordValue(HKEY_CURRENT_USER, Config, u"n"_s, 1, szErr));
    EXPECT_EQ(szErr, u"[20] Not a directory"_s);
}

TEST_F(RegistryRoutinesTest, AnUnreadableFileFailsEveryWriteAndIsLeftAsItIs)
{
    const QString path = m_folder + u"/registry.reg"_s;
    const QByteArray text = "not a registry file\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    QString value;
    EXPECT_FALSE(GetRegValue(HKEY_CURRENT_USER, Config, u"Path"_s, value));
    const QString refused =
        u'[' + QString::number(EBADMSG) + u"] "_s + path +
        u" cannot be read (line 1: value outside a key); changes are not saved until it is mended."_s;
    QString szErr;
    EXPECT_FALSE(WriteRegStringValue(HKEY_CURRENT_USER, Config, u"Path"_s, u"/data"_s, szErr));
    EXPECT_EQ(szErr, refused);
    szErr.clear();
    EXPECT_FALSE(WriteRegWordValue(HKEY_CURRENT_USER, Config, u"n"_s, 1, szErr));
    EXPECT_EQ(szErr, refused);
    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, Config, u"Path"_s));
    EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, Config));
    EXPECT_FALSE(GetRegValue(HKEY_CURRENT_USER, Config, u"Path"_s, value));
    EXPECT_EQ(TestEnvironment::readFile(path), text);
}

TEST(RegistryRoutines, TheOtherHivesHoldNothingYet)
{
    QString text = u"caller's"_s;
    int32_t number = 3;
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, u"Software"_s));
    EXPECT_FALSE(GetRegValue(HKEY_CLASSES_ROOT, u"CLSID"_s, QString(), text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(GetRegWordValue(HKEY_LOCAL_MACHINE, u"Software"_s, u"n"_s, number));
    EXPECT_FALSE(DeleteRegKey(HKEY_CLASSES_ROOT, u"CLSID"_s));
    EXPECT_FALSE(RegKeyExists(0x1u, QString()));
    EXPECT_EQ(number, 3);
}
