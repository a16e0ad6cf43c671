// SPDX-License-Identifier: MIT
#include "HttpRequestParser.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Result = HttpRequestParser::Result;

TEST(HttpRequestParser, AssemblesARequestFedOneByteAtATime)
{
    const QByteArray wire = "GET /cgi-bin/api.cgi?_USERNAME=alice%40quolla.example&_PASSWORD=sun+shine HTTP/1.1\r\n"
                            "Host: 127.0.0.1\r\nUser-Agent: probe/1.0\r\n\r\n";
    HttpRequestParser parser;
    QByteArray buffer;
    for (qsizetype i = 0; i + 1 < wire.size(); ++i) {
        buffer += wire.at(i);
        ASSERT_EQ(parser.parse(buffer), Result::NeedMore) << "complete after " << i + 1 << " bytes";
    }
    buffer += wire.back();
    ASSERT_EQ(parser.parse(buffer), Result::Complete);
    const HttpRequest& request = parser.request();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, u"/cgi-bin/api.cgi");
    EXPECT_FALSE(request.absoluteForm);
    EXPECT_EQ(request.header("user-agent"), "probe/1.0");
    // Form decoding: "+" is a blank and escapes are undone, as a CGI program reads them.
    EXPECT_EQ(request.formValue(u"_USERNAME"_s), u"alice@quolla.example");
    EXPECT_EQ(request.formValue(u"_PASSWORD"_s), u"sun shine");
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(HttpRequestParser, WaitsForTheWholeBodyAndKeepsAPipelinedRequest)
{
    HttpRequestParser parser;
    QByteArray buffer = "POST /submit HTTP/1.1\r\nContent-Length: 11\r\n\r\nhello";
    EXPECT_EQ(parser.parse(buffer), Result::NeedMore);
    buffer += " world"
              "GET /next?Usage&_TOKEN=t HTTP/1.1\r\n\r\n";
    ASSERT_EQ(parser.parse(buffer), Result::Complete);
    EXPECT_EQ(parser.request().body, "hello world");
    ASSERT_EQ(parser.parse(buffer), Result::Complete);
    EXPECT_EQ(parser.request().path, u"/next");
    EXPECT_TRUE(parser.request().hasFormItem(u"Usage"_s));
    EXPECT_TRUE(parser.request().formValue(u"Usage"_s).isEmpty());
    EXPECT_FALSE(parser.request().hasFormItem(u"period"_s));
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(HttpRequestParser, ReadsProxyStyleAndTunnelRequests)
{
    HttpRequestParser parser;
    QByteArray buffer = "GET http://127.0.0.1:8080/software/Tallyroo/version/?x=1 HTTP/1.1\r\n"
                        "Proxy-Authorization: Basic dTpw\r\n\r\n"
                        "CONNECT localhost:4443 HTTP/1.1\r\nHost: localhost:4443\r\n\r\n";
    ASSERT_EQ(parser.parse(buffer), Result::Complete);
    EXPECT_TRUE(parser.request().absoluteForm);
    EXPECT_EQ(parser.request().path, u"/software/Tallyroo/version/");
    EXPECT_EQ(parser.request().rawQuery, "x=1");
    EXPECT_EQ(parser.request().target, "http://127.0.0.1:8080/software/Tallyroo/version/?x=1");
    EXPECT_EQ(parser.request().header("Proxy-Authorization"), "Basic dTpw");
    ASSERT_EQ(parser.parse(buffer), Result::Complete);
    EXPECT_EQ(parser.request().method, "CONNECT");
    EXPECT_EQ(parser.request().target, "localhost:4443");
    EXPECT_TRUE(parser.request().path.isEmpty());
}

TEST(HttpRequestParser, AcceptsBareLineFeedsAndIgnoresBlankLinesBetweenRequests)
{
    HttpRequestParser parser;
    QByteArray buffer = "\r\n\r\nGET / HTTP/1.0\nHost: x\n\n";
    ASSERT_EQ(parser.parse(buffer), Result::Complete);
    EXPECT_EQ(parser.request().version, "HTTP/1.0");
    EXPECT_EQ(parser.request().header("host"), "x");
}

TEST(HttpRequestParser, RefusesMalformedRequestsWithTheFittingStatus)
{
    const struct
    {
        QByteArray wire;
        int status;
    } cases[] = {
        {"GARBAGE\r\n\r\n", 400},
        {"GET /a b HTTP/1.1\r\n\r\n", 400},
        {"GET / HTTP/2.0\r\n\r\n", 400},
        {"GET relative HTTP/1.1\r\n\r\n", 400},
        {"GET ftp://host/ HTTP/1.1\r\n\r\n", 400},
        {"GET http:///nohost HTTP/1.1\r\n\r\n", 400},
        {"G\x01T / HTTP/1.1\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nNo colon here\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nBad Name: x\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nA: 1\r\n folded\r\n\r\n", 400},
        {"POST / HTTP/1.1\r\nContent-Length: -4\r\n\r\n", 400},
        {"POST / HTTP/1.1\r\nContent-Length: 4\r\nContent-Length: 5\r\n\r\n", 400},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 501},
        {"POST / HTTP/1.1\r\nContent-Length: 99999999\r\n\r\n", 413},
        {"CONNECT /path HTTP/1.1\r\n\r\n", 400},
    };
    for (const auto& [wire, status] : cases) {
        HttpRequestParser parser;
        QByteArray buffer = wire;
        EXPECT_EQ(parser.parse(buffer), Result::Error) << wire.constData();
        EXPECT_EQ(parser.errorStatus(), status) << wire.constData();
    }
}

TEST(HttpRequestParser, BoundsTheHeaderSectionEvenWithoutItsEnd)
{
    HttpRequestParser parser;
    QByteArray buffer = "GET / HTTP/1.1\r\nX-Fill: " + QByteArray(HttpRequestParser::maxHeaderBytes - 100, 'a');
    EXPECT_EQ(parser.parse(buffer), Result::NeedMore);
    buffer += QByteArray(200, 'a');
    EXPECT_EQ(parser.parse(buffer), Result::Error);
    EXPECT_EQ(parser.errorStatus(), 431);
}
