// SPDX-License-Identifier: MIT
#pragma once

struct AppInfo;
struct RunState;
struct Settings;
class Clock;
class LogFrontEnd;
class RegistryAccess;
class SettingsStore;
class modSQL;

// What the graph window and its charts work with.
struct GraphContext
{
    const AppInfo& app;
    Settings& settings;
    RunState& run;
    LogFrontEnd& log;
    RegistryAccess& registry;
    const Clock& clock;
    modSQL& history;
    SettingsStore& store;
};
