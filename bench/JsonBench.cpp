// SPDX-License-Identifier: MIT
// Times JsonParse2 against QJsonDocument on a provider-style usage reply of about 1 MB.
// Usage: json_bench [repetitions]   (build a Release configuration for meaningful figures)
#include "JsonDictionary.h"
#include "JsonParser.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// One day's record: the date as text, per-class amounts as numbers and as numeric texts (the
// provider sends both), and a nested array of hourly figures.
QString dayRecord(int year, int month, int day, int seed)
{
    const auto bytes = [&](int factor) { return QString::number(qint64(seed) * 7919 * factor % 9876543211LL); };
    QString hours;
    for (int hour = 0; hour < 24; ++hour) {
        if (hour)
            hours += u',';
        hours += QString::number((seed * 31 + hour * 17) % 100000);
    }
    const QString period = QString::asprintf("%04d%02d%02d", year, month, day);
    return u"{\"period\":\""_s + period + u"\",\"date\":\""_s +
           QString::asprintf("%04d-%02d-%02d 00:00:00", year, month, day) +
           u"\",\"types\":[{\"type\":\"peak\",\"value\":\""_s + bytes(3) + u"\"},{\"type\":\"offpeak\",\"value\":"_s +
           bytes(5) + u"},{\"type\":\"freezone\",\"value\":\""_s + bytes(11) +
           u"\"},{\"type\":\"uploads\",\"value\":"_s + bytes(13) + u"}],\"hours\":["_s + hours +
           u"],\"shaped\":false,\"note\":\"Caf\\u00e9 \\\"peak\\\" \\/ day\"}"_s;
}

QString providerReply(qsizetype minimumSize)
{
    QString data;
    int records = 0;
    for (int month = 0; data.size() < minimumSize; ++month) {
        const int year = 2020 + month / 12;
        for (int day = 1; day <= 31 && data.size() < minimumSize; ++day) {
            if (records++)
                data += u',';
            data += dayRecord(year, month % 12 + 1, day, records);
        }
    }
    return u"{\"success\":1,\"token\":\"a1b2c3d4e5f6\",\"response\":{\"account_info\":{\"product\":"
           u"\"Broadband\",\"plan\":\"Home 500\"},\"connections\":[{\"ip\":\"203.0.113.7\",\"on_since\":"
           u"\"2024-03-01 06:12:44\"}],\"quota_reset\":{\"anniversary\":\"15\"},\"offpeak_start\":\"01:00\","
           u"\"offpeak_end\":\"07:00\",\"usage\":{\"traffic_types\":[{\"classification\":\"peak\",\"name\":"
           u"\"Peak\",\"allocation\":\"500000000000\",\"is_shaped\":\"0\",\"shaping_speed\":\"0\"}],\"data\":["_s +
           data + u"]}}}"_s;
}

template <typename Work>
double timeMilliseconds(Work work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    const QString reply = providerReply(1024 * 1024);
    const QByteArray utf8 = reply.toUtf8();

    // Both readers must see the same records, or the figures compare different work.
    JsonValue check;
    QString error;
    if (!JsonParse2(reply, check, error) || !error.isEmpty()) {
        std::fprintf(stderr, "JsonParse2 failed: %s\n", qPrintable(error));
        return 1;
    }
    const QJsonDocument document = QJsonDocument::fromJson(utf8);
    const qsizetype records = check[u"response"_s][u"usage"_s][u"data"_s].count();
    if (document.isNull() || document[u"response"_s][u"usage"_s][u"data"_s].toArray().size() != records) {
        std::fprintf(stderr, "the two readers disagree on the reply\n");
        return 1;
    }

    // The three readers take turns in every round, so a change in machine load hits them alike.
    std::size_t sink = 0; // keeps the optimiser from dropping the work
    std::vector<double> ours, qtFromBytes, qtFromText;
    for (int round = 0; round < repetitions; ++round) {
        ours.push_back(timeMilliseconds([&] {
            JsonValue result;
            QString err;
            sink += JsonParse2(reply, result, err) ? std::size_t(result.count()) : 0;
        }));
        qtFromBytes.push_back(timeMilliseconds([&] {
            const QJsonDocument doc = QJsonDocument::fromJson(utf8);
            sink += std::size_t(doc.object().size());
        }));
        qtFromText.push_back(timeMilliseconds([&] {
            const QJsonDocument doc = QJsonDocument::fromJson(reply.toUtf8());
            sink += std::size_t(doc.object().size());
        }));
    }
    const double oursMedian = median(ours);
    const double bytesMedian = median(qtFromBytes);
    const double textMedian = median(qtFromText);

    std::printf("reply: %lld characters, %lld daily records; %d repetitions, median times\n",
                static_cast<long long>(reply.size()), static_cast<long long>(records), repetitions);
    std::printf("JsonParse2 (QString)                   %8.3f ms\n", oursMedian);
    std::printf("QJsonDocument::fromJson (UTF-8 bytes)  %8.3f ms   ratio JsonParse2/this %.2f\n", bytesMedian,
                oursMedian / bytesMedian);
    std::printf("QJsonDocument::fromJson (toUtf8 incl.) %8.3f ms   ratio JsonParse2/this %.2f\n", textMedian,
                oursMedian / textMedian);
    std::printf("(checksum %zu)\n", sink);
    return 0;
}
