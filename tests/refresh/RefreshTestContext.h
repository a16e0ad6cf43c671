// SPDX-License-Identifier: MIT
#pragma once

#include "CoreTestContext.h"
#include "MainRoutines.h"
#include "RefreshCycle.h"
#include "modSQL.h"

#include <QString>
#include <QStringList>

// A core test context with the history database of "fred@quolla.example", the month list and a
// refresh cycle over them; the components are whatever the test process serves.
class RefreshTestContext
{
public:
    explicit RefreshTestContext(const QString& name);

    CoreTestContext core;
    modSQL history{core.app, core.settings, core.run, core.log};
    MainRoutines mainRoutines{core.app, core.settings, core.run, core.window, core.log, history.storedMonthsReader()};
    RefreshCycle cycle{core.app,      core.settings, core.run, core.window, core.log,
                       core.registry, core.clock,    history,  mainRoutines};

    // Creates the database file of the current user name; fails the test when it cannot.
    void openDatabase();
    // RefreshData; fromcache holds the flag as the refresh left it.
    bool refresh(bool fromcacheArgument = false, bool quiet = false, bool manual = true);
    bool fromcache = false;

    // Stores the component's last-fetch time for the user under the component's key.
    void setComponentDate(const QString& component, const QString& user, const QString& text);

    // Log lines at a level, and whether a line is there at that level.
    QStringList logAt(int level) const;
    bool logged(const QString& text, int level) const;
    // The first log line that starts with the text, empty when none.
    QString loggedStartingWith(const QString& start) const;
    // The rows of MonthlyData as "AnniversaryDate|LastUpdate", oldest first.
    QStringList storedMonths() const;
};
