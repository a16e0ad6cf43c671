// SPDX-License-Identifier: MIT
#include "JsonDictionary.h"

#include "RunTimeError.h"

#include <QChar>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Up to this many entries a search compares the stored hashes one by one; beyond it the
// open-addressing index takes over, so lookups stay constant-time in large objects.
constexpr qsizetype LinearSearchLimit = 8;

// Reads a text as a sequence of case-folded code points; the hash and the comparison of Text-mode
// keys both go through it, so two keys that compare equal always hash alike.
class FoldedReader
{
public:
    explicit FoldedReader(const QString& text)
        : m_data(reinterpret_cast<const char16_t*>(text.constData())), m_size(text.size())
    {}

    bool atEnd() const { return m_position >= m_size; }
    char32_t next()
    {
        const char16_t unit = m_data[m_position++];
        if (unit < 0x80)
            return (unit >= u'A' && unit <= u'Z') ? char32_t(unit | 0x20) : char32_t(unit);
        char32_t codePoint = unit;
        if (QChar::isHighSurrogate(unit) && m_position < m_size && QChar::isLowSurrogate(m_data[m_position]))
            codePoint = QChar::surrogateToUcs4(unit, m_data[m_position++]);
        return QChar::toCaseFolded(codePoint);
    }

private:
    const char16_t* m_data;
    qsizetype m_size;
    qsizetype m_position = 0;
};

constexpr uint32_t FnvOffset = 2166136261u;
constexpr uint32_t FnvPrime = 16777619u;

uint32_t mix(uint32_t hash, uint32_t value)
{
    return (hash ^ value) * FnvPrime;
}

uint32_t hashNumber(int32_t number)
{
    uint32_t x = static_cast<uint32_t>(number) ^ 0x9e3779b9u;
    x = (x ^ (x >> 16)) * 0x7feb352du;
    x = (x ^ (x >> 15)) * 0x846ca68bu;
    return x ^ (x >> 16);
}

} // namespace

uint32_t JsonDictionary::hashOf(const JsonKey& key) const
{
    if (!key.isText())
        return hashNumber(key.number());
    uint32_t hash = FnvOffset;
    if (m_mode == CompareMode::Text) {
        FoldedReader reader(key.text());
        while (!reader.atEnd())
            hash = mix(hash, reader.next());
    } else {
        for (const QChar c : key.text())
            hash = mix(hash, c.unicode());
    }
    return hash;
}

bool JsonDictionary::sameKey(const JsonKey& a, const JsonKey& b) const
{
    if (a.isText() != b.isText())
        return false;
    if (!a.isText())
        return a.number() == b.number();
    if (m_mode == CompareMode::Binary)
        return a.text() == b.text();
    FoldedReader left(a.text());
    FoldedReader right(b.text());
    while (!left.atEnd() && !right.atEnd()) {
        if (left.next() != right.next())
            return false;
    }
    return left.atEnd() && right.atEnd();
}

qsizetype JsonDictionary::find(const JsonKey& key) const
{
    if (m_entries.empty())
        return -1;
    if (m_dense) {
        // Every key of a dense dictionary is the number of its position.
        const int32_t number = key.isText() ? -1 : key.number();
        return (number >= 0 && number < count()) ? number : -1;
    }
    return findHashed(key, hashOf(key));
}

qsizetype JsonDictionary::findHashed(const JsonKey& key, uint32_t hash) const
{
    if (m_index.empty()) {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].m_hash == hash && sameKey(m_entries[i].key, key))
                return qsizetype(i);
        }
        return -1;
    }
    const size_t mask = m_index.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const int32_t position = m_index[slot];
        if (position < 0)
            return -1;
        if (m_entries[size_t(position)].m_hash == hash && sameKey(m_entries[size_t(position)].key, key))
            return position;
    }
}

void JsonDictionary::indexEntry(qsizetype position)
{
    const size_t mask = m_index.size() - 1;
    size_t slot = m_entries[size_t(position)].m_hash & mask;
    while (m_index[slot] >= 0)
        slot = (slot + 1) & mask;
    m_index[slot] = int32_t(position);
}

void JsonDictionary::rebuildIndex()
{
    size_t size = 16;
    while (size < m_entries.size() * 2)
        size *= 2;
    m_index.assign(size, -1);
    for (size_t i = 0; i < m_entries.size(); ++i)
        indexEntry(qsizetype(i));
}

void JsonDictionary::add(JsonKey key, JsonValue value)
{
    const bool staysDense = m_dense && !key.isText() && key.number() == count();
    // A dense array finds its entries by position and needs no hashes.
    const uint32_t hash = staysDense ? 0u : hashOf(key);
    // A number larger than every number key so far cannot be there already, whatever the mode.
    const bool mayExist = key.isText() || !m_hasNumberKeys || key.number() <= m_largestNumber;
    if (mayExist && (m_dense ? find(key) : findHashed(key, hash)) >= 0) {
        throw RunTimeError(RunTimeErrorNumber::KeyAlreadyExists,
                           u"This key is already associated with an element of this collection"_s, u"JsonDictionary"_s);
    }

    if (!key.isText()) {
        m_largestNumber = m_hasNumberKeys ? std::max<int64_t>(m_largestNumber, key.number()) : key.number();
        m_hasNumberKeys = true;
    }
    // Most objects and arrays of a reply are small: one allocation holds them.
    if (m_entries.capacity() == 0)
        m_entries.reserve(4);
    m_entries.push_back(Entry(std::move(key), std::move(value), hash));
    if (m_dense && !staysDense) {
        m_dense = false;
        for (size_t i = 0; i + 1 < m_entries.size(); ++i)
            m_entries[i].m_hash = hashOf(m_entries[i].key);
    }
    if (m_dense)
        return;
    if (m_index.empty()) {
        if (count() > LinearSearchLimit)
            rebuildIndex();
    } else if (m_entries.size() * 2 > m_index.size()) {
        rebuildIndex();
    } else {
        indexEntry(count() - 1);
    }
}

const JsonValue& JsonDictionary::item(const JsonKey& key) const
{
    const qsizetype position = find(key);
    return position >= 0 ? m_entries[size_t(position)].value : JsonValue::emptyValue();
}
