// SPDX-License-Identifier: MIT
#include "SettingsTable.h"

#include "TextRoutines.h"

using namespace Qt::StringLiterals;

namespace {
const QString readPrefix = u"ReadRegSettings: "_s;
const QString savePrefix = u"SaveRegSettings: "_s;

SettingLine fixed(const QString& text)
{
    return [text](const Settings&, const StoredSetting&) { return std::optional<QString>(readPrefix + text); };
}

SettingLine none()
{
    return [](const Settings&, const StoredSetting&) { return std::optional<QString>(); };
}

QString shownValue(const Settings& settings, const SettingMember& member, SettingShown shown);

std::function<std::optional<QString>(const Settings&)> saved(const QString& text)
{
    return [text](const Settings&) { return std::optional<QString>(savePrefix + text); };
}

std::vector<SettingSpec> makeReadOrder()
{
    const SettingLine sortLine = [](const Settings& s, const StoredSetting&) -> std::optional<QString> {
        return readPrefix + u"sort dir: "_s + (s.SortDir ? u"-1"_s : u"0"_s) + u", sort col: "_s +
               QString::number(s.SortCol);
    };
    const SettingLine passwordLine = [](const Settings& s, const StoredSetting&) -> std::optional<QString> {
        return readPrefix + (s.Password.isEmpty() ? u"failed to decrypt password, or blank password in registry"_s
                                                  : u"password read and decrypted from registry"_s);
    };
    const SettingLine useProxyLine = [](const Settings& s, const StoredSetting& stored) -> std::optional<QString> {
        return readPrefix + u"use proxy server: "_s + (s.UseProxy ? u"True ("_s : u"False ("_s) +
               QString::number(stored.number) + u')';
    };
    const SettingLine useJsonLine = [](const Settings&, const StoredSetting& stored) -> std::optional<QString> {
        return readPrefix + u"UseJSONFeed: "_s + QString::number(stored.number);
    };

    // clang-format off
    return {
        {.valueName = u"Options"_s, .member = &Settings::OptionFlags, .defaultNumber = Settings::DefaultOptions,
         .title = u"options"_s},
        {.valueName = u"Username"_s, .key = SettingKey::Profile, .member = &Settings::Username,
         .title = u"username"_s, .shown = SettingShown::Text, .missingLine = fixed(u"username not found"_s)},
        {.valueName = u"AccountType"_s, .key = SettingKey::Profile, .member = &Settings::AccountType,
         .title = u"account type"_s, .shown = SettingShown::AccountType},
        {.valueName = u"Password"_s, .key = SettingKey::Profile, .member = &Settings::Password,
         .conversion = SettingConversion::Scrambled, .conditionBit = OptionFlag::PwdPrompt, .readWhenSet = false,
         .missingLine = fixed(u"failed to read password, or blank password in registry"_s),
         .presentLine = passwordLine,
         .skippedLine = fixed(u"prompting for password, so no password to read from registry"_s)},
        {.valueName = u"Interval"_s, .member = &Settings::Interval, .defaultNumber = 120, .minimum = 15,
         .title = u"refresh interval"_s, .shown = SettingShown::Minutes},
        {.valueName = u"UseProxy"_s, .member = &Settings::UseProxy, .conversion = SettingConversion::Positive,
         .missingLine = fixed(u"use proxy server setting not found"_s), .presentLine = useProxyLine},
        {.valueName = u"Proxy"_s, .member = &Settings::Proxy, .title = u"proxy server"_s,
         .shown = SettingShown::TextOrNone, .missingLine = fixed(u"proxy server not found"_s)},
        {.valueName = u"ProxyUID"_s, .member = &Settings::ProxyUID, .title = u"proxy username"_s,
         .shown = SettingShown::TextOrNone, .missingLine = fixed(u"proxy username not found"_s)},
        {.valueName = u"ProxyPwd"_s, .member = &Settings::ProxyPWD, .conversion = SettingConversion::Scrambled,
         .missingLine = fixed(u"proxy password not found"_s), .presentLine = none()},
        {.valueName = u"StartupRefreshDelay"_s, .member = &Settings::StartupRefreshDelay, .maximum = 30,
         .title = u"startup refresh delay"_s, .shown = SettingShown::Minutes},
        {.valueName = u"Timeout"_s, .member = &Settings::Timeout, .defaultNumber = 120, .minimum = 0,
         .maximum = 10000, .title = u"timeout"_s, .shown = SettingShown::Seconds},
        {.valueName = u"SortDir"_s, .member = &Settings::SortDir, .conversion = SettingConversion::ZeroIsTrue,
         .defaultNumber = 1, .conditionBit = OptionFlag::SortRemember, .missingLine = none(),
         .presentLine = none()},
        {.valueName = u"SortCol"_s, .member = &Settings::SortCol, .conditionBit = OptionFlag::SortRemember,
         .missingLine = sortLine, .presentLine = sortLine, .skippedLine = sortLine},
        {.valueName = u"UseJSONFeed"_s, .member = &Settings::UseJSONFeed,
         .conversion = SettingConversion::ExactlyOne, .defaultNumber = 1,
         .missingLine = fixed(u"UseJSONFeed setting not found, using default: 1"_s), .presentLine = useJsonLine},
        {.valueName = u"GraphTeeOptions"_s, .member = &Settings::GraphTeeOptions, .defaultNumber = 9,
         .title = u"tee graph options"_s},
        {.valueName = u"VerCheckOptions"_s, .member = &Settings::VerCheckOptions, .defaultNumber = 1,
         .title = u"version check options"_s},
        {.valueName = u"VerCheckInterval"_s, .member = &Settings::VerCheckInterval, .defaultNumber = 2,
         .title = u"version check interval"_s},
    };
    // clang-format on
}

std::vector<SaveSpec> makeSaveOrder()
{
    // clang-format off
    return {
        {.valueName = u"Username"_s, .key = SettingKey::Profile, .member = &Settings::Username,
         .title = u"username"_s, .shown = SettingShown::Text, .failureText = u"failed to save username:"_s},
        {.valueName = u"AccountType"_s, .key = SettingKey::Profile, .member = &Settings::AccountType,
         .title = u"account type"_s, .shown = SettingShown::AccountType,
         .failureText = u"failed to save account type:"_s},
        {.valueName = u"Password"_s, .key = SettingKey::Profile, .member = &Settings::Password,
         .conversion = SettingConversion::Scrambled, .line = saved(u"saved password"_s),
         .failureText = u"failed to save password:"_s, .conditionBit = OptionFlag::PwdPrompt, .whenSet = false},
        {.valueName = u"Password"_s, .key = SettingKey::Profile, .member = &Settings::Password,
         .line = saved(u"no password being saved"_s), .failureText = u"failed to save blank password:"_s,
         .conditionBit = OptionFlag::PwdPrompt, .writeEmptyText = true},
        {.valueName = u"UseProxy"_s, .member = &Settings::UseProxy, .title = u"use proxy"_s,
         .shown = SettingShown::TrueFalse, .failureText = u"failed to save proxy enable:"_s},
        {.valueName = u"Proxy"_s, .member = &Settings::Proxy, .title = u"proxy server"_s,
         .shown = SettingShown::TextOrNone, .failureText = u"failed to save proxy name:"_s},
        {.valueName = u"ProxyUID"_s, .member = &Settings::ProxyUID, .title = u"proxy username"_s,
         .shown = SettingShown::TextOrNone, .failureText = u"failed to save proxy username:"_s},
        {.valueName = u"ProxyPWD"_s, .member = &Settings::ProxyPWD, .conversion = SettingConversion::Scrambled,
         .line = [](const Settings&) { return std::optional<QString>(); },
         .failureText = u"failed to save proxy password:"_s},
        {.valueName = u"Options"_s, .member = &Settings::OptionFlags, .title = u"options"_s,
         .failureText = u"failed to save options:"_s},
        {.valueName = u"Timeout"_s, .member = &Settings::Timeout, .title = u"timeout"_s,
         .shown = SettingShown::Seconds, .failureText = u"failed to save timeout:"_s},
        {.valueName = u"GraphTeeOptions"_s, .member = &Settings::GraphTeeOptions, .graphOptions = true},
        {.valueName = u"Interval"_s, .member = &Settings::Interval, .title = u"refresh interval"_s,
         .shown = SettingShown::Minutes, .failureText = u"failed to save interval:"_s},
        {.valueName = u"StartupRefreshDelay"_s, .member = &Settings::StartupRefreshDelay,
         .title = u"startup refresh delay"_s, .shown = SettingShown::Minutes,
         .failureText = u"failed to save startup refresh delay:"_s},
        {.valueName = u"VerCheckOptions"_s, .member = &Settings::VerCheckOptions,
         .title = u"version check options"_s, .failureText = u"failed to save version check options:"_s},
        {.valueName = u"VerCheckInterval"_s, .member = &Settings::VerCheckInterval,
         .title = u"version check interval"_s, .failureText = u"failed to save version check interval:"_s},
        {.valueName = u"UseJSONFeed"_s, .member = &Settings::UseJSONFeed, .title = u"data source"_s,
         .failureText = u"failed to save data source:"_s},
    };
    // clang-format on
}
} // namespace

namespace SettingsTable {
const std::vector<SettingSpec>& readOrder()
{
    static const std::vector<SettingSpec> specs = makeReadOrder();
    return specs;
}

const std::vector<SaveSpec>& saveOrder()
{
    static const std::vector<SaveSpec> steps = makeSaveOrder();
    return steps;
}

std::optional<QString> readLine(const SettingSpec& spec, ReadOutcome outcome, const Settings& settings,
                                const StoredSetting& stored)
{
    switch (outcome) {
    case ReadOutcome::Skipped:
        return spec.skippedLine ? spec.skippedLine(settings, stored) : std::nullopt;
    case ReadOutcome::Missing:
        if (spec.missingLine)
            return spec.missingLine(settings, stored);
        return readPrefix + spec.title + u" not found, using default: "_s +
               shownValue(settings, spec.member, spec.shown);
    case ReadOutcome::Present:
        break;
    }
    if (spec.presentLine)
        return spec.presentLine(settings, stored);
    return readPrefix + spec.title + u": "_s + shownValue(settings, spec.member, spec.shown);
}

std::optional<QString> saveLine(const SaveSpec& step, const Settings& settings)
{
    if (step.line)
        return step.line(settings);
    return savePrefix + step.title + u": "_s + shownValue(settings, step.member, step.shown);
}
} // namespace SettingsTable

namespace {
QString shownValue(const Settings& settings, const SettingMember& member, SettingShown shown)
{
    return std::visit(
        [&](auto pointer) -> QString {
            const auto& value = settings.*pointer;
            using Value = std::remove_cvref_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, QString>) {
                return shown == SettingShown::TextOrNone && value.isEmpty() ? u"(none)"_s : value;
            } else if constexpr (std::is_same_v<Value, bool>) {
                if (shown == SettingShown::TrueFalse)
                    return BooleanText(value);
                return value ? u"1"_s : u"0"_s;
            } else {
                switch (shown) {
                case SettingShown::Minutes:
                    return FormatPlural(value, u"minute"_s);
                case SettingShown::Seconds:
                    return FormatPlural(value, u"second"_s);
                case SettingShown::AccountType:
                    return QString::number(value) + u" ("_s + GetAccountTypeName(int16_t(value)) + u')';
                default:
                    return QString::number(value);
                }
            }
        },
        member);
}
} // namespace
