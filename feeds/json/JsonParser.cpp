// SPDX-License-Identifier: MIT
#include "JsonParser.h"

#include "JsonNumber.h"
#include "RunTimeError.h"

#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

namespace JsonParserInternals {

namespace {

// A number token is its first character and at most this many more.
constexpr qsizetype MaximumNumberRun = 1001;

[[noreturn]] void raiseSubscriptOutOfRange()
{
    throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s, u"JsonParse2"_s);
}

[[noreturn]] void raiseTypeMismatch()
{
    throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s, u"JsonParse2"_s);
}

bool isBlank(char16_t c)
{
    return c == 9 || c == 10 || c == 13 || c == 32;
}

bool startsNumber(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

bool continuesNumber(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'x' || c == u'X' ||
           (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c | 0x20) : c;
}

// Every array and object is read one level deeper; the guard also unwinds on a raised error.
class DepthGuard
{
public:
    explicit DepthGuard(JsonParserState& state) : m_state(state) { ++m_state.depth; }
    ~DepthGuard() { --m_state.depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    JsonParserState& m_state;
};

bool failUnexpected(JsonParserState& uState)
{
    uState.error =
        u"Unexpected symbol '"_s + QChar(uState.lastChar) + u"' at position "_s + QString::number(uState.pos);
    return false;
}

// Only the first note counts: the innermost open value meets the end mark first.
void noteOpenAtEnd(JsonParserState& uState, const QString& kind, qsizetype position)
{
    if (!uState.openAtEnd.isEmpty())
        return;
    uState.openAtEnd = kind;
    uState.openAtEndPosition = position;
}

bool tooDeep(JsonParserState& uState)
{
    if (uState.depth < MaximumDepth)
        return false;
    uState.error = u"Nesting too deep at position "_s + QString::number(uState.pos);
    return true;
}

// The hexadecimal escape digits at [begin, begin + count), which must lie within the characters
// and their end mark.
char16_t escapedUnit(const JsonParserState& uState, qsizetype begin, qsizetype count)
{
    if (begin + count - 1 > uState.length)
        raiseSubscriptOutOfRange();
    uint32_t value = 0;
    for (qsizetype i = begin; i < begin + count; ++i) {
        const char16_t c = uState.chars[i];
        uint32_t digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            raiseTypeMismatch();
        value = (value << 4) | digit;
    }
    return char16_t(value);
}

// true, false and null in any letter case. The check reads all of the rest's characters, so a
// literal cut off before the end mark raises rather than reading past the characters.
bool parseLiteral(JsonParserState& uState, QStringView rest, JsonValue literal, JsonElement& value)
{
    if (uState.pos + rest.size() - 1 > uState.length)
        raiseSubscriptOutOfRange();
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (asciiLower(uState.chars[uState.pos + i]) != rest[i].unicode())
            return failUnexpected(uState);
    }
    uState.pos += rest.size();
    value = std::move(literal);
    return true;
}

bool parseNumber(JsonParserState& uState, JsonElement& value)
{
    const qsizetype first = uState.pos - 1;
    qsizetype end = uState.pos;
    // The end mark stops the run, so it never passes the characters.
    while (end - uState.pos < MaximumNumberRun && continuesNumber(uState.chars[end]))
        ++end;
    double number = 0.0;
    const JsonNumber::Conversion conversion =
        JsonNumber::toDouble(QStringView(uState.chars + first, end - first), number);
    if (conversion != JsonNumber::Conversion::Ok) {
        uState.error = JsonNumber::description(conversion) + u" at position "_s + QString::number(uState.pos);
        return false;
    }
    uState.pos = end;
    value = JsonValue::fromNumber(number);
    return true;
}

// The string whose opening quote was just read, shared with an equal one read before when it is
// short and holds no escape; anything else goes the full way through pvJsonGetString.
QString readString(JsonParserState& uState)
{
    constexpr qsizetype ShortString = 24;
    const char16_t* const chars = uState.chars;
    const qsizetype begin = uState.pos;
    const qsizetype limit = begin + ShortString;
    uint32_t hash = 2166136261u;
    qsizetype i = begin;
    // The end mark stops the scan, so it never passes the characters.
    while (i < limit && chars[i] != u'"' && chars[i] != u'\\' && chars[i] != 0) {
        hash = (hash ^ chars[i]) * 16777619u;
        ++i;
    }
    if (chars[i] != u'"')
        return pvJsonGetString(uState);
    const qsizetype size = i - begin;
    QString& recent = uState.recentStrings[hash % uState.recentStrings.size()];
    if (recent.size() != size || std::memcmp(recent.constData(), chars + begin, size_t(size) * sizeof(char16_t)) != 0)
        recent = QString(reinterpret_cast<const QChar*>(chars + begin), size);
    uState.pos = i + 1;
    return recent;
}

bool parseArray(JsonParserState& uState, std::shared_ptr<JsonDictionary>& result)
{
    if (tooDeep(uState))
        return false;
    const DepthGuard guard(uState);
    auto array = std::make_shared<JsonDictionary>(JsonDictionary::CompareMode::Binary);
    result = array;

    int32_t index = 0;
    JsonElement value = pvJsonMissing();
    std::shared_ptr<JsonDictionary> dictionary;
    for (;;) {
        const char16_t c = pvJsonGetChar(uState);
        if (c != 0 && c != u',' && c != u']') {
            --uState.pos;
            if (!pvJsonParse(uState, value, dictionary))
                return false;
            continue;
        }
        // An empty slot adds nothing but still uses up its index.
        if (dictionary)
            array->add(JsonKey(index), JsonValue::fromDictionary(std::move(dictionary)));
        else if (value)
            array->add(JsonKey(index), std::move(*value));
        // c == 0 ends the array whatever was read last: nothing follows the end mark.
        if (c == 0)
            noteOpenAtEnd(uState, u"array"_s, uState.pos);
        if (c == 0 || uState.lastChar != u',')
            return true;
        if (index == std::numeric_limits<int32_t>::max())
            throw RunTimeError(6, u"Overflow"_s, u"JsonParse2"_s); // the positions are 32-bit keys
        ++index;
        value = pvJsonMissing();
        dictionary.reset();
    }
}

QString keyText(const std::optional<JsonValue>& key)
{
    if (!key)
        return {};
    if (key->isNull())
        return u"null"_s;
    return key->toText();
}

// After a member's value failed, the member goes on with an empty value from just after its colon.
// Unless the next character is one that ends the member or names a key, reading on would parse the
// same value from the same place again and fail the same way, so the object fails at once: that
// keeps the outcome and spares nested objects from re-reading their members level after level.
bool recoveryCanContinue(JsonParserState& uState)
{
    const qsizetype savedPos = uState.pos;
    const char16_t savedLast = uState.lastChar;
    const char16_t next = pvJsonGetChar(uState);
    uState.pos = savedPos;
    uState.lastChar = savedLast;
    return next == 0 || next == u'"' || next == u':' || next == u',' || next == u'}';
}

bool parseObject(JsonParserState& uState, std::shared_ptr<JsonDictionary>& result)
{
    if (tooDeep(uState))
        return false;
    const DepthGuard guard(uState);
    auto object = std::make_shared<JsonDictionary>(JsonDictionary::CompareMode::Text);
    result = object;

    std::optional<JsonValue> key; // nullopt: no key read yet
    JsonElement value = pvJsonMissing();
    std::shared_ptr<JsonDictionary> dictionary;
    for (;;) {
        const char16_t c = pvJsonGetChar(uState);
        if (c == u'"') {
            key = JsonValue::fromText(readString(uState));
        } else if (c == u':') {
            if (dictionary) {
                uState.error = u"Value already specified at position "_s + QString::number(uState.pos);
                return false;
            }
            // A number or literal before the colon is the key.
            if (value) {
                key = std::move(*value);
                value = pvJsonMissing();
            }
            const qsizetype afterColon = uState.pos;
            if (!pvJsonParse(uState, value, dictionary)) {
                // The member is kept with an empty value; the error text stays as it is.
                uState.pos = afterColon;
                value = JsonValue();
                dictionary.reset();
                if (!recoveryCanContinue(uState))
                    return false;
            }
        } else if (c == 0 || c == u',' || c == u'}') {
            if (!dictionary && !value && key) {
                // A lone string is a value under the empty key.
                value = std::move(*key);
                key = JsonValue::fromText(QString());
            }
            if (dictionary)
                object->add(JsonKey(keyText(key)), JsonValue::fromDictionary(std::move(dictionary)));
            else if (value)
                object->add(JsonKey(keyText(key)), std::move(*value));
            if (c == 0)
                noteOpenAtEnd(uState, u"object"_s, uState.pos);
            if (c == 0 || uState.lastChar != u',')
                return true;
            key.reset();
            value = pvJsonMissing();
            dictionary.reset();
        } else {
            --uState.pos;
            if (!pvJsonParse(uState, value, dictionary))
                return false;
        }
    }
}

} // namespace

JsonParserState::JsonParserState(const QString& source)
    : text(source), chars(reinterpret_cast<const char16_t*>(text.utf16())), length(text.size())
{}

JsonElement pvJsonMissing()
{
    return std::nullopt;
}

char16_t pvJsonGetChar(JsonParserState& uState)
{
    while (uState.pos <= uState.length) {
        const char16_t c = uState.chars[uState.pos++];
        if (isBlank(c))
            continue;
        uState.lastChar = c;
        return c;
    }
    return 0;
}

QString pvJsonGetString(JsonParserState& uState)
{
    const char16_t* const chars = uState.chars;
    QString result;
    qsizetype i = uState.pos;
    for (;;) {
        // The end mark stops the scan, so it never passes the characters.
        const qsizetype runStart = i;
        while (chars[i] != 0 && chars[i] != u'"' && chars[i] != u'\\')
            ++i;
        if (i > runStart) {
            if (result.isNull())
                result = QString(reinterpret_cast<const QChar*>(chars + runStart), i - runStart);
            else
                result.append(reinterpret_cast<const QChar*>(chars + runStart), i - runStart);
        }
        if (chars[i] != u'\\') {
            if (chars[i] == 0)
                noteOpenAtEnd(uState, u"string"_s, i + 1);
            uState.pos = i + 1;
            return result;
        }
        // A backslash lies before the end mark, so its escape character is within the characters.
        const char16_t e = chars[i + 1];
        qsizetype next = i + 2;
        char16_t unit = e;
        switch (e) {
        case 0:
            noteOpenAtEnd(uState, u"string"_s, i + 2);
            uState.pos = i + 1;
            return result;
        case u'b':
            unit = 8;
            break;
        case u'f':
            unit = 12;
            break;
        case u'n':
            unit = 10;
            break;
        case u'r':
            unit = 13;
            break;
        case u't':
            unit = 9;
            break;
        case u'u':
            unit = escapedUnit(uState, i + 2, 4);
            next = i + 6;
            break;
        case u'x':
            unit = escapedUnit(uState, i + 2, 2);
            next = i + 4;
            break;
        default:
            break;
        }
        result.append(QChar(unit));
        i = next;
    }
}

bool pvJsonParse(JsonParserState& uState, JsonElement& value, std::shared_ptr<JsonDictionary>& dictionary)
{
    const char16_t c = pvJsonGetChar(uState);
    switch (c) {
    case u'"':
        value = JsonValue::fromText(readString(uState));
        return true;
    case u'[':
        return parseArray(uState, dictionary);
    case u'{':
        return parseObject(uState, dictionary);
    case u't':
    case u'T':
        return parseLiteral(uState, u"rue", JsonValue::fromBoolean(true), value);
    case u'f':
    case u'F':
        return parseLiteral(uState, u"alse", JsonValue::fromBoolean(false), value);
    case u'n':
    case u'N':
        return parseLiteral(uState, u"ull", JsonValue::null(), value);
    case 0:
        return true;
    default:
        if (startsNumber(c))
            return parseNumber(uState, value);
        return failUnexpected(uState);
    }
}

} // namespace JsonParserInternals

namespace {

bool parseText(const QString& text, JsonValue& result, QString& szErr, bool wholeOnly)
{
    using namespace JsonParserInternals;
    JsonParserState state(text);
    JsonElement value = pvJsonMissing();
    std::shared_ptr<JsonDictionary> dictionary;
    bool parsed = pvJsonParse(state, value, dictionary);
    if (dictionary)
        result = JsonValue::fromDictionary(std::move(dictionary));
    else if (value)
        result = std::move(*value);
    szErr = state.error;
    if (parsed && wholeOnly && !state.openAtEnd.isEmpty()) {
        szErr = u"Unexpected end of text in an open "_s + state.openAtEnd + u" at position "_s +
                QString::number(state.openAtEndPosition);
        parsed = false;
    }
    return parsed;
}

} // namespace

bool JsonParse2(const QString& text, JsonValue& result, QString& szErr, JsonTextEnd end)
{
    return parseText(text, result, szErr, end == JsonTextEnd::MustClose);
}
