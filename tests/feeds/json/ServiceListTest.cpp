// SPDX-License-Identifier: MIT
#include "ServiceList.h"

#include <QList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString TwoDomains = uR"({"success":1,"token":"tok-1","response":{"service_list":[
        {"pk_v":"bob@one.example","s_token":"first","actions":["Mail","Usage"]},
        {"pk_v":"bob@two.example","s_token":"second","actions":["Usage"]},
        {"pk_v":"bob","s_token":"bare","actions":["Usage","Usage"]}]}})"_s;

class ServiceListTest : public ::testing::Test
{
protected:
    ServiceListTest() : list([this](const QString& text, int16_t level) { lines.append({text, level}); }) {}

    bool parse(const QString& reply)
    {
        error.clear();
        const bool ok = list.ParseServiceList(reply, error);
        if (ok)
            list.setCount(int16_t(list.names().size()));
        return ok;
    }

    QList<QPair<QString, int16_t>> lines;
    ServiceList list;
    QString error;
};

TEST_F(ServiceListTest, OnlyServicesWithTheExactUsageActionCount)
{
    ASSERT_TRUE(parse(uR"({"success":1,"token":"t","response":{"service_list":[
        {"pk_v":"a","s_token":"1","actions":["usage","USAGE"]},
        {"pk_v":"b","s_token":"2","actions":["Mail","Usage"]},
        {"pk_v":"c","s_token":"3","actions":[]}]}})"_s));
    EXPECT_EQ(list.names(), QStringList{u"b"_s});
    EXPECT_EQ(list.tokens(), QStringList{u"2"_s});
    EXPECT_EQ(list.loginToken(), u"t"_s);
    const QList<QPair<QString, int16_t>> expected{
        {u"Pelborne.ParseServiceList: parsing JSON service list"_s, 6},
        {u"Pelborne.ParseServiceList: found 3 services"_s, 6},
        {u"Pelborne.ParseServiceList: service [b] has Usage action"_s, 6},
    };
    EXPECT_EQ(lines, expected);

    ASSERT_TRUE(
        parse(uR"({"success":1,"response":{"service_list":[{"pk_v":"a","s_token":"1","actions":["Mail"]}]}})"_s));
    EXPECT_TRUE(list.names().isEmpty());
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.ServiceToken(u"a"_s), QString());
}

TEST_F(ServiceListTest, TheSuccessValueDecides)
{
    EXPECT_FALSE(parse(uR"({"success":0,"error":"Invalid username or password."})"_s));
    EXPECT_EQ(error, u"Quolla said: Invalid username or password."_s);
    EXPECT_FALSE(parse(uR"({"error":"no success key"})"_s));
    EXPECT_EQ(error, u"Quolla said: no success key"_s);
    EXPECT_FALSE(parse(uR"({"success":2,"token":"t","response":{"service_list":[]}})"_s));
    EXPECT_EQ(error, u"unexpected return value in JSON: 2"_s);
    EXPECT_FALSE(parse(uR"({"success":"-1"})"_s));
    EXPECT_EQ(error, u"unexpected return value in JSON: -1"_s);
    EXPECT_TRUE(parse(uR"({"SUCCESS":"1","Response":{"Service_List":[]}})"_s)) << error.toStdString();
}

TEST_F(ServiceListTest, BrokenRepliesFailWithTheirError)
{
    // A reply cut short is refused before anything of it is read.
    EXPECT_FALSE(parse(u"{\"success\":1,"_s + u"\"token\":\"x\""_s));
    EXPECT_EQ(error, u"failed to parse JSON: Unexpected end of text in an open object at position 25"_s);
    EXPECT_FALSE(parse(u"{\"success\":1,\"response\":{\"service_list\":[]}}"_s.chopped(2)));
    EXPECT_EQ(error, u"failed to parse JSON: Unexpected end of text in an open object at position 43"_s);
    EXPECT_FALSE(parse(uR"({"success":1,"response":{"service_list":[{"pk_v":"a","s_token":"1"}]}})"_s));
    EXPECT_EQ(error, u"failed to parse JSON service list:\r\n[424] Object required"_s);
    EXPECT_FALSE(parse(uR"({"success":1,"success":1})"_s));
    EXPECT_TRUE(error.startsWith(u"failed to parse JSON service list:\r\n[457] "_s)) << error.toStdString();
    EXPECT_FALSE(parse(u"<html>"_s));
    EXPECT_TRUE(error.startsWith(u"failed to parse JSON: "_s)) << error.toStdString();
}

TEST_F(ServiceListTest, AFailedReplyLeavesTheEarlierListWhole)
{
    ASSERT_TRUE(parse(TwoDomains));
    // Fails at its second entry, after the first one was read.
    EXPECT_FALSE(parse(uR"({"success":1,"token":"other","response":{"service_list":[
        {"pk_v":"carol","s_token":"c1","actions":["Usage"]},{"pk_v":"dave"}]}})"_s));
    EXPECT_EQ(list.names().size(), 3);
    EXPECT_EQ(list.loginToken(), u"tok-1"_s);
    EXPECT_EQ(list.ServiceToken(u"bob"_s), u"first"_s);
    EXPECT_EQ(list.ServiceToken(u"carol"_s), QString());
}

TEST_F(ServiceListTest, ServiceTokenMatchesByEqualityOrByNameAndAt)
{
    ASSERT_TRUE(parse(TwoDomains));
    lines.clear();
    // The bare name finds the first service named after it with a domain.
    EXPECT_EQ(list.ServiceToken(u"bob"_s), u"first"_s);
    EXPECT_EQ(lines.value(0).first,
              u"Pelborne.ServiceToken: looking for 'bob' in service list, found 'bob@one.example'"_s);
    EXPECT_EQ(lines.value(0).second, 6);
    EXPECT_EQ(list.ServiceToken(u"BOB"_s), u"first"_s);
    // A full name by equality, exact in letter case.
    EXPECT_EQ(list.ServiceToken(u"bob@two.example"_s), u"second"_s);
    lines.clear();
    EXPECT_EQ(list.ServiceToken(u"bob@TWO.example"_s), QString());
    EXPECT_EQ(list.ServiceToken(u"bo"_s), QString());
    EXPECT_EQ(list.ServiceToken(QString()), QString());
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(ServiceListTest, NothingMatchesBeforeACountIsSet)
{
    ASSERT_TRUE(list.ParseServiceList(TwoDomains, error));
    EXPECT_EQ(list.ServiceToken(u"bob"_s), QString());
    list.setCount(3);
    EXPECT_EQ(list.ServiceToken(u"bob"_s), u"first"_s);
}

} // namespace
