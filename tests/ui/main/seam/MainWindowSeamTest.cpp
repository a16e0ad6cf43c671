// SPDX-License-Identifier: MIT
#include "MainWindowSeamTest.h"

#include "LiteConnection.h"
#include "LiteStatement.h"
#include "frmMain.h"

#include <QFile>
#include <QLineEdit>

using namespace Qt::StringLiterals;

MainWindowSeamTest::MainWindowSeamTest()
{
    provider.setToday(Now.date());
    EXPECT_TRUE(provider.start());
    core.clock.set(Now);
    core.settings.Username = u"alice"_s;
    core.settings.Password = u"sunshine 42"_s;
    core.settings.Timeout = 10;
    core.useProvider(provider.baseUrl());
    QString error;
    EXPECT_TRUE(history.CheckSQLDatabase(error)) << error.toStdString();

    seam.attach({core.app, core.settings, core.run, core.log, core.registry, core.clock, seam, cycle, history,
                 mainRoutines, store, links});
    seam.showMainWindow(false);
    seam.form()->setEndProgram([this] { ++ended; });
    seam.AddTrayIcon(u"none_none"_s, core.app.ProductName);
}

bool MainWindowSeamTest::refresh()
{
    bool fromcache = false;
    return cycle.RefreshData(fromcache, true, true);
}

int MainWindowSeamTest::monthsIn(const QString& user) const
{
    if (!QFile::exists(core.run.DataDir + u'/' + user + u".sl3"_s))
        return 0;
    LiteConnection conn;
    conn.Open(core.run.DataDir + u'/' + user + u".sl3"_s);
    LiteStatement count = conn.Prepare(u"select count(*) from MonthlyData"_s);
    return count.Step() ? int(count.ColumnValue(0).toInteger()) : -1;
}

QString MainWindowSeamTest::text(const QString& control, int index) const
{
    const auto* box = qobject_cast<QLineEdit*>(seam.form()->control({control, index}));
    return box ? box->text() : u"<none>"_s;
}
