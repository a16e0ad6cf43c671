// SPDX-License-Identifier: MIT
#include "SettingsMigration.h"
#include "CoreTestContext.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class SettingsMigrationTest : public ::testing::Test
{
protected:
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    SettingsMigration migration{core.app, core.registry, core.log};

    QString key() const { return core.app.configKey(); }

    QByteArray registryFile() const
    {
        QFile file(core.folder + u"/registry.reg"_s);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};
} // namespace

TEST_F(SettingsMigrationTest, ChartPlacementMovesOnceAndOnlyWhatExists)
{
    core.setText(key(), u"frmChartHeight"_s, u"4500"_s);
    core.setDword(key(), u"frmChartTop"_s, 120);
    core.setDword(key(), u"UseProxy"_s, 0);
    migration.MigrateRegSettings();

    EXPECT_EQ(core.dword(key(), u"frmTeeChartHeight"_s), 4500);
    EXPECT_EQ(core.dword(key(), u"frmTeeChartTop"_s), 120);
    EXPECT_EQ(core.text(key(), u"frmTeeChartLeft"_s), std::nullopt);
    EXPECT_EQ(core.text(key(), u"frmTeeChartWidth"_s), std::nullopt);
    EXPECT_EQ(core.text(key(), u"frmTeeChartWindowState"_s), std::nullopt);
    EXPECT_EQ(core.text(key(), u"frmChartHeight"_s), u"4500"_s);
    EXPECT_EQ(core.logTexts(), QStringList{u"MigrateRegSettings: migrating Chart settings to TeeChart"_s});

    core.setText(key(), u"frmChartLeft"_s, u"60"_s);
    migration.MigrateRegSettings();
    EXPECT_EQ(core.text(key(), u"frmTeeChartLeft"_s), std::nullopt);
    EXPECT_EQ(core.logLines().size(), 1);
}

TEST_F(SettingsMigrationTest, AnyNewPlacementStopsTheChartStep)
{
    core.setText(key(), u"frmChartHeight"_s, u"4500"_s);
    core.setText(key(), u"frmChartWidth"_s, u"6000"_s);
    core.setDword(key(), u"frmTeeChartHeight"_s, 3000);
    migration.MigrateRegSettings();
    EXPECT_EQ(core.dword(key(), u"frmTeeChartHeight"_s), 3000);
    EXPECT_EQ(core.dword(key(), u"frmTeeChartWidth"_s), std::nullopt);
}

TEST_F(SettingsMigrationTest, ABadOldPlacementIsReportedAndTheRestMoves)
{
    core.setText(key(), u"frmChartHeight"_s, u"&h12C"_s);
    core.setText(key(), u"frmChartLeft"_s, u"left"_s);
    core.setText(key(), u"frmChartTop"_s, u"99999999999"_s);
    core.setText(key(), u"frmChartWidth"_s, u" 7.5 "_s);
    core.setDword(key(), u"UseProxy"_s, 1);
    migration.MigrateRegSettings();

    EXPECT_EQ(core.dword(key(), u"frmTeeChartHeight"_s), 300);
    EXPECT_EQ(core.dword(key(), u"frmTeeChartLeft"_s), std::nullopt);
    EXPECT_EQ(core.dword(key(), u"frmTeeChartTop"_s), std::nullopt);
    EXPECT_EQ(core.dword(key(), u"frmTeeChartWidth"_s), 8);

    const QList<CoreTestContext::LogLine> lines = core.logLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.at(1).level, 1);
    EXPECT_EQ(lines.at(1).text, u"Error while migrating registry settings: [13] Type mismatch"_s);
    EXPECT_EQ(lines.at(2).text, u"Error while migrating registry settings: [6] Overflow"_s);
    EXPECT_EQ(core.window.messageBoxes.size(), 2);
}

TEST_F(SettingsMigrationTest, ProxySwitchFollowsTheOldProxyText)
{
    core.setText(key(), u"Proxy"_s, QString());
    migration.MigrateRegSettings();
    EXPECT_EQ(core.dword(key(), u"UseProxy"_s), 0);
    EXPECT_EQ(core.logTexts(), QStringList{u"MigrateRegSettings: migrating proxy config; setting to 0"_s});

    core.removeValue(key(), u"UseProxy"_s);
    core.setText(key(), u"Proxy"_s, u"proxy.example:8080"_s);
    migration.MigrateRegSettings();
    EXPECT_EQ(core.dword(key(), u"UseProxy"_s), 1);
    EXPECT_EQ(core.logTexts().last(), u"MigrateRegSettings: migrating proxy config; setting to 1"_s);
    EXPECT_EQ(core.text(key(), u"Proxy"_s), u"proxy.example:8080"_s);

    core.setDword(key(), u"UseProxy"_s, 0);
    migration.MigrateRegSettings();
    EXPECT_EQ(core.dword(key(), u"UseProxy"_s), 0);
}

TEST_F(SettingsMigrationTest, NoProxyAtAllSwitchesItOff)
{
    migration.MigrateRegSettings();
    EXPECT_EQ(core.dword(key(), u"UseProxy"_s), 0);
    EXPECT_EQ(core.logTexts(),
              QStringList{u"MigrateRegSettings: migrating proxy config; no proxy found, so setting to 0"_s});
}

TEST_F(SettingsMigrationTest, RetiredNumbersAreRemoved)
{
    core.setDword(key(), u"WebMailLoginType"_s, 2);
    core.setDword(key(), u"UseXMLFeed"_s, 1);
    migration.MigrateRegSettings();
    EXPECT_EQ(core.text(key(), u"WebMailLoginType"_s), std::nullopt);
    EXPECT_EQ(core.text(key(), u"UseXMLFeed"_s), std::nullopt);

    // Only numbers are looked for.
    core.setText(key(), u"UseXMLFeed"_s, u"1"_s);
    migration.MigrateRegSettings();
    EXPECT_EQ(core.text(key(), u"UseXMLFeed"_s), u"1"_s);
}

TEST_F(SettingsMigrationTest, SecondRunChangesNothing)
{
    core.setText(key(), u"frmChartHeight"_s, u"4500"_s);
    core.setText(key(), u"frmChartWindowState"_s, u"2"_s);
    core.setText(key(), u"Proxy"_s, u"proxy.example:8080"_s);
    core.setDword(key(), u"WebMailLoginType"_s, 2);
    core.setDword(key(), u"UseXMLFeed"_s, 0);
    migration.MigrateRegSettings();
    const QByteArray migrated = registryFile();
    const qsizetype lines = core.logLines().size();
    core.registry.attemptedWrites.clear();

    migration.MigrateRegSettings();
    EXPECT_EQ(registryFile(), migrated);
    EXPECT_EQ(core.logLines().size(), lines);
    EXPECT_TRUE(core.registry.attemptedWrites.isEmpty());
}
