// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"
#include "qoMonth.h"

#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <clocale>
#include <string>

// The month both exports are pinned with: a peak and off-peak plan without a free-zone title,
// four days from 14 May 2010, values that need rounding and an unknown upload.
inline qoMonth exportMonth()
{
    using namespace Qt::StringLiterals;
    qoMonth month;
    month.LastUpdate = u"2010-05-17 21:30:00"_s;
    month.AnniversaryDate = *LocalDateTime::fromParts(2010, 5, 14);
    month.PeakQuota = 25000;
    month.OffPeakQuota = 0;
    month.PeakQuotaLeft = 23752.588f;
    month.TotalPeak = 1247.412f;
    month.TotalOffpeak = 101.005f;
    month.TotalFreezone = 12;
    month.AvgPeak = 311.853f;
    month.AvgOffpeak = 25.25125f;
    month.AvgFreezone = 3;
    month.PercentPeak = 4.9896478f;
    month.PeakShapeStatus = 0;
    month.OffpeakShapeStatus = 1;
    month.DailyHeaders = {u"Date"_s, u"Peak"_s, u"Offpeak"_s, QString(), u"Total"_s, u"Uploads"_s};
    for (int i = 0; i < 4; ++i)
        month.DailyDates.append(month.AnniversaryDate.addDays(i));
    month.DailyPeak = {1234.567f, 0, 10.5f, 2.345f};
    month.DailyOffpeak = {0.005f, 100, 0, 1};
    month.DailyFreezone = {3, 3, 3, 3};
    month.DailyTotals = {1237.572f, 103, 13.5f, 6.345f};
    month.DailyUploads = {-1, 0, 12.345f, 1};
    return month;
}

// A German number format for the Qt default locale and, where the system has it, the C
// library's, for the life of the object.
class GermanLocale
{
public:
    GermanLocale() : m_qt(QLocale()), m_c(std::setlocale(LC_ALL, nullptr))
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
    ~GermanLocale()
    {
        QLocale::setDefault(m_qt);
        std::setlocale(LC_ALL, m_c.c_str());
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

private:
    QLocale m_qt;
    std::string m_c;
};

// What readers of Python's standard library make of files: script reads sys.argv[1:] and prints
// JSON. Null, with Python's complaint in error, when a file does not read.
inline QJsonDocument readWithPython(const char* script, const QStringList& files, QString& error)
{
    QProcess python;
    python.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + files);
    python.waitForFinished(30000);
    error = python.errorString() + u'\n' + QString::fromUtf8(python.readAllStandardError());
    return QJsonDocument::fromJson(python.readAllStandardOutput());
}
