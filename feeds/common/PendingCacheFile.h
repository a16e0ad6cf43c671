// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// A fetched reply waits in a hidden file beside the cache file until the retrieval has succeeded,
// and only then replaces the cache file, so a failed or refused fetch never costs the last good
// reply. The pending file's modification time is the time of the reply (the data's last update),
// and the cache file takes it over. The object removes its pending file when it goes.
class PendingCacheFile
{
public:
    explicit PendingCacheFile(QString cacheFile);
    ~PendingCacheFile();
    PendingCacheFile(const PendingCacheFile&) = delete;
    PendingCacheFile& operator=(const PendingCacheFile&) = delete;

    const QString& path() const { return m_path; }
    // Stores the bytes exactly; raises RunTimeError with source "SaveFile" as SaveFile does.
    void save(const QByteArray& bytes);
    // Replaces the cache file's content with the saved bytes under SaveFile's rules (atomic, a
    // read-only file refused, a link written through) and gives it the pending file's time; raises
    // RunTimeError as SaveFile does.
    void commit();

private:
    QString m_cacheFile;
    QString m_path;
    QByteArray m_bytes;
    bool m_saved = false;
};
