// SPDX-License-Identifier: MIT
#include "RegistryContent.h"

#include <cerrno>

RegistryContent::RegistryContent()
{
    m_keys.insert(QString(), Key{});
}

std::optional<QStringList> RegistryContent::splitPath(const QString& path)
{
    if (path.isEmpty())
        return QStringList();
    QStringList parts = path.split(u'\\');
    for (const QString& part : parts) {
        if (part.isEmpty())
            return std::nullopt;
    }
    return parts;
}

QString RegistryContent::foldedPath(const QStringList& path)
{
    // Components never hold a backslash, so joining with one keeps distinct paths distinct.
    return path.join(u'\\').toCaseFolded();
}

bool RegistryContent::hasKey(const QStringList& path) const
{
    return m_keys.contains(foldedPath(path));
}

bool RegistryContent::hasSubkeys(const QStringList& path) const
{
    const QString prefix = path.isEmpty() ? QString() : foldedPath(path) + u'\\';
    auto it = m_keys.lowerBound(prefix);
    if (it != m_keys.cend() && it.key() == foldedPath(path))
        ++it;
    return it != m_keys.cend() && it.key().startsWith(prefix);
}

RegistryContent::Key& RegistryContent::ensureKey(const QStringList& path)
{
    QStringList spelled;
    Key* key = &m_keys[QString()];
    for (const QString& part : path) {
        // A parent that exists lends its own spelling to the path of the new child.
        spelled.append(part);
        const QString folded = foldedPath(spelled);
        auto it = m_keys.find(folded);
        if (it == m_keys.end())
            it = m_keys.insert(folded, Key{spelled, {}});
        spelled = it->path;
        key = &*it;
    }
    return *key;
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
    Key& key = ensureKey(path);
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
