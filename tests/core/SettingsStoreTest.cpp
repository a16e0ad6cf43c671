// SPDX-License-Identifier: MIT
#include "SettingsStore.h"
#include "CoreTestContext.h"
#include "PasswordScrambler.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class SettingsStoreTest : public ::testing::Test
{
protected:
    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    PasswordScrambler scrambler{core.app, core.registry, core.log};
    SettingsStore store{core.app, core.registry, core.log, scrambler, core.settings, core.run};

    QString shared() const { return core.app.configKey(); }

    Settings unusualSettings() const
    {
        Settings s;
        s.OptionFlags = 4;
        s.Username = u"someone"_s;
        s.AccountType = 4;
        s.Password = u"pw"_s;
        s.Interval = 999;
        s.UseProxy = true;
        s.Proxy = u"proxy:8080"_s;
        s.ProxyUID = u"puser"_s;
        s.ProxyPWD = u"ppw"_s;
        s.StartupRefreshDelay = 7;
        s.Timeout = 77;
        s.SortDir = false;
        s.SortCol = 5;
        s.UseJSONFeed = false;
        s.GraphTeeOptions = 100;
        s.VerCheckOptions = 100;
        s.VerCheckInterval = 100;
        return s;
    }
};
} // namespace

TEST_F(SettingsStoreTest, EmptyRegistryGivesEveryDefault)
{
    core.settings = unusualSettings();
    store.ReadRegSettings();
    EXPECT_EQ(core.settings, Settings());
    EXPECT_EQ(core.settings.OptionFlags, 101356);

    EXPECT_EQ(core.logTexts(),
              (QStringList{u"ReadRegSettings: options not found, using default: 101356"_s,
                           u"ReadRegSettings: username not found"_s,
                           u"ReadRegSettings: account type not found, using default: 0 (Quolla)"_s,
                           u"ReadRegSettings: failed to read password, or blank password in registry"_s,
                           u"ReadRegSettings: refresh interval not found, using default: 120 minutes"_s,
                           u"ReadRegSettings: use proxy server setting not found"_s,
                           u"ReadRegSettings: proxy server not found"_s, u"ReadRegSettings: proxy username not found"_s,
                           u"ReadRegSettings: proxy password not found"_s,
                           u"ReadRegSettings: startup refresh delay not found, using default: 0 minutes"_s,
                           u"ReadRegSettings: timeout not found, using default: 120 seconds"_s,
                           u"ReadRegSettings: sort dir: -1, sort col: 0"_s,
                           u"ReadRegSettings: UseJSONFeed setting not found, using default: 1"_s,
                           u"ReadRegSettings: tee graph options not found, using default: 9"_s,
                           u"ReadRegSettings: version check options not found, using default: 1"_s,
                           u"ReadRegSettings: version check interval not found, using default: 2"_s}));
    for (const CoreTestContext::LogLine& line : core.logLines())
        EXPECT_EQ(line.level, 6);
}

TEST_F(SettingsStoreTest, ClampsApplyOnReadingOnly)
{
    core.setDword(shared(), u"Interval"_s, 5);
    core.setDword(shared(), u"StartupRefreshDelay"_s, 45);
    core.setDword(shared(), u"Timeout"_s, -1);
    store.ReadRegSettings();
    EXPECT_EQ(core.settings.Interval, 15);
    EXPECT_EQ(core.settings.StartupRefreshDelay, 30);
    EXPECT_EQ(core.settings.Timeout, 0);
    EXPECT_EQ(core.dword(shared(), u"Interval"_s), 5);
    EXPECT_TRUE(core.logTexts().contains(u"ReadRegSettings: refresh interval: 15 minutes"_s));
    EXPECT_TRUE(core.logTexts().contains(u"ReadRegSettings: startup refresh delay: 30 minutes"_s));
    EXPECT_TRUE(core.logTexts().contains(u"ReadRegSettings: timeout: 0 seconds"_s));

    core.setDword(shared(), u"Interval"_s, 15);
    core.setDword(shared(), u"StartupRefreshDelay"_s, -5);
    core.setDword(shared(), u"Timeout"_s, 20000);
    store.ReadRegSettings();
    EXPECT_EQ(core.settings.Interval, 15);
    EXPECT_EQ(core.settings.StartupRefreshDelay, -5);
    EXPECT_EQ(core.settings.Timeout, 10000);

    core.setDword(shared(), u"Interval"_s, 16);
    core.setDword(shared(), u"StartupRefreshDelay"_s, 30);
    core.setDword(shared(), u"Timeout"_s, 10000);
    store.ReadRegSettings();
    EXPECT_EQ(core.settings.Interval, 16);
    EXPECT_EQ(core.settings.StartupRefreshDelay, 30);
    EXPECT_EQ(core.settings.Timeout, 10000);
}

TEST_F(SettingsStoreTest, SwitchesReadTheirOwnWay)
{
    core.setDword(shared(), u"UseJSONFeed"_s, 2);
    core.setDword(shared(), u"UseProxy"_s, 2);
    store.ReadRegSettings();
    EXPECT_FALSE(core.settings.UseJSONFeed);
    EXPECT_TRUE(core.settings.UseProxy);
    EXPECT_TRUE(core.logTexts().contains(u"ReadRegSettings: UseJSONFeed: 2"_s));
    EXPECT_TRUE(core.logTexts().contains(u"ReadRegSettings: use proxy server: True (2)"_s));

    core.setDword(shared(), u"UseJSONFeed"_s, 1);
    core.setDword(shared(), u"UseProxy"_s, 0);
    store.ReadRegSettings();
    EXPECT_TRUE(core.settings.UseJSONFeed);
    EXPECT_FALSE(core.settings.UseProxy);
}

TEST_F(SettingsStoreTest, SortStateIsReadOnlyWhenRemembered)
{
    core.setDword(shared(), u"SortDir"_s, 0);
    core.setDword(shared(), u"SortCol"_s, 3);
    core.setDword(shared(), u"Options"_s, int32_t(Settings::DefaultOptions | OptionFlag::SortRemember));
    store.ReadRegSettings();
    EXPECT_TRUE(core.settings.SortDir);
    EXPECT_EQ(core.settings.SortCol, 3);
    EXPECT_TRUE(core.logTexts().contains(u"ReadRegSettings: sort dir: -1, sort col: 3"_s));

    core.setDword(shared(), u"SortDir"_s, 1);
    store.ReadRegSettings();
    EXPECT_FALSE(core.settings.SortDir);

    core.setDword(shared(), u"Options"_s, Settings::DefaultOptions);
    store.ReadRegSettings();
    EXPECT_TRUE(core.settings.SortDir);
    EXPECT_EQ(core.settings.SortCol, 0);
}

TEST_F(SettingsStoreTest, PasswordsAreStoredScrambledAndReadPlain)
{
    core.settings.Username = u"fred@quolla.example"_s;
    core.settings.Password = u"abc"_s;
    core.settings.ProxyPWD = u"pröxy"_s;
    store.SaveRegSettings();
    EXPECT_EQ(core.text(shared(), u"Password"_s), u"ÉÇÅ"_s);
    EXPECT_NE(core.text(shared(), u"ProxyPwd"_s), u"pröxy"_s);

    core.settings = unusualSettings();
    store.ReadRegSettings();
    EXPECT_EQ(core.settings.Password, u"abc"_s);
    EXPECT_EQ(core.settings.ProxyPWD, u"pröxy"_s);
    EXPECT_TRUE(core.logTexts().contains(u"ReadRegSettings: password read and decrypted from registry"_s));
}

TEST_F(SettingsStoreTest, UnreadableStoredPasswordGivesAnEmptyOne)
{
    core.setText(shared(), u"Password"_s, u"\u0001"_s);
    core.settings.Password = u"old"_s;
    store.ReadRegSettings();
    EXPECT_TRUE(core.settings.Password.isEmpty());
    EXPECT_TRUE(
        core.logTexts().contains(u"ReadRegSettings: failed to decrypt password, or blank password in registry"_s));
}

TEST_F(SettingsStoreTest, PasswordPromptNeitherReadsNorKeepsThePassword)
{
    core.setText(shared(), u"Password"_s, u"ÉÇÅ"_s);
    core.setDword(shared(), u"Options"_s, int32_t(Settings::DefaultOptions | OptionFlag::PwdPrompt));
    store.ReadRegSettings();
    EXPECT_TRUE(core.settings.Password.isEmpty());
    EXPECT_TRUE(
        core.logTexts().contains(u"ReadRegSettings: prompting for password, so no password to read from registry"_s));

    core.settings.Password = u"typed at the prompt"_s;
    store.SaveRegSettings();
    EXPECT_EQ(core.text(shared(), u"Password"_s), QString());
    EXPECT_TRUE(core.logTexts().contains(u"SaveRegSettings: no password being saved"_s));
}

TEST_F(SettingsStoreTest, ProfileValuesLiveUnderTheProfileKey)
{
    const QString profile3 = core.app.profileKey(3);
    core.setText(shared(), u"Username"_s, u"alice"_s);
    core.setText(profile3, u"Username"_s, u"bob"_s);
    core.setDword(profile3, u"AccountType"_s, 2);
    core.setDword(profile3, u"Interval"_s, 60); // not a profile value: ignored there
    core.run.ProfileNumber = 3;
    store.ReadRegSettings();
    EXPECT_EQ(core.settings.Username, u"bob"_s);
    EXPECT_EQ(core.settings.AccountType, 2);
    EXPECT_EQ(core.settings.Interval, 120);
    EXPECT_TRUE(core.logTexts().contains(u"ReadRegSettings: account type: 2 (Corvo)"_s));

    core.settings.Username = u"carol"_s;
    core.settings.Password = u"abc"_s;
    core.settings.Timeout = 30;
    store.SaveRegSettings();
    EXPECT_EQ(core.text(profile3, u"Username"_s), u"carol"_s);
    EXPECT_EQ(core.text(profile3, u"Password"_s), u"ÉÇÅ"_s);
    EXPECT_EQ(core.text(shared(), u"Username"_s), u"alice"_s);
    EXPECT_EQ(core.text(shared(), u"Password"_s), std::nullopt);
    EXPECT_EQ(core.dword(shared(), u"Timeout"_s), 30);
    EXPECT_EQ(core.dword(profile3, u"Timeout"_s), std::nullopt);
}

TEST_F(SettingsStoreTest, SaveWritesEveryValueInOrderWithItsLine)
{
    core.settings = unusualSettings();
    core.settings.Proxy.clear();
    core.settings.ProxyPWD.clear();
    store.SaveRegSettings();

    EXPECT_EQ(core.registry.attemptedWrites,
              (QStringList{u"Username"_s, u"AccountType"_s, u"Password"_s, u"UseProxy"_s, u"Proxy"_s, u"ProxyUID"_s,
                           u"ProxyPWD"_s, u"Options"_s, u"Timeout"_s, u"GraphTeeOptions"_s, u"Interval"_s,
                           u"StartupRefreshDelay"_s, u"VerCheckOptions"_s, u"VerCheckInterval"_s, u"UseJSONFeed"_s}));
    EXPECT_EQ(
        core.logTexts(),
        (QStringList{u"SaveRegSettings: username: someone"_s, u"SaveRegSettings: account type: 4 (Emberly)"_s,
                     u"SaveRegSettings: saved password"_s, u"SaveRegSettings: use proxy: True"_s,
                     u"SaveRegSettings: proxy server: (none)"_s, u"SaveRegSettings: proxy username: puser"_s,
                     u"SaveRegSettings: options: 4"_s, u"SaveRegSettings: timeout: 77 seconds"_s,
                     u"SaveGraphOptions: graph options: 100"_s, u"SaveRegSettings: refresh interval: 999 minutes"_s,
                     u"SaveRegSettings: startup refresh delay: 7 minutes"_s,
                     u"SaveRegSettings: version check options: 100"_s,
                     u"SaveRegSettings: version check interval: 100"_s, u"SaveRegSettings: data source: 0"_s}));
    EXPECT_EQ(core.text(shared(), u"ProxyPWD"_s), QString());
    EXPECT_EQ(core.dword(shared(), u"UseProxy"_s), 1);
    EXPECT_EQ(core.dword(shared(), u"UseJSONFeed"_s), 0);
    EXPECT_EQ(core.dword(shared(), u"SortDir"_s), std::nullopt);

    // What was saved reads back as it was, the sort state aside.
    Settings saved = core.settings;
    store.ReadRegSettings();
    saved.SortDir = true;
    saved.SortCol = 0;
    EXPECT_EQ(core.settings, saved);
}

TEST_F(SettingsStoreTest, AFailedWriteStopsTheSave)
{
    core.registry.failingWrites = {u"Options"_s};
    core.settings.Timeout = 30;
    core.settings.Interval = 60;
    store.SaveRegSettings();

    EXPECT_EQ(core.registry.attemptedWrites.last(), u"Options"_s);
    EXPECT_EQ(core.dword(shared(), u"Options"_s), std::nullopt);
    EXPECT_EQ(core.dword(shared(), u"Timeout"_s), std::nullopt);
    EXPECT_EQ(core.dword(shared(), u"Interval"_s), std::nullopt);
    EXPECT_EQ(core.dword(shared(), u"UseProxy"_s), 0);

    const CoreTestContext::LogLine last = core.logLines().last();
    EXPECT_EQ(last.level, 1);
    EXPECT_EQ(last.text, u"SaveRegSettings: failed to save options: "_s + FaultyRegistry::failureText());
    ASSERT_EQ(core.window.messageBoxes.size(), 1);
    EXPECT_EQ(core.window.messageBoxes.at(0).text,
              u"SaveRegSettings: failed to save options:\r\n"_s + FaultyRegistry::failureText());
}

TEST_F(SettingsStoreTest, GraphOptionsFailureDoesNotStopTheSave)
{
    core.registry.failingWrites = {u"graphteeoptions"_s};
    store.SaveRegSettings();
    EXPECT_EQ(core.dword(shared(), u"UseJSONFeed"_s), 1);
    EXPECT_TRUE(core.logTexts().contains(u"SaveGraphOptions: failed to save tee graph options: "_s +
                                         FaultyRegistry::failureText()));
}

TEST_F(SettingsStoreTest, AnUnscramblablePasswordIsNeverWritten)
{
    core.setText(shared(), u"Password"_s, u"ÉÇÅ"_s);
    core.settings.Password = QString(QChar(0xDC00)); // half a surrogate pair: no character
    store.SaveRegSettings();
    EXPECT_EQ(core.text(shared(), u"Password"_s), u"ÉÇÅ"_s);
    EXPECT_EQ(core.dword(shared(), u"UseProxy"_s), std::nullopt);
    EXPECT_EQ(core.logTexts().last(),
              u"SaveRegSettings: failed to save password: [5] Invalid procedure call or argument"_s);
}

TEST_F(SettingsStoreTest, SixteenBitOverflowSkipsOnlyThatValue)
{
    core.setDword(shared(), u"AccountType"_s, 70000);
    core.setDword(shared(), u"GraphTeeOptions"_s, -40000);
    core.setDword(shared(), u"VerCheckOptions"_s, 32767);
    core.setDword(shared(), u"Interval"_s, 30);
    core.settings.AccountType = 3;
    core.settings.GraphTeeOptions = 11;
    store.ReadRegSettings();

    EXPECT_EQ(core.settings.AccountType, 3);
    EXPECT_EQ(core.settings.GraphTeeOptions, 11);
    EXPECT_EQ(core.settings.VerCheckOptions, 32767);
    EXPECT_EQ(core.settings.Interval, 30);
    for (const QString& line : core.logTexts()) {
        EXPECT_FALSE(line.contains(u"account type"_s));
        EXPECT_FALSE(line.contains(u"tee graph"_s));
    }
    EXPECT_EQ(core.logLines().size(), 14);
}
