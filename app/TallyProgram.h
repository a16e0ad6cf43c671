// SPDX-License-Identifier: MIT
#pragma once

#include "AppInfo.h"
#include "DataFolder.h"
#include "Diagnostics.h"
#include "HeadlessWindowSeam.h"
#include "LocalDateTime.h"
#include "LogFileWriter.h"
#include "LogFrontEnd.h"
#include "MainRoutines.h"
#include "MainWindowSeam.h"
#include "PasswordScrambler.h"
#include "ProviderLinks.h"
#include "RefreshCycle.h"
#include "RegistryAccess.h"
#include "RegistryStore.h"
#include "RunState.h"
#include "Settings.h"
#include "SettingsMigration.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "UnreadableSettingsNotice.h"
#include "modSQL.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The program from its start to the point where it lives on through its windows: data folder,
// log banner, component checks, command line, settings, single instance, data-folder offer,
// links, the stored month and the start-up refresh. With /H it refreshes once and ends.
class TallyProgram
{
public:
    // Exit statuses of a run that ends during start-up.
    enum Status {
        Ok = 0,
        RefreshFailed = 1, // /H: the refresh did not succeed
        BadCommandLine = 2,
        ComponentMissing = 3, // a component or the database wrapper could not be created
        AlreadyRunning = 4,   // another copy runs (and was asked to come forward)
        CancelledByUser = 5,  // the data-folder question was cancelled
        NoDisplay = 6,        // started without /H where there is no display
        NotKept = 7,          // /H: the month was fetched, but storing it or writing an enabled export failed
        NoPrivateFolder = 8,  // no folder of the user's own for the single-instance lock

        // /H: the data folder that the settings name cannot be made; nothing was refreshed
        DataFolderUnusable = 9,
    };

    // arguments: the command line without the program's name. programFolder: where the
    // executable lives; the data folder falls back to it.
    TallyProgram(QStringList arguments, QString programFolder, const Clock& clock);
    ~TallyProgram();

    // For a start that cannot go as far as the log: when the command line (argv) is not
    // understood, says so on standard error and returns true.
    static bool refuseCommandLine(int argc, char* argv[]);
    // The run-once mode's status once a signal stopped it (128 + the signal's number, as a shell
    // gives it), said on standard error.
    static int endedBySignal(int signal);

    // Runs the start-up sequence. A value: the program ends with that status. None: the program
    // goes on running (the windows, their timers and the tray icon take over).
    std::optional<int> Main();

    RunState& run() { return m_run; }
    Settings& settings() { return m_settings; }
    LogFrontEnd& log() { return m_log; }
    WindowSeam& window() { return m_window; }
    // The windows of a run with a display; none in the hidden run-once mode.
    MainWindowSeam* mainWindow() { return m_mainWindow.get(); }
    RefreshCycle& cycle() { return m_cycle; }
    ProviderLinks& links() { return m_links; }

private:
    void reportUnreadableSettings(const RegistryStore::Unreadable& unreadable);
    bool creationChecks();
    void fatalCreation(const QString& component, int32_t number, const QString& description);
    void clearSettings();
    // Hands over to a copy that runs already (a status: this start ends), else claims the lock.
    std::optional<int> singleInstance();
    // Once this copy goes on: the settings file is its own to set aside, and to tell of.
    void takeOverSettingsFile();
    std::optional<int> runHidden();
    void startupRefresh();
    bool quietOption() const;

    QStringList m_arguments;
    QString m_programFolder;
    const Clock& m_clock;

    AppInfo m_app;
    SystemRegistry m_registry;
    Settings m_settings;
    RunState m_run;
    std::unique_ptr<HeadlessWindowSeam> m_headless;
    std::unique_ptr<MainWindowSeam> m_mainWindow;
    WindowSeam& m_window;
    LogFileWriter m_writer;
    LogFrontEnd m_log;
    UnreadableSettingsNotice m_settingsNotice;
    PasswordScrambler m_scrambler;
    SettingsStore m_store;
    SettingsMigration m_migration;
    DataFolder m_dataFolder;
    Diagnostics m_diagnostics;
    ProviderLinks m_links;
    modSQL m_history;
    MainRoutines m_mainRoutines;
    RefreshCycle m_cycle;
    std::unique_ptr<SingleInstance> m_instance;
};
