// SPDX-License-Identifier: MIT
// Times the history database with ten years (120 months) of daily data in a temporary folder:
// storing the current month (with its schema check and the compaction), reading a month back,
// listing the months and computing every month's totals.
#include "AppInfo.h"
#include "LogFileWriter.h"
#include "LogFrontEnd.h"
#include "RegistryAccess.h"
#include "RegistryStore.h"
#include "RunState.h"
#include "Settings.h"
#include "WindowSeam.h"
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
// No window: the benchmark runs as the hidden run-once mode does.
class NoWindow final : public WindowSeam
{
public:
    bool isFormLoaded() const override { return false; }
    bool isMainWindowVisible() const override { return false; }
    void showMainWindow(bool) override {}
    void setCaption(const QString&) override {}
    void repaintMainWindow() override {}
    void setBusyPointer(bool) override {}
    void restoreMainWindow() override {}
    void exitProgram() override {}
    void SetURLs() override {}
    void setStatusText(const QString&) override {}
    void setStatusPicture(const QString&) override {}
    void setStatusToolTip(const QString&) override {}
    QString debugLogText() const override { return {}; }
    void setDebugLogText(const QString&) override {}
    BoxAnswer messageBox(const QString&, const QString&, BoxIcon, BoxButtons) override { return BoxAnswer::Ok; }
    void AddTrayIcon(const QString&, const QString&) override {}
    void ModifyTrayIcon(const QString&) override {}
    void ModifyTrayToolTip(const QString&) override {}
    void setTrayAnimation(bool) override {}
    void setRefreshControlsEnabled(bool) override {}
    void setMonthListVisible(bool) override {}
    void clearMonthList() override {}
    void addMonthListItem(const QString&) override {}
    void setMonthListSelecting(bool) override {}
    void setMonthListIndex(int) override {}
    void InitValueDisplay(bool) override {}
    void setControlText(const ControlRef&, const QString&) override {}
    void setControlToolTip(const ControlRef&, const QString&) override {}
    void setControlTextColour(const ControlRef&, uint32_t) override {}
    void setControlVisible(const ControlRef&, bool) override {}
    void UpdateProgressBar(const qoMonth&) override {}
    bool ParseArrays(bool, const qoMonth&, QString&) override { return true; }
    void showOptionsDialog() override {}
    void showPasswordDialog() override {}
    void DoVersionCheck(bool, bool) override {}
    bool isGraphWindowLoaded() const override { return false; }
    void RefreshTeeGraph(const qoMonth&) override {}
};

qoMonth monthFrom(const LocalDateTime& firstDay, int seed)
{
    const int days = int(firstDay.dayBoundariesTo(firstDay.addMonths(1)));
    qoMonth month;
    month.LastUpdate = firstDay.addDays(days - 1).addHours(22).toString();
    month.IP = u"203.0.113.9"_s;
    month.LastConnect = firstDay.addHours(7).toString();
    month.AnniversaryDate = firstDay;
    month.ShapingSpeed = u"256"_s;
    month.PlanName = u"Home 50"_s;
    month.ProductName = u"Fibre"_s;
    month.PeakQuota = 25000;
    month.OffPeakQuota = 50000;
    month.PeakStart = 8;
    month.PeakEnd = 23;
    month.DailyHeaders = {u"Date"_s, u"Peak"_s, u"Offpeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s};
    for (int i = 0; i < days; ++i) {
        const float peak = float((seed * 31 + i * 17) % 900) + 0.37f;
        const float offpeak = float((seed * 13 + i * 29) % 1500) + 0.61f;
        month.DailyDates.append(firstDay.addDays(i));
        month.DailyPeak.append(peak);
        month.DailyOffpeak.append(offpeak);
        month.DailyFreezone.append(12.5f);
        month.DailyTotals.append(peak + offpeak + 12.5f);
        month.DailyUploads.append(float(i % 7) * 3.25f);
    }
    return month;
}

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
    NoWindow window;
    SystemClock clock;
    LogFileWriter writer([] { return QDateTime::currentDateTime(); });
    LogFrontEnd log(app, registry, settings, run, window, clock, writer);
    modSQL history(app, settings, run, log);

    // Ten years of months beginning on the 14th, the newest the current month.
    constexpr int Months = 120;
    const LocalDateTime firstMonth = *LocalDateTime::fromParts(2000, 1, 14);
    QString err;
    for (int i = 0; i < Months - 1; ++i) {
        if (!history.qoMonth2SQL(monthFrom(firstMonth.addMonths(i), i), true, err)) {
            std::fprintf(stderr, "setup failed: %s\n", qPrintable(err));
            return 1;
        }
    }
    const qoMonth current = monthFrom(firstMonth.addMonths(Months - 1), Months - 1);
    if (!history.qoMonth2SQL(current, false, err)) {
        std::fprintf(stderr, "setup failed: %s\n", qPrintable(err));
        return 1;
    }
    std::printf("database: %d months, %lld bytes\n", Months, qlonglong(QFileInfo(history.DatabaseFile()).size()));

    report("store the current month (check + vacuum)",
           time(20, [&] { return history.qoMonth2SQL(current, false, err); }));
    report("check the schema (CheckSQLDatabase)", time(20, [&] { return history.CheckSQLDatabase(err); }));
    const qoMonth previous = monthFrom(firstMonth.addMonths(Months - 2), Months - 2);
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
