// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class FeedConverters;
class LogFrontEnd;
class modSQL;
struct Settings;
struct qoMonth;

// Fetches the month before the current one for the history database until it was stored from a
// back-fill, as the provider finished it.
class HistoryBackfiller
{
public:
    HistoryBackfiller(const Settings& settings, LogFrontEnd& log, modSQL& history, FeedConverters& converters);

    // month: in, the current month (its AnniversaryDate counts); out, on True, the previous month
    // as the feed gives it, for the caller to store. False with error empty: no back-fill needed;
    // False with error set: it failed.
    bool HistoryBackfill(qoMonth& month, QString& error);

private:
    const Settings& m_settings;
    LogFrontEnd& m_log;
    modSQL& m_history;
    FeedConverters& m_converters;
};
