// SPDX-License-Identifier: MIT
// Times Pelborne's RetrieveData served from its cache file: the sample account's month (31 days)
// and a reply of about 1 MB. Everything it writes (registry store, cache files) goes to a temporary
// home. Usage: json_retrieval_bench [repetitions]   (build a Release configuration for real figures)
#include "ComRuntime.h"
#include "MonthDescription.h"
#include "MonthJsonRenderer.h"
#include "Pelborne/UsageDataInterface.h"

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QByteArray sampleMonth()
{
    QFile file(QStringLiteral(TALLY_FIXTURES_DIR) + u"/provider/accounts/alice/usage-202403.json"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::optional<MonthDescription> month =
        MonthDescription::fromJson(file.readAll(), QDate(2024, 3, 1), QDate(2024, 3, 31), nullptr);
    return month ? MonthJsonRenderer::usage(*month, false) : QByteArray();
}

// The sample month's reply with its days repeated (and dated on) until it reaches the size.
QByteArray largeReply(const QByteArray& month, qsizetype minimumSize)
{
    const qsizetype dataStart = month.indexOf("\"data\":[") + 8;
    const qsizetype dataEnd = month.lastIndexOf("]}");
    QByteArray days;
    QDate day(2000, 1, 1);
    while (days.size() < minimumSize) {
        if (!days.isEmpty())
            days += ',';
        const qint64 seed = day.toJulianDay();
        days += "{\"period\":" + day.toString(u"yyyyMMdd"_s).toLatin1() +
                ",\"types\":[{\"type\":\"peak\",\"value\":" + QByteArray::number(seed * 7919 % 4000000000LL) +
                "},{\"type\":\"offpeak\",\"value\":\"" + QByteArray::number(seed * 104729 % 2000000000LL) +
                "\"},{\"type\":\"freezone\",\"value\":" + QByteArray::number(seed * 1299709 % 500000000LL) +
                "},{\"type\":\"uploads\",\"value\":" + QByteArray::number(seed * 15485863 % 400000000LL) + "}]}";
        day = day.addDays(1);
    }
    return month.left(dataStart) + days + month.mid(dataEnd);
}

double millisecondsPerCall(Pelborne::_UsageData& usage, int repetitions, int& days)
{
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        bool fromCache = true;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = usage.RetrieveData(u"alice"_s, u"x"_s, fromCache);
        const auto end = std::chrono::steady_clock::now();
        if (!ok) {
            std::fprintf(stderr, "RetrieveData failed: %s\n", qPrintable(usage.szLastErrorDetail()));
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    days = usage.arrayDailyDates() ? int(usage.arrayDailyDates()->size()) : 0;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    // Before anything reads the registry store or the data folders.
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + u"/config"_s).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + u"/data"_s).toLocal8Bit());

    const QByteArray month = sampleMonth();
    const QByteArray large = largeReply(month, 1'000'000);
    const std::shared_ptr<Pelborne::_UsageData> usage =
        comQuery<Pelborne::_UsageData>(ComRuntime::createObject(u"Pelborne.UsageData"_s));
    if (month.isEmpty() || !usage)
        return 1;
    usage->szCachePath(home.path());

    const std::pair<const char*, QByteArray> cases[] = {{"sample month", month}, {"1 MB reply", large}};
    for (const auto& [name, reply] : cases) {
        QFile cache(home.path() + u"/alice-json.txt"_s);
        if (!cache.open(QIODevice::WriteOnly) || cache.write(reply) != reply.size())
            return 1;
        cache.close();
        int days = 0;
        const double ms = millisecondsPerCall(*usage, repetitions, days);
        std::printf("%-12s %8lld bytes %5d days: median %.3f ms per cached RetrieveData (%d runs)\n", name,
                    static_cast<long long>(reply.size()), days, ms, repetitions);
    }
    return 0;
}
