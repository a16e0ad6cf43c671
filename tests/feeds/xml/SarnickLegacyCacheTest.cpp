// SPDX-License-Identifier: MIT
#include "SarnickRetrievalSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace SarnickRetrievalSupport;

namespace {

const QByteArray Month = feedDocument("<volume_usage><day_hour period=\"2024-03-01\"><u type=\"peak\">1000000</u>"
                                      "</day_hour></volume_usage>");
const QByteArray EarlierMonth = feedDocument("<volume_usage><day_hour period=\"2024-02-01\"><u type=\"peak\">"
                                             "2000000</u></day_hour></volume_usage>");

// The cache files that earlier releases kept per profile: taken over when the account has none
// yet, removed once it has its own.
using SarnickLegacyCache = SarnickRetrieval;

TEST_F(SarnickLegacyCache, ACachedReadTakesOverTheProfilesOldFile)
{
    writeCache(u"volumeusage.xml"_s, Month);
    writeCache(u"volumeusage3.xml"_s, EarlierMonth);
    ASSERT_TRUE(retrieve(Alice, AlicePassword, true)) << usage().szLastErrorDetail().toStdString();
    EXPECT_EQ(levelOf(u"renaming cache file from "_s + cacheFile(u"volumeusage.xml"_s) + u" to "_s +
                      cacheFile(u"alice.xml"_s)),
              3);
    EXPECT_EQ(usage().arrayDailyPeak(), (QList<float>{1.0f}));
    EXPECT_EQ(cacheBytes(u"alice.xml"_s), Month);
    // Another profile's old file is left to that profile.
    EXPECT_EQ(cacheFolderFiles(), (QStringList{u"alice.xml"_s, u"volumeusage3.xml"_s}));

    usage().intProfile(3);
    ASSERT_TRUE(retrieve(u"bob"_s, u"pw"_s, true));
    EXPECT_EQ(cacheBytes(u"bob.xml"_s), EarlierMonth);
    EXPECT_EQ(cacheFolderFiles(), (QStringList{u"alice.xml"_s, u"bob.xml"_s}));
}

TEST_F(SarnickLegacyCache, EachOldFileGoesOnceItsSuccessorExists)
{
    writeCache(u"alice.xml"_s, Month);
    writeCache(u"volumeusage.xml"_s, "old current month");
    writeCache(u"volumeusage_h.xml"_s, EarlierMonth);
    ASSERT_TRUE(retrieve(Alice, AlicePassword, true));
    EXPECT_EQ(levelOf(u"deleting old cache file "_s + cacheFile(u"volumeusage.xml"_s)), 6);
    // The earlier month's old file is still the only copy of that month.
    EXPECT_EQ(cacheFolderFiles(), (QStringList{u"alice.xml"_s, u"volumeusage_h.xml"_s}));

    ASSERT_TRUE(retrieveMonth(*LocalDateTime::fromParts(2024, 2, 10), true));
    EXPECT_EQ(levelOf(u"renaming cache file from "_s + cacheFile(u"volumeusage_h.xml"_s) + u" to "_s +
                      cacheFile(u"alice_h.xml"_s)),
              3);
    EXPECT_EQ(usage().arrayDailyPeak(), (QList<float>{2.0f}));
    EXPECT_EQ(cacheFolderFiles(), (QStringList{u"alice.xml"_s, u"alice_h.xml"_s}));
}

TEST_F(SarnickLegacyCache, ALiveFetchAlsoClearsTheOldFilesAndAFailedDeleteIsOnlyReported)
{
    writeCache(u"alice.xml"_s, Month);
    writeCache(u"alice_h.xml"_s, EarlierMonth);
    writeCache(u"volumeusage_h.xml"_s, "old earlier month");
    ASSERT_TRUE(QDir(cacheFolder).mkpath(u"volumeusage.xml/inside"_s));
    ASSERT_TRUE(retrieve()) << usage().szLastErrorDetail().toStdString();
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(levelOf(u"deleting old cache file "_s + cacheFile(u"volumeusage_h.xml"_s)), 6);
    bool reported = false;
    for (const StatusLine& line : recorder.lines())
        reported = reported || (line.text.startsWith(u"Sarnick.RetrieveData: failed to delete old cache file: ["_s) &&
                                line.level == 3);
    EXPECT_TRUE(reported);
    EXPECT_EQ(cacheFolderFiles(), (QStringList{u"alice.xml"_s, u"alice_h.xml"_s}));
    EXPECT_EQ(usage().arrayDailyDates()->size(), 31);
}

} // namespace
