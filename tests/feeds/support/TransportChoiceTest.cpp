// SPDX-License-Identifier: MIT
#include "TransportChoice.h"
#include "OSVer.h"
#include "RegistryRoutines.h"
#include "TransportTestSupport.h"
#include "clsWinHTTP.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace TransportTestSupport;

namespace {

const QString kPelborneKey = u"Software\\Pelborne\\Config"_s;
const QString kWineKey = u"Software\\Wine"_s;

class TransportChoiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DeleteRegValue(HKEY_CURRENT_USER, kPelborneKey, u"UseMSXML"_s);
        DeleteRegValue(HKEY_CURRENT_USER, u"Software\\Sarnick\\Config"_s, u"UseMSXML"_s);
        setWine(false);
        pelborne.title = u"Pelborne"_s;
        pelborne.version = u"1.0.2"_s;
        pelborne.status = log.sink();
    }
    void TearDown() override { setWine(false); }

    static void setUseMSXML(const QString& key, int32_t value)
    {
        QString err;
        ASSERT_TRUE(WriteRegWordValue(HKEY_CURRENT_USER, key, u"UseMSXML"_s, value, err)) << err.toStdString();
    }
    static void setWine(bool present)
    {
        if (present) {
            QString err;
            ASSERT_TRUE(WriteRegStringValue(HKEY_CURRENT_USER, kWineKey, u"Version"_s, u"win7"_s, err));
        } else {
            DeleteRegValue(HKEY_CURRENT_USER, kWineKey, u"Version"_s);
            DeleteRegKey(HKEY_CURRENT_USER, kWineKey);
        }
    }

    StatusLog log;
    TransportOwner pelborne;
};

TEST_F(TransportChoiceTest, WithoutTheValueOrWineWinHttpIsChosenSilently)
{
    EXPECT_FALSE(UseMSXML(pelborne));
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(TransportChoiceTest, APositiveValueForcesMsxml)
{
    setUseMSXML(kPelborneKey, 1);
    EXPECT_TRUE(UseMSXML(pelborne));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines()[0].text,
              u"Pelborne.UseMSXML: found UseMSXML registry setting (1), and forcing use of MSXML"_s);
    EXPECT_EQ(log.lines()[0].level, 6);
}

TEST_F(TransportChoiceTest, ZeroAndAllBitsSetKeepWinHttp)
{
    setUseMSXML(kPelborneKey, 0);
    EXPECT_FALSE(UseMSXML(pelborne));
    setUseMSXML(kPelborneKey, static_cast<int32_t>(0xFFFFFFFFu));
    EXPECT_FALSE(UseMSXML(pelborne));
    EXPECT_EQ(log.texts(), (QStringList{
                               u"Pelborne.UseMSXML: found UseMSXML registry setting (0), using default WinHTTP"_s,
                               u"Pelborne.UseMSXML: found UseMSXML registry setting (-1), using default WinHTTP"_s,
                           }));
}

TEST_F(TransportChoiceTest, WineChoosesMsxmlOnlyWithoutTheValue)
{
    setWine(true);
    EXPECT_TRUE(UseMSXML(pelborne));
    EXPECT_EQ(log.texts(), QStringList{u"Pelborne.UseMSXML: running under Wine, so forcing use of MSXML"_s});

    log.clear();
    setUseMSXML(kPelborneKey, 0);
    EXPECT_FALSE(UseMSXML(pelborne));
    EXPECT_EQ(log.texts(),
              QStringList{u"Pelborne.UseMSXML: found UseMSXML registry setting (0), using default WinHTTP"_s});
}

TEST_F(TransportChoiceTest, EachComponentReadsItsOwnKeyWithItsOwnPrefix)
{
    setUseMSXML(kPelborneKey, 1);
    TransportOwner sarnick{u"Sarnick"_s, u"1.0.8"_s, log.sink(), {}};
    EXPECT_FALSE(UseMSXML(sarnick, u"RetrieveData"_s));
    EXPECT_TRUE(log.lines().isEmpty());

    setUseMSXML(u"Software\\Sarnick\\Config"_s, 7);
    EXPECT_TRUE(UseMSXML(sarnick, u"RetrieveData"_s));
    EXPECT_EQ(log.texts(), QStringList{u"Sarnick.RetrieveData: found UseMSXML registry setting (7), and forcing use "
                                       u"of MSXML"_s});
}

TEST_F(TransportChoiceTest, UserAgentNamesHostComponentAndSystem)
{
    EXPECT_EQ(BuildUserAgentString(pelborne), u"Tallyroo 1.3.2 (Pelborne COM 1.0.2; "_s + OSVerString() + u')');
    setWine(true);
    TransportOwner sarnick{u"Sarnick"_s, u"1.0.8"_s, {}, {}};
    EXPECT_EQ(BuildUserAgentString(sarnick), u"Tallyroo 1.3.2 (Sarnick COM 1.0.8; "_s + OSVerString() + u" on Wine)"_s);
}

TEST_F(TransportChoiceTest, SetupWinHttpConfiguresOnceAndKeepsTheFirstProxy)
{
    std::unique_ptr<clsWinHTTP> transport;
    QString err, detail;
    ASSERT_TRUE(SetupWinHTTP(pelborne, transport, 45, u"proxy.test:8080"_s, u"pu"_s, u"pp-secret"_s, err, detail));
    ASSERT_TRUE(transport);
    EXPECT_EQ(transport->szProxy, u"proxy.test:8080"_s);
    EXPECT_EQ(transport->szProxyUID, u"pu"_s);
    EXPECT_EQ(transport->szProxyPWD, u"pp-secret"_s);
    EXPECT_EQ(transport->szUserAgent, BuildUserAgentString(pelborne));
    EXPECT_EQ(log.texts(), (QStringList{
                               u"Pelborne.SetupWinHTTP: instantiating WinHTTP..."_s,
                               u"Pelborne.SetupWinHTTP: fetch timeout is 45 seconds"_s,
                               u"Pelborne.SetupWinHTTP: using proxy server: proxy.test:8080"_s,
                               u"Pelborne.SetupWinHTTP: using proxy username: pu"_s,
                           }));
    for (const StatusLine& line : log.lines())
        EXPECT_EQ(line.level, 6);

    const clsWinHTTP* first = transport.get();
    log.clear();
    EXPECT_TRUE(SetupWinHTTP(pelborne, transport, 45, u"other.test:3128"_s, QString(), QString(), err, detail));
    EXPECT_EQ(transport.get(), first);
    EXPECT_EQ(transport->szProxy, u"proxy.test:8080"_s);
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_TRUE(err.isEmpty());
}

TEST_F(TransportChoiceTest, ProxyWithoutUserShowsNoneAndStillSetsTheFields)
{
    std::unique_ptr<clsWinHTTP> transport;
    QString err, detail;
    ASSERT_TRUE(SetupWinHTTP(pelborne, transport, 30, u"proxy.test:8080"_s, QString(), u"pw"_s, err, detail));
    EXPECT_TRUE(log.anyContains(u"Pelborne.SetupWinHTTP: using proxy username: (none)"_s));
    EXPECT_FALSE(log.anyContains(u"pw"_s));
    EXPECT_EQ(transport->szProxyUID, QString());
    EXPECT_EQ(transport->szProxyPWD, u"pw"_s);

    std::unique_ptr<clsWinHTTP> direct;
    log.clear();
    ASSERT_TRUE(SetupWinHTTP(pelborne, direct, 30, QString(), u"ignored"_s, u"ignored"_s, err, detail));
    EXPECT_TRUE(log.anyContains(u"Pelborne.SetupWinHTTP: no proxy server is configured"_s));
    EXPECT_TRUE(direct->szProxy.isEmpty());
    EXPECT_TRUE(direct->szProxyUID.isEmpty());
}

TEST_F(TransportChoiceTest, TheTransportReportsToTheOwnersChosenSink)
{
    StatusLog transportLog;
    pelborne.transportStatus = transportLog.sink();
    std::unique_ptr<clsWinHTTP> transport;
    QString err, detail;
    ASSERT_TRUE(SetupWinHTTP(pelborne, transport, 30, QString(), QString(), QString(), err, detail));
    EXPECT_EQ(transportLog.texts(), QStringList{u"clsWinHTTP: class initialising"_s});
    EXPECT_FALSE(log.anyContains(u"clsWinHTTP"_s));
}

} // namespace
