// SPDX-License-Identifier: MIT
#include "TransportTestSupport.h"
#include "clsWinHTTP.h"
#include "modMSXML.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace TransportTestSupport;

namespace {

const QString CRLF = u"\r\n"_s;

struct Accident
{
    const char* name;
    int breakOffAfter; // body bytes sent before the connection ends
    bool reset;
};

// A reply whose status line came but whose body did not come whole is no answer, on either transport,
// whether the connection was closed or reset, part-way through the body or right after the headers.
TEST(BrokenOffReply, FailsAsATerminatedConnectionOnBothTransports)
{
    FakeProvider provider(fixturesDir() + u"/provider"_s);
    ASSERT_TRUE(provider.start());
    const QByteArray body =
        QByteArray("{\"success\":1,\"response\":{\"usage\":{\"data\":[") + QByteArray(4000, ' ') + "]}}}";
    const QString url = provider.baseUrl() + u"/cgi-bin/api.cgi?Usage"_s;

    for (const Accident& accident :
         {Accident{"short body, then a close", 1500, false}, Accident{"close after the headers", 0, false},
          Accident{"reset after the headers", 0, true}, Accident{"short body, then a reset", 1500, true}}) {
        SCOPED_TRACE(accident.name);
        provider.clearRules();
        FakeProvider::Rule cut = rule(u"/cgi-bin/api.cgi"_s, 200, body);
        cut.breakOffAfter = accident.breakOffAfter;
        cut.breakOffWithReset = accident.reset;
        provider.addRule(cut);

        StatusLog log;
        QString error;
        QString detail;
        QString response;
        {
            clsWinHTTP http(u"Pelborne"_s, log.sink());
            EXPECT_FALSE(http.HTTPFetch(u"GET"_s, url, QString(), 10, error, detail, response));
        }
        EXPECT_EQ(error, u"Retrieval error: The connection with the server has been terminated."_s);
        EXPECT_EQ(detail, u"Pelborne.WHTTPFetch Retrieval error:"_s + CRLF +
                              u"[-2147012866] The connection with the server has been terminated."_s);
        EXPECT_TRUE(response.isEmpty());
        EXPECT_EQ(log.indexOf(u"HTTPFetch: fetch completed successfully"_s), -1);
        EXPECT_GE(log.indexOf(u"HTTPFetch: fetch failed"_s), 0) << log.texts().join(u'\n').toStdString();

        response.clear();
        EXPECT_FALSE(
            modMSXML::HTTPFetch(u"GET"_s, url, QString(), 10, QString(), error, detail, response, u"Sarnick"_s));
        EXPECT_EQ(error, u"Retrieval error: [12030] The connection with the server has been terminated."_s);
        EXPECT_EQ(detail, u"Sarnick:HTTPFetch HTTP retrieval error during download:"_s + CRLF +
                              u"[12030] The connection with the server has been terminated."_s);
        EXPECT_TRUE(response.isEmpty());
    }

    // The same body delivered whole is an answer: the accident, not the reply, made the failures.
    provider.clearRules();
    provider.addRule(rule(u"/cgi-bin/api.cgi"_s, 200, body));
    QString error;
    QString detail;
    QString response;
    clsWinHTTP http(u"Pelborne"_s);
    ASSERT_TRUE(http.HTTPFetch(u"GET"_s, url, QString(), 10, error, detail, response)) << error.toStdString();
    EXPECT_EQ(response.toUtf8(), body);
    ASSERT_TRUE(modMSXML::HTTPFetch(u"GET"_s, url, QString(), 10, QString(), error, detail, response, u"Sarnick"_s));
    EXPECT_EQ(response.toUtf8(), body);
}

} // namespace
