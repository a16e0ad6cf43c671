// SPDX-License-Identifier: MIT
#pragma once

#include "LiteConnection.h"

#include <QString>

#include <cstdint>

class LogFrontEnd;

// The three routines every database operation goes through. They never show or log a failure
// beyond their level-20 trace line: they hand back the wrapper's "[number] description".
class SQLAccess
{
public:
    explicit SQLAccess(LogFrontEnd& log) : m_log(log) {}

    // Opens (or creates) the file into conn. An empty name fails with
    // "[-1] no database filename specified".
    bool OpenSQLDatabase(const QString& file, LiteConnection& conn, QString& szErr);
    // Runs one statement with its values bound; 0, and the first row into result when given, or
    // the wrapper's error number with szErr set (result then untouched).
    int32_t ExecuteSQL(LiteConnection& conn, const QString& sql, QString& szErr, LiteResult* result = nullptr,
                       const LiteRow& params = {});
    // Prepares one statement with its values bound into statement; as ExecuteSQL otherwise.
    int32_t RetrieveSQL(LiteConnection& conn, const QString& sql, LiteStatement& statement, QString& szErr,
                        const LiteRow& params = {});

    // "[number] description".
    static QString errorText(const LiteError& error);
    // The SQL text with each "?" outside quotes replaced by its value as a literal, for the log.
    static QString traceText(const QString& sql, const LiteRow& params);

private:
    LogFrontEnd& m_log;
};
