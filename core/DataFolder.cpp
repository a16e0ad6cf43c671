// SPDX-License-Identifier: MIT
#include "DataFolder.h"

#include "ApiErrors.h"
#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "ProgramExit.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "StandardLocations.h"
#include "UsageDataTypes.h"
#include "WindowSeam.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {
const QString CrLf = u"\r\n"_s;
const QString PathValue = u"Path"_s;

QString systemError(int code)
{
    return bracketedError(code, GetAPIErrorStr(code));
}
} // namespace

DataFolder::DataFolder(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log, RunState& run,
                       WindowSeam& window, QString appDataFolder, QString programFolder)
    : m_app(app), m_registry(registry), m_log(log), m_run(run), m_window(window),
      m_appDataFolder(std::move(appDataFolder)), m_programFolder(std::move(programFolder))
{}

QString DataFolder::sharedKey()
{
    return u"Software\\Sarnick\\Config"_s;
}

QString DataFolder::legacyKey()
{
    return u"Software\\qoGlimra\\Config"_s;
}

bool DataFolder::FolderExists(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

bool DataFolder::MakeFolder(const QString& folder, QString& szErr)
{
    if (QDir().mkdir(folder))
        return true;
    szErr = systemError(errno != 0 ? errno : EIO);
    m_log.LogMessage(u"CreateDirectory: runtime error "_s + szErr, 3);
    return false;
}

bool DataFolder::GetSpecialFolderPath(QString& path, QString& szErr) const
{
    if (m_appDataFolder.isEmpty()) {
        szErr = u"[1] Folder Does Not Exist"_s;
        return false;
    }
    path = m_appDataFolder;
    return true;
}

bool DataFolder::makeFolders(const QString& folder, unsigned mode, QString& szErr)
{
    int code = 0;
    if (FolderExists(folder) || StandardLocations::makeFolders(folder, mode, code))
        return true;
    szErr = systemError(code);
    m_log.LogMessage(u"CreateDirectory: runtime error "_s + szErr, 3);
    return false;
}

void DataFolder::SetDataPath(const QString& folder)
{
    m_run.DataDir = folder;
    QString ignored;
    // The components take their cache folder from "Path": where it cannot be stored (a settings
    // file that cannot be read), they are given this run's folder all the same.
    if (!m_registry.WriteRegStringValue(HKEY_CURRENT_USER, sharedKey(), PathValue, folder, ignored))
        m_registry.holdForThisRun(HKEY_CURRENT_USER, sharedKey(), PathValue, folder);
}

QString DataFolder::derive()
{
    QString appData;
    QString szErr;
    QString dataDir;
    if (!GetSpecialFolderPath(appData, szErr)) {
        m_log.LogMessage(u"Main: failed to get app data directory:"_s + CrLf + szErr, 1);
    } else if (makeFolders(appData, PrivateMode, szErr)) {
        dataDir = QDir(appData).filePath(m_app.ProductName);
        if (!FolderExists(dataDir) && !MakeFolder(dataDir, szErr)) {
            m_log.LogMessage(u"Main: failed to create data directory "_s + dataDir + CrLf + szErr, 1);
            dataDir.clear();
        }
    } else {
        // A fresh account has no data home yet; only one that cannot be made is worth a word.
        m_log.LogMessage(u"Main: failed to create data directory "_s + appData + CrLf + szErr, 1);
        m_dataHomeReported = true;
    }
    if (dataDir.isEmpty()) {
        dataDir = m_programFolder;
        m_log.LogMessage(u"Main: defaulting data directory to:"_s + CrLf + dataDir, 1);
    }
    return dataDir;
}

void DataFolder::settle()
{
    QString path;
    // An empty value would put every file into the working folder: it counts as missing.
    if (!m_registry.GetRegValue(HKEY_CURRENT_USER, sharedKey(), PathValue, path) || path.isEmpty()) {
        QString legacy;
        if (m_registry.GetRegValue(HKEY_CURRENT_USER, legacyKey(), PathValue, legacy) && !legacy.isEmpty()) {
            QString ignored;
            m_registry.WriteRegStringValue(HKEY_CURRENT_USER, sharedKey(), PathValue, legacy, ignored);
        }
        path.clear();
        m_registry.GetRegValue(HKEY_CURRENT_USER, sharedKey(), PathValue, path);
    }
    if (!path.isEmpty()) {
        QString szErr;
        if (makeFolders(path, SharedMode, szErr)) {
            m_run.DataDir = path;
            return;
        }
        // A stored folder that cannot be made (an unplugged drive, a file in its way) serves for
        // nothing this run, but stays stored for the next: the user's history is there.
        m_unusableFolder = path;
        m_run.DataDir = derive();
        holdComponentsForThisRun();
        m_log.LogMessage(u"The data folder "_s + path + u" cannot be used:"_s + CrLf + szErr + CrLf + CrLf +
                             u"It stays set for the next start; this run keeps its files in "_s + m_run.DataDir + u'.',
                         1);
        return;
    }
    SetDataPath(derive());
}

void DataFolder::holdComponentsForThisRun()
{
    // Beside "Path", the components keep the time of each user's cache file under their keys. Those
    // stored tell of the stored folder's files, and those written now would of this run's: the run
    // reads none of them and writes none, so the next start finds the stored folder's own.
    QStringList users;
    for (int16_t profile = 0; profile <= HighestProfileNumber; ++profile) {
        QString user;
        if (m_registry.GetRegValue(HKEY_CURRENT_USER, m_app.profileKey(profile), u"Username"_s, user) &&
            !user.isEmpty())
            users.append(user);
    }
    for (const QString& key : {sharedKey(), u"Software\\Pelborne\\Config"_s})
        m_registry.holdKeyForThisRun(HKEY_CURRENT_USER, key, users);
    // The components keep their caches in this run's folder too, without a word of it in the file,
    // so the next start tries the stored folder again.
    m_registry.holdForThisRun(HKEY_CURRENT_USER, sharedKey(), PathValue, m_run.DataDir);
}

DataFolder::Check DataFolder::CheckDataDirectory(QString& dataDir, bool hidden, const Migrator& migrate)
{
    m_log.LogMessage(u"CheckDataDirectory: current data directory: "_s + dataDir, 3);
    const QString configKey = m_app.configKey();
    int32_t status = StatusUnknown;
    if (!m_registry.GetRegWordValue(HKEY_CURRENT_USER, configKey, u"DataDirMigration"_s, status)) {
        m_log.LogMessage(u"CheckDataDirectory: DataDirMigration reg setting not found"_s, 6);
        status = StatusUnknown;
    } else {
        m_log.LogMessage(u"CheckDataDirectory: DataDirMigration reg setting: "_s + QString::number(status), 6);
    }
    int32_t newStatus = status;
    bool terminate = false;
    bool abandon = false;
    if (status == StatusUnknown || status == StatusFailed) {
        m_log.EnableDebugLogging();
        newStatus = checkSteps(dataDir, status, hidden, migrate, terminate, abandon);
        if (terminate)
            return Check::Terminate;
        if (abandon) {
            m_log.RestoreDebugLogging();
            return Check::Continue;
        }
    }
    if (newStatus != status) {
        m_log.LogMessage(
            u"CheckDataDirectory: updating DataDirMigration reg setting to "_s + QString::number(newStatus), 6);
        QString ignored;
        m_registry.WriteRegWordValue(HKEY_CURRENT_USER, configKey, u"DataDirMigration"_s, newStatus, ignored);
    }
    m_log.RestoreDebugLogging();
    return Check::Continue;
}

int32_t DataFolder::checkSteps(QString& dataDir, int32_t status, bool hidden, const Migrator& migrate, bool& terminate,
                               bool& abandon)
{
    if (dataDir.toLower() != m_programFolder.toLower())
        return StatusDone;
    QString appData;
    QString szErr;
    if (!GetSpecialFolderPath(appData, szErr)) {
        m_log.LogMessage(u"CheckDataDirectory: failed to get app data directory: "_s + szErr, 3);
        m_log.LogMessage(u"Data directory migration failed,"_s + CrLf + u"failed to get application data directory:"_s +
                             CrLf + szErr + CrLf + CrLf + u"Aborting data file migration."_s,
                         1);
        return StatusFailed;
    }
    if (!makeFolders(appData, PrivateMode, szErr)) {
        // Said once: at the start that had to fall back to the program's folder, or at the first check.
        const bool said = m_dataHomeReported || status == StatusFailed;
        m_log.LogMessage(u"CheckDataDirectory: application data directory doesn't exist:"_s + CrLf + appData + CrLf +
                             CrLf + u"Aborting data file mgiration."_s,
                         said ? 3 : 1);
        return StatusFailed;
    }
    if (hidden) {
        // Nobody is there to answer: ask at the next start with a window.
        m_log.LogMessage(u"CheckDataDirectory: running hidden, so not offering data directory migration"_s, 3);
        abandon = true;
        return status;
    }
    const QString target = QDir(appData).filePath(m_app.ProductName);
    const QString product = m_app.ProductName;
    const BoxAnswer answer = m_window.messageBox(
        u"Your "_s + product + u" data files are currently stored in"_s + CrLf + u"    "_s + dataDir + CrLf + CrLf +
            product + u" will move them to"_s + CrLf + u"    "_s + target + CrLf + CrLf + u"Do you want to allow "_s +
            product + u" to migrate your data directory?"_s,
        m_app.Title, BoxIcon::Question, BoxButtons::YesNoCancel);
    if (ProgramExit::begun()) {
        // The box was closed by the program's end (a signal), not by the user: nobody answered.
        m_log.LogMessage(u"CheckDataDirectory: program is ending, so the question stays for the next start"_s, 6);
        abandon = true;
        return status;
    }
    const QString word = answer == BoxAnswer::Yes ? u"yes "_s : answer == BoxAnswer::No ? u"no "_s : u"cancel "_s;
    m_log.LogMessage(u"CheckDataDirectory: user response: "_s + QString::number(int(answer)) + u" = "_s + word, 6);

    if (answer == BoxAnswer::No) {
        m_log.LogMessage(u"CheckDataDirectory: user declined migration, so taking no action"_s, 6);
        return StatusDeclined;
    }
    if (answer != BoxAnswer::Yes) {
        m_log.LogMessage(u"CheckDataDirectory: user cancelled migration, so aborting..."_s, 6);
        m_log.LogMessage(u"Data directory migration operation cancelled by user."_s + CrLf + CrLf + m_app.Title +
                             u" will now terminate."_s,
                         1);
        terminate = true;
        return status;
    }
    m_log.LogMessage(u"CheckDataDirectory: user wants to migrate data directory"_s, 6);
    if (FolderExists(target)) {
        m_log.LogMessage(u"CheckDataDirectory: directory already exists"_s, 6);
    } else if (!MakeFolder(target, szErr)) {
        m_log.LogMessage(u"Data directory migration failed,"_s + CrLf + u"failed to create target directory:"_s + CrLf +
                             target + CrLf + szErr + CrLf + CrLf + u"Aborting data file migration."_s,
                         1);
        abandon = true;
        return status;
    }
    const QString original = dataDir;
    QString migrateErr;
    if (migrate && migrate(original, target, migrateErr)) {
        SetDataPath(target);
        dataDir = target;
        return StatusDone;
    }
    SetDataPath(original);
    return StatusFailed;
}
