// SPDX-License-Identifier: MIT
#include "modCSV.h"

#include "BillingMonth.h"
#include "FileFunctions.h"
#include "LogFrontEnd.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "TwoDecimals.h"
#include "qoMonth.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString crlf = u"\r\n"_s;

// Spreadsheets take a cell that begins with one of these for a formula.
bool startsFormula(const QString& text)
{
    return !text.isEmpty() && QStringView(u"=+-@").contains(text.front());
}

// A cell holding a comma, a double quote or a line break is quoted with its quotes doubled
// (RFC 4180), so a class name cannot shift the columns. So is a text that begins as a formula:
// spreadsheets offer to trim the blanks of the cells (LibreOffice then reads ", =1+2" as the
// formula) but keep those inside quotes. Any other cell, a negative figure too, stands as it is.
QString quoted(const QString& text, bool formula)
{
    bool figure = false;
    if (formula)
        text.toDouble(&figure);
    const bool plain = (!formula || figure) && std::none_of(text.cbegin(), text.cend(), [](QChar c) {
                           return c == u',' || c == u'"' || c == u'\r' || c == u'\n';
                       });
    if (plain)
        return text;
    return u'"' + QString(text).replace(u'"', u"\"\""_s) + u'"';
}

// The blank of the separator belongs to the cell after it, inside the quotes where the cell has
// them: a strict reader takes a quoted cell only when the quote follows the comma at once, and
// reads every cell after the first as a blank and its text, quoted or not. No cell then begins
// with a formula's first character; a first cell that would is given a blank too.
QString line(const QStringList& cells)
{
    QString text;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString& cell = cells.at(i);
        if (i > 0)
            text += u',';
        const bool formula = startsFormula(cell);
        text += quoted(i > 0 || formula ? QString(u' ' + cell) : cell, formula);
    }
    return text;
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
        return TwoDecimals::text(month.TotalPeak);
    case DailyHeader::Offpeak:
        return TwoDecimals::text(month.TotalOffpeak);
    case DailyHeader::Freezone:
        return TwoDecimals::text(month.TotalFreezone);
    case DailyHeader::Total:
        return TwoDecimals::text(month.TotalPeak + month.TotalOffpeak + month.TotalFreezone);
    default: {
        // -1 marks a day without a figure; it is no upload.
        float sum = 0;
        for (const float upload : month.DailyUploads) {
            if (upload != -1.0f)
                sum += upload;
        }
        return TwoDecimals::text(sum);
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

    QStringList titles{month.DailyHeaders.at(DailyHeader::Date)};
    for (const int title : columns)
        titles.append(month.DailyHeaders.at(std::size_t(title)));
    QString text = line(titles) + crlf;

    const LocalDateTime lastDay = today.dateOnly();
    bool firstLine = true;
    for (qsizetype i = 0; i < month.DailyDates.size(); ++i) {
        const LocalDateTime& day = month.DailyDates.at(i);
        if (bExcludeFuture && day.dateOnly() > lastDay)
            continue;
        QStringList cells{day.toDateString()};
        for (const int title : columns)
            cells.append(TwoDecimals::text(element(month.dailySeries(title), i)));
        text += (firstLine ? QString() : crlf) + line(cells);
        firstLine = false;
    }

    QStringList totals{u"Totals"_s};
    for (const int title : columns)
        totals.append(totalOf(month, title));
    return text + crlf + line(totals);
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
