// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class LogFrontEnd;
struct AppInfo;
struct RunState;
struct Settings;

// What every routine of the history database works with: the program's state, its log and the
// current account's database file.
struct HistoryContext
{
    const AppInfo& app;
    const Settings& settings;
    const RunState& run;
    LogFrontEnd& log;
    // The data folder, "/", the user name up to its first "@" and ".sl3" (the file already there
    // under that name in other letters, if there is one). Set only by CheckSQLDatabase, and
    // emptied when the user name makes no file name, so a store never lands in the previous
    // account's file.
    QString DatabaseFile;
};
