// SPDX-License-Identifier: MIT
#include "TrayLinks.h"

#include "CoreTestContext.h"
#include "ProviderLinks.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class TrayLinksTest : public ::testing::Test
{
protected:
    TrayLinksTest()
    {
        ctx.settings.Username = u"joe@quolla.example"_s;
        ctx.settings.Password = u"s3cret"_s;
        ctx.run.URLMail = u"https://webmail.example/login?user=qoUID&password=qoPWD"_s;
        ctx.run.URLToolbox = u"https://portal.example/?username=qoUID&password=qoPWD"_s;
    }

    CoreTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    QStringList opened;
    bool openerWorks = true;
    ProviderLinks links{ctx.app, ctx.settings, ctx.run, ctx.registry, ctx.log, ctx.window, [this](const QString& t) {
                            opened.append(t);
                            return openerWorks;
                        }};
};
} // namespace

TEST_F(TrayLinksTest, MailAlwaysCarriesTheCredentials)
{
    ctx.settings.OptionFlags = 0;
    EXPECT_TRUE(openTrayLink(u"mnuPopup_QuollaMail"_s, ctx.run, links, ctx.log));
    EXPECT_TRUE(openTrayLink(u"mnuPopup_QuollaToolbox"_s, ctx.run, links, ctx.log));
    EXPECT_EQ(opened, QStringList({u"https://webmail.example/login?user=joe%40quolla.example&password=s3cret"_s,
                                   u"https://portal.example/"_s}));

    const QStringList texts = ctx.logTexts();
    EXPECT_TRUE(texts.contains(u"executing Web Mail URL"_s));
    EXPECT_TRUE(texts.contains(u"executing Toolbox URL"_s));
    for (const QString& line : texts)
        EXPECT_FALSE(line.contains(u"s3cret"_s)) << line.toStdString();
}

TEST_F(TrayLinksTest, AFailedOpenShowsNoPassword)
{
    ctx.settings.OptionFlags = 0;
    openerWorks = false;
    EXPECT_TRUE(openTrayLink(u"mnuPopup_QuollaMail"_s, ctx.run, links, ctx.log));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].contains(u"s3cret"_s));

    ASSERT_EQ(ctx.window.messageBoxes.size(), 1);
    EXPECT_TRUE(ctx.window.messageBoxes[0].text.startsWith(u"Error 31 opening link to "_s));
    EXPECT_FALSE(ctx.window.messageBoxes[0].text.contains(u"s3cret"_s));
    for (const QString& line : ctx.logTexts())
        EXPECT_FALSE(line.contains(u"s3cret"_s)) << line.toStdString();
}

TEST_F(TrayLinksTest, OthersCarryThemOnlyWithThePasswordOption)
{
    ctx.settings.OptionFlags = OptionFlag::PwdToolbox;
    EXPECT_TRUE(openTrayLink(u"mnuPopup_QuollaToolbox"_s, ctx.run, links, ctx.log));
    EXPECT_EQ(opened, QStringList({u"https://portal.example/?username=joe%40quolla.example&password=s3cret"_s}));
}

TEST_F(TrayLinksTest, EachItemLogsItsLineAndOpensItsLink)
{
    ctx.settings.OptionFlags = 0;
    ctx.run.URLConnections = u"https://c"_s;
    ctx.run.URLSMS = u"https://s"_s;
    ctx.run.URLFaults = u"https://f"_s;
    ctx.run.URLPhoneWait = u"https://p"_s;
    ctx.run.URLVolumeUsage = u"https://v"_s;
    const QList<std::pair<QString, QString>> items{
        {u"mnuPopup_QuollaConnections"_s, u"executing Connection History URL"_s},
        {u"mnuPopup_QuollaSMS"_s, u"executing SMS URL"_s},
        {u"mnuPopup_QuollaFault"_s, u"executing Network Fault URL"_s},
        {u"mnuPopup_QuollaPhone"_s, u"executing Support Call Waiting Stats URL"_s},
        {u"mnuPopup_QuollaVolume"_s, u"executing Volume Usage URL"_s},
    };
    for (const auto& [item, line] : items)
        EXPECT_TRUE(openTrayLink(item, ctx.run, links, ctx.log));
    EXPECT_EQ(opened, QStringList({u"https://c"_s, u"https://s"_s, u"https://f"_s, u"https://p"_s, u"https://v"_s}));

    QStringList executing;
    for (const CoreTestContext::LogLine& line : ctx.logLines()) {
        if (line.text.startsWith(u"executing "_s)) {
            EXPECT_EQ(line.level, 3);
            executing.append(line.text);
        }
    }
    QStringList expected;
    for (const auto& item : items)
        expected.append(item.second);
    EXPECT_EQ(executing, expected);

    EXPECT_FALSE(openTrayLink(u"mnuPopup_Exit"_s, ctx.run, links, ctx.log));
    EXPECT_EQ(opened.size(), 5);
}
