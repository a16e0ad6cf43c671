// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class LogFrontEnd;
class RegistryAccess;
class WindowSeam;
struct AppInfo;
struct RunState;

// The data folder (RunState::DataDir): settled at start-up from the "Path" value that the XML
// component shares, and moved once, on the user's word, out of the program's folder into the
// per-user data folder.
class DataFolder
{
public:
    // Moves the data files from one folder into another; False with an error text keeps the old one.
    using Migrator = std::function<bool(const QString& from, const QString& to, QString& szErr)>;

    enum class Check { Continue, Terminate };

    static constexpr int32_t StatusUnknown = -1;
    static constexpr int32_t StatusFailed = 0;
    static constexpr int32_t StatusDeclined = 1;
    static constexpr int32_t StatusDone = 2;

    // appDataFolder: the per-user data home ($XDG_DATA_HOME), empty when it cannot be told; made
    // when missing. programFolder: where the executable lives.
    DataFolder(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log, RunState& run, WindowSeam& window,
               QString appDataFolder, QString programFolder);

    static QString sharedKey(); // "Software\Sarnick\Config"
    static QString legacyKey(); // "Software\qoGlimra\Config"

    // Start-up: DataDir from "Path" (copied from the legacy key when missing), else derived
    // and stored. An empty "Path" counts as missing; a folder "Path" names that does not exist
    // is created. One that cannot be made is named to the user and in unusableFolder(), and the
    // derived folder serves this run, the components' caches included; "Path" stays as it is.
    void settle();
    // The stored folder that settle() could not use; empty when there was none.
    const QString& unusableFolder() const { return m_unusableFolder; }

    // Sets DataDir and stores it as "Path"; where that fails, it is "Path" for this run only.
    void SetDataPath(const QString& folder);

    // The one-time offer to move the data out of the program's folder. hidden: nobody is there
    // to answer, so the question is not asked and the status stays as it is.
    Check CheckDataDirectory(QString& dataDir, bool hidden, const Migrator& migrate);

    static bool FolderExists(const QString& folder);
    bool MakeFolder(const QString& folder, QString& szErr);
    bool GetSpecialFolderPath(QString& path, QString& szErr) const;

private:
    QString derive();
    // Modes of the folders made: the per-user data home is private, a folder the user named is
    // made as any other.
    static constexpr unsigned PrivateMode = 0700;
    static constexpr unsigned SharedMode = 0777;
    // Makes the folder with every missing level, each with mode (less the umask).
    bool makeFolders(const QString& folder, unsigned mode, QString& szErr);
    // The stored folder cannot be used: "Path" and the times of the components' cache files are
    // this run's own.
    void holdComponentsForThisRun();
    int32_t checkSteps(QString& dataDir, int32_t status, bool hidden, const Migrator& migrate, bool& terminate,
                       bool& abandon);

    const AppInfo& m_app;
    RegistryAccess& m_registry;
    LogFrontEnd& m_log;
    RunState& m_run;
    WindowSeam& m_window;
    QString m_appDataFolder;
    QString m_programFolder;
    // This start already told the person that the data home cannot be made.
    bool m_dataHomeReported = false;
    QString m_unusableFolder;
};
