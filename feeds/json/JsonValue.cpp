// SPDX-License-Identifier: MIT
#include "JsonValue.h"

#include "JsonDictionary.h"
#include "JsonNumber.h"
#include "RunTimeError.h"

using namespace Qt::StringLiterals;

namespace {
// The platform's error for using a plain value where an object is needed.
constexpr int32_t ObjectRequired = 424;
} // namespace

const JsonValue& JsonValue::emptyValue()
{
    static const JsonValue empty;
    return empty;
}

const QString& JsonValue::text() const
{
    static const QString none;
    const QString* text = std::get_if<QString>(&m_value);
    return text ? *text : none;
}

double JsonValue::number() const
{
    const double* number = std::get_if<double>(&m_value);
    return number ? *number : 0.0;
}

bool JsonValue::boolean() const
{
    const bool* value = std::get_if<bool>(&m_value);
    return value ? *value : false;
}

const std::shared_ptr<JsonDictionary>& JsonValue::dictionary() const
{
    static const std::shared_ptr<JsonDictionary> none;
    const auto* dictionary = std::get_if<std::shared_ptr<JsonDictionary>>(&m_value);
    return dictionary ? *dictionary : none;
}

QString JsonValue::toText() const
{
    switch (kind()) {
    case Kind::Empty:
    case Kind::Null:
        return {};
    case Kind::Text:
        return text();
    case Kind::Number:
        return JsonNumber::toText(number());
    case Kind::Boolean:
        return boolean() ? u"True"_s : u"False"_s;
    case Kind::Dictionary:
        break;
    }
    throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s, u"JsonValue"_s);
}

double JsonValue::toNumber(bool* ok) const
{
    double result = 0.0;
    bool converted = true;
    switch (kind()) {
    case Kind::Empty:
        break;
    case Kind::Text:
        converted = JsonNumber::toDouble(QStringView(text()).trimmed(), result) == JsonNumber::Conversion::Ok;
        if (!converted)
            result = 0.0;
        break;
    case Kind::Number:
        result = number();
        break;
    case Kind::Boolean:
        result = boolean() ? -1.0 : 0.0;
        break;
    case Kind::Null:
    case Kind::Dictionary:
        converted = false;
        break;
    }
    if (ok)
        *ok = converted;
    return result;
}

const JsonDictionary& JsonValue::requireDictionary() const
{
    const auto* dictionary = std::get_if<std::shared_ptr<JsonDictionary>>(&m_value);
    if (!dictionary || !*dictionary)
        throw RunTimeError(ObjectRequired, u"Object required"_s, u"JsonValue"_s);
    return **dictionary;
}

const JsonValue& JsonValue::value(const QString& key) const
{
    return requireDictionary().item(JsonKey(key));
}

const JsonValue& JsonValue::value(int32_t index) const
{
    return requireDictionary().item(JsonKey(index));
}

qsizetype JsonValue::count() const
{
    return requireDictionary().count();
}
