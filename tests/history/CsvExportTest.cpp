// SPDX-License-Identifier: MIT
#include "CoreTestContext.h"
#include "ExportFixture.h"
#include "FileFunctions.h"
#include "modCSV.h"

#include <QFile>
#include <QJsonArray>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray expectedCsv = "Date, Peak, Offpeak, Total, Uploads\r\n"
                               "2010-05-14, 1234.57, 0.01, 1237.57, -1.00\r\n"
                               "2010-05-15, 0.00, 100.00, 103.00, 0.00\r\n"
                               "2010-05-16, 10.50, 0.00, 13.50, 12.35\r\n"
                               "2010-05-17, 2.35, 1.00, 6.35, 1.00\r\n"
                               "Totals, 1247.41, 101.01, 1360.42, 13.35\r\n";

class CsvExportTest : public ::testing::Test
{
protected:
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    modCSV csv{core.run, core.log, core.clock};
    QString path() const { return core.run.DataDir + u"/201005.csv"_s; }

    QByteArray contents(const QString& file) const
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
} // namespace

TEST_F(CsvExportTest, WritesTheMonthByteForByte)
{
    QString err;
    ASSERT_TRUE(csv.qoMonth2CSV(exportMonth(), core.run.DataDir, false, err)) << err.toStdString();
    EXPECT_EQ(contents(path()), expectedCsv);
    EXPECT_TRUE(core.logTexts().contains(u"qoMonth2CSV: exporting data to CSV file"_s));
    EXPECT_TRUE(core.logTexts().contains(u"qoMonth2CSV: using first date to generate filename: 2010-05-14"_s));
    EXPECT_TRUE(core.logTexts().contains(u"qoMonth2CSV: exporting data to: "_s + path()));
}

TEST_F(CsvExportTest, NumbersIgnoreTheUsersLocale)
{
    const GermanLocale german;
    QString err;
    ASSERT_TRUE(csv.qoMonth2CSV(exportMonth(), core.run.DataDir, false, err)) << err.toStdString();
    EXPECT_EQ(contents(path()), expectedCsv);
}

TEST_F(CsvExportTest, FutureDaysLeftOutButTotalsWhole)
{
    core.clock.set(*LocalDateTime::fromParts(2010, 5, 15, 23, 59, 59));
    QString err;
    ASSERT_TRUE(csv.qoMonth2CSV(exportMonth(), core.run.DataDir, true, err));
    EXPECT_EQ(contents(path()), "Date, Peak, Offpeak, Total, Uploads\r\n"
                                "2010-05-14, 1234.57, 0.01, 1237.57, -1.00\r\n"
                                "2010-05-15, 0.00, 100.00, 103.00, 0.00\r\n"
                                "Totals, 1247.41, 101.01, 1360.42, 13.35\r\n");
    EXPECT_TRUE(core.logTexts().contains(u"qoMonth2CSV: exporting data to CSV file, stripping future data"_s));
}

TEST_F(CsvExportTest, ColumnsFollowTheTitles)
{
    qoMonth month = exportMonth();
    month.DailyHeaders = {QString(), u"Anytime"_s, QString(), u"Free"_s, QString(), QString()};
    EXPECT_EQ(modCSV::csvText(month, false, {}), u", Anytime, Free\r\n"
                                                 u"2010-05-14, 1234.57, 3.00\r\n"
                                                 u"2010-05-15, 0.00, 3.00\r\n"
                                                 u"2010-05-16, 10.50, 3.00\r\n"
                                                 u"2010-05-17, 2.35, 3.00\r\n"
                                                 u"Totals, 1247.41, 12.00"_s);
}

TEST_F(CsvExportTest, TitlesOfEveryKindReadBackInAStrictReaderAsText)
{
    // The date title stands for a cell that may be empty; the free-zone title for any other.
    const QString titles[] = {
        u"Free zone"_s,
        u" Free_zone; 'local' (all)\t"_s,
        u"Free, local"_s,
        u","_s,
        u"Free \"local\""_s,
        u"\""_s,
        u"Free\rlocal"_s,
        u"Free\nlocal"_s,
        u"Free\r\n"_s,
        u"\"Free, \"\"local\"\"\"\n"_s,
        u"\u00dcberall \U0001F600"_s,
        u" Fr\u00e9, \U0001F600 "_s,
        u"=HYPERLINK(\"http://example.com/\",\"Peak, click\")"_s,
        u"=1+2"_s,
        u"+1"_s,
        u"-Free"_s,
        u"@SUM(A1)"_s,
        u"-1,5"_s,
    };
    QStringList files;
    for (const QString& title : titles) {
        qoMonth month = exportMonth();
        month.DailyHeaders[DailyHeader::Date] = title;
        month.DailyHeaders[DailyHeader::Freezone] = title;
        files << core.folder + u'/' + QString::number(files.size()) + u".csv"_s;
        SaveFile(files.last(), modCSV::csvText(month, false, {}));
    }
    QString error;
    const QJsonArray read = readWithPython("import csv, json, sys\njson.dump([list(csv.reader(open(f, newline='', "
                                           "encoding='utf-8'))) for f in sys.argv[1:]], sys.stdout)",
                                           files, error)
                                .array();
    ASSERT_EQ(read.size(), std::size(titles)) << error.toStdString();
    const auto formula = [](const QString& cell) { return cell.size() > 0 && QStringView(u"=+-@").contains(cell[0]); };
    for (qsizetype i = 0; i < read.size(); ++i) {
        // Every cell after the first reads as the separator's blank and its text, quoted or not;
        // a first cell only where spreadsheets would take it for a formula.
        const QString& title = titles[i];
        const QString blank = u' ' + title;
        const QString first = formula(title) ? blank : title;
        EXPECT_EQ(read[i][0], QJsonArray({first, u" Peak"_s, u" Offpeak"_s, blank, u" Total"_s, u" Uploads"_s})) << i;
        // Title, four days and totals, one record each; no cell, a negative figure included,
        // begins as a formula does.
        EXPECT_EQ(read[i].toArray().size(), 6) << i;
        for (const QJsonValue& record : read[i].toArray()) {
            for (const QJsonValue& cell : record.toArray())
                EXPECT_FALSE(formula(cell.toString())) << i;
        }
    }
    // Trimmed of their blanks, as spreadsheets offer, only figures begin so.
    const QJsonArray trimmed =
        readWithPython(
            "import csv, json, sys\njson.dump(sorted({c for f in sys.argv[1:] for r in csv.reader(open"
            "(f, newline='', encoding='utf-8'), skipinitialspace=1) for c in r if c[:1] in [*'=+-@']}), sys.stdout)",
            files, error)
            .array();
    EXPECT_EQ(trimmed, QJsonArray({u"+1"_s, u"-1.00"_s})) << QJsonDocument(trimmed).toJson().toStdString();
    qoMonth month = exportMonth();
    month.DailyHeaders[DailyHeader::Date].clear();
    EXPECT_TRUE(modCSV::csvText(month, false, {}).startsWith(u", Peak, Offpeak, Total, Uploads\r\n"_s));
}

TEST_F(CsvExportTest, FileNames)
{
    const LocalDateTime first = *LocalDateTime::fromParts(2010, 5, 14);
    EXPECT_EQ(modCSV::fileName(u"/data"_s, first, 0), u"/data/201005.csv"_s);
    EXPECT_EQ(modCSV::fileName(u"/data/"_s, first, 3), u"/data/201005-3.csv"_s);
    core.run.ProfileNumber = 2;
    QString err;
    ASSERT_TRUE(csv.qoMonth2CSV(exportMonth(), core.run.DataDir + u'/', false, err));
    EXPECT_TRUE(QFile::exists(core.run.DataDir + u"/201005-2.csv"_s));
}

TEST_F(CsvExportTest, SecondExportReplacesAndAFailedOneKeepsTheFile)
{
    QString err;
    QFile old(path());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older export, longer than the new one will be, to see that nothing of it stays behind\r\n"
              "an older export, longer than the new one will be, to see that nothing of it stays behind\r\n"
              "an older export, longer than the new one will be, to see that nothing of it stays behind\r\n");
    old.close();
    ASSERT_TRUE(csv.qoMonth2CSV(exportMonth(), core.run.DataDir, false, err));
    EXPECT_EQ(contents(path()), expectedCsv);

    // A file that cannot be replaced keeps its content.
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner));
    qoMonth changed = exportMonth();
    changed.DailyPeak[0] = 1;
    EXPECT_FALSE(csv.qoMonth2CSV(changed, core.run.DataDir, false, err));
    EXPECT_EQ(err, u"qoMonth2CSV: error saving file:\r\n[75] Path/File access error"_s);
    EXPECT_EQ(contents(path()), expectedCsv);
}

TEST_F(CsvExportTest, MonthsWithoutDataWriteNothing)
{
    QString err;
    qoMonth month = exportMonth();
    month.DailyPeak.clear();
    EXPECT_FALSE(csv.qoMonth2CSV(month, core.run.DataDir, false, err));
    EXPECT_EQ(err, u"qoMonth2CSV: no valid data found, unable to generate CSV"_s);
    month = exportMonth();
    month.DailyDates.clear();
    EXPECT_FALSE(csv.qoMonth2CSV(month, core.run.DataDir, false, err));
    EXPECT_EQ(err, u"qoMonth2CSV: no data found to export"_s);
    month = exportMonth();
    month.DailyUploads.removeLast();
    EXPECT_FALSE(csv.qoMonth2CSV(month, core.run.DataDir, false, err));
    EXPECT_EQ(err, u"qoMonth2CSV: error processing data:\r\n[9] Subscript out of range"_s);
    EXPECT_FALSE(QFile::exists(path()));
}
