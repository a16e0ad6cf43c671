// SPDX-License-Identifier: MIT
#pragma once

#include "JsonDictionary.h"
#include "JsonValue.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>

// Reads the text of an API reply into a tree in which every object and every array is a
// JsonDictionary (objects with case-insensitive text keys, arrays with the positions 0, 1, 2 … as
// number keys). Lenient where the JSON grammar is strict: missing closers, trailing commas and
// stray values are accepted, literals in any letter case, numbers in a wide form, and whatever
// follows the first value is ignored.
//
// Returns true when the value was read; false with szErr telling why. The top value goes into
// result (an object or array as a dictionary value, even a half-built one after a failure inside
// it); a text holding no value leaves result untouched. szErr can be set on success too, when a
// member's value failed and the member was kept with an empty value.
// Raises RunTimeError: 457 for a key repeated in an object (in any letter case), 13 "Type mismatch"
// for bad hexadecimal digits in a \u or \x escape, 9 "Subscript out of range" for a literal or an
// escape cut off by the end of the text. After a raise, result and szErr are untouched.
//
// A reply must be whole (MustClose): a text whose end (or a character 0) comes while an object,
// array or string is still open was cut short on its way, and the leniency that accepts the missing
// closers would take its first part for all of it. Such a text then fails with "Unexpected end of
// text in an open object at position n" (array, string), n being the position where the text ran
// out inside the innermost one.
enum class JsonTextEnd { MayBeOpen, MustClose };
bool JsonParse2(const QString& text, JsonValue& result, QString& szErr, JsonTextEnd end = JsonTextEnd::MayBeOpen);

// The reader's parts, open for the tests.
namespace JsonParserInternals {

// Values nested deeper than this fail the parse instead of exhausting the stack.
inline constexpr int MaximumDepth = 512;

struct JsonParserState
{
    explicit JsonParserState(const QString& source);

    QString text;          // holds the characters alive; never changed
    const char16_t* chars; // the characters, with the end mark 0 at index length
    qsizetype length;
    qsizetype pos = 0;     // the read position
    char16_t lastChar = 0; // the last character that pvJsonGetChar read
    QString error;         // the error text
    int depth = 0;         // objects and arrays open around the read position
    // The innermost object, array or string that the end mark found open ("object", "array",
    // "string"), and the end mark's position; empty while every one was closed.
    QString openAtEnd;
    qsizetype openAtEndPosition = 0;
    // Short strings recently read, by hash: member names and class names repeat throughout a
    // reply, and one shared copy serves them all.
    std::array<QString, 256> recentStrings;
};

// An element that may not have been read yet: nullopt is the missing marker.
using JsonElement = std::optional<JsonValue>;

JsonElement pvJsonMissing();

// The next character that is not blank, or 0 at the end mark (and beyond it, where the last
// character is not updated). A character 0 inside the text counts as the end mark.
char16_t pvJsonGetChar(JsonParserState& uState);

// The string whose opening quote was just read; leaves the read position after its closing quote.
QString pvJsonGetString(JsonParserState& uState);

// Reads one value at the read position: an object or array goes to dictionary, any other value to
// value; a text at its end gives success with neither set.
bool pvJsonParse(JsonParserState& uState, JsonElement& value, std::shared_ptr<JsonDictionary>& dictionary);

} // namespace JsonParserInternals
