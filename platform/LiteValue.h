// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

// One SQL value as the database wrapper passes it in and out: NULL, a 64-bit integer, a real or
// a text. Conversions to text and number use the C locale, whatever the user's locale.
class LiteValue
{
public:
    // NULL.
    LiteValue() = default;

    static LiteValue integer(int64_t value) { return LiteValue(Storage(value)); }
    static LiteValue real(double value) { return LiteValue(Storage(value)); }
    static LiteValue text(const QString& value) { return LiteValue(Storage(value)); }

    bool isNull() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isInteger() const { return std::holds_alternative<int64_t>(m_value); }
    bool isReal() const { return std::holds_alternative<double>(m_value); }
    bool isText() const { return std::holds_alternative<QString>(m_value); }

    // Integers in decimal, reals with up to 15 significant digits ("1.4", "1234.57"), texts as
    // they are; NULL gives the empty text.
    QString toText() const;
    // Texts that are no number give 0, as does NULL.
    double toDouble() const;
    // Reals truncated toward zero.
    int64_t toInteger() const;

    // The value as a literal of SQL text: NULL, a number, or a quoted text with its quotes doubled.
    QString toSqlLiteral() const;

    friend bool operator==(const LiteValue&, const LiteValue&) = default;

private:
    using Storage = std::variant<std::monostate, int64_t, double, QString>;
    explicit LiteValue(Storage value) : m_value(std::move(value)) {}

    Storage m_value;
};

// One result row, values in column order.
using LiteRow = QList<LiteValue>;
// What a statement run for its first row hands back: no row at all, or that row.
using LiteResult = std::optional<LiteRow>;
