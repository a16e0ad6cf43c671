// SPDX-License-Identifier: MIT
#pragma once

class Clock;
class LogFrontEnd;
class MainRoutines;
class ProviderLinks;
class RefreshCycle;
class RegistryAccess;
class SettingsStore;
class WindowSeam;
class modSQL;
struct AppInfo;
struct RunState;
struct Settings;

// The program's state and services as the windows' commands and dialogs work with them; one
// instance of each lives for the whole run.
struct ProgramServices
{
    const AppInfo& app;
    Settings& settings;
    RunState& run;
    LogFrontEnd& log;
    RegistryAccess& registry;
    const Clock& clock;
    WindowSeam& window;
    RefreshCycle& cycle;
    modSQL& history;
    MainRoutines& mainRoutines;
    SettingsStore& store;
    ProviderLinks& links;
};
