// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryContent.h"
#include "RegistryFile.h"
#include "RegistryValue.h"

#include <QString>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

// Stands in for a registry hive: a typed key/value store kept in one human-editable text file
// (see RegistryFileFormat). Several processes share the file safely: every change is a
// read-modify-write under an exclusive lock, saved by replacing the file atomically, and readers
// pick up other processes' changes by re-reading whenever the file changed.
//
// A file that cannot be read or parsed is never written over. A program checks the file with
// setAsideUnreadable() as it starts, which keeps a damaged file aside so that the program starts
// afresh and can say so. A file that goes bad later (a slip in a hand edit while the program runs)
// is left as it is: readers keep the content last read well, every change is refused, and
// unreadableToTell() hands the damage over, once until the file reads again, to whoever tells the
// user; that one keeps it until the user has seen it.
//
// The current user's store is one per process (it lives in a shared library of its own), so the
// component libraries read what the program reads: the content last read well included.
class RegistryStore
{
public:
    // A file that could not be read or parsed.
    struct Unreadable
    {
        QString file;
        // "line 3: malformed value", or the system's text when the file could not be read at all.
        QString reason;
        // Where the file was moved; empty when it was left in its place.
        QString keptAs;
    };

    // code 0 on success, otherwise an errno value; message, when set, replaces the system's text.
    struct Result
    {
        int code = 0;
        QString message;

        bool ok() const { return code == 0; }
    };

    // Error code of a change refused because the file cannot be parsed (a file that cannot be read
    // at all gives the system's error); the message names the file and the reason.
    static constexpr int UnreadableFile = EBADMSG;

    using PathSource = std::function<QString()>;

    // Backed by the file that `path` names at each call. Without a path source the store holds
    // nothing and refuses every change (EACCES).
    explicit RegistryStore(PathSource path = {});
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // The current user's hive, at $XDG_CONFIG_HOME/tallymeter/registry.reg (resolved per call).
    static RegistryStore& currentUser();
    static QString defaultCurrentUserPath();
    // The classes root (component registration), at $XDG_CONFIG_HOME/tallymeter/classes.reg.
    static QString defaultClassesRootPath();
    // The store behind a hive handle; nullptr for a handle that names no hive. The local machine
    // holds nothing here and refuses changes.
    static RegistryStore* forHive(uint32_t hive);

    // Test seams: back the current user's hive by another file (empty restores the default), and
    // run a hook between completing the temporary file and renaming it over the old one.
    static void setCurrentUserPath(const QString& path);
    static void setBeforeReplaceHook(std::function<void()> hook);

    QString filePath() const;

    bool keyExists(const QString& key) const;
    std::optional<RegistryValue> value(const QString& key, const QString& name) const;

    // Creates the whole key path as needed. EINVAL for a key path with an empty component or
    // deeper than RegistryContent::MaxDepth, which no reader could find again.
    Result setValue(const QString& key, const QString& name, const RegistryValue& value);
    // ENOENT for a missing key, ENOTEMPTY for a key with subkeys.
    Result deleteKey(const QString& key);
    // ENOENT when the key or the value is missing.
    Result deleteValue(const QString& key, const QString& name);

    // A value for this run only: readers of this store see it in place of whatever the file holds,
    // and no change ever writes it to the file. It belongs to the file the store is backed by now,
    // and ends when a change of the store sets, deletes or takes away that value. False for a key
    // path that no reader could find.
    bool holdForThisRun(const QString& key, const QString& name, const RegistryValue& value);
    // The values under key become this run's own, held as above: from now on readers see the key's
    // values as it holds them now, less those named in `dropped`, with every change made since, and
    // no change of them reaches the file. False for a key path that no reader could find.
    bool holdKeyForThisRun(const QString& key, const QStringList& dropped);

    // Moves a file that cannot be parsed aside now, under the name the next change would give it,
    // so that the store starts empty and nothing is ever written over the copy. A file that
    // cannot be read at all stays where it is. nullopt when the file is missing or reads well.
    std::optional<Unreadable> setAsideUnreadable();

    // The file's damage when it cannot be read as it stands and it has not been handed out since
    // it went bad; nullopt otherwise. Each damage is handed out once; a file that reads well again
    // and then goes bad again is handed out again. Known only once a read or a change met the file.
    std::optional<Unreadable> unreadableToTell();
    // The damage of the file as it stands now, handed out or not; nullopt while it reads well.
    std::optional<Unreadable> unreadable() const;

private:
    RegistryContent snapshot() const;
    // The content last read well from `path`; empty when there is none. Needs m_mutex.
    RegistryContent lastRead(const QString& path) const;
    // Whether change would leave the content last read from path as it is. Called with m_mutex held.
    bool leavesLastReadAsItIs(const QString& path,
                              const std::function<int(RegistryContent&, const QStringList&)>& change,
                              const QStringList& keyPath) const;
    // Needs m_mutex. identity: of the damaged file, so that it is not read again until it changes.
    void noteUnreadable(const QString& path, const QString& reason, const RegistryFile::Identity& identity) const;
    void noteReadable(const QString& path, const RegistryContent& content,
                      const RegistryFile::Identity& identity) const;
    Result modify(const QString& key, const std::function<int(RegistryContent&, const QStringList&)>& change);
    // The values held for this run for the file at path; nullptr for another file. Needs m_mutex.
    const RegistryContent* heldFor(const QString& path) const;
    // The same to change, emptied first when it belonged to another file. Needs m_mutex.
    RegistryContent& holdsFor(const QString& path);
    // After a change that succeeded: drop takes what it touched out of the values held.
    void endHold(const QString& key, const std::function<void(RegistryContent&, const QStringList&)>& drop);
    // Whether the key at path is one of this run's own for the file at filePath. Needs m_mutex.
    bool keyHeld(const QString& filePath, const QStringList& path) const;
    // A change of the store: to the values held where the key is this run's own, else to the file,
    // after which drop takes what it touched out of the values held.
    Result change(const QString& key, const std::function<int(RegistryContent&, const QStringList&)>& change,
                  const std::function<void(RegistryContent&, const QStringList&)>& drop);
    // A change of a key that is this run's own, made to the values held; nullopt for any other key.
    std::optional<Result> changeHeld(const QString& key,
                                     const std::function<int(RegistryContent&, const QStringList&)>& change);

    PathSource m_path;
    mutable std::mutex m_mutex;
    mutable bool m_cacheValid = false;
    mutable QString m_cachedPath;
    mutable RegistryFile::Identity m_cachedIdentity;
    mutable RegistryContent m_cached; // implicitly shared, so handing out copies is cheap
    mutable std::optional<Unreadable> m_unreadable;
    mutable RegistryFile::Identity m_unreadableIdentity;
    mutable bool m_unreadableHandedOver = false;
    QString m_heldPath;
    RegistryContent m_held;
    QList<QStringList> m_heldKeys; // of the file at m_heldPath
};
