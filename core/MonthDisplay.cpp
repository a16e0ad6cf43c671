// SPDX-License-Identifier: MIT
#include "MonthDisplay.h"

#include "BillingMonth.h"
#include "LogFrontEnd.h"
#include "MainRoutines.h"
#include "MonthStatus.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "TimeDiff.h"
#include "WindowSeam.h"
#include "qoMonth.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
enum Column { PeakColumn = 0, FreezoneColumn = 1, OffpeakColumn = 2 };

const QString unknown = u"unknown"_s;
const QString unlimited = u"unlimited"_s;
const QString notApplicable = u"n/a"_s;

bool combinedQuota(const qoMonth& month)
{
    return month.PeakQuota > 0 && month.OffPeakQuota == 0;
}

QString monthText(const LocalDateTime& date)
{
    return MonthYearText(date.date());
}

QString hourText(int16_t hour)
{
    return u"%1:00"_s.arg(int(hour), 2, 10, QLatin1Char('0'));
}
} // namespace

MonthDisplay::MonthDisplay(const Settings& settings, WindowSeam& window, LogFrontEnd& log, MainRoutines& mainRoutines,
                           const Clock& clock)
    : m_settings(settings), m_window(window), m_log(log), m_mainRoutines(mainRoutines), m_clock(clock)
{}

QString MonthDisplay::amountText(float amount, bool commaSeparators)
{
    return FormatTwoDecimals(singleText(amount), commaSeparators);
}

QString MonthDisplay::amount(float value) const
{
    return amountText(value, m_settings.hasOption(OptionFlag::CommaSeparators));
}

void MonthDisplay::setText(const QString& control, int index, const QString& text)
{
    m_window.setControlText({control, index}, text);
}

QString MonthDisplay::PlanSentence(const qoMonth& month)
{
    if (month.PlanType == 2)
        return u"~ You have an unlimited account, but you may be shaped once quota is reached"_s;
    if (month.PeakQuota <= 0)
        return {};
    if (month.PlanType == 3)
        return u"You have a limited account, and will be charged for usage over quota"_s;
    if (!month.ShapingSpeed.isEmpty())
        return u"You have a limited account, and will be shaped to "_s + month.ShapingSpeed +
               u"k once quota is reached"_s;
    return u"You have a limited account, and will be shaped once quota is reached"_s;
}

LocalDateTime MonthDisplay::NextResetDate(const qoMonth& month, const LocalDateTime& now)
{
    // The provider's date may lie either side of the computer's: a month that has not begun by the
    // computer's clock still resets at its own end, and one whose end has passed while the provider
    // still lists it resets as soon as the provider rolls over, never a whole month later.
    return std::max(BillingMonth::of(month).next, now);
}

QString MonthDisplay::TrayPictureKey(const qoMonth& month)
{
    return GetUsageStatus(month.PeakQuota, month.ElapsedPeak, month.PercentPeak) + u'_' +
           GetUsageStatus(month.OffPeakQuota, month.ElapsedOffpeak, month.PercentOffPeak);
}

bool MonthDisplay::qoMonth2Form(const qoMonth& month, bool bHistorical, QString& szError)
{
    try {
        m_log.LogMessage(u"calling qoMonth2Form(bHistorical="_s + BooleanText(bHistorical) + u')', 3);
        m_window.InitValueDisplay(bHistorical);

        m_window.setControlText({u"txtUsername"_s}, StripDomain(m_settings.Username));
        if (!month.ProductName.isEmpty() && !month.PlanName.isEmpty())
            m_window.setControlToolTip({u"txtUsername"_s},
                                       u"product: "_s + month.ProductName + u"; plan: "_s + month.PlanName);
        if (!bHistorical)
            connectionInfo(month);

        m_log.LogMessage(u"qoMonth2Form: plan type: "_s + QString::number(month.PlanType), 6);
        m_log.LogMessage(u"qoMonth2Form: displaying summary info"_s, 6);
        m_window.setControlText({u"frameDownloadSummary"_s}, u"Summary for "_s + monthText(month.AnniversaryDate));
        m_window.setControlText({u"frameAccountStatus"_s}, u"Account Status for "_s + monthText(month.AnniversaryDate));
        quotas(month, bHistorical);
        columns(month);
        amounts(month);

        m_log.LogMessage(u"qoMonth2Form: determining systray icon"_s, 6);
        const QString trayPicture = TrayPictureKey(month);
        if (!bHistorical) {
            m_log.LogMessage(u"RefreshData: updating systray icon"_s, 10);
            m_window.ModifyTrayIcon(trayPicture);
        }

        m_window.UpdateProgressBar(month);
        m_window.repaintMainWindow();
        if (!m_window.ParseArrays(false, month, szError))
            return false;
        m_window.repaintMainWindow();
        if (m_window.isGraphWindowLoaded())
            m_window.RefreshTeeGraph(month);
        return true;
    } catch (const RunTimeError& error) {
        szError = u"qoMonth2Form failed: "_s + error.text();
        return false;
    }
}

void MonthDisplay::connectionInfo(const qoMonth& month)
{
    m_log.LogMessage(u"qoMonth2Form: displaying connection and account info"_s, 6);
    m_window.setControlText({u"txtLastRefresh"_s}, month.LastUpdate);
    m_window.setControlText({u"txtIP"_s}, month.IP);
    m_window.setControlText({u"txtLastConnect"_s}, month.LastConnect);

    if (month.AnniversaryDate > LocalDateTime()) {
        const LocalDateTime now = m_clock.now();
        const LocalDateTime next = NextResetDate(month, now);
        m_window.setControlText({u"txtAnniversaryDate"_s}, OrdinalSuffix(BillingMonth::resetDayOf(month)));
        m_window.setControlText({u"txtTimeToReset"_s}, TimeDiff(now.toString(), next.toString(), m_log.dateSink()));
    } else {
        m_window.setControlText({u"txtAnniversaryDate"_s}, unknown);
        m_window.setControlText({u"txtTimeToReset"_s}, unknown);
        m_log.LogMessage(u"qoMonth2Form: no anniversary date found"_s, 2);
    }

    m_window.setControlText({u"txtUptime"_s}, month.LastConnect == unknown
                                                  ? month.LastConnect
                                                  : TimeDiff(month.LastConnect, month.LastUpdate, m_log.dateSink()));
}

void MonthDisplay::quotas(const qoMonth& month, bool bHistorical)
{
    const QString tilde = month.PlanType == 2 ? u"~"_s : QString();
    setText(u"txtQuota"_s, PeakColumn, tilde + (month.PeakQuota > 0 ? amount(month.PeakQuota) : unlimited));
    if (combinedQuota(month))
        setText(u"txtQuota"_s, OffpeakColumn, notApplicable);
    else
        setText(u"txtQuota"_s, OffpeakColumn, tilde + (month.OffPeakQuota > 0 ? amount(month.OffPeakQuota) : unknown));

    m_window.setControlText({u"txtUnlimited"_s}, PlanSentence(month));

    m_log.LogMessage(u"qoMonth2Form: displaying shaping status"_s, 6);
    if (bHistorical)
        return;
    const auto shaping = [this, &month](const QString& control, int16_t status) {
        m_window.setControlText({control}, GetShapingStatusText(status, month.ShapingSpeed));
        m_window.setControlTextColour({control}, status != 0 ? ShapingColour::Shaped : ShapingColour::Unshaped);
    };
    shaping(u"txtStatus"_s, month.PeakShapeStatus);
    shaping(u"txtBStatus"_s, month.OffpeakShapeStatus);
}

void MonthDisplay::columns(const qoMonth& month)
{
    for (int column : {PeakColumn, FreezoneColumn, OffpeakColumn})
        setText(u"txtToday"_s, column, amount(0));

    // InitValueDisplay has put the default titles back; a column not titled here keeps its default.
    const QString peakTitle = month.DailyHeaders[DailyHeader::Peak];
    QString offpeakTitle = u"Offpeak"_s;
    setText(u"lblTitle"_s, PeakColumn, peakTitle);
    if (combinedQuota(month)) {
        m_mainRoutines.SetOffPeakSummaryVisible(false);
    } else if (!month.DailyHeaders[DailyHeader::Offpeak].isEmpty()) {
        offpeakTitle = month.DailyHeaders[DailyHeader::Offpeak];
        setText(u"lblTitle"_s, OffpeakColumn, offpeakTitle);
        m_mainRoutines.SetOffPeakSummaryVisible(true);
    } else {
        m_mainRoutines.SetOffPeakSummaryVisible(false);
    }
    if (!month.DailyHeaders[DailyHeader::Freezone].isEmpty()) {
        setText(u"lblTitle"_s, FreezoneColumn, month.DailyHeaders[DailyHeader::Freezone]);
        m_mainRoutines.SetFreezoneSummaryVisible(true);
    } else {
        m_mainRoutines.SetFreezoneSummaryVisible(false);
    }

    m_window.setControlText({u"lblPeakShapeTitle"_s}, peakTitle + u" status:"_s);
    m_window.setControlText({u"lblOffPeakShapeTitle"_s}, offpeakTitle + u" status:"_s);
    const bool separateQuotas = month.PeakQuota > 0 && month.OffPeakQuota > 0;
    m_window.setControlToolTip({u"lblPeakShapeTitle"_s}, separateQuotas ? peakTitle + u" period is "_s +
                                                                              hourText(month.PeakStart) + u" to "_s +
                                                                              hourText(month.PeakEnd)
                                                                        : QString());
    m_window.setControlToolTip({u"lblOffPeakShapeTitle"_s}, separateQuotas ? offpeakTitle + u" period is "_s +
                                                                                 hourText(month.PeakEnd) + u" to "_s +
                                                                                 hourText(month.PeakStart)
                                                                           : QString());
}

void MonthDisplay::amounts(const qoMonth& month)
{
    setText(u"txtTotal"_s, PeakColumn, amount(month.TotalPeak));
    setText(u"txtAverage"_s, PeakColumn, amount(month.AvgPeak));
    const bool peakQuota = month.PeakQuota > 0;
    setText(u"txtRemaining"_s, PeakColumn, peakQuota ? amount(month.PeakQuotaLeft) : unlimited);
    setText(u"txtAvgRemaining"_s, PeakColumn, peakQuota ? amount(month.AvgRemainingPeak) : unlimited);

    const bool offpeakQuota = month.OffPeakQuota > 0;
    setText(u"txtTotal"_s, OffpeakColumn, offpeakQuota ? amount(month.TotalOffpeak) : notApplicable);
    setText(u"txtAverage"_s, OffpeakColumn, offpeakQuota ? amount(month.AvgOffpeak) : notApplicable);
    setText(u"txtRemaining"_s, OffpeakColumn, offpeakQuota ? amount(month.OffpeakQuotaLeft) : notApplicable);
    setText(u"txtAvgRemaining"_s, OffpeakColumn, offpeakQuota ? amount(month.AvgRemainingOffpeak) : notApplicable);

    setText(u"txtQuota"_s, FreezoneColumn, notApplicable);
    setText(u"txtTotal"_s, FreezoneColumn, amount(month.TotalFreezone));
    setText(u"txtAverage"_s, FreezoneColumn, amount(month.AvgFreezone));
}
