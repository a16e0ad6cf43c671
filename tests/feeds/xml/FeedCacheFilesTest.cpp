// SPDX-License-Identifier: MIT
#include "FeedCacheFiles.h"
#include "RunTimeError.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace Sarnick;

namespace {

TEST(FeedCacheFiles, NamesPerUserAndTheOldNamesPerProfile)
{
    const FeedCacheFiles first = FeedCacheFiles::forUser(u"/data/my.xml.d"_s, u"alice"_s, 0);
    EXPECT_EQ(first.current, u"/data/my.xml.d/alice.xml"_s);
    EXPECT_EQ(first.historical, u"/data/my.xml.d/alice_h.xml"_s);
    EXPECT_EQ(first.legacy, u"/data/my.xml.d/volumeusage.xml"_s);
    EXPECT_EQ(first.legacyHistorical, u"/data/my.xml.d/volumeusage_h.xml"_s);
    EXPECT_EQ(first.cacheFile(true), first.historical);
    EXPECT_EQ(first.legacyFile(false), first.legacy);

    const FeedCacheFiles other = FeedCacheFiles::forUser(u"/data"_s, u"bob.xml"_s, 12);
    EXPECT_EQ(other.historical, u"/data/bob_h.xml_h.xml"_s);
    EXPECT_EQ(other.legacy, u"/data/volumeusage12.xml"_s);
    EXPECT_EQ(other.legacyHistorical, u"/data/volumeusage12_h.xml"_s);
    // Dots alone stay inside the folder.
    EXPECT_EQ(FeedCacheFiles::forUser(u"/data"_s, u".."_s, 0).current, u"/data/...xml"_s);
}

TEST(FeedCacheFiles, RefusesNamesWithASeparator)
{
    for (const QString& name : QStringList{u"../x"_s, u"a/b"_s, u"a\\b"_s, u"a"_s + QChar(0) + u"b"_s}) {
        try {
            FeedCacheFiles::forUser(u"/data"_s, name, 0);
            ADD_FAILURE() << "accepted " << name.toStdString();
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.number(), 52);
            EXPECT_TRUE(error.description().startsWith(u"Bad file name or number"_s));
        }
    }
}

} // namespace
