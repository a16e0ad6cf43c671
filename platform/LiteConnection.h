// SPDX-License-Identifier: MIT
#pragma once

#include "LiteError.h"
#include "LiteStatement.h"
#include "LiteValue.h"

#include <QString>

struct sqlite3;

// One connection to a history database file; stands in for the database wrapper library the
// program was written against, over the SQLite C API. Values are always bound as parameters
// ("?" in the SQL text), never pasted into it. Every operation that fails throws LiteError.
// Move-only; the destructor closes.
class LiteConnection
{
public:
    // How long a statement waits for another process's lock on the file before it fails, so two
    // running instances take turns instead of failing. A file that stayed locked that long is not
    // waited for again during the next minute.
    static constexpr int BusyTimeoutMs = 10000;

    LiteConnection() = default;
    ~LiteConnection();
    LiteConnection(LiteConnection&& other) noexcept;
    LiteConnection& operator=(LiteConnection&& other) noexcept;
    LiteConnection(const LiteConnection&) = delete;
    LiteConnection& operator=(const LiteConnection&) = delete;

    // Opens the file, creating an empty database when there is none. An open connection is
    // closed first.
    void Open(const QString& path);
    // Never throws; closing a closed connection does nothing.
    void Close();
    bool isOpen() const { return m_db != nullptr; }

    // Compiles one statement and binds the values to its parameters in order.
    LiteStatement Prepare(const QString& sql, const LiteRow& params = {});
    // Runs one statement; for a query, the first row of its result (nullopt when it has none).
    LiteResult Execute(const QString& sql, const LiteRow& params = {});

    // The engine's version, "3.40.1".
    static QString engineVersion();

private:
    sqlite3* m_db = nullptr;
};
