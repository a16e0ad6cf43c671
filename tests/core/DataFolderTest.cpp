// SPDX-License-Identifier: MIT
#include "DataFolder.h"
#include "CoreTestContext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QString Shared = u"Software\\Sarnick\\Config"_s;

class DataFolderTest : public ::testing::Test
{
protected:
    DataFolderTest()
    {
        QDir().mkpath(appData);
        QDir().mkpath(program);
        ctx.run.DataDir.clear();
    }

    DataFolder folder(const QString& appDataFolder)
    {
        return DataFolder(ctx.app, ctx.registry, ctx.log, ctx.run, ctx.window, appDataFolder, program);
    }
    std::optional<int32_t> status() { return ctx.dword(ctx.app.configKey(), u"DataDirMigration"_s); }
    DataFolder::Check check(bool hidden = false)
    {
        return folder(appData).CheckDataDirectory(ctx.run.DataDir, hidden, [this](auto& from, auto& to, auto&) {
            migrations.append(from + u" -> "_s + to);
            return migrationSucceeds;
        });
    }

    CoreTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    QString appData = ctx.folder + u"/share"_s;
    QString program = ctx.folder + u"/bin"_s;
    QString target = appData + u"/Tallyroo"_s;
    QStringList migrations;
    bool migrationSucceeds = true;
};
} // namespace

TEST_F(DataFolderTest, FirstStartDerivesCreatesAndStoresTheFolder)
{
    folder(appData).settle();
    EXPECT_EQ(ctx.run.DataDir, target);
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(ctx.text(Shared, u"Path"_s), target);
    // Not the program folder: no question, status 2.
    EXPECT_EQ(check(), DataFolder::Check::Continue);
    EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());
    EXPECT_EQ(status(), 2);
}

TEST_F(DataFolderTest, LegacyValueIsCopiedAndUsed)
{
    const QString legacy = ctx.folder + u"/legacy"_s;
    QDir().mkpath(legacy);
    ctx.setText(DataFolder::legacyKey(), u"Path"_s, legacy);
    folder(appData).settle();
    EXPECT_EQ(ctx.run.DataDir, legacy);
    EXPECT_EQ(ctx.text(Shared, u"Path"_s), legacy);
}

TEST_F(DataFolderTest, EmptyPathCountsAsMissing)
{
    ctx.setText(Shared, u"Path"_s, QString());
    folder(appData).settle();
    EXPECT_EQ(ctx.run.DataDir, target);
    EXPECT_EQ(ctx.text(Shared, u"Path"_s), target);
}

TEST_F(DataFolderTest, StoredFolderThatDoesNotExistIsCreatedAndKept)
{
    const QString stored = ctx.folder + u"/elsewhere/deeper"_s;
    ctx.setText(Shared, u"Path"_s, stored);
    folder(appData).settle();
    EXPECT_EQ(ctx.run.DataDir, stored);
    EXPECT_TRUE(QFileInfo(stored).isDir());
    EXPECT_EQ(ctx.text(Shared, u"Path"_s), stored);
}

TEST_F(DataFolderTest, WithoutAnApplicationDataFolderTheProgramFolderServes)
{
    folder(QString()).settle();
    EXPECT_EQ(ctx.run.DataDir, program);
    EXPECT_EQ(ctx.text(Shared, u"Path"_s), program);
    // No data folder yet for the log file: the message box carries it.
    ASSERT_EQ(ctx.window.messageBoxes.size(), 2);
    EXPECT_TRUE(ctx.window.messageBoxes[0].text.startsWith(u"Main: failed to get app data directory:"_s));
    EXPECT_TRUE(ctx.window.messageBoxes[1].text.startsWith(u"Main: defaulting data directory to:"_s));
    EXPECT_TRUE(ctx.window.messageBoxes[1].text.endsWith(program));
}

TEST_F(DataFolderTest, FinalStatusesAskNothing)
{
    for (int32_t stored : {1, 2, 7}) {
        ctx.setDword(ctx.app.configKey(), u"DataDirMigration"_s, stored);
        ctx.run.DataDir = program;
        ctx.registry.attemptedWrites.clear();
        EXPECT_EQ(check(), DataFolder::Check::Continue);
        EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());
        EXPECT_TRUE(ctx.registry.attemptedWrites.isEmpty());
        EXPECT_EQ(status(), stored);
    }
}

TEST_F(DataFolderTest, DeclinedOfferIsNotMadeAgain)
{
    ctx.run.DataDir = program;
    ctx.window.nextAnswers = {BoxAnswer::No};
    EXPECT_EQ(check(), DataFolder::Check::Continue);
    ASSERT_EQ(ctx.window.messageBoxes.size(), 1);
    EXPECT_EQ(status(), 1);
    EXPECT_EQ(ctx.run.DataDir, program);
    EXPECT_TRUE(migrations.isEmpty());
}

TEST_F(DataFolderTest, OfferComparesFoldersWithoutCase)
{
    ctx.run.DataDir = program.toUpper();
    ctx.window.nextAnswers = {BoxAnswer::No};
    check();
    EXPECT_EQ(ctx.window.messageBoxes.size(), 1);
}

TEST_F(DataFolderTest, AcceptedMoveStoresTheNewFolder)
{
    ctx.run.DataDir = program;
    ctx.window.nextAnswers = {BoxAnswer::Yes};
    EXPECT_EQ(check(), DataFolder::Check::Continue);
    EXPECT_EQ(migrations, QStringList{program + u" -> "_s + target});
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(status(), 2);
    EXPECT_EQ(ctx.run.DataDir, target);
    EXPECT_EQ(ctx.text(Shared, u"Path"_s), target);
}

TEST_F(DataFolderTest, FailedMoveKeepsTheOldFolderAndAsksAgain)
{
    ctx.run.DataDir = program;
    ctx.window.nextAnswers = {BoxAnswer::Yes};
    migrationSucceeds = false;
    check();
    EXPECT_EQ(status(), 0);
    EXPECT_EQ(ctx.run.DataDir, program);
    EXPECT_EQ(ctx.text(Shared, u"Path"_s), program);
    ctx.window.nextAnswers = {BoxAnswer::No};
    check();
    EXPECT_EQ(ctx.window.messageBoxes.size(), 2);
}

TEST_F(DataFolderTest, CancelEndsTheProgramWithoutAWrite)
{
    ctx.run.DataDir = program;
    ctx.window.nextAnswers = {BoxAnswer::Cancel};
    EXPECT_EQ(check(), DataFolder::Check::Terminate);
    EXPECT_FALSE(status().has_value());
    EXPECT_TRUE(migrations.isEmpty());
}

TEST_F(DataFolderTest, HiddenRunNeverAsks)
{
    ctx.run.DataDir = program;
    ctx.setDword(ctx.app.configKey(), u"DataDirMigration"_s, 0);
    EXPECT_EQ(check(true), DataFolder::Check::Continue);
    EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());
    EXPECT_EQ(status(), 0);
}

TEST_F(DataFolderTest, MissingApplicationDataFolderFailsTheOffer)
{
    // A data home that is merely missing is made, and the offer follows.
    ctx.run.DataDir = program;
    QDir(appData).removeRecursively();
    ctx.window.nextAnswers = {BoxAnswer::No};
    check();
    ASSERT_EQ(ctx.window.messageBoxes.size(), 1);
    EXPECT_EQ(ctx.window.messageBoxes[0].buttons, BoxButtons::YesNoCancel);
    EXPECT_TRUE(QFileInfo(appData).isDir());

    // One that cannot be made fails the offer, and says so once, not at every start.
    ctx.window.messageBoxes.clear();
    ctx.setDword(ctx.app.configKey(), u"DataDirMigration"_s, -1);
    QFile blocker(ctx.folder + u"/file"_s);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    appData = blocker.fileName() + u"/share"_s;
    check();
    check();
    ASSERT_EQ(ctx.window.messageBoxes.size(), 1);
    EXPECT_NE(ctx.window.messageBoxes[0].buttons, BoxButtons::YesNoCancel); // no question was asked
    EXPECT_TRUE(ctx.window.messageBoxes[0].text.startsWith(u"CheckDataDirectory: application data directory"_s));
    EXPECT_EQ(status(), 0);
    EXPECT_TRUE(migrations.isEmpty());
}
