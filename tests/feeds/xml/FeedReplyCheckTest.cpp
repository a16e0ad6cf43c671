// SPDX-License-Identifier: MIT
#include "FeedReplyCheck.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace Sarnick;

namespace {

const QString CRLF = u"\r\n"_s;
const QString Website = u"Sarnick.RetrieveData: error retrieving data from website:\r\n"_s;

QString shortText(const QString& reply)
{
    const std::optional<ReplyFailure> failure = CheckFeedReply(reply, u"Quolla"_s);
    return failure ? failure->szLastError : u"(passes)"_s;
}

TEST(FeedReplyCheck, LengthAndTheMarkersAtTheVeryStart)
{
    EXPECT_EQ(shortText(QString()), u"Error retrieving data: empty response"_s);
    EXPECT_EQ(shortText(u"123456789"_s), u"Error retrieving data: empty response"_s);
    EXPECT_EQ(shortText(u"1234567890"_s), u"(passes)"_s);
    EXPECT_EQ(CheckFeedReply(u"ERROR"_s, u"Brindle"_s)->szLastErrorDetail,
              Website + u"empty response received from Brindle"_s);

    EXPECT_EQ(shortText(u"<DiV>DENIED</div> and more"_s), u"Error retrieving data: XML request denied"_s);
    EXPECT_EQ(shortText(u" <div>denied</div>"_s), u"(passes)"_s);
    EXPECT_EQ(shortText(u"<META HTTP-EQUIV='refresh' content='0'>"_s), u"Error retrieving data: XML feed is broken"_s);
    EXPECT_EQ(shortText(u"<meta http-equiv=\"refresh\" content='0'>"_s), u"(passes)"_s);
    EXPECT_EQ(CheckFeedReply(u"<meta http-equiv='refresh'>"_s, u"Quolla"_s)->szLastErrorDetail,
              Website + u"XML feed is broken because toolbox is overloaded"_s);
}

TEST(FeedReplyCheck, TheMaintenanceMessageStartsAfterTheTagsLineBreak)
{
    const QString sentence = u"We are giving the toolbox a routine check up. Back soon."_s;
    EXPECT_EQ(MaintenanceMessage(u"<html><p>\r\n"_s + sentence + u"\r\n</p></html>"_s), sentence);
    EXPECT_EQ(MaintenanceMessage(u"<html><p>\n"_s + sentence + u"\n</p></html>"_s), sentence);
    EXPECT_EQ(MaintenanceMessage(u"<HTML><p>"_s + sentence + u"\n</p>"_s), sentence);
    // The message runs to the end of its line only.
    EXPECT_EQ(MaintenanceMessage(u"<html><p>"_s + sentence + u" More.\r\nNext line\n"_s), sentence + u" More."_s);
    // Without the end of its line, or without a page around it, it is no maintenance page.
    EXPECT_EQ(MaintenanceMessage(u"<html><p>"_s + sentence), std::nullopt);
    EXPECT_EQ(MaintenanceMessage(u"<p>"_s + sentence + u"\n"_s), std::nullopt);
    EXPECT_EQ(MaintenanceMessage(u"<html><p>all is well</p>\n"_s), std::nullopt);

    const std::optional<ReplyFailure> failure =
        CheckFeedReply(u"<html>\r\n<p>\r\n"_s + sentence + u"\r\n</p>\r\n</html>"_s, u"Quolla"_s);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->szLastError, u"Error retrieving data: toolbox is down for a routine check up"_s);
    EXPECT_EQ(failure->szLastErrorDetail, Website + u"Quolla said: \"We are giving the toolbox a routine check up."_s +
                                              CRLF + u"    Back soon.\""_s);
}

TEST(FeedReplyCheck, TheFeedsErrorTextsByPhrase)
{
    bool known = false;
    EXPECT_EQ(FeedErrorFailure(u"A LARGE NUMBER OF CUSTOMERS ATTEMPTING to log in"_s, known).szLastError,
              u"Error retrieving data: toolbox overloaded, try again later"_s);
    EXPECT_TRUE(known);
    EXPECT_EQ(FeedErrorFailure(u"Sorry, No Data Was Found For Your Account."_s, known).szLastErrorDetail,
              Website + u"no data found for your account"_s);
    EXPECT_TRUE(known);
    // The first phrase that matches decides.
    EXPECT_EQ(FeedErrorFailure(u"toolbox a routine check up; no data was found for your account"_s, known).szLastError,
              u"Error retrieving data: no data found for your account"_s);
    EXPECT_EQ(FeedErrorFailure(u"giving the Toolbox a routine check up"_s, known).szLastError,
              u"Error retrieving data: toolbox is down for maintenance"_s);

    const ReplyFailure other = FeedErrorFailure(u"Account closed."_s, known);
    EXPECT_FALSE(known);
    EXPECT_EQ(other.szLastError, u"Error retrieving data: Account closed."_s);
    EXPECT_EQ(other.szLastErrorDetail, Website + u"Account closed."_s);
}

} // namespace
