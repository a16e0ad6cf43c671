// SPDX-License-Identifier: MIT
// Times the history database with ten years (120 months) of daily data in a temporary folder:
// storing the current month (with its schema check and the compaction), reading a month back,
// listing the months and computing every month's totals.
#include "AppInfo.h"
#include "HeadlessWindowSeam.h"
#include "LogFileWriter.h"
#include "LogFrontEnd.h"
#include "RegistryAccess.h"
#include "RegistryStore.h"
#include "RunState.h"
#include "Settings.h"
#include "SyntheticMonth.h"
#include "modSQL.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {
struct Timing
{
    double averageMs;
    double worstMs;
};

Timing time(int iterations, const std::function<bool()>& body)
{
    double total = 0;
    double worst = 0;
    for (int i = 0; i < iterations; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!body()) {
            std::fprintf(stderr, "operation failed\n");
            std::exit(1);
        }
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        total += elapsed.count();
        worst = std::max(worst, elapsed.count());
    }
    return {total / iterations, worst};
}

void report(const char* what, const Timing& timing)
{
    std::printf("%-44s %8.2f ms average, %8.2f ms worst\n", what, timing.averageMs, timing.worstMs);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    RegistryStore::setCurrentUserPath(folder.filePath(u"registry.reg"_s));

    const AppInfo app = AppInfo::current();
    Settings settings;
    settings.Username = u"fred@quolla.example"_s;
    RunState run;
    run.DataDir = folder.path();
    SystemRegistry registry;
    // No window: the benchmark runs as the hidden run-once mode does.
    HeadlessWindowSeam window([](const QString&) {});
    SystemClock clock;
    LogFileWriter writer([] { return QDateTime::currentDateTime(); });
    LogFrontEnd log(app, registry, settings, run, window, clock, writer);
    modSQL history(app, settings, run, log);

    // Ten years of months beginning on the 14th, the newest the current month.
    constexpr int Months = 120;
    const LocalDateTime firstMonth = *LocalDateTime::fromParts(2000, 1, 14);
    QString err;
    for (int i = 0; i < Months - 1; ++i) {
        if (!history.qoMonth2SQL(syntheticMonth(firstMonth.addMonths(i), i), true, err)) {
            std::fprintf(stderr, "setup failed: %s\n", qPrintable(err));
            return 1;
        }
    }
    const qoMonth current = syntheticMonth(firstMonth.addMonths(Months - 1), Months - 1);
    if (!history.qoMonth2SQL(current, false, err)) {
        std::fprintf(stderr, "setup failed: %s\n", qPrintable(err));
        return 1;
    }
    std::printf("database: %d months, %lld bytes\n", Months, qlonglong(QFileInfo(history.DatabaseFile()).size()));

    report("store the current month (check + vacuum)",
           time(20, [&] { return history.qoMonth2SQL(current, false, err); }));
    report("check the schema (CheckSQLDatabase)", time(20, [&] { return history.CheckSQLDatabase(err); }));
    const qoMonth previous = syntheticMonth(firstMonth.addMonths(Months - 2), Months - 2);
    report("store a back-filled month (no vacuum)", time(20, [&] { return history.qoMonth2SQL(previous, true, err); }));
    const LocalDateTime middle = firstMonth.addMonths(Months / 2);
    qoMonth month;
    report("read a month back (SQL2qoMonth)", time(100, [&] { return history.SQL2qoMonth(middle, month, err); }));
    report("read the newest month (SQL2qoMonth 0)", time(100, [&] { return history.SQL2qoMonth({}, month, err); }));
    QList<LocalDateTime> months;
    report("list the months (SQLGetMonths)", time(100, [&] { return history.SQLGetMonths(months, err); }));
    MonthlyTotals totals;
    report("monthly totals (SQLGetMonthlyTotals)", time(20, [&] { return history.SQLGetMonthlyTotals(totals, err); }));
    if (months.size() != Months || totals.Dates.size() != Months || month.DailyDates.isEmpty()) {
        std::fprintf(stderr, "unexpected results\n");
        return 1;
    }
    return 0;
}
