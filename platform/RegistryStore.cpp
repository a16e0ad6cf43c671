// SPDX-License-Identifier: MIT
#include "RegistryStore.h"

#include "RegistryFileFormat.h"
#include "RegistryHive.h"
#include "StandardLocations.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {
QString systemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Why a change was not made: the file is left for the user to mend.
QString refusal(const QString& path, const QString& reason)
{
    return u"%1 cannot be read (%2); changes are not saved until it is mended."_s.arg(path, reason);
}

struct TestSeams
{
    std::mutex mutex;
    QString currentUserPath;
    std::function<void()> beforeReplace;
};

TestSeams& testSeams()
{
    static TestSeams seams;
    return seams;
}
} // namespace

RegistryStore::RegistryStore(PathSource path) : m_path(std::move(path)) {}

RegistryStore& RegistryStore::currentUser()
{
    static RegistryStore store([] {
        TestSeams& seams = testSeams();
        std::lock_guard guard(seams.mutex);
        return seams.currentUserPath.isEmpty() ? defaultCurrentUserPath() : seams.currentUserPath;
    });
    return store;
}

QString RegistryStore::defaultCurrentUserPath()
{
    return StandardLocations::configHome() + u"/tallymeter/registry.reg"_s;
}

QString RegistryStore::defaultClassesRootPath()
{
    return StandardLocations::configHome() + u"/tallymeter/classes.reg"_s;
}

RegistryStore* RegistryStore::forHive(uint32_t hive)
{
    // The classes root holds the component libraries' registration in a file of its own; the
    // local machine stays an empty store that refuses changes.
    static RegistryStore classesRoot([] { return defaultClassesRootPath(); });
    static RegistryStore localMachine;
    switch (hive) {
    case HKEY_CURRENT_USER:
        return &currentUser();
    case HKEY_CLASSES_ROOT:
        return &classesRoot;
    case HKEY_LOCAL_MACHINE:
        return &localMachine;
    default:
        return nullptr;
    }
}

void RegistryStore::setCurrentUserPath(const QString& path)
{
    TestSeams& seams = testSeams();
    std::lock_guard guard(seams.mutex);
    seams.currentUserPath = path;
}

void RegistryStore::setBeforeReplaceHook(std::function<void()> hook)
{
    TestSeams& seams = testSeams();
    std::lock_guard guard(seams.mutex);
    seams.beforeReplace = std::move(hook);
}

QString RegistryStore::filePath() const
{
    return m_path ? m_path() : QString();
}

RegistryContent RegistryStore::snapshot() const
{
    const QString path = filePath();
    if (path.isEmpty())
        return {};
    std::lock_guard guard(m_mutex);
    RegistryFile::Identity identity;
    int rc = RegistryFile::identify(path, identity);
    if (rc == 0) {
        if (m_cacheValid && path == m_cachedPath && identity == m_cachedIdentity)
            return m_cached;
        // A damaged file is looked at again once it changed.
        if (m_unreadable && m_unreadable->file == path && identity == m_unreadableIdentity)
            return lastRead(path);
    }
    QByteArray bytes;
    if (rc == 0)
        rc = RegistryFile::readAll(path, bytes, identity);
    if (rc != 0) {
        noteUnreadable(path, systemText(rc), {});
        return lastRead(path);
    }
    QString parseError;
    const std::optional<RegistryContent> parsed = RegistryFileFormat::parse(bytes, &parseError);
    if (!parsed) {
        noteUnreadable(path, parseError, identity);
        return lastRead(path);
    }
    noteReadable(path, *parsed, identity);
    return m_cached;
}

RegistryContent RegistryStore::lastRead(const QString& path) const
{
    return m_cacheValid && path == m_cachedPath ? m_cached : RegistryContent();
}

bool RegistryStore::leavesLastReadAsItIs(const QString& path,
                                         const std::function<int(RegistryContent&, const QStringList&)>& change,
                                         const QStringList& keyPath) const
{
    // A window that stores its unchanged options as it opens has nothing to save; refusing it
    // would only raise a box for each while the file waits to be mended.
    if (!m_cacheValid || path != m_cachedPath)
        return false;
    RegistryContent content = m_cached;
    return change(content, keyPath) == 0 && content == m_cached;
}

void RegistryStore::noteUnreadable(const QString& path, const QString& reason,
                                   const RegistryFile::Identity& identity) const
{
    // Another slip in a file that is still damaged is the same damage to the user.
    if (!m_unreadable || m_unreadable->file != path) {
        m_unreadable = Unreadable{path, reason, {}};
        m_unreadableHandedOver = false;
    }
    m_unreadableIdentity = identity;
}

void RegistryStore::noteReadable(const QString& path, const RegistryContent& content,
                                 const RegistryFile::Identity& identity) const
{
    m_cached = content;
    m_cachedPath = path;
    m_cachedIdentity = identity;
    m_cacheValid = true;
    m_unreadable.reset();
    m_unreadableHandedOver = false;
}

const RegistryContent* RegistryStore::heldFor(const QString& path) const
{
    return path == m_heldPath ? &m_held : nullptr;
}

RegistryContent& RegistryStore::holdsFor(const QString& path)
{
    if (path != m_heldPath) {
        m_held = RegistryContent();
        m_heldKeys.clear();
        m_heldPath = path;
    }
    return m_held;
}

bool RegistryStore::keyHeld(const QString& filePath, const QStringList& path) const
{
    return filePath == m_heldPath && std::any_of(m_heldKeys.cbegin(), m_heldKeys.cend(), [&](const QStringList& held) {
               return std::equal(
                   held.cbegin(), held.cend(), path.cbegin(), path.cend(),
                   [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; });
           });
}

bool RegistryStore::keyExists(const QString& key) const
{
    const std::optional<QStringList> path = RegistryContent::splitPath(key);
    if (!path)
        return false;
    {
        std::lock_guard guard(m_mutex);
        const QString file = filePath();
        if (const RegistryContent* held = heldFor(file); held && held->hasKey(*path))
            return true;
        if (keyHeld(file, *path))
            return false;
    }
    return snapshot().hasKey(*path);
}

std::optional<RegistryValue> RegistryStore::value(const QString& key, const QString& name) const
{
    const std::optional<QStringList> path = RegistryContent::splitPath(key);
    if (!path)
        return std::nullopt;
    {
        std::lock_guard guard(m_mutex);
        const QString file = filePath();
        const RegistryContent* held = heldFor(file);
        if (const RegistryValue* found = held ? held->value(*path, name) : nullptr)
            return *found;
        if (keyHeld(file, *path))
            return std::nullopt;
    }
    const RegistryContent content = snapshot();
    const RegistryValue* found = content.value(*path, name);
    return found ? std::optional<RegistryValue>(*found) : std::nullopt;
}

bool RegistryStore::holdForThisRun(const QString& key, const QString& name, const RegistryValue& value)
{
    const std::optional<QStringList> path = RegistryContent::splitPath(key);
    if (!path)
        return false;
    const QString file = filePath();
    std::lock_guard guard(m_mutex);
    holdsFor(file).setValue(*path, name, value);
    return true;
}

bool RegistryStore::holdKeyForThisRun(const QString& key, const QStringList& dropped)
{
    const std::optional<QStringList> path = RegistryContent::splitPath(key);
    if (!path)
        return false;
    const QString file = filePath();
    const RegistryContent stored = snapshot();
    std::lock_guard guard(m_mutex);
    RegistryContent& held = holdsFor(file);
    if (keyHeld(file, *path))
        return true;
    held.createKey(*path);
    if (const RegistryContent::Key* found = stored.key(*path)) {
        for (const auto& [name, value] : found->values) {
            if (!dropped.contains(name, Qt::CaseInsensitive) && !held.value(*path, name))
                held.setValue(*path, name, value);
        }
    }
    m_heldKeys.append(*path);
    return true;
}

std::optional<RegistryStore::Result>
RegistryStore::changeHeld(const QString& key, const std::function<int(RegistryContent&, const QStringList&)>& change)
{
    const std::optional<QStringList> path = RegistryContent::splitPath(key);
    const QString file = filePath();
    std::lock_guard guard(m_mutex);
    if (!path || !keyHeld(file, *path))
        return std::nullopt;
    return Result{change(m_held, *path), {}};
}

void RegistryStore::endHold(const QString& key, const std::function<void(RegistryContent&, const QStringList&)>& drop)
{
    const std::optional<QStringList> path = RegistryContent::splitPath(key);
    const QString file = filePath();
    std::lock_guard guard(m_mutex);
    if (path && file == m_heldPath)
        drop(m_held, *path);
}

RegistryStore::Result RegistryStore::change(const QString& key,
                                            const std::function<int(RegistryContent&, const QStringList&)>& change,
                                            const std::function<void(RegistryContent&, const QStringList&)>& drop)
{
    if (const std::optional<Result> held = changeHeld(key, change))
        return *held;
    const Result result = modify(key, change);
    if (result.ok())
        endHold(key, drop);
    return result;
}

RegistryStore::Result RegistryStore::setValue(const QString& key, const QString& name, const RegistryValue& value)
{
    return change(
        key,
        [&](RegistryContent& content, const QStringList& path) {
            content.setValue(path, name, value);
            return 0;
        },
        [&](RegistryContent& held, const QStringList& path) { held.removeValue(path, name); });
}

RegistryStore::Result RegistryStore::deleteKey(const QString& key)
{
    return change(
        key, [](RegistryContent& content, const QStringList& path) { return content.deleteKey(path); },
        [](RegistryContent& held, const QStringList& path) { held.deleteKey(path); });
}

RegistryStore::Result RegistryStore::deleteValue(const QString& key, const QString& name)
{
    return change(
        key,
        [&](RegistryContent& content, const QStringList& path) { return content.removeValue(path, name) ? 0 : ENOENT; },
        [&](RegistryContent& held, const QStringList& path) { held.removeValue(path, name); });
}

std::optional<RegistryStore::Unreadable> RegistryStore::setAsideUnreadable()
{
    const QString path = filePath();
    if (path.isEmpty())
        return std::nullopt;
    RegistryFile::Lock lock;
    // Without the lock file's folder there is no file either; a lock that cannot be had leaves
    // the check to the next change, which cannot be made without it.
    if (!QFileInfo(path).absoluteDir().exists() || lock.acquire(path + u".lock"_s) != 0)
        return std::nullopt;
    QByteArray bytes;
    RegistryFile::Identity identity;
    // The caller tells the user of what it is handed, so a file left in place is not told again.
    const auto leftInPlace = [&](const Unreadable& found) {
        std::lock_guard guard(m_mutex);
        noteUnreadable(path, found.reason, identity);
        m_unreadableHandedOver = true;
        return found;
    };
    if (const int rc = RegistryFile::readAll(path, bytes, identity); rc != 0)
        return leftInPlace({path, systemText(rc), {}});
    QString parseError;
    if (!identity.exists || RegistryFileFormat::parse(bytes, &parseError))
        return std::nullopt;
    Unreadable found{path, parseError, {}};
    if (const int rc = RegistryFile::moveAside(path, found.keptAs); rc != 0) {
        found.reason += u"; it could not be moved aside: "_s + systemText(rc);
        return leftInPlace(found);
    }
    std::lock_guard guard(m_mutex);
    m_cacheValid = false;
    m_unreadable.reset();
    m_unreadableHandedOver = false;
    return found;
}

std::optional<RegistryStore::Unreadable> RegistryStore::unreadableToTell()
{
    std::lock_guard guard(m_mutex);
    if (!m_unreadable || m_unreadableHandedOver)
        return std::nullopt;
    m_unreadableHandedOver = true;
    return m_unreadable;
}

std::optional<RegistryStore::Unreadable> RegistryStore::unreadable() const
{
    // Looked at afresh: the file may have been mended since a read last met it.
    snapshot();
    std::lock_guard guard(m_mutex);
    return m_unreadable;
}

RegistryStore::Result RegistryStore::modify(const QString& key,
                                            const std::function<int(RegistryContent&, const QStringList&)>& change)
{
    const QString path = filePath();
    if (path.isEmpty())
        return {EACCES, {}};
    const std::optional<QStringList> keyPath = RegistryContent::splitPath(key);
    if (!keyPath)
        return {EINVAL, {}};
    if (const int rc = RegistryFile::ensureFolder(QFileInfo(path).absolutePath()); rc != 0)
        return {rc, {}};
    RegistryFile::Lock lock;
    if (const int rc = lock.acquire(path + u".lock"_s); rc != 0)
        return {rc, {}};
    RegistryFile::removeLeftoverTemporaries(path);

    // Always read afresh under the lock: a cached copy could miss another writer's last change.
    QByteArray bytes;
    RegistryFile::Identity identity;
    if (const int rc = RegistryFile::readAll(path, bytes, identity); rc != 0) {
        std::lock_guard guard(m_mutex);
        noteUnreadable(path, systemText(rc), {});
        if (leavesLastReadAsItIs(path, change, *keyPath))
            return {};
        return {rc, refusal(path, systemText(rc))};
    }
    // Whatever a person wrote stays for them to mend: a change made over it would lose every value
    // the file holds.
    QString parseError;
    const std::optional<RegistryContent> parsed = RegistryFileFormat::parse(bytes, &parseError);
    {
        std::lock_guard guard(m_mutex);
        if (!parsed) {
            noteUnreadable(path, parseError, identity);
            if (leavesLastReadAsItIs(path, change, *keyPath))
                return {};
            return {UnreadableFile, refusal(path, parseError)};
        }
        noteReadable(path, *parsed, identity);
    }
    RegistryContent content = *parsed;
    if (const int rc = change(content, *keyPath); rc != 0)
        return {rc, {}};

    const QByteArray serialised = RegistryFileFormat::serialise(content);
    // Rewriting identical content would cost two fsyncs for nothing; components store their
    // unchanged last-refresh value on every cached read.
    if (serialised == bytes)
        return {};

    std::function<void()> beforeReplace;
    {
        std::lock_guard guard(testSeams().mutex);
        beforeReplace = testSeams().beforeReplace;
    }
    RegistryFile::Identity written;
    if (const int rc = RegistryFile::replaceAtomically(path, serialised, written, beforeReplace); rc != 0)
        return {rc, {}};

    std::lock_guard guard(m_mutex);
    noteReadable(path, content, written);
    return {};
}
