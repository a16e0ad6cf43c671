// SPDX-License-Identifier: MIT
// Times one refresh that reads the current month from the JSON component's cache (no network),
// with the month calculations, the store into a ten-year history database, the month list, the
// display hand-off and both exports, in a temporary folder. The cache is filled first by one
// live refresh from the local fake provider.
#include "AppInfo.h"
#include "FakeProvider.h"
#include "HeadlessWindowSeam.h"
#include "LogFileWriter.h"
#include "LogFrontEnd.h"
#include "MainRoutines.h"
#include "RefreshCycle.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "Settings.h"
#include "SyntheticMonth.h"
#include "modSQL.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
const SyntheticMonthShape RefreshShape{150000, 150000, 2, 9000, 5000};
const LocalDateTime Now = *LocalDateTime::fromParts(2024, 3, 20, 12, 0, 0);

void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "%s%s%s\n", what, detail.isEmpty() ? "" : ": ", qPrintable(detail));
    std::exit(1);
}

struct Figures
{
    double averageMs = 0;
    double medianMs = 0;
    double worstMs = 0;
    double cpuMs = 0; // processor time per refresh, which other programs' load does not stretch
};

double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

Figures summarise(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    Figures figures;
    for (double t : times)
        figures.averageMs += t;
    figures.averageMs /= double(times.size());
    figures.medianMs = times[times.size() / 2];
    figures.worstMs = times.back();
    return figures;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid())
        fail("cannot make a temporary folder");
    // The components read the current user's default store, so the program uses it too.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(u"config"_s)));

    FakeProvider provider(QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider"_s);
    provider.setToday(Now.date());
    if (!provider.start())
        fail("cannot start the fake provider");

    const AppInfo app = AppInfo::current();
    Settings settings;
    settings.Username = u"alice"_s;
    settings.Password = u"sunshine 42"_s;
    settings.Timeout = 10;
    settings.OptionFlags = Settings::DefaultOptions | int32_t(OptionFlag::XMLExport | OptionFlag::CSVExport);
    RunState run;
    run.DataDir = folder.filePath(u"data"_s);
    QDir().mkpath(run.DataDir);
    SystemRegistry registry;
    QString err;
    registry.WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Pelborne\\Config"_s, u"ToolboxURL"_s,
                                 provider.baseUrl(), err);
    registry.WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Sarnick\\Config"_s, u"Path"_s, run.DataDir, err);

    FixedClock clock(Now);
    QStringList statusLines;
    HeadlessWindowSeam window([&](const QString& line) { statusLines.append(line); });
    LogFileWriter writer([] { return QDateTime::currentDateTime(); });
    LogFrontEnd log(app, registry, settings, run, window, clock, writer);
    modSQL history(app, settings, run, log);
    MainRoutines mainRoutines(app, settings, run, window, log, history.storedMonthsReader());
    RefreshCycle cycle(app, settings, run, window, log, registry, clock, history, mainRoutines);

    // Ten years: 119 stored months before the current one, which the refreshes store.
    if (!history.CheckSQLDatabase(err))
        fail("no database", err);
    const LocalDateTime current = *LocalDateTime::fromParts(2024, 3, 1);
    for (int i = 119; i >= 1; --i) {
        if (!history.qoMonth2SQL(syntheticMonth(current.addMonths(-i), i, RefreshShape), true, err))
            fail("setup failed", err);
    }

    // One live refresh without history fills the component's cache.
    settings.OptionFlags &= ~int32_t(OptionFlag::History);
    bool fromcache = false;
    if (!cycle.RefreshData(fromcache, true, false))
        fail("the live refresh failed", statusLines.join(u'\n'));
    settings.OptionFlags |= int32_t(OptionFlag::History);

    const auto timeRefresh = [&](bool requestCached) {
        std::vector<double> times;
        double cpu = 0;
        for (int i = 0; i < 30; ++i) {
            // The component's fetch is newer than the stored month, so the month comes from its
            // cache file, not from the database.
            clock.advanceSeconds(30);
            registry.WriteRegStringValue(HKEY_CURRENT_USER, u"Software\\Pelborne\\Config"_s, settings.Username,
                                         clock.now().toString(), err);
            provider.clearRequests();
            statusLines.clear();
            bool flag = requestCached;
            const double cpuStart = processCpuMs();
            const auto start = std::chrono::steady_clock::now();
            const bool ok = cycle.RefreshData(flag, true, false);
            const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
            cpu += processCpuMs() - cpuStart;
            if (!ok || !flag || !provider.requests().isEmpty() ||
                !statusLines.last().endsWith(u"retrieved cached data for alice from cached XML JSON file"_s))
                fail("a refresh did not read the component's cache", statusLines.join(u'\n'));
            times.push_back(elapsed.count());
        }
        Figures figures = summarise(times);
        figures.cpuMs = cpu / double(times.size());
        return figures;
    };

    std::printf("database: %s, %lld bytes\n", qPrintable(history.DatabaseFile()),
                qlonglong(QFileInfo(history.DatabaseFile()).size()));
    const Figures cached = timeRefresh(true);
    std::printf("RefreshData from the component's cache (reload)     %8.2f ms average, %8.2f ms median, %8.2f ms "
                "worst, %8.2f ms processor\n",
                cached.averageMs, cached.medianMs, cached.worstMs, cached.cpuMs);
    const Figures turned = timeRefresh(false);
    std::printf("RefreshData live request turned cached read         %8.2f ms average, %8.2f ms median, %8.2f ms "
                "worst, %8.2f ms processor\n",
                turned.averageMs, turned.medianMs, turned.worstMs, turned.cpuMs);

    // Where the time goes: the parts of the refresh on their own.
    const auto timePart = [&](const char* what, const std::function<bool()>& part) {
        std::vector<double> times;
        for (int i = 0; i < 30; ++i) {
            const auto start = std::chrono::steady_clock::now();
            if (!part())
                fail(what, err);
            const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
            times.push_back(elapsed.count());
        }
        const Figures figures = summarise(times);
        std::printf("  %-50s %8.2f ms average, %8.2f ms median\n", what, figures.averageMs, figures.medianMs);
    };
    qoMonth month;
    QString detail;
    timePart("read the component's cache (Pelborne2qoMonth)",
             [&] { return cycle.converters().Pelborne2qoMonth(true, month, false, err, detail); });
    timePart("store the month (qoMonth2SQL with vacuum)", [&] { return history.qoMonth2SQL(month, false, err); });
    timePart("list the months (SQLGetMonths)", [&] { return mainRoutines.SQLGetMonths(err); });
    timePart("hand the month to the display (qoMonth2Form)",
             [&] { return cycle.display().qoMonth2Form(month, false, err); });

    QList<LocalDateTime> months;
    if (!history.SQLGetMonths(months, err) || months.size() != 120)
        fail("the database does not hold ten years", err);
    return 0;
}
