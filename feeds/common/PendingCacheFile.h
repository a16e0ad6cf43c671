// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// A fetched reply waits in a hidden file beside the cache file until the retrieval has succeeded,
// and only then replaces the cache file, so a failed or refused fetch never costs the last good
// reply. The pending file's modification time is the time of the reply (the data's last update),
// and the cache file takes it over.
//
// Another copy of the program may be fetching the same account at the same moment (a scheduled
// hidden run beside the desktop copy), so every retrieval parks its reply in a file of its own
// name, and removes only that one when it goes. A file that a killed run left behind is no
// retrieval's once it is older than the longest a fetch can wait; each new retrieval clears such
// files of its cache file.
class PendingCacheFile
{
public:
    // The longest a fetch can wait for the provider, with the longest time-out the components
    // take.
    static const int64_t StaleAfterSeconds;

    explicit PendingCacheFile(QString cacheFile);
    ~PendingCacheFile();
    PendingCacheFile(const PendingCacheFile&) = delete;
    PendingCacheFile& operator=(const PendingCacheFile&) = delete;

    // The pending file's path, once save() made it.
    const QString& path() const { return m_path; }
    // Clears what killed runs left, then stores the bytes exactly in a new file of this object's
    // own; raises RunTimeError with source "SaveFile" as SaveFile does.
    void save(const QByteArray& bytes);
    // Replaces the cache file's content with the saved bytes under SaveFile's rules (atomic, a
    // read-only file refused, a link written through) and gives it the pending file's time; raises
    // RunTimeError as SaveFile does.
    void commit();

    // Whether a file name (without folder) is one of the cache file's pending files, this
    // release's or the single one an earlier release used.
    static bool isPendingName(const QString& name, const QString& cacheFileName);

private:
    void removeStale() const;

    QString m_cacheFile;
    QString m_path;
    QByteArray m_bytes;
    bool m_saved = false;
};
