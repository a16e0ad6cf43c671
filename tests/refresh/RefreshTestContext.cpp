// SPDX-License-Identifier: MIT
#include "RefreshTestContext.h"

#include "LiteConnection.h"
#include "LiteStatement.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

RefreshTestContext::RefreshTestContext(const QString& name) : core(name)
{
    core.settings.Username = u"fred@quolla.example"_s;
    core.settings.Password = u"secret"_s;
}

void RefreshTestContext::openDatabase()
{
    QString error;
    ASSERT_TRUE(history.CheckSQLDatabase(error)) << error.toStdString();
}

bool RefreshTestContext::refresh(bool fromcacheArgument, bool quiet, bool manual)
{
    fromcache = fromcacheArgument;
    return cycle.RefreshData(fromcache, quiet, manual);
}

void RefreshTestContext::setComponentDate(const QString& component, const QString& user, const QString& text)
{
    core.setText(u"Software\\"_s + component + u"\\Config"_s, user, text);
}

QStringList RefreshTestContext::logAt(int level) const
{
    QStringList lines;
    for (const CoreTestContext::LogLine& line : core.logLines()) {
        if (line.level == level)
            lines.append(line.text);
    }
    return lines;
}

bool RefreshTestContext::logged(const QString& text, int level) const
{
    return logAt(level).contains(text);
}

QString RefreshTestContext::loggedStartingWith(const QString& start) const
{
    for (const QString& line : core.logTexts()) {
        if (line.startsWith(start))
            return line;
    }
    return {};
}

QStringList RefreshTestContext::storedMonths() const
{
    QStringList rows;
    if (history.DatabaseFile().isEmpty())
        return rows;
    LiteConnection conn;
    conn.Open(history.DatabaseFile());
    LiteStatement statement =
        conn.Prepare(u"select AnniversaryDate, LastUpdate from MonthlyData order by AnniversaryDate"_s);
    while (statement.Step())
        rows.append(statement.ColumnValue(0).toText() + u'|' + statement.ColumnValue(1).toText());
    return rows;
}
