// SPDX-License-Identifier: MIT
#include "modCSV.h"

#include "BillingMonth.h"
#include "FileFunctions.h"
#include "LogFrontEnd.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "TextRoutines.h"
#include "qoMonth.h"

using namespace Qt::StringLiterals;

namespace {
const QString crlf = u"\r\n"_s;
const QString separator = u", "_s;

QString twoDecimals(float value)
{
    return FormatPlainDecimals(singleText(value));
}

float element(const QList<float>& series, qsizetype i)
{
    if (i >= series.size())
        throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
    return series.at(i);
}

QString totalOf(const qoMonth& month, int title)
{
    switch (title) {
    case DailyHeader::Peak:
        return twoDecimals(month.TotalPeak);
    case DailyHeader::Offpeak:
        return twoDecimals(month.TotalOffpeak);
    case DailyHeader::Freezone:
        return twoDecimals(month.TotalFreezone);
    case DailyHeader::Total:
        return twoDecimals(month.TotalPeak + month.TotalOffpeak + month.TotalFreezone);
    default: {
        // -1 marks a day without a figure; it is no upload.
        float sum = 0;
        for (const float upload : month.DailyUploads) {
            if (upload != -1.0f)
                sum += upload;
        }
        return twoDecimals(sum);
    }
    }
}
} // namespace

QString modCSV::fileName(const QString& folder, const LocalDateTime& firstDay, int16_t profileNumber)
{
    return folder + (folder.endsWith(u'/') ? QString() : u"/"_s) + firstDay.toDateString().left(7).remove(u'-') +
           (profileNumber != 0 ? u'-' + QString::number(profileNumber) : QString()) + u".csv"_s;
}

QString modCSV::csvText(const qoMonth& month, bool bExcludeFuture, const LocalDateTime& today)
{
    QList<int> columns;
    for (int title = DailyHeader::Peak; title <= DailyHeader::Uploads; ++title) {
        if (!month.DailyHeaders.at(std::size_t(title)).isEmpty())
            columns.append(title);
    }

    QString text = month.DailyHeaders.at(DailyHeader::Date);
    for (const int title : columns)
        text += separator + month.DailyHeaders.at(std::size_t(title));
    text += crlf;

    const LocalDateTime lastDay = today.dateOnly();
    bool firstLine = true;
    for (qsizetype i = 0; i < month.DailyDates.size(); ++i) {
        const LocalDateTime& day = month.DailyDates.at(i);
        if (bExcludeFuture && day.dateOnly() > lastDay)
            continue;
        QString line = day.toDateString();
        for (const int title : columns)
            line += separator + twoDecimals(element(month.dailySeries(title), i));
        text += (firstLine ? QString() : crlf) + line;
        firstLine = false;
    }

    text += crlf + u"Totals"_s;
    for (const int title : columns)
        text += separator + totalOf(month, title);
    return text;
}

bool modCSV::qoMonth2CSV(const qoMonth& month, const QString& folder, bool bExcludeFuture, QString& szErr)
{
    QString stage = u"qoMonth2CSV: error while initialising:"_s;
    try {
        m_log.LogMessage(u"qoMonth2CSV: exporting data to CSV file"_s +
                             (bExcludeFuture ? u", stripping future data"_s : QString()),
                         3);
        if (month.DailyPeak.isEmpty()) {
            szErr = u"qoMonth2CSV: no valid data found, unable to generate CSV"_s;
            return false;
        }
        if (month.DailyDates.isEmpty()) {
            szErr = u"qoMonth2CSV: no data found to export"_s;
            return false;
        }

        stage = u"qoMonth2CSV: error generating filename:"_s;
        const LocalDateTime firstDay = BillingMonth::keyOf(month);
        m_log.LogMessage(u"qoMonth2CSV: using first date to generate filename: "_s + firstDay.toDateString(), 6);
        const QString path = fileName(folder, firstDay, m_run.ProfileNumber);
        m_log.LogMessage(u"qoMonth2CSV: exporting data to: "_s + path, 6);

        stage = u"qoMonth2CSV: error processing data:"_s;
        const QString text = csvText(month, bExcludeFuture, m_clock.now());

        stage = u"qoMonth2CSV: error saving file:"_s;
        SaveFile(path, text + crlf);
        return true;
    } catch (const RunTimeError& error) {
        szErr = stage + crlf + error.text();
        return false;
    }
}
