// SPDX-License-Identifier: MIT
#include "RegistryStore.h"

#include "RegistryFileFormat.h"
#include "RegistryHive.h"
#include "StandardLocations.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {
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
    if (RegistryFile::identify(path, identity) != 0)
        return {};
    if (m_cacheValid && path == m_cachedPath && identity == m_cachedIdentity)
        return m_cached;
    QByteArray bytes;
    if (RegistryFile::readAll(path, bytes, identity) != 0)
        return {}; // not cached: the next read tries again
    // An unparseable file reads as empty until a writer moves it aside.
    m_cached = RegistryFileFormat::parse(bytes).value_or(RegistryContent());
    m_cachedPath = path;
    m_cachedIdentity = identity;
    m_cacheValid = true;
    return m_cached;
}

bool RegistryStore::keyExists(const QString& key) const
{
    const std::optional<QStringList> path = RegistryContent::splitPath(key);
    return path && snapshot().hasKey(*path);
}

std::optional<RegistryValue> RegistryStore::value(const QString& key, const QString& name) const
{
    const std::optional<QStringList> path = RegistryContent::splitPath(key);
    if (!path)
        return std::nullopt;
    const RegistryContent content = snapshot();
    const RegistryValue* found = content.value(*path, name);
    return found ? std::optional<RegistryValue>(*found) : std::nullopt;
}

RegistryStore::Result RegistryStore::setValue(const QString& key, const QString& name, const RegistryValue& value)
{
    return modify(key, [&](RegistryContent& content, const QStringList& path) {
        content.setValue(path, name, value);
        return 0;
    });
}

RegistryStore::Result RegistryStore::deleteKey(const QString& key)
{
    return modify(key, [](RegistryContent& content, const QStringList& path) { return content.deleteKey(path); });
}

RegistryStore::Result RegistryStore::deleteValue(const QString& key, const QString& name)
{
    return modify(key, [&](RegistryContent& content, const QStringList& path) {
        return content.removeValue(path, name) ? 0 : ENOENT;
    });
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
    if (const int rc = RegistryFile::readAll(path, bytes, identity); rc != 0)
        return Unreadable{path, QString::fromLocal8Bit(std::strerror(rc)), {}};
    QString parseError;
    if (!identity.exists || RegistryFileFormat::parse(bytes, &parseError))
        return std::nullopt;
    Unreadable found{path, parseError, {}};
    if (const int rc = RegistryFile::moveAside(path, found.keptAs); rc != 0)
        found.reason += u"; it could not be moved aside: "_s + QString::fromLocal8Bit(std::strerror(rc));
    std::lock_guard guard(m_mutex);
    m_cacheValid = false;
    return found;
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
    if (const int rc = RegistryFile::readAll(path, bytes, identity); rc != 0)
        return {rc, {}};
    QString parseError;
    const std::optional<RegistryContent> parsed = RegistryFileFormat::parse(bytes, &parseError);
    RegistryContent content = parsed.value_or(RegistryContent());
    if (const int rc = change(content, *keyPath); rc != 0)
        return {rc, {}};

    const QByteArray serialised = RegistryFileFormat::serialise(content);
    // Rewriting identical content would cost two fsyncs for nothing; components store their
    // unchanged last-refresh value on every cached read.
    if (parsed && serialised == bytes)
        return {};

    Result result;
    if (!parsed) {
        QString keptAs;
        if (const int rc = RegistryFile::moveAside(path, keptAs); rc != 0)
            return {rc, {}};
        result = {UnreadableFile, u"The registry file could not be read (%1); it was kept as %2 and a fresh file "
                                  u"was started with this change."_s.arg(parseError, keptAs)};
    }
    std::function<void()> beforeReplace;
    {
        std::lock_guard guard(testSeams().mutex);
        beforeReplace = testSeams().beforeReplace;
    }
    RegistryFile::Identity written;
    if (const int rc = RegistryFile::replaceAtomically(path, serialised, written, beforeReplace); rc != 0)
        return {rc, {}};

    std::lock_guard guard(m_mutex);
    m_cached = content;
    m_cachedPath = path;
    m_cachedIdentity = written;
    m_cacheValid = true;
    return result;
}
