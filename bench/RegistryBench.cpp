// SPDX-License-Identifier: MIT
// Times the registry routines against a store in a temporary folder: a read of an unchanged file
// (served from the parsed copy after one stat) and a write (lock, read, parse, save, fsync, rename);
// then a hand-edited file with one deeply nested key line: its first read, one save and the read
// of what was saved.
#include "RegistryRoutines.h"
#include "RegistryStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
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

template <typename F>
double milliseconds(F&& body)
{
    const auto start = std::chrono::steady_clock::now();
    body();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

// A key line of about lineBytes bytes, `depth` components deep, with one value under it.
bool deepKeyFigures(const QString& folder, qsizetype lineBytes, qsizetype depth)
{
    const QString path = folder + u"/deep-"_s + QString::number(lineBytes) + u'-' + QString::number(depth) + u".reg"_s;
    const QByteArray component(std::max<qsizetype>(1, lineBytes / depth - 1), 'k');
    QByteArray line = "[" + component;
    QString key = QString::fromLatin1(component);
    for (qsizetype i = 1; i < depth; ++i) {
        line += '\\' + component;
        key += u'\\' + QString::fromLatin1(component);
    }
    line += "]";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("Tallymeter registry 1\n\n" + line + "\n\"v\"=dword:00000001\n") < 0)
        return false;
    file.close();

    bool found = false;
    const double read =
        milliseconds([&] { found = RegistryStore([&] { return path; }).value(key, u"v"_s).has_value(); });
    RegistryStore::Result saved;
    const double save = milliseconds([&] {
        saved =
            RegistryStore([&] { return path; }).setValue(u"Software\\Tallymeter"_s, u"x"_s, RegistryValue::dword(1));
    });
    bool foundAgain = false;
    const double readBack =
        milliseconds([&] { foundAgain = RegistryStore([&] { return path; }).value(key, u"v"_s).has_value(); });
    std::printf(
        "deep key line of %6lld bytes, %4lld levels: read %9.2f ms (%s), save %9.2f ms (code %d, file %lld bytes), "
        "read back %9.2f ms (%s)\n",
        static_cast<long long>(line.size()), static_cast<long long>(depth), read, found ? "found" : "refused", save,
        saved.code, static_cast<long long>(QFileInfo(path).size()), readBack, foundAgain ? "found" : "refused");
    return true;
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

    for (const qsizetype lineBytes : {2048, 4096}) {
        // Two-byte components nest about a thousand levels per 2 KB; the rest stay within the depth allowed.
        for (const qsizetype depth : {lineBytes / 2, qsizetype(64), qsizetype(8)}) {
            if (!deepKeyFigures(folder.path(), lineBytes, depth))
                return 1;
        }
    }
    return 0;
}
