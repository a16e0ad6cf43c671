// SPDX-License-Identifier: MIT
#include "FakeProvider.h"
#include "ProviderTestSupport.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ProviderTestSupport::get;

namespace {
class FakeProviderApi : public ::testing::Test
{
protected:
    void SetUp() override
    {
        provider.setToday(QDate(2024, 3, 20));
        ASSERT_TRUE(provider.start());
    }

    QJsonObject getJson(const QString& pathAndQuery)
    {
        const auto fetched = get(manager, provider.baseUrl() + pathAndQuery);
        EXPECT_EQ(fetched.status, 200) << qPrintable(pathAndQuery);
        EXPECT_TRUE(fetched.contentType.startsWith("application/json"));
        return QJsonDocument::fromJson(fetched.body).object();
    }
    QString signIn(const QString& user, const QString& password)
    {
        return getJson(u"/cgi-bin/api.cgi?_USERNAME="_s + user + u"&_PASSWORD=" + password)[u"token"].toString();
    }
    QJsonObject usage(const QString& token, const QString& service, const QString& period = {})
    {
        return getJson(u"/cgi-bin/api.cgi?Usage&_TOKEN="_s + token + u"&_SERVICE=" + service +
                       (period.isEmpty() ? QString() : u"&period="_s + period));
    }
    QByteArray feed(const QString& query)
    {
        const auto fetched = get(manager, provider.baseUrl() + u"/cgi-bin/new/volume_usage_xml.cgi?" + query);
        EXPECT_EQ(fetched.status, 200);
        lastContentType = fetched.contentType;
        return fetched.body;
    }

    FakeProvider provider{ProviderTestSupport::providerData()};
    QNetworkAccessManager manager;
    QByteArray lastContentType;
};

qsizetype dayCount(const QJsonObject& reply)
{
    return reply[u"response"][u"usage"][u"data"].toArray().size();
}
} // namespace

TEST_F(FakeProviderApi, SignInListsTheServicesAndItsTokenOpensTheUsage)
{
    // The password holds a blank, sent as "+" the way the components encode it.
    const QJsonObject login = getJson(u"/cgi-bin/api.cgi?_USERNAME=alice%40quolla.example&_PASSWORD=sunshine+42"_s);
    EXPECT_EQ(login[u"success"].toInt(), 1);
    const QString token = login[u"token"].toString();
    ASSERT_FALSE(token.isEmpty());
    const QJsonArray services = login[u"response"][u"service_list"].toArray();
    ASSERT_EQ(services.size(), 3);
    EXPECT_EQ(services[0][u"pk_v"].toString(), u"alice@quolla.example");
    EXPECT_EQ(services[0][u"s_token"].toString(), u"svc-alice-home");
    EXPECT_EQ(services[0][u"actions"][0].toString(), u"Usage");
    EXPECT_FALSE(services[2][u"actions"].toArray().contains(u"Usage"_s));

    // Today is 20 March 2024: the current month shows twenty days, the fixed March file has 31.
    const QJsonObject current = usage(token, u"svc-alice-home"_s);
    EXPECT_EQ(current[u"success"].toInt(), 1);
    EXPECT_EQ(current[u"response"][u"account_info"][u"product"].toString(), u"Quolla Home Broadband");
    EXPECT_EQ(current[u"response"][u"connections"].toArray().size(), 2);
    EXPECT_EQ(dayCount(current), 20);
    EXPECT_EQ(current[u"response"][u"usage"][u"data"][19][u"period"].toDouble(), 20240320.0);
    // The month before comes from the template (2024 is a leap year); earlier months have no data.
    EXPECT_EQ(dayCount(usage(token, u"svc-alice-home"_s, u"202402"_s)), 29);
    const QJsonObject older = usage(token, u"svc-alice-home"_s, u"202401"_s);
    EXPECT_EQ(older[u"success"].toInt(-1), 0);
    EXPECT_TRUE(older[u"error"].toString().contains(u"no data was found for your account"));
    EXPECT_EQ(usage(token, u"svc-alice-home"_s, u"202404"_s)[u"success"].toInt(-1), 0);
    EXPECT_EQ(usage(token, u"svc-alice-home"_s, u"2024-3"_s)[u"error"].toString(), u"Invalid period.");

    // The second service has its own month; a service without usage and another's service are refused.
    const QJsonObject mobile = usage(token, u"svc-alice-mobile"_s);
    EXPECT_EQ(mobile[u"response"][u"usage"][u"traffic_types"][0][u"classification"].toString(), u"anytime");
    EXPECT_EQ(usage(token, u"svc-alice-mail"_s)[u"error"].toString(), u"Unknown service.");
    EXPECT_EQ(usage(token, u"svc-anytime"_s)[u"error"].toString(), u"Unknown service.");
}

TEST_F(FakeProviderApi, TokensAreIssuedBySignInOnly)
{
    const QString first = signIn(u"alice"_s, u"sunshine%2042"_s);
    const QString second = signIn(u"ALICE@brindle.example"_s, u"sunshine+42"_s);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_NE(first, second);
    // Led by the account's name, so a rule can single out one account's usage requests.
    EXPECT_TRUE(first.startsWith(u"alice-"));
    EXPECT_TRUE(second.startsWith(u"alice-"));
    EXPECT_EQ(usage(first, u"svc-alice-home"_s)[u"success"].toInt(), 1);
    EXPECT_EQ(usage(second, u"svc-alice-home"_s)[u"success"].toInt(), 1);
    for (const QString& forged : {u"svc-alice-home"_s, u"0000"_s, QString()}) {
        const QJsonObject refused = usage(forged, u"svc-alice-home"_s);
        EXPECT_EQ(refused[u"success"].toInt(-1), 0);
        EXPECT_FALSE(refused[u"error"].toString().isEmpty());
    }
}

TEST_F(FakeProviderApi, WrongCredentialsGetTheAuthenticationFailure)
{
    for (const QString& query :
         {u"_USERNAME=alice&_PASSWORD=sunshine42"_s, u"_USERNAME=alice&_PASSWORD=SUNSHINE+42"_s, u"_USERNAME=alice"_s,
          u"_USERNAME=nobody&_PASSWORD=x"_s, u"_USERNAME=..%2Falice&_PASSWORD=sunshine+42"_s}) {
        const QJsonObject reply = getJson(u"/cgi-bin/api.cgi?"_s + query);
        EXPECT_EQ(reply[u"success"].toInt(-1), 0) << qPrintable(query);
        EXPECT_EQ(reply[u"error"].toString(), u"Invalid username or password.");
        EXPECT_FALSE(reply.contains(u"token"));
    }
    EXPECT_EQ(getJson(u"/cgi-bin/api.cgi"_s)[u"error"].toString(), u"Unknown request.");
}

TEST_F(FakeProviderApi, XmlFeedTakesCredentialsAndPeriodFromTheQuery)
{
    const QString login = u"username=alice%40quolla.example&action=login&password=sunshine+42"_s;
    const QByteArray current = feed(login);
    EXPECT_TRUE(lastContentType.startsWith("text/xml"));
    EXPECT_TRUE(current.startsWith("<?xml"));
    EXPECT_TRUE(current.contains("<product>Quolla Home Broadband</product>"));
    EXPECT_EQ(current.count("<day_hour "), 20);
    // Asking for the current month by name still shows only the days so far.
    EXPECT_EQ(feed(login + u"&period=202403").count("<day_hour "), 20);
    // A month later, March is complete: its own file (31 days) wins over the template.
    provider.setToday(QDate(2024, 4, 2));
    EXPECT_EQ(feed(login).count("<day_hour "), 2);
    EXPECT_EQ(feed(login + u"&period=202403").count("<day_hour "), 31);
    EXPECT_TRUE(feed(login + u"&period=202301").contains("<error>Sorry, no data was found for your account"));
    EXPECT_TRUE(feed(login + u"&period=202313").contains("<error>Invalid period.</error>"));
    EXPECT_TRUE(feed(u"username=alice&action=login&password=wrong"_s).contains("<error>Invalid username or password."));
    EXPECT_TRUE(feed(u"username=alice&password=sunshine+42"_s).contains("<error>Unknown action.</error>"));
}

TEST_F(FakeProviderApi, DedicatedAccountsServeTheOddReplies)
{
    const QString numtext = signIn(u"numtext"_s, u"numtext-pass"_s);
    const QJsonObject numbers = usage(numtext, u"svc-numtext"_s);
    EXPECT_TRUE(numbers[u"response"][u"usage"][u"data"][0][u"types"][0][u"value"].isString());

    const QJsonObject anytime = usage(signIn(u"anytime"_s, u"anytime-pass"_s), u"svc-anytime"_s);
    EXPECT_FALSE(anytime[u"response"].toObject().contains(u"offpeak_start"));
    EXPECT_EQ(anytime[u"response"][u"usage"][u"traffic_types"][0][u"is_shaped"].toString(), u"1");

    const QJsonObject overloaded = usage(signIn(u"overloaded"_s, u"overloaded-pass"_s), u"svc-overloaded"_s);
    EXPECT_TRUE(overloaded[u"error"].toString().contains(u"large number of customers attempting"));
    EXPECT_TRUE(overloaded[u"error"].toString().contains(u"unavailable. "));

    const QJsonObject nodata = usage(signIn(u"nodata"_s, u"nodata-pass"_s), u"svc-nodata"_s);
    EXPECT_TRUE(nodata[u"error"].toString().contains(u"no data was found for your account"));

    EXPECT_EQ(feed(u"username=denied&action=login&password=denied-pass"_s), "<div>denied</div>");
    EXPECT_TRUE(feed(u"username=maintenance&action=login&password=maintenance-pass"_s)
                    .contains("\r\nWe are currently giving the toolbox a routine check up."));
}

TEST_F(FakeProviderApi, ServesTheVersionPageAndNotFoundForAnythingElse)
{
    const auto version = get(manager, provider.baseUrl() + u"/software/Tallyroo/version/");
    EXPECT_EQ(version.status, 200);
    EXPECT_TRUE(version.body.startsWith("<pre>\n1.3.2\n"));
    EXPECT_EQ(get(manager, provider.baseUrl() + u"/software/Tallyroo/").status, 200);

    const auto missing = get(manager, provider.baseUrl() + u"/cgi-bin/api.cgi.bak");
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.reason, "Not Found");
    EXPECT_EQ(missing.error, QNetworkReply::ContentNotFoundError);
    EXPECT_TRUE(missing.body.contains("<title>404 Not Found</title>"));

    // Without a version page in the data folder there is none to serve.
    FakeProvider bare(TestEnvironment::freshFolder(u"bare-provider"_s));
    ASSERT_TRUE(bare.start());
    EXPECT_EQ(get(manager, bare.baseUrl() + u"/software/Tallyroo/version/").status, 404);
}

TEST(FakeProviderProgram, PrintsItsAddressAndServesUntilKilled)
{
    QProcess program;
    program.start(
        QStringLiteral(FAKEPROVIDER_PROGRAM),
        {u"--port"_s, u"0"_s, u"--data"_s, ProviderTestSupport::providerData(), u"--today"_s, u"2024-03-05"_s});
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(ProviderTestSupport::waitFor([&] { return program.canReadLine(); }));
    const QString baseUrl = QString::fromUtf8(program.readLine()).trimmed();
    EXPECT_TRUE(baseUrl.startsWith(u"http://127.0.0.1:")) << qPrintable(baseUrl);

    QNetworkAccessManager manager;
    const auto fetched =
        get(manager, baseUrl + u"/cgi-bin/new/volume_usage_xml.cgi?username=alice&action=login&password=sunshine+42");
    EXPECT_EQ(fetched.status, 200);
    EXPECT_EQ(fetched.body.count("<day_hour "), 5);

    program.kill();
    EXPECT_TRUE(program.waitForFinished(5000));
    // The request log names the path but never the query, which carries the password.
    const QByteArray log = program.readAllStandardError();
    EXPECT_TRUE(log.contains("GET /cgi-bin/new/volume_usage_xml.cgi")) << log.constData();
    EXPECT_FALSE(log.contains("sunshine"));
}

TEST(FakeProviderProgram, RefusesToStartWithoutAUsableDataFolderOrCertificate)
{
    QProcess program;
    program.start(QStringLiteral(FAKEPROVIDER_PROGRAM), {u"--port"_s, u"0"_s});
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_NE(program.exitCode(), 0);
    program.start(QStringLiteral(FAKEPROVIDER_PROGRAM),
                  {u"--data"_s, ProviderTestSupport::providerData(), u"--tls-cert"_s, u"/nonexistent.pem"_s});
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_NE(program.exitCode(), 0);
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}
