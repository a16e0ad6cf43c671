// SPDX-License-Identifier: MIT
#include "HistoryBackfiller.h"

#include "BillingMonth.h"
#include "FeedConverters.h"
#include "LogFrontEnd.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "modSQL.h"
#include "qoMonth.h"

#include <QLocale>

using namespace Qt::StringLiterals;

HistoryBackfiller::HistoryBackfiller(const Settings& settings, LogFrontEnd& log, modSQL& history,
                                     FeedConverters& converters)
    : m_settings(settings), m_log(log), m_history(history), m_converters(converters)
{}

bool HistoryBackfiller::HistoryBackfill(qoMonth& month, QString& error)
{
    try {
        m_log.LogMessage(u"HistoryBackfill: checking if history backfill is required"_s, 3);
        const LocalDateTime previousStart = BillingMonth::of(month).previous().first;

        LocalDateTime lastUpdate;
        LocalDateTime backfilled;
        if (!m_history.SQLGetLastUpdateForMonth(previousStart, lastUpdate, error)) {
            if (!error.contains(u"no value found"_s, Qt::CaseInsensitive)) {
                error = u"Failed to read last update date for previous month from database:\r\n"_s + error;
                return false;
            }
            m_log.LogMessage(u"HistoryBackfill: failed to find data for previous month in database, so backfilling"_s,
                             6);
            lastUpdate = LocalDateTime();
        } else {
            QString none;
            m_history.SQLGetBackfilledMonth(backfilled, none);
        }

        // Only the back-fill stores the provider's final figures: it runs once the provider lists
        // the month after. The time of the last update cannot tell: a provider whose day ends later
        // than the computer's still lists the month, its last day unfinished, to the refreshes after
        // the computer's midnight; one whose day ends earlier is back-filled before that midnight.
        if (backfilled == previousStart) {
            m_log.LogMessage(u"HistoryBackfill: previous month has already been updated, skipping backfill"_s, 6);
            error.clear();
            return false;
        }
        m_log.LogMessage(u"HistoryBackfill: data for month starting "_s + previousStart.toDateString() +
                             u" last updated "_s +
                             (lastUpdate == LocalDateTime() ? u"never"_s : u"at "_s + lastUpdate.toString()),
                         6);

        month.AnniversaryDate = LocalDateTime::fromDate(QDate(previousStart.year(), previousStart.month(), 1));
        m_log.LogMessage(u"HistoryBackfill: attempting to backfill data for month of "_s +
                             QLocale::c().toString(month.AnniversaryDate.date(), u"MMMM yyyy"_s),
                         6);

        QString detail;
        const bool fetched = m_settings.UseJSONFeed ? m_converters.Pelborne2qoMonth(false, month, true, error, detail)
                                                    : m_converters.Sarnick2qoMonth(false, month, true, error, detail);
        if (!fetched) {
            m_log.LogMessage(u"HistoryBackfill: failed to insert into db: "_s + error, 3);
            return false;
        }
        return true;
    } catch (const RunTimeError& failure) {
        error = u"runtime error: "_s + failure.text();
        return false;
    }
}
