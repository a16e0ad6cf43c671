// SPDX-License-Identifier: MIT
#include "HistoryTestContext.h"
#include "LegacySchema.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QStringList schema14 = {
    u"SchemaHistory: Version REAL, Date VARCHAR(20)"_s,
    u"Status: IP VARCHAR(16), ConnectTime VARCHAR(20), PeakStatus INTEGER, OffPeakStatus INTEGER"_s,
    u"MonthlyData: AnniversaryDate VARCHAR(10), LastUpdate VARCHAR(20), PeakQuota INTEGER, OffpeakQuota INTEGER, "
    u"PlanType INTEGER, PeakStart INTEGER, PeakEnd INTEGER, ShapingSpeed VARCHAR(8), PlanName VARCHAR(30), "
    u"ProductName VARCHAR(30)"_s,
    u"DailyData: Date VARCHAR(20), Peak REAL, Offpeak REAL, Freezone REAL, Upload REAL"_s,
    u"Config: id VARCHAR(20), Value VARCHAR(20)"_s,
};

class SchemaUpgradeTest : public ::testing::Test
{
protected:
    HistoryTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};

    QStringList schema() const
    {
        QStringList tables;
        for (const QString& table : {u"SchemaHistory"_s, u"Status"_s, u"MonthlyData"_s, u"DailyData"_s, u"Config"_s})
            tables.append(table + u": "_s + ctx.columns(table).join(u", "_s));
        return tables;
    }
    QStringList versions() const { return ctx.rows(u"select Version from SchemaHistory order by Version"_s); }
};

class LegacyUpgradeTest : public SchemaUpgradeTest, public ::testing::WithParamInterface<double>
{};
} // namespace

TEST_F(SchemaUpgradeTest, FreshDatabaseGetsSchema14RecordedOnce)
{
    QString err;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err)) << err.toStdString();
    EXPECT_EQ(ctx.history.DatabaseFile(), ctx.databasePath());
    EXPECT_EQ(schema(), schema14);
    EXPECT_EQ(versions(), QStringList{u"1.4"_s});
    EXPECT_TRUE(ctx.logAt(2).contains(u"CheckSQLDatabase: no database found for fred@quolla.example"_s));
    EXPECT_TRUE(ctx.logAt(2).contains(u"CheckSQLDatabase: updating database schema version to 1.4"_s));
    EXPECT_TRUE(ctx.logAt(3).contains(u"calling CheckSQLDatabase for profile 0"_s));
    EXPECT_TRUE(ctx.logAt(6).contains(u"CheckSQLDatabase: checking \""_s + ctx.databasePath() + u'"'));

    // A database at 1.4 is read and left as it is.
    const QByteArray before = HistoryTestContext::fileBytes(ctx.databasePath());
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(HistoryTestContext::fileBytes(ctx.databasePath()), before);
    EXPECT_EQ(versions(), QStringList{u"1.4"_s});
    EXPECT_EQ(ctx.logAt(3).filter(u"database schema version 1.4, last updated "_s).size(), 1);
}

TEST_F(SchemaUpgradeTest, FileNameIsTheUserNameUpToItsAt)
{
    ctx.core.settings.Username = u"jo.smith@brindle.example@x"_s;
    ctx.core.run.ProfileNumber = 2;
    QString err;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(ctx.history.DatabaseFile(), ctx.core.run.DataDir + u"/jo.smith.sl3"_s);
    EXPECT_TRUE(QFile::exists(ctx.core.run.DataDir + u"/jo.smith.sl3"_s));
    EXPECT_TRUE(ctx.logAt(3).contains(u"calling CheckSQLDatabase for profile 2"_s));
}

TEST_F(SchemaUpgradeTest, UserNamesThatMakeNoFileNameAreRefused)
{
    QString err;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err));
    ctx.core.settings.Username = u"@quolla.example"_s;
    EXPECT_FALSE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(err, u"CheckSQLDatabase: no username specified,\r\nfailed to build database filename"_s);
    // The previous account's file is no longer the target of later operations.
    EXPECT_TRUE(ctx.history.DatabaseFile().isEmpty());

    for (const QString& name : {u"../escape@x"_s, u"..@x"_s, u"a/b"_s}) {
        ctx.core.settings.Username = name;
        err.clear();
        EXPECT_FALSE(ctx.history.CheckSQLDatabase(err)) << name.toStdString();
        EXPECT_EQ(err, u"CheckSQLDatabase: failed to build database filename:\r\n[-1] the user name \""_s +
                           name.section(u'@', 0, 0) + u"\" cannot name a file in the data folder"_s);
        EXPECT_TRUE(ctx.history.DatabaseFile().isEmpty());
    }
    EXPECT_EQ(QDir(ctx.core.run.DataDir).entryList({u"*.sl3"_s}), QStringList{u"fred.sl3"_s});
    EXPECT_FALSE(QFile::exists(ctx.core.folder + u"/escape.sl3"_s));
}

TEST_F(SchemaUpgradeTest, MissingDataFolderFailsToCreate)
{
    ctx.core.run.DataDir = ctx.core.folder + u"/missing"_s;
    QString err;
    EXPECT_FALSE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(err, u"CheckSQLDatabase: failed to create database \""_s + ctx.core.folder +
                       u"/missing/fred.sl3\": \r\n[14] unable to open database file"_s);
}

TEST_P(LegacyUpgradeTest, UpgradeKeepsEveryRow)
{
    const double version = GetParam();
    LegacySchema::create(ctx.databasePath(), version);
    QString err;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err)) << err.toStdString();

    EXPECT_EQ(schema(), schema14);
    EXPECT_EQ(ctx.rows(u"select AnniversaryDate, LastUpdate, PeakQuota, OffpeakQuota, PlanType from MonthlyData "
                       u"order by 1"_s),
              LegacySchema::monthlyRows());
    EXPECT_EQ(ctx.rows(u"select Date, Peak, Offpeak, Freezone from DailyData order by 1"_s), LegacySchema::dailyRows());
    EXPECT_EQ(ctx.rows(u"select * from Status"_s), QStringList{LegacySchema::statusRow()});
    EXPECT_EQ(ctx.rows(u"select id, Value from Config order by id"_s),
              (QStringList{u"FreezoneLabel|Free zone"_s, u"OffPeakLabel|Off peak"_s, u"PeakLabel|Peak"_s}));

    QStringList expected;
    for (const QString& v : {u"1"_s, u"1.1"_s, u"1.2"_s, u"1.3"_s}) {
        if (version > 0 && v.toDouble() <= version)
            expected.append(v);
    }
    expected.append(u"1.4"_s);
    EXPECT_EQ(versions(), expected);
    const bool updates = version > 0;
    EXPECT_EQ(ctx.logAt(3).contains(u"CheckSQLDatabase: database schema updates required"_s), updates);
    EXPECT_EQ(ctx.logAt(3).contains(u"CheckSQLDatabase: no database schema version info found"_s), !updates);
    EXPECT_EQ(ctx.logAt(6).contains(u"CheckSQLDatabase: making changes to bring db schema to 1.1"_s), version < 1.1);
    EXPECT_EQ(ctx.logAt(6).contains(u"CheckSQLDatabase: making changes to bring db schema to 1.3"_s), version < 1.3);
    EXPECT_TRUE(ctx.logAt(6).contains(u"CheckSQLDatabase: making changes to bring db schema to 1.4"_s));
    if (!updates) {
        EXPECT_TRUE(ctx.logAt(3).contains(u"CheckSQLDatabase: table MonthlyData already exists"_s));
        EXPECT_FALSE(ctx.logAt(3).contains(u"CheckSQLDatabase: table SchemaHistory already exists"_s));
    }
}

INSTANTIATE_TEST_SUITE_P(FromEveryOldVersion, LegacyUpgradeTest, ::testing::Values(0.0, 1.0, 1.1, 1.2, 1.3),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return info.param == 0 ? std::string("WithoutSchemaHistory")
                                                    : "Version" + std::to_string(int(info.param * 10 + 0.5));
                         });

TEST_F(SchemaUpgradeTest, NewerSchemaIsRefusedAndLeftAlone)
{
    LegacySchema::create(ctx.databasePath(), 1.3);
    ctx.exec(u"insert into SchemaHistory values(1.5,'2012-01-01 00:00:00')"_s);
    const QByteArray before = HistoryTestContext::fileBytes(ctx.databasePath());
    QString err;
    EXPECT_FALSE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(err, u"CheckSQLDatabase: database schema version 1.5 is too new,\r\nthis version of Tallymeter requires "
                   u"schema version 1.4"_s);
    EXPECT_EQ(HistoryTestContext::fileBytes(ctx.databasePath()), before);
}

TEST_F(SchemaUpgradeTest, UnreadableVersionIsRefusedAndLeftAlone)
{
    LegacySchema::create(ctx.databasePath(), 1.2);
    ctx.exec(u"insert into SchemaHistory values('x','2012-01-01 00:00:00')"_s);
    const QByteArray before = HistoryTestContext::fileBytes(ctx.databasePath());
    QString err;
    EXPECT_FALSE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(err, u"CheckSQLDatabase: failed to parse version info from SchemaHistory table:\r\n[x]"_s);
    EXPECT_EQ(HistoryTestContext::fileBytes(ctx.databasePath()), before);
    EXPECT_TRUE(ctx.logAt(3).contains(u"database schema version x, last updated 2012-01-01 00:00:00"_s));
}

TEST_F(SchemaUpgradeTest, FileThatIsNoDatabaseIsRefusedAndLeftAlone)
{
    QFile file(ctx.databasePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray junk = QByteArray("Not a history database, just some text.\n").repeated(200);
    file.write(junk);
    file.close();
    QString err;
    EXPECT_FALSE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(err, u"CheckSQLDatabase: database read error from SchemaHistory table:\r\n[26] file is not a database"_s);
    EXPECT_EQ(HistoryTestContext::fileBytes(ctx.databasePath()), junk);
}

TEST_F(SchemaUpgradeTest, UpgradeFailingMidwayLeavesTheFileAsItWas)
{
    // Step 1.3 succeeds, then step 1.4 cannot alter DailyData, which a hand edit made a view.
    LegacySchema::create(ctx.databasePath(), 1.2);
    ctx.exec(u"alter table DailyData rename to DailyRows"_s);
    ctx.exec(u"create view DailyData as select * from DailyRows"_s);
    const QByteArray before = HistoryTestContext::fileBytes(ctx.databasePath());
    QString err;
    EXPECT_FALSE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(err, u"CheckSQLDatabase: failed to add Upload column to DailyData table:\r\n[1] Cannot add a column to "
                   u"a view"_s);
    EXPECT_EQ(HistoryTestContext::fileBytes(ctx.databasePath()), before);
    EXPECT_FALSE(ctx.columns(u"MonthlyData"_s).contains(u"ShapingSpeed VARCHAR(8)"_s));
}

TEST_F(SchemaUpgradeTest, HalfUpgradedFileIsRepaired)
{
    // An interrupted upgrade of an earlier release: 1.3 recorded, Upload and PlanName added,
    // ProductName missing.
    LegacySchema::create(ctx.databasePath(), 1.3);
    ctx.exec(u"alter table DailyData add column Upload REAL"_s);
    ctx.exec(u"alter table MonthlyData add column PlanName VARCHAR(30)"_s);
    QString err;
    ASSERT_TRUE(ctx.history.CheckSQLDatabase(err)) << err.toStdString();
    EXPECT_EQ(schema(), schema14);
    EXPECT_EQ(versions().last(), u"1.4"_s);
    EXPECT_TRUE(ctx.logAt(3).contains(u"CheckSQLDatabase: column Upload already exists in table DailyData"_s));
    EXPECT_TRUE(ctx.logAt(3).contains(u"CheckSQLDatabase: column PlanName already exists in table MonthlyData"_s));
}

TEST_F(SchemaUpgradeTest, FailedPeakHourColumnsLeaveTheVersionUnrecorded)
{
    // A 1.0 file whose MonthlyData is a view: PeakStart and PeakEnd fail (logged as errors and
    // not fatal), then ShapingSpeed fails for good and everything is rolled back.
    LegacySchema::create(ctx.databasePath(), 1.0);
    ctx.exec(u"alter table MonthlyData rename to MonthlyRows"_s);
    ctx.exec(u"create view MonthlyData as select * from MonthlyRows"_s);
    const QByteArray before = HistoryTestContext::fileBytes(ctx.databasePath());
    QString err;
    EXPECT_FALSE(ctx.history.CheckSQLDatabase(err));
    EXPECT_EQ(err, u"CheckSQLDatabase: failed to add ShapingSpeed column to MonthlyData table:\r\n[1] Cannot add a "
                   u"column to a view"_s);
    EXPECT_EQ(ctx.logAt(1), (QStringList{u"CheckSQLDatabase: failed to add PeakStart column to MonthlyData table: "
                                         u"[1] Cannot add a column to a view"_s,
                                         u"CheckSQLDatabase: failed to add PeakEnd column to MonthlyData table: [1] "
                                         u"Cannot add a column to a view"_s}));
    EXPECT_EQ(HistoryTestContext::fileBytes(ctx.databasePath()), before);
}
