// SPDX-License-Identifier: MIT
#include "MainRoutines.h"
#include "CoreTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QStringList summaryArrays = {u"lblTitle"_s,     u"txtQuota"_s,        u"txtTotal"_s, u"txtAverage"_s,
                                   u"txtRemaining"_s, u"txtAvgRemaining"_s, u"txtToday"_s};

class MainRoutinesTest : public ::testing::Test
{
protected:
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    bool readerResult = true;
    QList<LocalDateTime> storedMonths;
    QString readerError;
    MainRoutines routines{
        core.app, core.settings, core.run, core.window, core.log, [this](QList<LocalDateTime>& months, QString& error) {
            months = storedMonths;
            if (!readerResult)
                error = readerError;
            return readerResult;
        }};
};
} // namespace

TEST(AppInfo, NamesAndKeysOfThisBuild)
{
    const AppInfo app = AppInfo::current();
    EXPECT_EQ(app.Title, u"Tallymeter"_s);
    EXPECT_EQ(app.ProductName, u"Tallyroo"_s);
    EXPECT_EQ(app.appKey(), u"Software\\Tallymeter"_s);
    EXPECT_EQ(app.configKey(), u"Software\\Tallymeter\\Config"_s);
    EXPECT_EQ(app.profileKey(0), u"Software\\Tallymeter\\Config"_s);
    EXPECT_EQ(app.profileKey(3), u"Software\\Tallymeter\\Config3"_s);
    EXPECT_EQ(app.profileKey(30), u"Software\\Tallymeter\\Config30"_s);
}

TEST_F(MainRoutinesTest, TheCaptionCarriesTheVersionOfTheBuildAndTheUserWithoutDomain)
{
    struct Case
    {
        int major, minor, revision;
        QString user;
        bool debug;
        QString caption;
    };
    const Case cases[] = {
        {1, 3, 2, QString(), true, u"Tallyroo v1.3.2 [unknown] (debug mode)"_s},
        {1, 3, 2, u"fred@quolla.example"_s, false, u"Tallyroo v1.3.2 [fred]"_s},
        {10, 0, 12, u"DOMAIN\\fred"_s, false, u"Tallyroo v10.0.12 [DOMAIN\\fred]"_s},
        {0, 0, 0, u"@x"_s, true, u"Tallyroo v0.0.0 [] (debug mode)"_s},
    };
    for (const Case& c : cases) {
        core.app.Major = c.major;
        core.app.Minor = c.minor;
        core.app.Revision = c.revision;
        core.settings.Username = c.user;
        core.run.CmdLineDebug = c.debug;
        routines.SetAppCaption();
        EXPECT_EQ(core.window.caption, c.caption) << c.user.toStdString();
    }
    // The program's own build names its own version.
    const AppInfo built = AppInfo::current();
    core.app = built;
    core.settings.Username = u"fred"_s;
    core.run.CmdLineDebug = false;
    routines.SetAppCaption();
    EXPECT_EQ(core.window.caption, u"Tallyroo v"_s + QString::number(built.Major) + u'.' +
                                       QString::number(built.Minor) + u'.' + QString::number(built.Revision) +
                                       u" [fred]"_s);
}

TEST_F(MainRoutinesTest, FreezoneColumnIsElementOne)
{
    routines.SetFreezoneSummaryVisible(false);
    ASSERT_EQ(core.window.controlVisible.size(), summaryArrays.size());
    for (const QString& name : summaryArrays)
        EXPECT_EQ(core.window.controlVisible.value(name + u"(1)"_s, true), false) << name.toStdString();
    ASSERT_EQ(core.logLines().size(), 1);
    EXPECT_EQ(core.logLines().at(0).text, u"SetFreezoneSummaryVisible(False)"_s);
    EXPECT_EQ(core.logLines().at(0).level, 6);
}

TEST_F(MainRoutinesTest, OffPeakColumnIsElementTwoWithItsBarAndShapingText)
{
    routines.SetOffPeakSummaryVisible(true);
    EXPECT_EQ(core.window.controlVisible.size(), summaryArrays.size() + 3);
    for (const QString& name : summaryArrays)
        EXPECT_TRUE(core.window.controlVisible.value(name + u"(2)"_s)) << name.toStdString();
    EXPECT_TRUE(core.window.controlVisible.value(u"prXPStatusOffPeak"_s));
    EXPECT_TRUE(core.window.controlVisible.value(u"lblOffPeakShapeTitle"_s));
    EXPECT_TRUE(core.window.controlVisible.value(u"txtBStatus"_s));
    EXPECT_EQ(core.logTexts(), QStringList{u"SetOffPeakSummaryVisible(True)"_s});
}

TEST_F(MainRoutinesTest, MonthListNewestFirstAndSelected)
{
    core.window.monthList = {u"stale"_s};
    storedMonths = {*LocalDateTime::fromParts(2008, 3, 15), *LocalDateTime::fromParts(2008, 2, 15),
                    *LocalDateTime::fromParts(2007, 12, 1)};
    QString error;
    ASSERT_TRUE(routines.SQLGetMonths(error));

    EXPECT_EQ(core.window.monthList, (QStringList{u"March 2008"_s, u"February 2008"_s, u"December 2007"_s}));
    EXPECT_EQ(core.window.monthListIndex, 0);
    EXPECT_TRUE(core.window.monthListSelectingWhenIndexSet);
    EXPECT_FALSE(core.window.monthListSelecting);
    EXPECT_TRUE(core.window.monthListVisible);
    ASSERT_EQ(core.logLines().size(), 1);
    EXPECT_EQ(core.logLines().at(0).text, u"SQLGetMonths: retrieved 3 months"_s);
    EXPECT_EQ(core.logLines().at(0).level, 5);
}

TEST_F(MainRoutinesTest, MonthListOfOneMonth)
{
    storedMonths = {*LocalDateTime::fromParts(2026, 1, 31)};
    QString error;
    ASSERT_TRUE(routines.SQLGetMonths(error));
    EXPECT_EQ(core.window.monthList, QStringList{u"January 2026"_s});
    EXPECT_EQ(core.logTexts(), QStringList{u"SQLGetMonths: retrieved 1 month"_s});
}

TEST_F(MainRoutinesTest, UnreadableMonthsLeaveTheListEmptyAndHidden)
{
    core.window.monthList = {u"stale"_s};
    core.window.monthListVisible = true;
    readerResult = false;
    readerError = u"[-1] no data found in MonthlyData table"_s;
    QString error;
    EXPECT_FALSE(routines.SQLGetMonths(error));
    EXPECT_EQ(error, u"SQLGetMonths: failed to read data:\r\n[-1] no data found in MonthlyData table"_s);
    EXPECT_TRUE(core.window.monthList.isEmpty());
    EXPECT_FALSE(core.window.monthListVisible);
}

TEST_F(MainRoutinesTest, WindowFailureWhileFillingTheList)
{
    storedMonths = {*LocalDateTime::fromParts(2008, 3, 15)};
    core.window.failingCall = u"addMonthListItem"_s;
    QString error;
    EXPECT_FALSE(routines.SQLGetMonths(error));
    EXPECT_EQ(error, u"ShowAvailableMonths: [91] Object variable or With block variable not set"_s);
    EXPECT_FALSE(core.window.monthListVisible);
}
