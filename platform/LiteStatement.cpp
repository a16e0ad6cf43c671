// SPDX-License-Identifier: MIT
#include "LiteStatement.h"

#include "LiteEngine.h"

#include <sqlite3.h>

#include <utility>

using namespace Qt::StringLiterals;

LiteStatement::~LiteStatement()
{
    Close();
}

LiteStatement::LiteStatement(LiteStatement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr)), m_onRow(std::exchange(other.m_onRow, false)),
      m_finished(std::exchange(other.m_finished, false))
{}

LiteStatement& LiteStatement::operator=(LiteStatement&& other) noexcept
{
    if (this != &other) {
        Close();
        m_statement = std::exchange(other.m_statement, nullptr);
        m_onRow = std::exchange(other.m_onRow, false);
        m_finished = std::exchange(other.m_finished, false);
    }
    return *this;
}

bool LiteStatement::Step()
{
    if (!m_statement)
        throw LiteError(LiteErrorNumber::Misuse, u"statement is closed"_s);
    if (m_finished)
        return false;
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW) {
        m_onRow = true;
        return true;
    }
    m_onRow = false;
    m_finished = true;
    if (code == SQLITE_DONE)
        return false;
    throw liteErrorOf(sqlite3_db_handle(m_statement), code);
}

int LiteStatement::columnCount() const
{
    return m_statement ? sqlite3_column_count(m_statement) : 0;
}

LiteValue LiteStatement::ColumnValue(int16_t index) const
{
    if (!m_statement || !m_onRow)
        throw LiteError(LiteErrorNumber::Misuse, u"no current row"_s);
    if (index < 0 || index >= sqlite3_column_count(m_statement))
        throw LiteError(SQLITE_RANGE, u"column index out of range"_s);
    switch (sqlite3_column_type(m_statement, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return LiteValue::integer(sqlite3_column_int64(m_statement, index));
    case SQLITE_FLOAT:
        return LiteValue::real(sqlite3_column_double(m_statement, index));
    default: {
        // Texts, and blobs read as UTF-8 text.
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, index));
        const int size = sqlite3_column_bytes(m_statement, index);
        return LiteValue::text(QString::fromUtf8(bytes, size));
    }
    }
}

void LiteStatement::Close()
{
    if (m_statement)
        sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_onRow = false;
    m_finished = false;
}
