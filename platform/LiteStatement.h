// SPDX-License-Identifier: MIT
#pragma once

#include "LiteValue.h"

#include <cstdint>

struct sqlite3_stmt;

// A prepared statement of a LiteConnection, positioned before the first row of its result. It
// must not outlive the connection's file being closed for good: the connection defers its close
// until its statements are gone. Move-only.
class LiteStatement
{
public:
    LiteStatement() = default;
    ~LiteStatement();
    LiteStatement(LiteStatement&& other) noexcept;
    LiteStatement& operator=(LiteStatement&& other) noexcept;
    LiteStatement(const LiteStatement&) = delete;
    LiteStatement& operator=(const LiteStatement&) = delete;

    bool isOpen() const { return m_statement != nullptr; }

    // Moves to the next row (the first call to the first row); false when there is no further
    // row. Throws LiteError when the engine fails, for instance when the file stays locked past
    // the connection's busy time-out.
    bool Step();
    // A column of the current row, 0 being the first. Throws LiteError without a current row or
    // for an index out of range.
    LiteValue ColumnValue(int16_t index) const;
    int columnCount() const;
    // Ends the statement; further calls are misuse.
    void Close();

private:
    friend class LiteConnection;
    explicit LiteStatement(sqlite3_stmt* statement) : m_statement(statement) {}

    sqlite3_stmt* m_statement = nullptr;
    bool m_onRow = false;
    bool m_finished = false;
};
