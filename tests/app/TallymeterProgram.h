// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryValue.h"
#include "TestEnvironment.h"

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

// The built program in a home of its own against the fake provider program, both as processes.
class TallymeterProgram : public ::testing::Test
{
protected:
    // Without the provider process a test hosts a provider of its own and sets base before
    // writeProfile(); run() keeps this process's events flowing so that provider answers.
    explicit TallymeterProgram(bool startProvider = true);
    ~TallymeterProgram() override;

    // What the provider has logged so far: a line per request.
    QString providerLog() const;
    // Settings for the sample account against the provider; extra: more lines for the shared
    // settings key.
    void writeProfile(const QString& password, const QString& extra = {});
    // A value in the program's registry file, as a user would set one by hand.
    void setRegistryValue(const QString& key, const QString& name, const RegistryValue& value);
    // Takes the user's last refresh an hour back for both components, so that the next run fetches
    // live instead of reading the cache within the minimum interval.
    void ageLastRefresh(const QString& user = QStringLiteral("alice"));
    // Runs the program to its end; its exit status, -1 when it hung or did not start, -2 when it
    // crashed.
    int run(const QStringList& arguments);
    // The same with standard output and error a pipe that nobody reads any more, as when the
    // program is piped into one that ended early; the default action of SIGPIPE is restored.
    int runIntoClosedPipe(const QStringList& arguments);
    QString log() const;
    // Turns this process's events (in which a provider or a watcher of this process answers) until
    // done() or ms have passed; done() at the end.
    static bool waitFor(const std::function<bool()>& done, int ms);
    // Months in the sample account's database; -1 when it cannot be read.
    int storedMonths() const;
    // The rows a query gives on the sample account's database, each column as SQLite writes it as
    // text (NULL as "NULL"); nothing when the database or the query cannot be read.
    QList<QStringList> storedRows(const char* sql) const;
    // Stores an empty month that begins on firstDay ("yyyy-mm-dd") in the sample account's
    // database, as an earlier release kept it; false when the database cannot be written.
    bool addStoredMonth(const QString& firstDay) const;
    // The data folder's files (hidden ones too), by name.
    QStringList dataFiles() const;
    // Where the program keeps its single-instance lock and socket.
    QString lockFolder() const { return home + QStringLiteral("/.cache/tallymeter"); }
    // Everything a refresh keeps in the data folder (database, exports, cached replies) by name;
    // the log aside.
    QMap<QString, QByteArray> keptFiles() const;

    QString home = TestEnvironment::freshFolder(
        QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    QString dataDir = home + QStringLiteral("/data/Tallyroo");
    QProcess provider;
    QString base;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString output; // the program's standard error
};
