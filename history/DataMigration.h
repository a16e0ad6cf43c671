// SPDX-License-Identifier: MIT
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class LogFrontEnd;
struct RunState;

// What the person sees of a data-file move: a status line and a Cancel button. The run-once mode
// shows it on standard error and never cancels.
class MigrationProgress
{
public:
    virtual ~MigrationProgress() = default;
    virtual void setStatus(const QString& text) = 0;
    virtual bool cancelRequested() = 0;
    // The move has ended: the Cancel button becomes OK; returns once the person has closed it.
    virtual void finished() = 0;
};

// Moves the data files from the old data folder into the new one: every file is copied under a
// temporary name and renamed, a newer file already in the new folder (under the name in any
// letters) is kept and the old one then stays where it was, and the old files are deleted only
// once every copy has succeeded. Only the log follows the move at once (from the moment it was
// copied); the caller stores the new folder when the move succeeded. Error texts carry the
// system's error number and message.
class DataMigration
{
public:
    static const QStringList& patterns();

    DataMigration(LogFrontEnd& log, RunState& run, MigrationProgress& progress);

    // True when everything was moved or there was nothing to move.
    bool DoMigration(const QString& from, const QString& to, QString& szErr);

    // Appends the files of folder that match pattern and that list lacks; false with the error
    // text when the folder cannot be listed.
    static bool GetFileList(const QString& folder, const QString& pattern, QStringList& list, QString& error);

private:
    enum class Copy { Copied, KeptNewer, Failed };

    bool abort(QString& szErr);
    // Failed with the error text when the file could not be put into the new folder. written: the
    // files this move has put there so far.
    Copy copyOne(const QString& from, const QString& to, const QString& name, QSet<QString>& written, QString& error);

    LogFrontEnd& m_log;
    RunState& m_run;
    MigrationProgress& m_progress;
};
