// SPDX-License-Identifier: MIT
#include "CommandLine.h"
#include "RunState.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
struct Parsed
{
    bool ok = false;
    QString error;
    RunState run;
};

Parsed parse(const QStringList& arguments)
{
    Parsed p;
    p.ok = CommandLine::ParseCommandLine(arguments, p.run, p.error);
    return p;
}
} // namespace

TEST(CommandLineJoin, QuotesWhatHoldsABlankForTheLog)
{
    EXPECT_EQ(CommandLine::joinArguments({u"/P"_s, u"1 2"_s, u""_s, u"/h"_s, u"say \"hi\""_s}),
              u"/P \"1 2\" \"\" /h \"say hi\""_s);
}

TEST(CommandLineParse, NoArgumentsSetNothing)
{
    const Parsed p = parse({});
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.run.CmdLineFlags, 0);
    EXPECT_EQ(p.run.ProfileNumber, 0);
    EXPECT_FALSE(p.run.CmdLineQuiet);
    EXPECT_FALSE(p.run.CmdLineDebug);
}

TEST(CommandLineParse, EachSwitchSetsItsBit)
{
    struct Case
    {
        const char16_t* arg;
        uint16_t bit;
        bool quiet;
        bool debug;
    };
    const Case cases[] = {
        {u"/C", CmdLineFlag::ClearSettings, false, false}, {u"/clearmemory", CmdLineFlag::ClearSettings, false, false},
        {u"/h", CmdLineFlag::Hidden, true, false},         {u"/HIDDEN", CmdLineFlag::Hidden, true, false},
        {u"/Tiny", CmdLineFlag::Tray, false, false},       {u"/noauto", CmdLineFlag::NoAuto, false, false},
        {u"/NoOld", CmdLineFlag::NoOld, false, false},     {u"/debug", CmdLineFlag::Debug, false, true},
        {u"/q", CmdLineFlag::Quiet, true, false},          {u"/Wide", CmdLineFlag::ClearWidths, false, false},
    };
    for (const Case& c : cases) {
        const Parsed p = parse({QString::fromUtf16(c.arg)});
        SCOPED_TRACE(QString::fromUtf16(c.arg).toStdString());
        EXPECT_TRUE(p.ok);
        EXPECT_EQ(p.run.CmdLineFlags, c.bit);
        EXPECT_EQ(p.run.CmdLineQuiet, c.quiet);
        EXPECT_EQ(p.run.CmdLineDebug, c.debug);
    }
}

TEST(CommandLineParse, ProfileNumbers)
{
    Parsed p = parse({u"/h"_s, u"/p2"_s});
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.run.CmdLineFlags, CmdLineFlag::Hidden);
    EXPECT_EQ(p.run.ProfileNumber, 2);

    EXPECT_TRUE(parse({u"/P0"_s}).ok);
    EXPECT_EQ(parse({u"/P30"_s}).run.ProfileNumber, 30);
    EXPECT_EQ(parse({u"/P2.5"_s}).run.ProfileNumber, 2); // halves to even
    EXPECT_EQ(parse({u"/P3.5"_s}).run.ProfileNumber, 4);
    EXPECT_EQ(parse({u"/P1"_s, u"/P7"_s}).run.ProfileNumber, 7); // the last one wins

    p = parse({u"/P"_s});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, u"non-numeric profile numbers specified: "_s);
    p = parse({u"/P1 2"_s}); // one argument, blank and all
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, u"non-numeric profile numbers specified: 1 2"_s);

    p = parse({u"/P31"_s});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, u"specified profile number \"31\" out of valid range 1-30"_s);
    EXPECT_EQ(p.run.ProfileNumber, 31); // stored before the range test
    p = parse({u"/P-1"_s});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, u"specified profile number \"-1\" out of valid range 1-30"_s);
    p = parse({u"/P99999"_s});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, u"specified profile number \"99999\" out of valid range 1-30"_s);
}

TEST(CommandLineParse, UnknownArgumentsStopAtTheFirst)
{
    Parsed p = parse({u"/NOAUTOX"_s});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, u"unknown switch: /NOAUTOX"_s);
    p = parse({u"hello"_s, u"/T"_s});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, u"unknown parameter: hello"_s);
    EXPECT_EQ(p.run.CmdLineFlags, 0); // later arguments are not looked at
    // Flags of earlier arguments stay set: quiet is already on when the error is reported.
    p = parse({u"/Q"_s, u"/X"_s});
    EXPECT_FALSE(p.ok);
    EXPECT_TRUE(p.run.CmdLineQuiet);
    EXPECT_EQ(p.error, u"unknown switch: /X"_s);
}
