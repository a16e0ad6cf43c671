// SPDX-License-Identifier: MIT
#include "CoreTestContext.h"
#include "ExportFixture.h"
#include "FileFunctions.h"
#include "Recordset.h"
#include "modXML.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray expectedXml()
{
    QByteArrayList lines = {
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'",
        "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'",
        "\txmlns:rs='urn:schemas-microsoft-com:rowset'",
        "\txmlns:z='#RowsetSchema'>",
        "<s:Schema id='RowsetSchema'>",
        "\t<s:ElementType name='row' content='eltOnly' rs:updatable='true'>",
    };
    const char* singles[] = {"PeakQuota",  "OffPeakQuota", "PeakQuotaLeft", "OffpeakQuotaLeft",
                             "TotalPeak",  "TotalOffpeak", "TotalFreezone", "AvgPeak",
                             "AvgOffpeak", "AvgFreezone",  "PercentPeak",   "PercentOffPeak"};
    int number = 0;
    const auto field = [&](const QByteArray& name, const QByteArray& datatype) {
        lines << "\t\t<s:AttributeType name='" + name + "' rs:number='" + QByteArray::number(++number) +
                     "' rs:write='true'>"
              << "\t\t\t<s:datatype " + datatype + " rs:maybenull='false'/>"
              << "\t\t</s:AttributeType>";
    };
    for (const char* name : singles)
        field(name, "dt:type='r4' dt:maxLength='4' rs:precision='7' rs:fixedlength='true'");
    field("ShapeStatus", "dt:type='string' rs:dbtype='str' dt:maxLength='30'");
    field("OffpeakShapeStatus", "dt:type='string' rs:dbtype='str' dt:maxLength='30'");
    field("AnniversaryDate", "dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true'");
    field("LastUpdate", "dt:type='string' rs:dbtype='str' dt:maxLength='20'");
    field("TallyrooVer", "dt:type='string' rs:dbtype='str' dt:maxLength='10'");
    lines << "\t\t<s:extends type='rs:rowbase'/>"
          << "\t</s:ElementType>"
          << "</s:Schema>"
          << "<rs:data>"
          << "\t<rs:insert>"
          << "\t\t<z:row PeakQuota='25000' OffPeakQuota='0' PeakQuotaLeft='23752.59' OffpeakQuotaLeft='0' "
             "TotalPeak='1247.41' TotalOffpeak='101.01' TotalFreezone='12' AvgPeak='311.85' AvgOffpeak='25.25' "
             "AvgFreezone='3' PercentPeak='4.99' PercentOffPeak='0' ShapeStatus='Unshaped' "
             "OffpeakShapeStatus='Shaped' AnniversaryDate='14' LastUpdate='2010-05-17 21:30:00' "
             "TallyrooVer='1.3.2'/>"
          << "\t</rs:insert>"
          << "</rs:data>"
          << "</xml>";
    return lines.join("\r\n");
}

class XmlExportTest : public ::testing::Test
{
protected:
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    modXML xml{core.app, core.log};
    QString path() const { return modXML::fileName(core.run.DataDir, 0); }

    QByteArray contents() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString export_(const qoMonth& month)
    {
        QString err = u"unchanged"_s;
        EXPECT_TRUE(xml.qoMonth2XML(month, path(), err));
        EXPECT_EQ(err, u"unchanged"_s);
        return QString::fromUtf8(contents());
    }
};
} // namespace

TEST_F(XmlExportTest, WritesTheRowsetByteForByte)
{
    export_(exportMonth());
    EXPECT_EQ(contents(), expectedXml());
    EXPECT_TRUE(core.logTexts().contains(u"qoMonth2XML: exporting data to "_s + path()));
    // The same month again gives the same file.
    export_(exportMonth());
    EXPECT_EQ(contents(), expectedXml());
}

TEST_F(XmlExportTest, NumbersIgnoreTheUsersLocale)
{
    const GermanLocale german;
    export_(exportMonth());
    EXPECT_EQ(contents(), expectedXml());
}

TEST_F(XmlExportTest, FieldValues)
{
    qoMonth month = exportMonth();
    month.TotalPeak = 1234.5678f;
    month.PeakShapeStatus = 1;
    month.ShapingSpeed = u"512"_s;
    month.AnniversaryDate = *LocalDateTime::fromParts(2011, 3, 15);
    month.LastUpdate = u"unknown"_s;
    const QString text = export_(month);
    EXPECT_TRUE(text.contains(u" TotalPeak='1234.57' "_s));
    EXPECT_TRUE(text.contains(u" ShapeStatus='Shaped to 512k' OffpeakShapeStatus='Shaped to 512k' "_s));
    EXPECT_TRUE(text.contains(u" AnniversaryDate='15' LastUpdate='unknown' "_s));
}

TEST_F(XmlExportTest, RoundAndLargeFiguresArePlainDecimals)
{
    qoMonth month = exportMonth();
    month.PeakQuota = 500000;
    month.OffPeakQuota = 1000000;
    month.PeakQuotaLeft = 100000;
    month.OffpeakQuotaLeft = 200000;
    month.TotalPeak = 128697.8f;
    month.TotalOffpeak = 12345678; // whole in single precision, beyond seven digits
    const QString text = export_(month);
    EXPECT_TRUE(text.contains(u"<z:row PeakQuota='500000' OffPeakQuota='1000000' PeakQuotaLeft='100000' "
                              u"OffpeakQuotaLeft='200000' TotalPeak='128697.8' TotalOffpeak='12345678' "_s))
        << text.toStdString();
    EXPECT_FALSE(text.contains(u"e+"_s));
}

TEST_F(XmlExportTest, FileNamePerProfile)
{
    EXPECT_EQ(modXML::fileName(u"/d"_s, 0), u"/d/data.xml"_s);
    EXPECT_EQ(modXML::fileName(u"/d"_s, 1), u"/d/data1.xml"_s);
}

TEST_F(XmlExportTest, FailuresKeepTheOldFile)
{
    export_(exportMonth());
    qoMonth empty = exportMonth();
    empty.DailyPeak.clear();
    QString err;
    EXPECT_FALSE(xml.qoMonth2XML(empty, path(), err));
    EXPECT_EQ(err, u"qoMonth2XML: no valid data found, unable to generate XML"_s);
    EXPECT_EQ(contents(), expectedXml());

    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner));
    EXPECT_FALSE(xml.qoMonth2XML(exportMonth(), path(), err));
    EXPECT_EQ(err, u"qoMonth2XML: failed to export to XML file:\r\n[75] Path/File access error"_s);
    EXPECT_EQ(contents(), expectedXml());

    // A value too long for its field fails before the file is touched.
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    qoMonth odd = exportMonth();
    odd.LastUpdate = u"a text far longer than twenty characters"_s;
    EXPECT_FALSE(xml.qoMonth2XML(odd, path(), err));
    EXPECT_TRUE(err.startsWith(u"qoMonth2XML: failed to export to XML file:\r\n[-2147217887] "_s));
    EXPECT_EQ(contents(), expectedXml());
}

TEST(Recordset, ConvertsAndEscapesValues)
{
    Recordset record;
    record.Append(u"Amount"_s, FieldType::Single);
    record.Append(u"Count"_s, FieldType::Integer);
    record.Append(u"Name"_s, FieldType::VarChar, 16);
    EXPECT_THROW(record.setValue(u"Name"_s, u"x"_s), RecordsetError); // no row yet
    record.AddNew();
    record.setValue(u"amount"_s, u"0.1"_s);
    record.setValue(u"Count"_s, u"2.5"_s);
    record.setValue(u"Name"_s, u"<O'Neil & \"co\">"_s);
    const QString xml = record.toXml();
    EXPECT_TRUE(xml.contains(u"<z:row Amount='0.1' Count='2' Name='&lt;O&#x27;Neil &amp; &quot;co&quot;&gt;'/>"_s))
        << xml.toStdString();

    try {
        record.setValue(u"Count"_s, u"many"_s);
        FAIL() << "no error";
    } catch (const RecordsetError& error) {
        EXPECT_EQ(error.number(), Recordset::TypeMismatch);
    }
    try {
        record.setValue(u"Missing"_s, u"1"_s);
        FAIL() << "no error";
    } catch (const RecordsetError& error) {
        EXPECT_EQ(error.number(), Recordset::ItemNotFound);
    }
    EXPECT_THROW(record.setValue(u"Count"_s, u"3e9"_s), RecordsetError);
    EXPECT_THROW(record.setValue(u"Name"_s, u"seventeen letters"_s), RecordsetError);
    EXPECT_THROW(record.Append(u"NAME"_s, FieldType::Integer), RecordsetError);
}

TEST_F(XmlExportTest, AProviderTextOfEveryKindLeavesAFileThatParses)
{
    // A lone low surrogate, U+FFFE, U+FFFF, a lone high one before a pair, markup and every control
    // character; what XML has no form for reads as U+FFFD.
    QString text = QChar(0xDE00) + u"\uFFFE\uFFFF"_s + QChar(0xD83D) + u"\U0001F600<&>'\""_s;
    QString read = QString(4, QChar::ReplacementCharacter) + u"\U0001F600<&>'\""_s;
    for (char16_t c = 0; c < 0x20; ++c) {
        text += QChar(c);
        read += c == u'\t' || c == u'\n' || c == u'\r' ? QChar(c) : QChar(QChar::ReplacementCharacter);
    }
    Recordset record;
    record.Append(u"ShapeStatus"_s, FieldType::VarChar, 50);
    record.AddNew();
    record.setValue(u"ShapeStatus"_s, text);
    SaveFile(path(), record.toXml());
    QString error;
    const QJsonDocument parsed =
        readWithPython("import json, sys\nfrom xml.dom import minidom\njson.dump([minidom.parse("
                       "sys.argv[1]).getElementsByTagName('z:row')[0].getAttribute("
                       "'ShapeStatus')], sys.stdout)",
                       {path()}, error);
    EXPECT_EQ(parsed[0].toString(), read) << error.toStdString();
}

TEST(Recordset, NullFieldsAreLeftOutOfTheRow)
{
    Recordset record;
    record.Append(u"A"_s, FieldType::Integer);
    record.Append(u"B"_s, FieldType::Integer);
    record.AddNew();
    record.setValue(u"B"_s, u"7"_s);
    EXPECT_TRUE(record.toXml().contains(u"<z:row B='7'/>"_s));
}
