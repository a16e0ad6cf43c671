// SPDX-License-Identifier: MIT
#include "AutoStartEntry.h"
#include "VersionCheckFixture.h"

#include "OSVer.h"
#include "RegistryHive.h"

using namespace Qt::StringLiterals;

namespace {
class VersionCheckTest : public VersionCheckFixture
{
protected:
    struct Outcome
    {
        int16_t result = 0;
        bool newer = true;
        QString latest = u"(untouched)"_s;
        QString notes = u"(untouched)"_s;
        QString szErr;
    };

    Outcome run(bool background = false, bool startup = false)
    {
        Outcome o;
        o.result =
            check.VersionCheck(check.versionPageAddress(), background, startup, o.newer, o.latest, o.notes, o.szErr);
        return o;
    }

    Outcome runWith(const QByteArray& body)
    {
        serveVersion(body);
        return run();
    }
};
} // namespace

TEST_F(VersionCheckTest, ReadsTheFixturePageOverTls)
{
    const Outcome o = run();
    EXPECT_EQ(o.result, 1) << o.szErr.toStdString();
    EXPECT_FALSE(o.newer);
    EXPECT_EQ(o.latest, u"1.3.2"_s);
    EXPECT_EQ(o.notes, u"Faster refresh after waking from sleep\r\nClearer tray tooltip"_s);

    ASSERT_EQ(provider.requests().size(), 1);
    const FakeProvider::Request request = provider.requests().constFirst();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, QLatin1String(versionPath));
    EXPECT_EQ(QString::fromUtf8(request.header("User-Agent")),
              u"Tallyroo 1.3.2 ("_s + OSVerString() + u";m;-1;1;101356;120;9;0;2)"_s);
    EXPECT_TRUE(ctx.logTexts().contains(u"VersionCheck: new version: 1003002 (1.3.2)"_s));
    EXPECT_TRUE(ctx.logTexts().contains(u"VersionCheck: this version: 1003002 (1.3.2)"_s));
}

TEST_F(VersionCheckTest, NewerOnlyWhenTheNumberIsGreater)
{
    Outcome o = runWith("1.40.0\nMore");
    EXPECT_EQ(o.result, 1);
    EXPECT_TRUE(o.newer);
    EXPECT_EQ(o.latest, u"1.40.0"_s);
    EXPECT_TRUE(ctx.logTexts().contains(u"VersionCheck: new version: 1040000 (1.40.0)"_s));

    provider.clearRules();
    o = runWith("1.3.3");
    EXPECT_TRUE(o.newer);
    provider.clearRules();
    o = runWith("1.3.2.9");
    EXPECT_EQ(o.result, 1);
    EXPECT_FALSE(o.newer);
    provider.clearRules();
    o = runWith("1.2.999");
    EXPECT_EQ(o.result, 1);
    EXPECT_FALSE(o.newer);
    EXPECT_EQ(o.latest, u"1.2.999"_s);
}

TEST_F(VersionCheckTest, UnreadableRepliesFailAndNeverCountAsNewer)
{
    const struct
    {
        QByteArray body;
        QString error;
    } cases[] = {
        {"1.4\nNotes", u"invalid version number: 1.4"_s},
        {"1.x.0", u"invalid version number: 1.x.0"_s},
        {"", u"invalid version number: "_s},
        {"<!DOCTYPE html>\n<html><body>maintenance</body></html>", u"invalid version number: <!DOCTYPE html>"_s},
        {"1.40000.0", u"version info parse error: Overflow"_s},
        {"3000.0.0", u"version info parse error: Overflow"_s},
    };
    for (const auto& c : cases) {
        provider.clearRules();
        const Outcome o = runWith(c.body);
        EXPECT_EQ(o.result, 0) << c.body.constData();
        EXPECT_FALSE(o.newer) << c.body.constData();
        EXPECT_EQ(o.szErr, c.error);
        EXPECT_EQ(o.latest, u"(untouched)"_s);
    }
}

TEST_F(VersionCheckTest, FetchFailuresGiveTheTransportsDetail)
{
    serveVersion("gone", 404);
    Outcome o = run();
    EXPECT_EQ(o.result, 0);
    EXPECT_FALSE(o.newer);
    EXPECT_TRUE(o.szErr.startsWith(u"Sarnick.WHTTPFetch Retrieval error:\r\n[404] "_s)) << o.szErr.toStdString();

    check.setSiteBase(u"https://127.0.0.1:"_s + QString::number(TransportTestSupport::closedPort()));
    o = run();
    EXPECT_EQ(o.result, 0);
    EXPECT_TRUE(o.szErr.startsWith(u"Sarnick.WHTTPFetch Retrieval error:"_s));
    // The transport's progress lines stay out of the log.
    for (const QString& line : ctx.logTexts())
        EXPECT_FALSE(line.contains(u"HTTPFetch"_s) || line.contains(u"clsWinHTTP"_s)) << line.toStdString();
}

TEST_F(VersionCheckTest, AnUntrustedCertificateFailsTheCheck)
{
    trust.reset();
    const Outcome o = run();
    EXPECT_EQ(o.result, 0);
    EXPECT_FALSE(o.newer);
    EXPECT_TRUE(o.szErr.startsWith(u"Sarnick.WHTTPFetch Retrieval error:"_s)) << o.szErr.toStdString();
}

TEST_F(VersionCheckTest, AbortDuringTheFetchIsSeenAfterIt)
{
    OptionsDialog options; // its Check Now started the check
    serveVersion("9.0.0");
    QObject::connect(&provider, &FakeProvider::requestRecorded, [this] { ctx.run.VerCheckAbort = true; });
    const Outcome o = run();
    EXPECT_EQ(o.result, -1);
    EXPECT_FALSE(o.newer);
    EXPECT_EQ(versionRequests(), 1);
    EXPECT_TRUE(ctx.logTexts().contains(u"VersionCheck: WinHTTP version info fetch completed successfully"_s));
    EXPECT_FALSE(ctx.logTexts().contains(u"VersionCheck: new version: 9000000 (9.0.0)"_s));
}

TEST_F(VersionCheckTest, UserAgentReportsKindAndSettings)
{
    const QString os = OSVerString();
    EXPECT_EQ(check.userAgent(true, false), u"Tallyroo 1.3.2 ("_s + os + u";a;2;1;101356;120;9;0;2)"_s);
    EXPECT_EQ(check.userAgent(true, true), u"Tallyroo 1.3.2 ("_s + os + u";s;-1;1;101356;120;9;0;2)"_s);

    ctx.run.IsWine = true;
    ctx.settings.OptionFlags = 0x20000; // no automatic refresh
    ctx.settings.VerCheckInterval = 0;
    ctx.settings.VerCheckOptions = 3;
    ctx.settings.GraphTeeOptions = -1;
    ctx.settings.UseJSONFeed = false;
    ASSERT_TRUE(AutoStartEntry(AutoStartEntry::programName(), u"Tallyroo"_s).write(u"/usr/bin/tallymeter"_s, {}));
    EXPECT_EQ(check.userAgent(true, false), u"Tallyroo 1.3.2 ("_s + os + u" on Wine;a;0;3;131072;0;-1;1;1)"_s);
}

TEST_F(VersionCheckTest, ProxySettingsAreLoggedAndUsed)
{
    FakeProvider proxy{TransportTestSupport::fixturesDir() + u"/provider"_s};
    ASSERT_TRUE(proxy.start());
    ctx.settings.UseProxy = true;
    ctx.settings.Proxy = u"127.0.0.1:"_s + QString::number(proxy.port());
    ctx.settings.ProxyUID.clear();
    const Outcome o = run();
    EXPECT_EQ(o.result, 1) << o.szErr.toStdString();
    EXPECT_TRUE(ctx.logTexts().contains(u"VersionCheck: using proxy server: "_s + ctx.settings.Proxy));
    EXPECT_TRUE(ctx.logTexts().contains(u"VersionCheck: using proxy username: (none)"_s));
    ASSERT_FALSE(proxy.requests().isEmpty());
    EXPECT_EQ(proxy.requests().constFirst().method, "CONNECT");

    ctx.settings.UseProxy = false;
    run();
    EXPECT_TRUE(ctx.logTexts().contains(u"VersionCheck: proxy server not configured, or disabled"_s));
}

TEST_F(VersionCheckTest, DefaultAddressesUseTheProductSiteOverTls)
{
    modVersionCheck plain{
        VersionCheckContext{ctx.app, ctx.settings, ctx.run, ctx.log, ctx.registry, ctx.clock, links, ctx.window}};
    EXPECT_EQ(plain.versionPageAddress(), u"https://www.tallyroo.example/software/Tallyroo/version/"_s);
    EXPECT_EQ(plain.productPageAddress(), u"https://www.tallyroo.example/software/Tallyroo/?src=Tallyroo"_s);

    // The product name is one query value, whatever it holds.
    ctx.app.ProductName = u"Tally & Co"_s;
    EXPECT_EQ(plain.productPageAddress(), u"https://www.tallyroo.example/software/Tallyroo/?src=Tally%20%26%20Co"_s);
    EXPECT_EQ(plain.versionPageAddress(), u"https://www.tallyroo.example/software/Tallyroo/version/"_s);
}
