// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <variant>

class JsonDictionary;

// One value of a parsed reply: empty (what a lookup of a missing key gives), text, number, Boolean,
// null, or a dictionary (an object or an array). Dictionaries are shared, so copying a value is cheap.
class JsonValue
{
public:
    enum class Kind { Empty, Text, Number, Boolean, Null, Dictionary };

    JsonValue() = default;
    static JsonValue fromText(QString text) { return JsonValue(Storage(std::in_place_index<1>, std::move(text))); }
    static JsonValue fromNumber(double number) { return JsonValue(Storage(std::in_place_index<2>, number)); }
    static JsonValue fromBoolean(bool value) { return JsonValue(Storage(std::in_place_index<3>, value)); }
    static JsonValue null() { return JsonValue(Storage(std::in_place_index<4>)); }
    static JsonValue fromDictionary(std::shared_ptr<JsonDictionary> dictionary)
    {
        return JsonValue(Storage(std::in_place_index<5>, std::move(dictionary)));
    }

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isText() const { return kind() == Kind::Text; }
    bool isNumber() const { return kind() == Kind::Number; }
    bool isBoolean() const { return kind() == Kind::Boolean; }
    bool isNull() const { return kind() == Kind::Null; }
    bool isDictionary() const { return kind() == Kind::Dictionary; }

    // The stored value of that kind; a neutral value (empty text, 0, false, nullptr) for another kind.
    const QString& text() const;
    double number() const;
    bool boolean() const;
    const std::shared_ptr<JsonDictionary>& dictionary() const;

    // The value as the platform renders it as text: text as is, numbers in the C locale in their
    // shortest round-trip form ("1000", "0.5"), "True"/"False", and "" for null and empty.
    // A dictionary has no text form: it raises "Type mismatch" (13).
    QString toText() const;
    // The value as a number: text converted in the C locale (surrounding blanks allowed), true as -1
    // and false as 0 (the platform's Boolean values), empty as 0. *ok is false when there is no
    // number (text that does not convert, null, a dictionary); the result is then 0.
    double toNumber(bool* ok = nullptr) const;

    // Walking the tree: the member of an object, or the element of an array, or an empty value when
    // the key is not there. On a value that is no dictionary these raise "Object required" (424),
    // as the platform does when a reply lacks a level the caller expects.
    const JsonValue& value(const QString& key) const;
    const JsonValue& value(int32_t index) const;
    const JsonValue& operator[](const QString& key) const { return value(key); }
    const JsonValue& operator[](int32_t index) const { return value(index); }
    // The element count of a dictionary; raises "Object required" (424) on any other value.
    qsizetype count() const;

    // The shared empty value that failed lookups refer to.
    static const JsonValue& emptyValue();

private:
    struct NullTag
    {};
    using Storage = std::variant<std::monostate, QString, double, bool, NullTag, std::shared_ptr<JsonDictionary>>;

    explicit JsonValue(Storage value) : m_value(std::move(value)) {}
    const JsonDictionary& requireDictionary() const;

    Storage m_value;
};
