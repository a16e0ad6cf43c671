// SPDX-License-Identifier: MIT
#include "VersionReply.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
using Parts = std::array<int16_t, 3>;

std::optional<Parts> parsed(const QString& text)
{
    Parts parts{};
    if (!VersionReply::parseVersion(text, parts))
        return std::nullopt;
    return parts;
}

int32_t overflowNumberOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const RunTimeError& error) {
        return error.number();
    }
    return 0;
}
} // namespace

TEST(VersionReply, PreWrapperGivesVersionAndNotesLines)
{
    const VersionReply reply = VersionReply::fromBody(u"<PRE>\r\n1.4.0\r\nFaster refresh\r\nNew graph\r\n</Pre>\n"_s);
    EXPECT_EQ(reply.latest, u"1.4.0"_s);
    EXPECT_EQ(reply.notes, u"Faster refresh\r\nNew graph"_s);

    // Text on both sides of the tags stays.
    const VersionReply inline_ = VersionReply::fromBody(u"<pre>1.4.0\nNotes</pre>"_s);
    EXPECT_EQ(inline_.latest, u"1.4.0"_s);
    EXPECT_EQ(inline_.notes, u"Notes"_s);
}

TEST(VersionReply, EverythingFromTheFirstFontTagIsDropped)
{
    const VersionReply reply =
        VersionReply::fromBody(u"<pre>\n1.4.0\nNotes\n</pre>\n<FONT color=red>hosted by</font>\n2.0.0"_s);
    EXPECT_EQ(reply.latest, u"1.4.0"_s);
    EXPECT_EQ(reply.notes, u"Notes"_s);

    EXPECT_EQ(VersionReply::fromBody(u"<font>1.4.0"_s).latest, QString());
}

TEST(VersionReply, BlanksAroundTheVersionAndDoubledLineFeeds)
{
    const VersionReply reply = VersionReply::fromBody(u"\n  1.4.0 \t\n\n\nA\n\nB\n"_s);
    EXPECT_EQ(reply.latest, u"1.4.0"_s);
    // One pass over the pairs: three line feeds leave one empty line.
    EXPECT_EQ(reply.notes, u"\r\nA\r\nB"_s);

    const VersionReply single = VersionReply::fromBody(u"1.4.0\n"_s);
    EXPECT_EQ(single.latest, u"1.4.0"_s);
    EXPECT_TRUE(single.notes.isEmpty());
    EXPECT_TRUE(VersionReply::fromBody(QString()).latest.isEmpty());
}

TEST(VersionReply, VersionNeedsThreeNumericParts)
{
    EXPECT_EQ(parsed(u"1.4.0"_s), (Parts{1, 4, 0}));
    EXPECT_EQ(parsed(u" 1 . 40 . 7 "_s), (Parts{1, 40, 7}));
    EXPECT_EQ(parsed(u"1.4.0.9"_s), (Parts{1, 4, 0}));
    EXPECT_EQ(parsed(u"1.4.0.beta"_s), (Parts{1, 4, 0}));
    EXPECT_EQ(parsed(u"1.4"_s), std::nullopt);
    EXPECT_EQ(parsed(u"1.x.0"_s), std::nullopt);
    EXPECT_EQ(parsed(u"1..0"_s), std::nullopt);
    EXPECT_EQ(parsed(QString()), std::nullopt);
    EXPECT_EQ(parsed(u"<!DOCTYPE html>"_s), std::nullopt);
}

TEST(VersionReply, PartsOutsideSixteenBitsOverflow)
{
    EXPECT_EQ(parsed(u"32767.0.-32768"_s), (Parts{32767, 0, -32768}));
    Parts parts{};
    EXPECT_EQ(overflowNumberOf([&] { VersionReply::parseVersion(u"32768.0.0"_s, parts); }), 6);
    EXPECT_EQ(overflowNumberOf([&] { VersionReply::parseVersion(u"1.0.-32769"_s, parts); }), 6);
    EXPECT_EQ(overflowNumberOf([&] { VersionReply::parseVersion(u"1.1e9.0"_s, parts); }), 6);
    // A non-numeric third part is reported as such even when an earlier part is too large.
    EXPECT_FALSE(VersionReply::parseVersion(u"99999.0.x"_s, parts));
}

TEST(VersionReply, VersionNumbersAndTheirThirtyTwoBitLimit)
{
    EXPECT_EQ(VersionReply::versionNumber(1, 40, 0), 1040000);
    EXPECT_EQ(VersionReply::versionNumber(1, 3, 2), 1003002);
    EXPECT_GT(VersionReply::versionNumber(1, 40, 0), VersionReply::versionNumber(1, 3, 2));
    EXPECT_EQ(VersionReply::versionNumber(2147, 483, 647), 2147483647);
    EXPECT_EQ(overflowNumberOf([] { VersionReply::versionNumber(2147, 483, 648); }), 6);
    EXPECT_EQ(overflowNumberOf([] { VersionReply::versionNumber(32767, 0, 0); }), 6);
}
