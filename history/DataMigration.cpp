// SPDX-License-Identifier: MIT
#include "DataMigration.h"

#include "LogFrontEnd.h"
#include "RunState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <dirent.h>

using namespace Qt::StringLiterals;

namespace {
const QString CrLf = u"\r\n"_s;
}

const QStringList& DataMigration::patterns()
{
    static const QStringList list{u"debug.*"_s, u"*.htm"_s, u"*.sl3"_s, u"*.csv"_s, u"*.xml"_s};
    return list;
}

DataMigration::DataMigration(LogFrontEnd& log, RunState& run, MigrationProgress& progress)
    : m_log(log), m_run(run), m_progress(progress)
{}

std::function<bool(const QString&, const QString&, QString&)> DataMigration::migrator()
{
    return [this](const QString& from, const QString& to, QString& szErr) { return DoMigration(from, to, szErr); };
}

std::optional<QStringList> DataMigration::dataFiles(const QString& folder, QString& error)
{
    // QDir lists a folder it cannot read as empty, which would pass for nothing to move.
    DIR* stream = ::opendir(QFile::encodeName(folder).constData());
    if (!stream) {
        const int code = errno;
        error = u'[' + QString::number(code) + u"] "_s + QString::fromLocal8Bit(std::strerror(code));
        return std::nullopt;
    }
    ::closedir(stream);
    QStringList names;
    const QDir dir(folder);
    for (const QString& pattern : patterns()) {
        for (const QString& name : dir.entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name)) {
            if (!names.contains(name))
                names.append(name);
        }
    }
    return names;
}

bool DataMigration::abort(QString& szErr)
{
    szErr = u"user-initiated abort during migration"_s;
    m_progress.setStatus(szErr);
    m_log.LogMessage(u"DoMigration: "_s + szErr, 2);
    m_progress.finished();
    return false;
}

DataMigration::Copy DataMigration::copyOne(const QString& from, const QString& to, const QString& name, QString& error)
{
    const QString source = QDir(from).filePath(name);
    const QString target = QDir(to).filePath(name);
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isFile()) {
        error = u"[-1] not a file: "_s + target;
        return Copy::Failed;
    }
    if (existing.exists() && existing.lastModified() > QFileInfo(source).lastModified()) {
        m_log.LogMessage(
            u"DoMigration: keeping newer "_s + name + u" in the destination, the older one stays in "_s + from, 3);
        return Copy::KeptNewer;
    }
    const QString temporary = target + u".migrating"_s;
    QFile::remove(temporary);
    QFile in(source);
    if (!in.copy(temporary)) {
        error = u"[-1] "_s + in.errorString();
        return Copy::Failed;
    }
    QFile::remove(target);
    QFile out(temporary);
    if (!out.rename(target)) {
        error = u"[-1] "_s + out.errorString();
        QFile::remove(temporary);
        return Copy::Failed;
    }
    return Copy::Copied;
}

bool DataMigration::DoMigration(const QString& from, const QString& to, QString& szErr)
{
    m_log.LogMessage(u"DoMigration: starting data file migration"_s, 3);
    m_log.LogMessage(u"DoMigration: source path: "_s + from, 6);
    m_log.LogMessage(u"DoMigration: destination path: "_s + to, 6);
    if (m_progress.cancelRequested())
        return abort(szErr);
    m_progress.setStatus(u"searching for data files in "_s + from);
    QString listError;
    const std::optional<QStringList> found = dataFiles(from, listError);
    if (!found) {
        szErr = u"DoMigration: GetFileList failed to retrieve file list:"_s + CrLf + listError;
        m_log.LogMessage(szErr, 1);
        m_progress.setStatus(szErr.mid(13));
        m_progress.finished();
        return false;
    }
    const QStringList& names = *found;
    if (names.isEmpty()) {
        szErr = u"DoMigration: no data files found to migrate"_s;
        m_log.LogMessage(szErr, 6);
        m_progress.setStatus(u"no data files found to migrate, nothing to do!"_s);
        m_progress.finished();
        return true;
    }
    const QString n = QString::number(names.size());
    m_log.LogMessage(u"DoMigration: found "_s + n + u" data files to migrate"_s, 6);
    // Names whose newer file in the new folder was kept: their old file was not copied, so it stays.
    QSet<QString> kept;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (m_progress.cancelRequested())
            return abort(szErr);
        const QString& name = names.at(i);
        m_progress.setStatus(u"copying file "_s + QString::number(i + 1) + u" of "_s + n + u": "_s + name);
        QString error;
        const Copy copy = copyOne(from, to, name, error);
        const bool ok = copy != Copy::Failed;
        m_log.LogMessage(u"DoMigration: copying "_s + name + u", return value: "_s + (ok ? u"True"_s : u"False"_s), 6);
        if (copy == Copy::KeptNewer)
            kept.insert(name);
        if (!ok) {
            szErr = u"DoMigration: failed to copy data file(s):"_s + CrLf + error;
            m_log.LogMessage(szErr, 1);
            m_progress.setStatus(u"Failed to copy data file(s):"_s + CrLf + error);
            m_progress.finished();
            return false;
        }
        // Only the log follows at once; the folder itself is stored when the move has succeeded.
        if (name.toLower() == u"debug.log"_s)
            m_run.DataDir = to;
    }
    // Every name has its file in the new folder: the move stands, whatever happens while deleting.
    QString deleteError;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        if (kept.contains(name))
            continue;
        QFile file(QDir(from).filePath(name));
        const bool ok = file.remove();
        m_log.LogMessage(u"DoMigration: deleting "_s + name + u", return value: "_s + (ok ? u"True"_s : u"False"_s), 6);
        if (!ok) {
            deleteError = u"[-1] "_s + file.errorString();
            m_log.LogMessage(u"DoMigration: file delete failed: "_s + deleteError, 4);
        }
        m_progress.setStatus(u"deleting file "_s + QString::number(i + 1) + u" of "_s + n + u": "_s + name);
    }
    m_log.LogMessage(u"DoMigration: successfully migrated "_s + n + u" data files"_s, 6);
    m_progress.setStatus(
        u"Successfully migrated "_s + n + u" data files"_s +
        (deleteError.isEmpty()
             ? QString()
             : u","_s + CrLf + u"failed to delete data file(s) in old data directory:"_s + CrLf + deleteError));
    m_progress.finished();
    return true;
}
