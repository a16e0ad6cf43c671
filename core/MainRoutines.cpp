// SPDX-License-Identifier: MIT
#include "MainRoutines.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "WindowSeam.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace {
// The controls of one summary column, top to bottom.
const QStringList summaryArrays = {u"lblTitle"_s,     u"txtQuota"_s,        u"txtTotal"_s, u"txtAverage"_s,
                                   u"txtRemaining"_s, u"txtAvgRemaining"_s, u"txtToday"_s};
} // namespace

MainRoutines::MainRoutines(const AppInfo& app, const Settings& settings, const RunState& run, WindowSeam& window,
                           LogFrontEnd& log, StoredMonthsReader storedMonths)
    : m_app(app), m_settings(settings), m_run(run), m_window(window), m_log(log),
      m_storedMonths(std::move(storedMonths))
{}

QString MainRoutines::appCaption(const AppInfo& app, const QString& username, bool debugMode)
{
    return app.ProductName + u" v"_s + QString::number(app.Major) + u'.' + QString::number(app.Minor) + u'.' +
           QString::number(app.Revision) + u" ["_s + (username.isEmpty() ? u"unknown"_s : StripDomain(username)) +
           u']' + (debugMode ? u" (debug mode)"_s : QString());
}

void MainRoutines::SetAppCaption()
{
    try {
        m_window.setCaption(appCaption(m_app, m_settings.Username, m_run.CmdLineDebug));
    } catch (const RunTimeError&) {
        // A caption that cannot be set is cosmetic.
    }
}

void MainRoutines::setSummaryElementVisible(int index, bool visible)
{
    for (const QString& name : summaryArrays)
        m_window.setControlVisible({name, index}, visible);
}

void MainRoutines::SetFreezoneSummaryVisible(bool visible)
{
    m_log.LogMessage(u"SetFreezoneSummaryVisible("_s + BooleanText(visible) + u')', 6);
    setSummaryElementVisible(1, visible);
}

void MainRoutines::SetOffPeakSummaryVisible(bool visible)
{
    m_log.LogMessage(u"SetOffPeakSummaryVisible("_s + BooleanText(visible) + u')', 6);
    setSummaryElementVisible(2, visible);
    m_window.setControlVisible({u"prXPStatusOffPeak"_s}, visible);
    m_window.setControlVisible({u"lblOffPeakShapeTitle"_s}, visible);
    m_window.setControlVisible({u"txtBStatus"_s}, visible);
}

bool MainRoutines::SQLGetMonths(QString& error)
{
    try {
        m_window.setMonthListVisible(false);
        m_window.clearMonthList();

        QList<LocalDateTime> months;
        if (!m_storedMonths || !m_storedMonths(months, error)) {
            error = u"SQLGetMonths: failed to read data:\r\n"_s + error;
            return false;
        }
        m_log.LogMessage(u"SQLGetMonths: retrieved "_s + FormatPlural(int32_t(months.size()), u"month"_s), 5);
        for (const LocalDateTime& month : months)
            m_window.addMonthListItem(MonthYearText(month.date()));

        m_window.setMonthListSelecting(true);
        m_window.setMonthListIndex(0);
        m_window.setMonthListSelecting(false);
        m_window.setMonthListVisible(true);
        return true;
    } catch (const RunTimeError& failure) {
        error = u"ShowAvailableMonths: "_s + failure.text();
        return false;
    }
}
