// SPDX-License-Identifier: MIT
#include "DataMigration.h"

#include "ApiErrors.h"
#include "AtomicFileWriter.h"
#include "FileFunctions.h"
#include "LogFrontEnd.h"
#include "PathIgnoringCase.h"
#include "RunState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
const QString CrLf = u"\r\n"_s;

QString systemError(int code)
{
    return u'[' + QString::number(code) + u"] "_s + GetAPIErrorStr(code);
}

QString inFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}

// Copies source over target in one step (a failed copy leaves target as it was); 0, or the
// system error of the step that failed.
int copyFile(const QString& source, const QString& target)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(source).constData(), &st) != 0)
        return errno;
    QByteArray bytes;
    if (const int err = ReadFileBytes(source, bytes))
        return err;
    return AtomicFileWriter::write(QFile::encodeName(target), bytes,
                                   {.newFileMode = mode_t(st.st_mode & 07777), .hiddenTemporary = true});
}
} // namespace

const QStringList& DataMigration::patterns()
{
    static const QStringList list{u"debug.*"_s, u"*.htm"_s, u"*.sl3"_s, u"*.csv"_s, u"*.xml"_s};
    return list;
}

DataMigration::DataMigration(LogFrontEnd& log, RunState& run, MigrationProgress& progress)
    : m_log(log), m_run(run), m_progress(progress)
{}

bool DataMigration::GetFileList(const QString& folder, const QString& pattern, QStringList& list, QString& error)
{
    // QDir lists a folder it cannot read as empty, which would pass for nothing to move.
    DIR* stream = ::opendir(QFile::encodeName(folder).constData());
    if (!stream) {
        error = systemError(errno);
        return false;
    }
    ::closedir(stream);
    for (const QString& name : QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name)) {
        if (!list.contains(name))
            list.append(name);
    }
    return true;
}

bool DataMigration::abort(QString& szErr)
{
    szErr = u"user-initiated abort during migration"_s;
    m_progress.setStatus(szErr);
    m_log.LogMessage(u"DoMigration: "_s + szErr, 2);
    m_progress.finished();
    return false;
}

DataMigration::Copy DataMigration::copyOne(const QString& from, const QString& to, const QString& name,
                                           QSet<QString>& written, QString& error)
{
    const QString source = QDir(from).filePath(name);
    // A file already in the new folder under the name in other letters is the same file to the
    // account; two files of this move whose names differ so each keep their own.
    QString target = PathIgnoringCase(to, name);
    if (written.contains(target))
        target = to + u'/' + name;
    const QFileInfo existing(target);
    if (existing.isDir()) {
        error = systemError(EISDIR);
        return Copy::Failed;
    }
    if (existing.exists() && existing.lastModified() > QFileInfo(source).lastModified()) {
        m_log.LogMessage(
            u"DoMigration: keeping newer "_s + name + u" in the destination, the older one stays in "_s + from, 3);
        return Copy::KeptNewer;
    }
    if (const int err = copyFile(source, target)) {
        error = systemError(err);
        return Copy::Failed;
    }
    written.insert(target);
    return Copy::Copied;
}

bool DataMigration::DoMigration(const QString& from, const QString& to, QString& szErr)
{
    m_log.LogMessage(u"DoMigration: starting data file migration"_s, 3);
    m_log.LogMessage(u"DoMigration: source path: "_s + from, 6);
    m_log.LogMessage(u"DoMigration: destination path: "_s + to, 6);
    QStringList names;
    for (const QString& pattern : patterns()) {
        if (m_progress.cancelRequested())
            return abort(szErr);
        m_progress.setStatus(u"searching for "_s + inFolder(from, pattern));
        QString listError;
        if (!GetFileList(from, pattern, names, listError)) {
            szErr = u"DoMigration: GetFileList failed to retrieve file list:"_s + CrLf + listError;
            m_log.LogMessage(szErr, 1);
            m_progress.setStatus(szErr.mid(13));
            m_progress.finished();
            return false;
        }
    }
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
    QSet<QString> written;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (m_progress.cancelRequested())
            return abort(szErr);
        const QString& name = names.at(i);
        m_progress.setStatus(u"copying file "_s + QString::number(i + 1) + u" of "_s + n + u": "_s + name);
        QString error;
        const Copy copy = copyOne(from, to, name, written, error);
        const bool ok = copy != Copy::Failed;
        // Only the log follows at once, so that this line already lands in the log that stays; the
        // folder itself is stored when the move has succeeded.
        if (ok && name.toLower() == u"debug.log"_s)
            m_run.DataDir = to;
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
    }
    // Every name has its file in the new folder: the move stands, whatever happens while deleting.
    QString deleteError;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        if (kept.contains(name))
            continue;
        int32_t code = 0;
        QString text;
        const bool ok = MyDeleteFile(QDir(from).filePath(name), code, text);
        m_log.LogMessage(u"DoMigration: deleting "_s + name + u", return value: "_s + (ok ? u"True"_s : u"False"_s), 6);
        if (!ok) {
            deleteError = u'[' + QString::number(code) + u"] "_s + text;
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
