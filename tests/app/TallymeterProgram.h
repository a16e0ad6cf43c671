// SPDX-License-Identifier: MIT
#pragma once

#include "TestEnvironment.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The built program in a home of its own against the fake provider program, both as processes.
class TallymeterProgram : public ::testing::Test
{
protected:
    TallymeterProgram();
    ~TallymeterProgram() override;

    // What the provider has logged so far: a line per request.
    QString providerLog() const;
    // Settings for the sample account against the provider; extra: more lines for the shared
    // settings key.
    void writeProfile(const QString& password, const QString& extra = {});
    // Runs the program to its end; its exit status, -1 when it hung, -2 when it crashed.
    int run(const QStringList& arguments);
    // The same with standard output and error a pipe that nobody reads any more, as when the
    // program is piped into one that ended early; the default action of SIGPIPE is restored.
    int runIntoClosedPipe(const QStringList& arguments);
    QString log() const;
    // Months in the sample account's database; -1 when it cannot be read.
    int storedMonths() const;

    QString home = TestEnvironment::freshFolder(
        QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    QString dataDir = home + QStringLiteral("/data/Tallyroo");
    QProcess provider;
    QString base;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString output; // the program's standard error
};
