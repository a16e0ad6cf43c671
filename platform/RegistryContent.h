// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryValue.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// The keys and values of one hive, held in memory. Key path components and value names compare
// without regard to letter case but keep the spelling they were first written with. Keys exist
// in their own right: creating A\B\C creates A and A\B, and deleting A\B\C leaves A\B behind.
// The root (the empty path) always exists. A component may hold any character, a backslash too
// (only a hand-edited file can give it one); paths given as text cannot name such a component.
class RegistryContent
{
public:
    // Deeper keys are refused (by splitPath and by the file reader): every key stores its whole
    // path, so the cost of a key grows with its depth, and no real key comes near this.
    static constexpr qsizetype MaxDepth = 64;

    struct Key
    {
        QStringList path; // as first written
        // Folded name -> (name as first written, value). The default value has the name "".
        QMap<QString, std::pair<QString, RegistryValue>> values;

        friend bool operator==(const Key&, const Key&) = default;
    };
    using Values = QList<std::pair<QString, RegistryValue>>;

    RegistryContent();

    // "A\B\C" -> {A, B, C}; "" is the root. nullopt when any component is empty or the path is
    // deeper than MaxDepth.
    static std::optional<QStringList> splitPath(const QString& path);

    bool hasKey(const QStringList& path) const;
    // nullptr when the key is missing.
    const Key* key(const QStringList& path) const;
    bool hasSubkeys(const QStringList& path) const;
    void createKey(const QStringList& path);
    // 0 when deleted; ENOENT for a missing key, ENOTEMPTY while it has subkeys, EPERM for the root.
    int deleteKey(const QStringList& path);

    // nullptr when the key or the value is missing.
    const RegistryValue* value(const QStringList& path, const QString& name) const;
    // Creates the whole key path as needed; a value that exists keeps its name's spelling.
    void setValue(const QStringList& path, const QString& name, const RegistryValue& value);
    // The same for many values under one key, in turn, finding the key once.
    void setValues(const QStringList& path, const Values& values);
    // True when the value existed.
    bool removeValue(const QStringList& path, const QString& name);

    // Every key, each after its parent.
    const QMap<QString, Key>& keys() const { return m_keys; }

    friend bool operator==(const RegistryContent&, const RegistryContent&) = default;

private:
    static QString foldedComponent(const QString& component);
    static QString foldedPath(const QStringList& path);
    Key& ensureKey(const QStringList& path);
    static void setValueIn(Key& key, const QString& name, const RegistryValue& value);

    QMap<QString, Key> m_keys; // by folded path
};
