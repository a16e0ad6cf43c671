// SPDX-License-Identifier: MIT
#include "WindowUtilities.h"
#include "CoreTestContext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TitleMatches, CaseFlagDecidesWhetherCaseCounts)
{
    const QString title = u"tallyroo v1.3.2 [fred]"_s;
    EXPECT_FALSE(TitleMatches(title, u"Tallyroo v"_s, TitleMatch::BeginsWith, true));
    EXPECT_TRUE(TitleMatches(title, u"Tallyroo v"_s, TitleMatch::BeginsWith, false));
    EXPECT_TRUE(TitleMatches(u"Tallyroo v1.3.2 [fred]"_s, u"Tallyroo v"_s, TitleMatch::BeginsWith, true));
}

TEST(TitleMatches, TheThreeModes)
{
    const QString title = u"Tallyroo v1.3.2 [fred]"_s;
    EXPECT_TRUE(TitleMatches(title, u"[fred]"_s, TitleMatch::Contains, true));
    EXPECT_FALSE(TitleMatches(title, u"[fred]"_s, TitleMatch::BeginsWith, true));
    EXPECT_FALSE(TitleMatches(title, u"Tallyroo v"_s, TitleMatch::Exact, true));
    EXPECT_TRUE(TitleMatches(title, title, TitleMatch::Exact, true));
    EXPECT_FALSE(TitleMatches(title, title, 3, true));
    EXPECT_FALSE(TitleMatches(title, title, -1, false));
}

TEST(TitleMatches, EmptyTitleNeverMatchesAndOnly255CharactersAreSeen)
{
    EXPECT_FALSE(TitleMatches(QString(), QString(), TitleMatch::BeginsWith, true));
    EXPECT_FALSE(TitleMatches(QString(), QString(), TitleMatch::Exact, false));
    const QString longTitle = QString(255, u'a') + u"TAIL"_s;
    EXPECT_FALSE(TitleMatches(longTitle, u"TAIL"_s, TitleMatch::Contains, true));
    EXPECT_TRUE(TitleMatches(longTitle, QString(255, u'a'), TitleMatch::Exact, true));
}

TEST(FindWindowByTitle, FirstMatchInOrderWins)
{
    const QStringList titles = {QString(), u"Editor"_s, u"Tallyroo v1.3.2 [a]"_s, u"Tallyroo v1.3.2 [b]"_s};
    EXPECT_EQ(FindWindowByTitle(titles, u"Tallyroo v"_s, TitleMatch::BeginsWith, true), 2);
    EXPECT_EQ(FindWindowByTitle(titles, u"[b]"_s, TitleMatch::Contains, true), 3);
    EXPECT_EQ(FindWindowByTitle(titles, u"Tallymeter"_s, TitleMatch::BeginsWith, false), -1);
    EXPECT_EQ(FindWindowByTitle({}, u"x"_s, TitleMatch::Contains, false), -1);
}

TEST(MemoryMinimise, LogsItsCall)
{
    CoreTestContext core(u"MemoryMinimise"_s);
    MemoryMinimise(core.log);
    ASSERT_FALSE(core.logLines().isEmpty());
    EXPECT_EQ(core.logLines().last().text, u"calling MemoryMinimise"_s);
    EXPECT_EQ(core.logLines().last().level, 6);
}
