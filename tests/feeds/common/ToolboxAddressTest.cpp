// SPDX-License-Identifier: MIT
#include "ToolboxAddress.h"
#include "RegistryRoutines.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString Default = u"https://toolbox.quolla.example"_s;

TEST(ToolboxAddress, WithoutASettingTheProvidersHostIsUsed)
{
    EXPECT_EQ(ToolboxAddress().base(), Default);
    EXPECT_EQ(ToolboxAddress().url(u"/cgi-bin/api.cgi?x"_s), Default + u"/cgi-bin/api.cgi?x"_s);
    EXPECT_EQ(ToolboxAddress::fromSetting(u"  "_s).base(), Default);
    EXPECT_TRUE(ToolboxAddress::fromSetting(QString()).refusal().isEmpty());
    EXPECT_EQ(ToolboxAddress::fromRegistry(u"Software\\Nobody\\Config"_s).base(), Default);
}

TEST(ToolboxAddress, HttpsAnywhereAndPlainHttpOnLoopbackAreAccepted)
{
    const std::pair<QString, QString> accepted[] = {
        {u"http://127.0.0.1:8080"_s, u"http://127.0.0.1:8080"_s},
        {u"http://127.0.0.2"_s, u"http://127.0.0.2"_s},
        {u"HTTP://LocalHost:81/"_s, u"http://localhost:81"_s},
        {u"http://[::1]:9000"_s, u"http://[::1]:9000"_s},
        {u"https://usage.example.net:8443"_s, u"https://usage.example.net:8443"_s},
        {u" https://usage.example.net "_s, u"https://usage.example.net"_s},
    };
    for (const auto& [setting, base] : accepted) {
        const ToolboxAddress address = ToolboxAddress::fromSetting(setting);
        EXPECT_EQ(address.base(), base) << setting.toStdString();
        EXPECT_TRUE(address.refusal().isEmpty()) << address.refusal().toStdString();
    }
}

TEST(ToolboxAddress, PlainHttpToAnotherMachineIsRefused)
{
    for (const QString& setting :
         {u"http://usage.example.net"_s, u"http://10.0.0.1:8080"_s, u"http://127.0.0.1.example.net"_s}) {
        const ToolboxAddress address = ToolboxAddress::fromSetting(setting);
        EXPECT_EQ(address.base(), Default) << setting.toStdString();
        EXPECT_EQ(address.refusal(),
                  u"plain http is accepted only for a loopback host, using https://toolbox.quolla.example: "_s +
                      setting);
    }
}

TEST(ToolboxAddress, AnythingButASchemeAndHostIsRefused)
{
    for (const QString& setting : {u"ftp://127.0.0.1"_s, u"127.0.0.1:8080"_s, u"https://h.example/path"_s,
                                   u"https://h.example?q=1"_s, u"https://user:pw@h.example"_s, u"https://"_s}) {
        const ToolboxAddress address = ToolboxAddress::fromSetting(setting);
        EXPECT_EQ(address.base(), Default) << setting.toStdString();
        EXPECT_EQ(address.refusal(), u"not a scheme and host, using https://toolbox.quolla.example: "_s + setting);
    }
}

TEST(ToolboxAddress, TheSettingIsReadFromTheComponentsKey)
{
    QString err;
    ASSERT_TRUE(WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Pelborne\\Config"_s, u"ToolboxURL"_s,
                                    u"http://127.0.0.1:5000"_s, err));
    EXPECT_EQ(ToolboxAddress::fromRegistry(u"Software\\Pelborne\\Config"_s).base(), u"http://127.0.0.1:5000"_s);
    EXPECT_EQ(ToolboxAddress::fromRegistry(u"Software\\Sarnick\\Config"_s).base(), Default);
}

} // namespace
