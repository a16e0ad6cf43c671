// SPDX-License-Identifier: MIT
#include "RegistryContent.h"

#include <cerrno>

using namespace Qt::StringLiterals;

RegistryContent::RegistryContent()
{
    m_keys.insert(QString(), Key{});
}

std::optional<QStringList> RegistryContent::splitPath(const QString& path)
{
    if (path.isEmpty())
        return QStringList();
    if (path.count(u'\\') >= MaxDepth)
        return std::nullopt;
    QStringList parts = path.split(u'\\');
    for (const QString& part : parts) {
        if (part.isEmpty())
            return std::nullopt;
    }
    return parts;
}

QString RegistryContent::foldedComponent(const QString& component)
{
    // A backslash inside a component is escaped, so that joining with one keeps distinct paths
    // distinct, and a key's subkeys are exactly the keys that start with its own and a backslash.
    QString folded = component.toCaseFolded();
    folded.replace(u'%', u"%25"_s).replace(u'\\', u"%5C"_s);
    return folded;
}

QString RegistryContent::foldedPath(const QStringList& path)
{
    QString folded;
    for (const QString& part : path) {
        if (!folded.isEmpty())
            folded += u'\\';
        folded += foldedComponent(part);
    }
    return folded;
}

bool RegistryContent::hasKey(const QStringList& path) const
{
    return m_keys.contains(foldedPath(path));
}

const RegistryContent::Key* RegistryContent::key(const QStringList& path) const
{
    const auto it = m_keys.constFind(foldedPath(path));
    return it == m_keys.cend() ? nullptr : &*it;
}

bool RegistryContent::hasSubkeys(const QStringList& path) const
{
    if (path.isEmpty())
        return m_keys.size() > 1;
    const QString prefix = foldedPath(path) + u'\\';
    const auto it = m_keys.lowerBound(prefix);
    return it != m_keys.cend() && it.key().startsWith(prefix);
}

RegistryContent::Key& RegistryContent::ensureKey(const QStringList& path)
{
    // A key that exists costs one look-up.
    auto it = m_keys.find(foldedPath(path));
    if (it != m_keys.end())
        return *it;
    it = m_keys.find(QString());
    QString folded;
    for (const QString& part : path) {
        if (!folded.isEmpty())
            folded += u'\\';
        folded += foldedComponent(part);
        auto child = m_keys.find(folded);
        // A parent that exists lends its own spelling to the path of the new child.
        if (child == m_keys.end())
            child = m_keys.insert(folded, Key{it->path + QStringList(part), {}});
        it = child;
    }
    return *it;
}

void RegistryContent::createKey(const QStringList& path)
{
    ensureKey(path);
}

int RegistryContent::deleteKey(const QStringList& path)
{
    if (path.isEmpty())
        return EPERM;
    auto it = m_keys.find(foldedPath(path));
    if (it == m_keys.end())
        return ENOENT;
    if (hasSubkeys(path))
        return ENOTEMPTY;
    m_keys.erase(it);
    return 0;
}

const RegistryValue* RegistryContent::value(const QStringList& path, const QString& name) const
{
    const auto key = m_keys.constFind(foldedPath(path));
    if (key == m_keys.cend())
        return nullptr;
    const auto it = key->values.constFind(name.toCaseFolded());
    return it == key->values.cend() ? nullptr : &it->second;
}

void RegistryContent::setValue(const QStringList& path, const QString& name, const RegistryValue& value)
{
    setValueIn(ensureKey(path), name, value);
}

void RegistryContent::setValues(const QStringList& path, const Values& values)
{
    Key& key = ensureKey(path);
    for (const auto& [name, value] : values)
        setValueIn(key, name, value);
}

void RegistryContent::setValueIn(Key& key, const QString& name, const RegistryValue& value)
{
    const QString folded = name.toCaseFolded();
    auto it = key.values.find(folded);
    if (it == key.values.end())
        key.values.insert(folded, {name, value});
    else
        it->second = value;
}

bool RegistryContent::removeValue(const QStringList& path, const QString& name)
{
    const auto key = m_keys.find(foldedPath(path));
    return key != m_keys.end() && key->values.remove(name.toCaseFolded()) > 0;
}
