// SPDX-License-Identifier: MIT
#pragma once

#include "JsonValue.h"

#include <QString>

#include <cstdint>
#include <vector>

// A dictionary key: a text (object members) or a 32-bit integer (array positions).
// A text key and a number key never match each other, even when the text reads as that number.
class JsonKey
{
public:
    JsonKey(QString text) : m_text(std::move(text)), m_isText(true) {}
    JsonKey(int32_t number) : m_number(number), m_isText(false) {}

    bool isText() const { return m_isText; }
    const QString& text() const { return m_text; }
    int32_t number() const { return m_number; }
    QString toText() const { return m_isText ? m_text : QString::number(m_number); }

private:
    QString m_text;
    int32_t m_number = 0;
    bool m_isText;
};

// Stands in for the platform's scripting dictionary: an insertion-ordered map from keys to values.
// In Text mode text keys match without regard to letter case (objects); in Binary mode exactly
// (arrays). Lookups go through a hash of the case-folded key once the dictionary outgrows a few
// entries; small dictionaries, which most replies are made of, compare stored hashes directly.
class JsonDictionary
{
public:
    enum class CompareMode { Binary, Text };

    class Entry
    {
    public:
        JsonKey key;
        JsonValue value;

    private:
        friend class JsonDictionary;
        Entry(JsonKey entryKey, JsonValue entryValue, uint32_t hash)
            : key(std::move(entryKey)), value(std::move(entryValue)), m_hash(hash)
        {}
        uint32_t m_hash; // of the key as the compare mode sees it; 0 while the dictionary is dense
    };

    explicit JsonDictionary(CompareMode mode = CompareMode::Binary) : m_mode(mode) {}

    CompareMode compareMode() const { return m_mode; }
    qsizetype count() const { return qsizetype(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }

    // Adds at the end. A key that is already there (in the dictionary's compare mode) raises
    // "This key is already associated with an element of this collection" (457) and changes nothing.
    void add(JsonKey key, JsonValue value);

    bool exists(const JsonKey& key) const { return find(key) >= 0; }
    // The value under the key, or an empty value when the key is not there.
    const JsonValue& item(const JsonKey& key) const;
    const JsonValue& operator[](const JsonKey& key) const { return item(key); }

    // Insertion order.
    const Entry& entryAt(qsizetype position) const { return m_entries[size_t(position)]; }
    std::vector<Entry>::const_iterator begin() const { return m_entries.begin(); }
    std::vector<Entry>::const_iterator end() const { return m_entries.end(); }

private:
    // The position of the key, or -1.
    qsizetype find(const JsonKey& key) const;
    qsizetype findHashed(const JsonKey& key, uint32_t hash) const;
    uint32_t hashOf(const JsonKey& key) const;
    bool sameKey(const JsonKey& a, const JsonKey& b) const;
    void rebuildIndex();
    void indexEntry(qsizetype position);

    CompareMode m_mode;
    std::vector<Entry> m_entries;
    // Open-addressing table of positions (-1 = free slot), kept once the dictionary grows past a
    // few entries (dense arrays excepted).
    std::vector<int32_t> m_index;
    // Arrays add ascending positions 0, 1, 2 …; while every entry sits at the position its key
    // names, lookups by number need no search and an add with a larger number cannot collide.
    bool m_dense = true;
    int64_t m_largestNumber = -1;
    bool m_hasNumberKeys = false;
};
