// SPDX-License-Identifier: MIT
#include "SettingsStore.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "NumberConversions.h"
#include "PasswordScrambler.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "SettingsTable.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr int16_t detailLevel = 6;

bool booleanOf(SettingConversion conversion, int32_t number)
{
    switch (conversion) {
    case SettingConversion::Positive:
        return number > 0;
    case SettingConversion::ExactlyOne:
        return number == 1;
    case SettingConversion::ZeroIsTrue:
        return number == 0;
    default:
        return number != 0;
    }
}

int32_t clamped(const SettingSpec& spec, int32_t number)
{
    if (spec.minimum)
        number = std::max(number, *spec.minimum);
    if (spec.maximum)
        number = std::min(number, *spec.maximum);
    return number;
}
} // namespace

SettingsStore::SettingsStore(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log,
                             PasswordScrambler& scrambler, Settings& settings, const RunState& run)
    : m_app(app), m_registry(registry), m_log(log), m_scrambler(scrambler), m_settings(settings), m_run(run)
{}

QString SettingsStore::keyOf(bool profileKey) const
{
    return profileKey ? m_app.profileKey(m_run.ProfileNumber) : m_app.configKey();
}

void SettingsStore::ReadRegSettings()
{
    for (const SettingSpec& spec : SettingsTable::readOrder()) {
        try {
            readOne(spec);
        } catch (const RunTimeError&) {
            // Skips only this setting, which keeps its value.
        }
    }
}

void SettingsStore::readOne(const SettingSpec& spec)
{
    StoredSetting stored;
    const bool read = spec.conditionBit == 0 || m_settings.hasOption(spec.conditionBit) == spec.readWhenSet;
    if (read) {
        const QString key = keyOf(spec.key == SettingKey::Profile);
        stored.found = spec.isText()
                           ? m_registry.GetRegValue(HKEY_CURRENT_USER, key, spec.valueName, stored.text)
                           : m_registry.GetRegWordValue(HKEY_CURRENT_USER, key, spec.valueName, stored.number);
    }
    const bool useDefault = !read || !stored.found;

    // The new value is complete before it is assigned, so a failure leaves the old one.
    const int32_t number = useDefault ? spec.defaultNumber : clamped(spec, stored.number);
    std::visit(
        [&](auto member) {
            using Member = std::remove_reference_t<decltype(m_settings.*member)>;
            if constexpr (std::is_same_v<Member, QString>) {
                if (useDefault)
                    m_settings.*member = QString();
                else if (spec.conversion == SettingConversion::Scrambled)
                    m_settings.*member = m_scrambler.CryptString(stored.text, false);
                else
                    m_settings.*member = stored.text;
            } else if constexpr (std::is_same_v<Member, bool>) {
                m_settings.*member = useDefault ? number != 0 : booleanOf(spec.conversion, number);
            } else if constexpr (std::is_same_v<Member, int16_t>) {
                m_settings.*member = NumberConversions::toInteger(int64_t(number));
            } else {
                m_settings.*member = number;
            }
        },
        spec.member);

    const SettingsTable::ReadOutcome outcome = !read          ? SettingsTable::ReadOutcome::Skipped
                                               : stored.found ? SettingsTable::ReadOutcome::Present
                                                              : SettingsTable::ReadOutcome::Missing;
    if (const std::optional<QString> line = SettingsTable::readLine(spec, outcome, m_settings, stored))
        m_log.LogMessage(*line, detailLevel);
}

bool SettingsStore::SaveRegSettings(const Settings& values, QString* refusal)
{
    try {
        for (const SaveSpec& step : SettingsTable::saveOrder()) {
            if (!saveOne(step, values, refusal))
                return false;
        }
        return true;
    } catch (const RunTimeError& error) {
        reportFailure(u"runtime error while saving settings to the registry:\r\n"_s + error.text(), refusal);
    }
    return false;
}

void SettingsStore::reportFailure(const QString& text, QString* refusal)
{
    if (refusal)
        *refusal = text;
    m_log.LogMessage(text, 1, refusal ? 1 : -1);
}

bool SettingsStore::saveOne(const SaveSpec& step, const Settings& values, QString* refusal)
{
    if (step.conditionBit != 0 && values.hasOption(step.conditionBit) != step.whenSet)
        return true;
    if (step.graphOptions) {
        saveGraphOptions(values.GraphTeeOptions);
        return true;
    }

    const QString key = keyOf(step.key == SettingKey::Profile);
    QString szErr;
    bool refused = false; // by the store, rather than by the scrambler
    const bool written = std::visit(
        [&](auto member) {
            using Member = std::remove_cvref_t<decltype(values.*member)>;
            if constexpr (std::is_same_v<Member, QString>) {
                QString text = step.writeEmptyText ? QString() : values.*member;
                if (step.conversion == SettingConversion::Scrambled) {
                    // A text that failed to scramble is never written: the stored one stays.
                    QString scrambled;
                    if (!m_scrambler.CryptString(text, true, scrambled, szErr))
                        return false;
                    text = scrambled;
                }
                refused = !m_registry.WriteRegStringValue(HKEY_CURRENT_USER, key, step.valueName, text, szErr);
            } else {
                const int32_t number = int32_t(values.*member);
                refused = !m_registry.WriteRegWordValue(HKEY_CURRENT_USER, key, step.valueName, number, szErr);
            }
            return !refused;
        },
        step.member);
    if (!written) {
        // A file that cannot be read takes no value at all: naming the first value would put the
        // blame on it.
        const bool wholeFile = refused && m_registry.settingsFileUnreadable();
        reportFailure(u"SaveRegSettings: "_s + (wholeFile ? u"settings not saved:"_s : step.failureText) + u"\r\n"_s +
                          szErr,
                      refusal);
        return false;
    }
    if (const std::optional<QString> line = SettingsTable::saveLine(step, values))
        m_log.LogMessage(*line, detailLevel);
    return true;
}

void SettingsStore::SaveGraphOptions()
{
    saveGraphOptions(m_settings.GraphTeeOptions);
}

void SettingsStore::saveGraphOptions(int16_t options)
{
    QString szErr;
    if (m_registry.WriteRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), u"GraphTeeOptions"_s, options, szErr)) {
        m_log.LogMessage(u"SaveGraphOptions: graph options: "_s + QString::number(options), 6);
        return;
    }
    // The graph window saves its options as it opens and at each click of its check boxes: while
    // the settings file cannot be read, its notice has said once that nothing is saved.
    m_log.LogMessage(u"SaveGraphOptions: failed to save tee graph options:\r\n"_s + szErr,
                     m_registry.settingsFileUnreadable() ? 3 : 1);
}
