// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <exception>
#include <optional>
#include <variant>

// Field types of a recordset, by the type codes its persistence format is known by.
enum class FieldType : int { Integer = 3, Single = 4, VarChar = 200 };

// A failed recordset operation, with a number and a description.
class RecordsetError : public std::exception
{
public:
    RecordsetError(int32_t number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8())
    {}
    int32_t number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int32_t m_number;
    QString m_description;
    QByteArray m_what;
};

// A free-standing recordset of one new row that saves itself in the rowset XML persistence
// format other programs read: a schema block that declares each field with its type and size,
// then the row as a pending insert. Stands in for the platform's data-access recordset.
class Recordset
{
public:
    static constexpr int32_t ItemNotFound = 3265;
    static constexpr int32_t TypeMismatch = 13;
    static constexpr int32_t Overflow = 6;
    static constexpr int32_t ValueTooLong = int32_t(0x80040E21u);
    static constexpr int32_t NoCurrentRecord = 3021;
    static constexpr int32_t AlreadyInCollection = 3367;

    // Fields come before the row; definedSize counts for VarChar only (at least 1).
    void Append(const QString& name, FieldType type, int definedSize = 0);
    // Starts the one row, every field NULL.
    void AddNew();
    // Sets a field of the row (by name, case-insensitive) from text, converted as the field's
    // type converts it: a C-locale number for Single (to single precision) and Integer (32 bits,
    // halves rounded to even), the text itself for VarChar within the defined size.
    void setValue(const QString& name, const QString& value);

    // The whole file content; a NULL field is left out of the row, as the format has it. A
    // character that XML 1.0 does not allow (a control character other than tab, line feed and
    // carriage return, U+FFFE, U+FFFF, a lone surrogate) is written as U+FFFD.
    QString toXml() const;

private:
    using Value = std::variant<float, int32_t, QString>;
    struct Field
    {
        QString name;
        FieldType type;
        int definedSize;
        std::optional<Value> value;
    };

    static QString attribute(const QString& text);
    static QString valueText(const Value& value);
    QString schemaOf(const Field& field, int number) const;

    QList<Field> m_fields;
    bool m_hasRow = false;
};
