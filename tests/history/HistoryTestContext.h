// SPDX-License-Identifier: MIT
#pragma once

#include "CoreTestContext.h"
#include "LiteConnection.h"
#include "modSQL.h"
#include "qoMonth.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

// A core test context with the history database of the user "fred@quolla.example" in the
// test's own data folder, and direct access to the file for checks and fixtures.
class HistoryTestContext
{
public:
    explicit HistoryTestContext(const QString& name);

    CoreTestContext core;
    modSQL history{core.app, core.settings, core.run, core.log};

    // data folder/fred.sl3
    QString databasePath() const;
    // A connection of its own to the file, for fixtures and checks.
    LiteConnection open() const;
    // Runs statements on the file directly; a failure fails the test.
    void exec(const QString& sql, const LiteRow& params = {}) const;
    // The first column of the first row, NULL when there is none.
    LiteValue value(const QString& sql, const LiteRow& params = {}) const;
    // Every row of a query, values joined by "|", rows in result order.
    QStringList rows(const QString& sql) const;
    // "name type" of every column of a table, in table order.
    QStringList columns(const QString& table) const;

    // Log lines of debug.log with the given level.
    QStringList logAt(int level) const;

    static QByteArray fileBytes(const QString& path);
    static LocalDateTime day(int year, int month, int dayOfMonth);

    // A current month of a peak and off-peak plan: `days` days from firstDay, peak i+1.25,
    // off-peak 2*i, free zone 0.5, uploads 0.1*i, all class titles set.
    static qoMonth sampleMonth(const LocalDateTime& firstDay, int days);
};
