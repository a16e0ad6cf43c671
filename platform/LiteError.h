// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <exception>

// Error numbers of the database wrapper beyond the engine's own result codes.
namespace LiteErrorNumber {
// A statement named a table that does not exist, or created one that already does.
inline constexpr int32_t TableMissingOrExists = int32_t(0xC0000001u);
// An added column already exists.
inline constexpr int32_t ColumnExists = int32_t(0xC0000002u);
// A statement used out of turn (a value read with no current row, a closed connection).
inline constexpr int32_t Misuse = 21;
} // namespace LiteErrorNumber

// A failed database operation: the engine's extended result code (or one of the numbers above)
// and its description.
class LiteError : public std::exception
{
public:
    LiteError(int32_t number, QString description)
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
