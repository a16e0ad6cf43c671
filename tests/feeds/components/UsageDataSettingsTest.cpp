// SPDX-License-Identifier: MIT
#include "ComponentTestSupport.h"
#include "Path.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;
using namespace ComponentTestSupport;

namespace {

const QString SharedKey = u"Software\\Sarnick\\Config"_s;

class UsageDataSettings : public ::testing::Test
{
protected:
    void SetUp() override { DeleteRegValue(HKEY_CURRENT_USER, SharedKey, u"Path"_s); }

    StatusRecorder recorder;
};

TEST_F(UsageDataSettings, NewObjectsHoldTheirStartingValues)
{
    PelborneComponent pelborne(u"Pelborne.UsageData"_s, recorder);
    SarnickComponent sarnick(u"Sarnick.UsageData"_s, recorder);
    ASSERT_TRUE(pelborne.usage);
    ASSERT_TRUE(sarnick.usage);

    EXPECT_EQ(pelborne.usage->szAccountName(), QString());
    EXPECT_EQ(sarnick.usage->szAccountName(), u"Quolla"_s);
    EXPECT_EQ(pelborne.usage->intTimeout(), 0);
    EXPECT_EQ(sarnick.usage->intTimeout(), 120);
    EXPECT_EQ(
        sarnick.usage->szLoginURL(),
        u"https://toolbox.quolla.example/cgi-bin/new/volume_usage_xml.cgi?username=qoUID&action=login&password=qoPWD"_s);
    EXPECT_EQ(pelborne.usage->intProfile(), 0);
    EXPECT_EQ(sarnick.usage->boolUnlimited(), 0.0f);

    // No month yet: the daily arrays hold no array, the headers six empty texts, the totals zeros.
    EXPECT_FALSE(pelborne.usage->arrayDailyDates());
    EXPECT_FALSE(pelborne.usage->arrayDailyPeak());
    EXPECT_FALSE(sarnick.usage->arrayDailyTotals());
    EXPECT_FALSE(sarnick.usage->arrayDailyUploads());
    for (const QString& header : sarnick.usage->arrayDailyHeaders())
        EXPECT_TRUE(header.isEmpty());
    for (float total : pelborne.usage->arrayTotals())
        EXPECT_EQ(total, 0.0f);
}

TEST_F(UsageDataSettings, ProfileNumbersOutsideZeroToThirtyAreRefused)
{
    PelborneComponent pelborne(u"Pelborne.UsageData"_s, recorder);
    SarnickComponent sarnick(u"Sarnick.UsageData"_s, recorder);

    // Every profile the command line accepts.
    EXPECT_FALSE(pelborne.usage->intProfile(30));
    EXPECT_EQ(pelborne.usage->intProfile(), 30);
    EXPECT_FALSE(sarnick.usage->intProfile(30));
    EXPECT_FALSE(pelborne.usage->intProfile(0));
    EXPECT_EQ(pelborne.usage->intProfile(), 0);
    ASSERT_FALSE(sarnick.usage->intProfile(7));

    for (int16_t refused : {int16_t(31), int16_t(-1), std::numeric_limits<int16_t>::max()}) {
        SCOPED_TRACE(refused);
        const ComErrorResult pelborneError = pelborne.usage->intProfile(refused);
        ASSERT_TRUE(pelborneError);
        EXPECT_EQ(pelborneError->number, int32_t(0x8004000B));
        EXPECT_EQ(pelborneError->source, u"Pelborne.intProfile"_s);
        EXPECT_EQ(pelborneError->description, u"Pelborne.intProfile profile number out of valid range"_s);
        EXPECT_EQ(pelborne.usage->intProfile(), 0);

        const ComErrorResult sarnickError = sarnick.usage->intProfile(refused);
        ASSERT_TRUE(sarnickError);
        EXPECT_EQ(sarnickError->number, -2147221493);
        EXPECT_EQ(sarnickError->description, u"Sarnick.intProfile profile number out of valid range"_s);
        EXPECT_EQ(sarnick.usage->intProfile(), 7);
    }
}

TEST_F(UsageDataSettings, TimeoutsAreClampedIntoTwoToSixHundredSeconds)
{
    PelborneComponent pelborne(u"Pelborne.UsageData"_s, recorder);
    const std::pair<int16_t, int16_t> cases[] = {
        {0, 2}, {1, 2}, {2, 2}, {-5, 2}, {120, 120}, {600, 600}, {601, 600}, {32767, 600},
    };
    for (const auto& [put, expected] : cases) {
        pelborne.usage->intTimeout(put);
        EXPECT_EQ(pelborne.usage->intTimeout(), expected) << put;
    }
}

TEST_F(UsageDataSettings, SarnickTakesItsStartingTimeoutFromTheRegistry)
{
    const QString key = configKey(u"Sarnick"_s);
    const std::pair<int32_t, int16_t> cases[] = {{5000, 600}, {1, 2}, {45, 45}, {70000, 0}, {-40000, 0}};
    for (const auto& [stored, expected] : cases) {
        writeNumber(key, u"timeout"_s, stored);
        SarnickComponent sarnick(u"Sarnick.UsageData"_s, recorder);
        EXPECT_EQ(sarnick.usage->intTimeout(), expected) << stored;
    }
    // Pelborne has no such value.
    writeNumber(configKey(u"Pelborne"_s), u"timeout"_s, 30);
    PelborneComponent pelborne(u"Pelborne.UsageData"_s, recorder);
    EXPECT_EQ(pelborne.usage->intTimeout(), 0);
}

TEST_F(UsageDataSettings, TheCachePathLosesOneTrailingSlashAndIsShared)
{
    PelborneComponent pelborne(u"Pelborne.UsageData"_s, recorder);
    const std::pair<QString, QString> cases[] = {
        {u"/data/usage/"_s, u"/data/usage"_s},
        {u"/data/usage//"_s, u"/data/usage/"_s},
        {u"/"_s, QString()},
        {u"/data/usage"_s, u"/data/usage"_s},
    };
    for (const auto& [put, expected] : cases) {
        pelborne.usage->szCachePath(put);
        EXPECT_EQ(pelborne.usage->szCachePath(), expected) << put.toStdString();
        // Both components keep it under Sarnick's key, where the program finds its data folder.
        EXPECT_EQ(readText(SharedKey, u"Path"_s), expected);
    }

    // A stored value is taken as it is, trailing slash and all, by either component.
    writeText(SharedKey, u"Path"_s, u"/stored/folder/"_s);
    SarnickComponent sarnick(u"Sarnick.UsageData"_s, recorder);
    PelborneComponent second(u"Pelborne.UsageData"_s, recorder);
    EXPECT_EQ(sarnick.usage->szCachePath(), u"/stored/folder/"_s);
    EXPECT_EQ(second.usage->szCachePath(), u"/stored/folder/"_s);
    EXPECT_EQ(readText(SharedKey, u"Path"_s), u"/stored/folder/"_s);
}

TEST_F(UsageDataSettings, TheFirstObjectWithoutPathStoresTheProgramsFolderForEveryone)
{
    ASSERT_FALSE(PathOfCaller().isEmpty());
    SarnickComponent first(u"Sarnick.UsageData"_s, recorder);
    EXPECT_EQ(first.usage->szCachePath(), PathOfCaller());
    EXPECT_EQ(readText(SharedKey, u"Path"_s), PathOfCaller());

    // A value that exists, even an empty one, is used unchanged.
    writeText(SharedKey, u"Path"_s, QString());
    PelborneComponent second(u"Pelborne.UsageData"_s, recorder);
    EXPECT_EQ(second.usage->szCachePath(), QString());
    EXPECT_EQ(readText(SharedKey, u"Path"_s), QString());
}

TEST_F(UsageDataSettings, SarnicksFeedTemplateFollowsToolboxURL)
{
    const QString key = configKey(u"Sarnick"_s);
    const QString path = u"/cgi-bin/new/volume_usage_xml.cgi?username=qoUID&action=login&password=qoPWD"_s;
    const std::pair<QString, QString> cases[] = {
        {u"http://127.0.0.1:8080"_s, u"http://127.0.0.1:8080"_s},
        {u"http://localhost:9"_s, u"http://localhost:9"_s},
        {u"https://usage.example.net/"_s, u"https://usage.example.net"_s},
        // Refused: plain http to another machine, and anything but a scheme and host.
        {u"http://usage.example.net:8080"_s, u"https://toolbox.quolla.example"_s},
        {u"ftp://127.0.0.1"_s, u"https://toolbox.quolla.example"_s},
        {u"https://usage.example.net/other/path"_s, u"https://toolbox.quolla.example"_s},
        {u"not an address"_s, u"https://toolbox.quolla.example"_s},
    };
    for (const auto& [setting, base] : cases) {
        writeText(key, u"ToolboxURL"_s, setting);
        SarnickComponent sarnick(u"Sarnick.UsageData"_s, recorder);
        EXPECT_EQ(sarnick.usage->szLoginURL(), base + path) << setting.toStdString();
    }
    // The put keeps whatever the caller gives.
    SarnickComponent sarnick(u"Sarnick.UsageData"_s, recorder);
    sarnick.usage->szLoginURL(u"https://elsewhere.example/feed?u=qoUID"_s);
    EXPECT_EQ(sarnick.usage->szLoginURL(), u"https://elsewhere.example/feed?u=qoUID"_s);
}

} // namespace
