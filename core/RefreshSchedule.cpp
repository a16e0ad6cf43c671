// SPDX-License-Identifier: MIT
#include "RefreshSchedule.h"

#include "Dates.h"
#include "LogFrontEnd.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "WindowSeam.h"

using namespace Qt::StringLiterals;

LocalDateTime RefreshSchedule::nowBase()
{
    return *LocalDateTime::fromParts(1970, 1, 1);
}

RefreshSchedule::RefreshSchedule(const Settings& settings, RunState& run, WindowSeam& window, LogFrontEnd& log,
                                 const Clock& clock)
    : m_settings(settings), m_run(run), m_window(window), m_log(log), m_clock(clock)
{}

void RefreshSchedule::SetNextRefreshDate(const QString& lastUpdate, const LocalDateTime& base)
{
    try {
        const LocalDateTime now = m_clock.now();
        m_run.NextRefreshDate = (base == nowBase() ? now : base).addMinutes(m_settings.Interval);

        LocalDateTime updated;
        QString szErr;
        if (!lastUpdate.isEmpty() && myCDate(lastUpdate, updated, szErr, m_log.dateSink())) {
            if (now.secondsTo(updated) > 0) {
                m_log.LogMessage(
                    u"SetNextRefreshDate: last refresh date is in the future, ignoring it: "_s + lastUpdate, 3);
            } else if (updated.minuteBoundariesTo(m_run.NextRefreshDate) < MinimumMinutesAfterUpdate) {
                m_run.NextRefreshDate = updated.addMinutes(MinimumMinutesAfterUpdate);
                m_log.LogMessage(u"SetNextRefreshDate: increasing next refresh rate to "_s +
                                     QString::number(MinimumMinutesAfterUpdate) + u" minutes since last refresh"_s,
                                 6);
            }
        }

        if (now.secondsTo(m_run.NextRefreshDate) < 2) {
            m_run.NextRefreshDate = now;
            m_log.LogMessage(u"SetNextRefreshDate: next refresh date is historical, adjusting to NOW"_s, 6);
        }
        m_log.LogMessage(u"SetNextRefreshDate: next refresh date: "_s + m_run.NextRefreshDate.toString(), 4);
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"Error while calculating next refresh date:\r\n"_s + error.text(), 1);
    }
}

QString RefreshSchedule::countdownText(int64_t minutes)
{
    return u"auto refresh in "_s +
           (minutes >= 1 ? FormatPlural(int32_t(qMin<int64_t>(minutes, INT32_MAX)), u"minute"_s) : u"< 1 minute"_s);
}

void RefreshSchedule::UpdateRefreshStatus()
{
    try {
        QString text;
        if (m_run.RefreshInProgress) {
            text = u"refreshing data..."_s;
        } else if (m_settings.hasOption(OptionFlag::AutoRefresh) && !(m_run.CmdLineFlags & CmdLineFlag::NoAuto)) {
            m_window.setStatusPicture(u"timer_enabled"_s);
            text = countdownText(m_clock.now().minuteBoundariesTo(m_run.NextRefreshDate));
        } else {
            m_window.setStatusPicture(u"timer_disabled"_s);
            text = u"auto refresh disabled"_s;
        }
        m_window.setStatusToolTip(text);
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"Error while updating refresh icon:\r\n"_s + error.text(), 1);
    }
}
