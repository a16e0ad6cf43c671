// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class FeedComponents;
class LogFrontEnd;
struct RunState;
struct Settings;
struct qoMonth;

// The only place that drives a usage component to fetch a month and turns what it offers into a
// month record: Pelborne2qoMonth for the JSON API, Sarnick2qoMonth for the XML feed. Each call
// creates a fresh component object into its event slot and empties the slot before it returns.
class FeedConverters
{
public:
    FeedConverters(const Settings& settings, const RunState& run, LogFrontEnd& log, FeedComponents& components);

    // bFromCache: let the component read its cache file (ignored for a historical fetch, and
    // never changed here). bHistorical: fetch the billing month that begins in the calendar month of
    // month.AnniversaryDate.
    // True: month replaced whole by the month fetched (the derived figures and PlanType 0).
    // False: month unchanged, szError a short text for the tray and status, szErrorDetail one
    // for the log; nothing logged here. servedFromCache, when given: set to whether the component
    // read its cache file (which the log line then follows), once the component has answered.
    bool Pelborne2qoMonth(bool bFromCache, qoMonth& month, bool bHistorical, QString& szError, QString& szErrorDetail,
                          bool* servedFromCache = nullptr);
    bool Sarnick2qoMonth(bool bFromCache, qoMonth& month, bool bHistorical, QString& szError, QString& szErrorDetail,
                         bool* servedFromCache = nullptr);

private:
    template <class Feed>
    bool convert(bool bFromCache, qoMonth& month, bool bHistorical, QString& szError, QString& szErrorDetail,
                 bool* servedFromCache);

    const Settings& m_settings;
    const RunState& m_run;
    LogFrontEnd& m_log;
    FeedComponents& m_components;
};
