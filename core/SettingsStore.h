// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

class LogFrontEnd;
class PasswordScrambler;
class RegistryAccess;
struct AppInfo;
struct RunState;
struct SettingSpec;
struct SaveSpec;
struct Settings;

// Reads the settings from the registry into a Settings object and saves them back: the shared
// key for most values, the current profile's key for the user name, account type and password.
class SettingsStore
{
public:
    SettingsStore(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log, PasswordScrambler& scrambler,
                  Settings& settings, const RunState& run);

    // Every setting with its default when missing and its clamps when present; a value that
    // cannot be taken (a number too large for a 16-bit setting) leaves that setting as it was.
    void ReadRegSettings();
    // Writes the settings back; the first failed write ends the save, later values stay as stored.
    // False when the save ended early, which has been reported at level 1. With `refusal` the
    // caller shows the report (where the user pressed for the save) and the log shows no box.
    bool SaveRegSettings(QString* refusal = nullptr) { return SaveRegSettings(m_settings, refusal); }
    // The same for values not in use yet, which their caller takes into use only once stored.
    bool SaveRegSettings(const Settings& values, QString* refusal);
    // The graph window's options word, also written on its own when the graph window closes.
    void SaveGraphOptions();

private:
    QString keyOf(bool profileKey) const;
    void readOne(const SettingSpec& spec);
    // False when the save must stop.
    bool saveOne(const SaveSpec& step, const Settings& values, QString* refusal);
    void saveGraphOptions(int16_t options);
    void reportFailure(const QString& text, QString* refusal);

    const AppInfo& m_app;
    RegistryAccess& m_registry;
    LogFrontEnd& m_log;
    PasswordScrambler& m_scrambler;
    Settings& m_settings;
    const RunState& m_run;
};
