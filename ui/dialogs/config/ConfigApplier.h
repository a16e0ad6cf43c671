// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigContext.h"

#include <QString>

#include <cstdint>
#include <functional>

struct Settings;

// What the options dialog's controls hold when Apply is pressed.
struct ConfigInput
{
    QString username;
    QString password;
    int accountType = 0;
    int dataSource = 1; // 0 XML feed, 1 JSON feed
    bool useProxy = false;
    QString proxy;
    QString proxyUID;
    QString proxyPwd;
    uint32_t optionFlags = 0; // from the check boxes
    bool verCheckTimed = false;
    bool verCheckStartup = false;
    int verCheckInterval = 0;
    int32_t interval = 0; // the up-downs' values
    int32_t delay = 0;
    int32_t timeout = 0;
    bool autoStartup = false;
};

// Apply: the controls into the settings, the autostart entry, the save, and then the rest of the
// program brought up to date. Widget-free; the dialog hands over its controls' values.
class ConfigApplier
{
public:
    explicit ConfigApplier(const ConfigContext& context);

    // Called with the MinimiseToTray option once it is known, so the main window's Escape key
    // can follow it (cmdMinimise with the option, else cmdClose).
    std::function<void(bool minimiseToTray)> escapeButtonChanged;

    // True when the settings were saved, even if a later step failed. Otherwise nothing was taken
    // into use and refusal says why, for the dialog to tell the user (the log shows no box of its
    // own). The three numbers of input are set to what was taken, for the up-downs to show.
    bool Apply(ConfigInput& input, QString& refusal);

private:
    void log(const QString& text, int16_t level);
    static void copyAccount(const ConfigInput& input, Settings& settings);
    void applyAutoStart(bool wanted);
    void followUp(bool accountChanged, bool displayChanged);

    ConfigContext m_ctx;
};
