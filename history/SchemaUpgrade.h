// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class LiteConnection;
class SQLAccess;
struct HistoryContext;

// Finds the current account's database file and brings its schema to 1.4 from any earlier
// version: every table and column the history needs, created or added in place.
class SchemaUpgrade
{
public:
    static constexpr double SchemaVersion = 1.4;

    SchemaUpgrade(HistoryContext& context, SQLAccess& sql) : m_ctx(context), m_sql(sql) {}

    // Sets DatabaseFile for the current user name and creates or upgrades the file. The upgrade
    // runs in one transaction, so a failure leaves the file as it was; a table or column that
    // already exists counts as done, which repairs files an interrupted upgrade left behind. A
    // schema newer than 1.4, or an unreadable one, is refused and the file left alone.
    bool CheckSQLDatabase(QString& szErr);

private:
    // The name of the database file for a user name, or empty with szErr set.
    bool buildFileName(QString& szErr);
    bool readVersion(LiteConnection& conn, double& version, QString& szErr);
    // Runs every step above the version found; a failure that ends the check throws.
    void upgrade(LiteConnection& conn, double version, bool& record);
    void createTables(LiteConnection& conn);
    void moveClassNames(LiteConnection& conn);
    // Adds a column; true when added or already there, else szErr holds the wrapper's text.
    bool addColumn(LiteConnection& conn, const QString& table, const QString& column, const QString& type,
                   QString& szErr);
    void addColumnOrFail(LiteConnection& conn, const QString& table, const QString& column, const QString& type);
    void log(const QString& text, int level);

    HistoryContext& m_ctx;
    SQLAccess& m_sql;
};
