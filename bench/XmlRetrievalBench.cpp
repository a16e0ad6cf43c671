// SPDX-License-Identifier: MIT
// Times Sarnick's RetrieveData served from its cache file for the sample account's month (31 days).
// Everything it writes (registry store, cache file) goes to a temporary home.
// Usage: xml_retrieval_bench [repetitions]   (build a Release configuration for real figures)
#include "ComRuntime.h"
#include "MonthDescription.h"
#include "MonthXmlRenderer.h"
#include "Sarnick/UsageDataInterface.h"

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
    return month ? MonthXmlRenderer::usage(*month) : QByteArray();
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
    const std::shared_ptr<Sarnick::_UsageData> usage =
        comQuery<Sarnick::_UsageData>(ComRuntime::createObject(u"Sarnick.UsageData"_s));
    if (month.isEmpty() || !usage)
        return 1;
    usage->szCachePath(home.path());
    QFile cache(home.path() + u"/alice.xml"_s);
    if (!cache.open(QIODevice::WriteOnly) || cache.write(month) != month.size())
        return 1;
    cache.close();

    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        bool fromCache = true;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = usage->RetrieveData(u"alice"_s, u"x"_s, fromCache);
        const auto end = std::chrono::steady_clock::now();
        if (!ok) {
            std::fprintf(stderr, "RetrieveData failed: %s\n", qPrintable(usage->szLastErrorDetail()));
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    const int days = usage->arrayDailyDates() ? int(usage->arrayDailyDates()->size()) : 0;
    std::printf("sample month %8lld bytes %5d days: median %.3f ms per cached RetrieveData (%d runs)\n",
                static_cast<long long>(month.size()), days, times[times.size() / 2], repetitions);
    return 0;
}
