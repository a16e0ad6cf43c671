// SPDX-License-Identifier: MIT
#include "SchemaUpgrade.h"

#include "AppInfo.h"
#include "Dates.h"
#include "FileFunctions.h"
#include "HistoryContext.h"
#include "LogFrontEnd.h"
#include "PathIgnoringCase.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "SQLAccess.h"
#include "Settings.h"
#include "SqlValues.h"
#include "TextRoutines.h"

using namespace Qt::StringLiterals;
using SqlValues::crlf;

namespace {
const QString header = u"CheckSQLDatabase: "_s;

// A statement failure that ends the check; the text is the whole error text.
struct SchemaFailure
{
    QString text;
};

struct TableDefinition
{
    QString name;
    QString sql;
};

// The tables of schema 1.0, in the order they were first created.
const TableDefinition schema10Tables[] = {
    {u"SchemaHistory"_s, u"create table SchemaHistory(Version REAL primary key, Date VARCHAR(20) not NULL);"_s},
    {u"Status"_s,
     u"create table Status(IP VARCHAR(16), ConnectTime VARCHAR(20), PeakStatus INTEGER, OffPeakStatus INTEGER)"_s},
    {u"MonthlyData"_s, u"create table MonthlyData(AnniversaryDate VARCHAR(10) primary key, LastUpdate VARCHAR(20), "
                       u"PeakQuota INTEGER, OffpeakQuota INTEGER, PlanType INTEGER)"_s},
    {u"DailyData"_s, u"create table DailyData(Date VARCHAR(20) primary key, Peak REAL, Offpeak REAL, Freezone REAL)"_s},
};

QString versionText(double version)
{
    return QString::number(version, 'f', 1);
}
} // namespace

void SchemaUpgrade::log(const QString& text, int level)
{
    m_ctx.log.LogMessage(text, int16_t(level));
}

bool SchemaUpgrade::buildFileName(QString& szErr)
{
    const QString user = StripDomain(m_ctx.settings.Username);
    if (user.isEmpty()) {
        m_ctx.DatabaseFile.clear();
        szErr = header + u"no username specified,"_s + crlf + u"failed to build database filename"_s;
        return false;
    }
    // The name must stay a file inside the data folder.
    if (user == u".."_s || user.contains(u'/') || user.contains(QChar(u'\0'))) {
        m_ctx.DatabaseFile.clear();
        szErr = header + u"failed to build database filename:"_s + crlf + u"[-1] the user name \""_s + user +
                u"\" cannot name a file in the data folder"_s;
        return false;
    }
    m_ctx.DatabaseFile = PathIgnoringCase(m_ctx.run.DataDir, user + u".sl3"_s);
    return true;
}

bool SchemaUpgrade::CheckSQLDatabase(QString& szErr)
{
    LiteConnection conn;
    try {
        if (!buildFileName(szErr))
            return false;
        const QString file = m_ctx.DatabaseFile;
        log(u"calling CheckSQLDatabase for profile "_s + QString::number(m_ctx.run.ProfileNumber), 3);
        log(header + u"checking \""_s + file + u'"', 6);

        const bool existed = FileExist(file);
        if (!existed)
            log(header + u"no database found for "_s + m_ctx.settings.Username, 2);
        bool record = !existed;

        QString openErr;
        if (!m_sql.OpenSQLDatabase(file, conn, openErr)) {
            szErr = header + u"failed to "_s + (existed ? u"open"_s : u"create"_s) + u" database \""_s + file +
                    u"\": "_s + crlf + openErr;
            return false;
        }

        double version = 0;
        if (existed && !readVersion(conn, version, szErr))
            return false;
        if (version > SchemaVersion) {
            szErr = header + u"database schema version "_s + versionText(version) + u" is too new,"_s + crlf +
                    u"this version of "_s + m_ctx.app.Title + u" requires schema version "_s +
                    versionText(SchemaVersion);
            return false;
        }
        if (version < SchemaVersion) {
            record = true;
            if (version > 0)
                log(header + u"database schema updates required"_s, 3);
            QString err;
            if (m_sql.ExecuteSQL(conn, u"begin transaction"_s, err) != 0) {
                szErr = header + u"failed to begin database transaction:"_s + crlf + err;
                return false;
            }
            upgrade(conn, version, record);
        }
        if (record) {
            log(header + u"updating database schema version to "_s + versionText(SchemaVersion), 2);
            QString err;
            if (m_sql.ExecuteSQL(conn,
                                 u"replace into SchemaHistory(Version, Date) values(?,datetime('now','localtime'))"_s,
                                 err, nullptr, {LiteValue::real(SchemaVersion)}) != 0)
                throw SchemaFailure{header + u"failed to update SchemaHistory table:"_s + crlf + err};
        }
        if (version < SchemaVersion) {
            QString err;
            if (m_sql.ExecuteSQL(conn, u"commit transaction"_s, err) != 0)
                throw SchemaFailure{header + u"failed to commit database transaction:"_s + crlf + err};
        }
        conn.Close();
        return true;
    } catch (const SchemaFailure& failure) {
        szErr = failure.text;
    } catch (const RunTimeError& error) {
        szErr = header + u"failed to check/update database:"_s + crlf + error.text();
    } catch (const LiteError& error) {
        szErr = header + u"failed to check/update database:"_s + crlf + SQLAccess::errorText(error);
    }
    if (conn.isOpen()) {
        QString ignored;
        m_sql.ExecuteSQL(conn, u"rollback transaction"_s, ignored);
    }
    conn.Close();
    return false;
}

bool SchemaUpgrade::readVersion(LiteConnection& conn, double& version, QString& szErr)
{
    LiteResult result;
    QString err;
    const int32_t code = m_sql.ExecuteSQL(
        conn, u"select Version, datetime(Date) as date from SchemaHistory order by Version desc"_s, err, &result);
    if (code != 0 && code != LiteErrorNumber::TableMissingOrExists) {
        szErr = header + u"database read error from SchemaHistory table:"_s + crlf + err;
        return false;
    }
    const QString text = SqlValues::column(result, 0).toText();
    const QString date = SqlValues::column(result, 1).toText();
    if (text.isEmpty()) {
        log(header + u"no database schema version info found"_s, 3);
        version = 0;
        return true;
    }
    const std::optional<double> parsed = readNumericText(text);
    log(u"database schema version "_s + (parsed ? versionText(*parsed) : text) + u", last updated "_s + date, 3);
    if (!parsed) {
        szErr = header + u"failed to parse version info from SchemaHistory table:"_s + crlf + u'[' + text + u']';
        return false;
    }
    version = *parsed;
    return true;
}

void SchemaUpgrade::upgrade(LiteConnection& conn, double version, bool& record)
{
    if (version == 0)
        createTables(conn);
    if (version < 1.1) {
        log(header + u"making changes to bring db schema to 1.1"_s, 6);
        for (const QString& column : {u"PeakStart"_s, u"PeakEnd"_s}) {
            QString err;
            if (!addColumn(conn, u"MonthlyData"_s, column, u"INTEGER"_s, err)) {
                // Not fatal: the version stays unrecorded, so the next check tries again.
                log(header + u"failed to add "_s + column + u" column to MonthlyData table:"_s + crlf + err, 1);
                record = false;
            }
        }
    }
    if (version < 1.2) {
        log(header + u"making changes to bring db schema to 1.2"_s, 6);
        QString err;
        const int32_t code =
            m_sql.ExecuteSQL(conn, u"create table Config(id VARCHAR(20) primary key, Value VARCHAR(20))"_s, err);
        if (code == LiteErrorNumber::TableMissingOrExists)
            log(header + u"table Config already exists"_s, 3);
        else if (code != 0)
            throw SchemaFailure{header + u"failed to create Config table:"_s + crlf + err};
        else
            moveClassNames(conn);
    }
    if (version < 1.3) {
        log(header + u"making changes to bring db schema to 1.3"_s, 6);
        addColumnOrFail(conn, u"MonthlyData"_s, u"ShapingSpeed"_s, u"VARCHAR(8)"_s);
    }
    if (version < 1.4) {
        log(header + u"making changes to bring db schema to 1.4"_s, 6);
        addColumnOrFail(conn, u"DailyData"_s, u"Upload"_s, u"REAL"_s);
        addColumnOrFail(conn, u"MonthlyData"_s, u"PlanName"_s, u"VARCHAR(30)"_s);
        addColumnOrFail(conn, u"MonthlyData"_s, u"ProductName"_s, u"VARCHAR(30)"_s);
    }
}

void SchemaUpgrade::createTables(LiteConnection& conn)
{
    log(header + u"creating database tables for db schema 1.0"_s, 6);
    for (const TableDefinition& table : schema10Tables) {
        QString err;
        const int32_t code = m_sql.ExecuteSQL(conn, table.sql, err);
        if (code == LiteErrorNumber::TableMissingOrExists)
            log(header + u"table "_s + table.name + u" already exists"_s, 3);
        else if (code != 0)
            throw SchemaFailure{header + u"failed to create "_s + table.name + u" table:"_s + crlf + err};
    }
}

void SchemaUpgrade::moveClassNames(LiteConnection& conn)
{
    // Before 1.2 the class names lived in a DailyData row dated 'names'.
    const QList<std::pair<QString, QString>> labels = {
        {u"PeakLabel"_s, u"peak"_s}, {u"OffPeakLabel"_s, u"offpeak"_s}, {u"FreezoneLabel"_s, u"freezone"_s}};
    for (const auto& [label, column] : labels) {
        QString err;
        if (m_sql.ExecuteSQL(conn,
                             u"replace into Config(id, Value) values('"_s + label + u"', (select "_s + column +
                                 u" from dailydata where date='names'))"_s,
                             err) != 0)
            log(header + u"failed to move "_s + label + u" from DailyData table to Config table: "_s + crlf + err, 1);
    }
    QString err;
    if (m_sql.ExecuteSQL(conn, u"delete from DailyData where date='names'"_s, err) != 0)
        log(header + u"failed to remove names row from DailyData table: "_s + crlf + err, 1);
}

bool SchemaUpgrade::addColumn(LiteConnection& conn, const QString& table, const QString& column, const QString& type,
                              QString& szErr)
{
    const int32_t code =
        m_sql.ExecuteSQL(conn, u"alter table "_s + table + u" add column "_s + column + u' ' + type, szErr);
    if (code == LiteErrorNumber::ColumnExists) {
        log(header + u"column "_s + column + u" already exists in table "_s + table, 3);
        return true;
    }
    return code == 0;
}

void SchemaUpgrade::addColumnOrFail(LiteConnection& conn, const QString& table, const QString& column,
                                    const QString& type)
{
    QString err;
    if (!addColumn(conn, table, column, type, err))
        throw SchemaFailure{header + u"failed to add "_s + column + u" column to "_s + table + u" table:"_s + crlf +
                            err};
}
