// SPDX-License-Identifier: MIT
// Times the registry routines against a store in a temporary folder: a read of an unchanged file
// (served from the parsed copy after one stat) and a write (lock, read, parse, save, fsync, rename).
#include "RegistryRoutines.h"
#include "RegistryStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
template <typename F>
double averageMicroseconds(int iterations, F&& body)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < iterations; ++i)
        body(i);
    const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / iterations;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    RegistryStore::setCurrentUserPath(folder.filePath(u"registry.reg"_s));

    // A file of a realistic size: a few keys with the settings the program keeps.
    const QString key = u"Software\\Tallymeter\\Config"_s;
    QString szErr;
    for (int i = 0; i < 40; ++i) {
        if (!WriteRegStringValue(HKEY_CURRENT_USER, key, u"Setting"_s + QString::number(i),
                                 u"value number "_s + QString::number(i), szErr) ||
            !WriteRegWordValue(HKEY_CURRENT_USER, key + QString::number(i % 4), u"Number"_s + QString::number(i), i,
                               szErr)) {
            std::fprintf(stderr, "write failed: %s\n", qPrintable(szErr));
            return 1;
        }
    }

    constexpr int Reads = 200000;
    QString text;
    int found = 0;
    const double read = averageMicroseconds(Reads, [&](int i) {
        found += GetRegValue(HKEY_CURRENT_USER, key, u"Setting"_s + QString::number(i % 40), text) ? 1 : 0;
    });

    constexpr int Writes = 500;
    const double write = averageMicroseconds(Writes, [&](int i) {
        found += WriteRegStringValue(HKEY_CURRENT_USER, key, u"Bench"_s, QString::number(i), szErr) ? 1 : 0;
    });

    if (found != Reads + Writes) {
        std::fprintf(stderr, "some calls failed: %s\n", qPrintable(szErr));
        return 1;
    }
    std::printf("registry file: 80 values in 5 keys\n");
    std::printf("GetRegValue, unchanged file:  %8.2f us per call (%d calls)\n", read, Reads);
    std::printf("WriteRegStringValue:          %8.2f us per call (%d calls)\n", write, Writes);
    return 0;
}
