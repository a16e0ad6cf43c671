// SPDX-License-Identifier: MIT
#include "SQLAccess.h"

#include "LogFrontEnd.h"

using namespace Qt::StringLiterals;

QString SQLAccess::errorText(const LiteError& error)
{
    return u'[' + QString::number(error.number()) + u"] "_s + error.description();
}

QString SQLAccess::traceText(const QString& sql, const LiteRow& params)
{
    if (params.isEmpty())
        return sql;
    QString text;
    qsizetype next = 0;
    QChar quote;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?' && next < params.size()) {
            text += params.at(next++).toSqlLiteral();
            continue;
        }
        text += c;
    }
    return text;
}

bool SQLAccess::OpenSQLDatabase(const QString& file, LiteConnection& conn, QString& szErr)
{
    m_log.LogMessage(u"OpenSQLDatabase: "_s + file, 20);
    if (file.isEmpty()) {
        szErr = u"[-1] no database filename specified"_s;
        return false;
    }
    try {
        conn.Open(file);
        return true;
    } catch (const LiteError& error) {
        szErr = errorText(error);
        return false;
    }
}

int32_t SQLAccess::ExecuteSQL(LiteConnection& conn, const QString& sql, QString& szErr, LiteResult* result,
                              const LiteRow& params)
{
    m_log.LogMessage(u"ExecuteSQL: "_s + traceText(sql, params), 20);
    try {
        LiteResult row = conn.Execute(sql, params);
        if (result)
            *result = std::move(row);
        return 0;
    } catch (const LiteError& error) {
        szErr = errorText(error);
        return error.number();
    }
}

int32_t SQLAccess::RetrieveSQL(LiteConnection& conn, const QString& sql, LiteStatement& statement, QString& szErr,
                               const LiteRow& params)
{
    m_log.LogMessage(u"RetrieveSQL: "_s + traceText(sql, params), 20);
    try {
        statement = conn.Prepare(sql, params);
        return 0;
    } catch (const LiteError& error) {
        szErr = errorText(error);
        return error.number();
    }
}
