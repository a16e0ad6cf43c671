// SPDX-License-Identifier: MIT
#include "modProgressBar.h"

#include "LogFrontEnd.h"
#include "MonthStatus.h"
#include "NumberConversions.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "ctlUsageBar.h"
#include "qoMonth.h"

#include <cmath>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {
constexpr uint32_t OkColour = 0x18EE00;
constexpr uint32_t WarnColour = 0x00FFFF;
constexpr uint32_t OverColour = 0x0000FF;

// One traffic class as the bar needs it.
struct ClassUsage
{
    float quota = 0;
    float total = 0;
    float percent = 0;
    float elapsed = 0;
};

// The percentage with one decimal, halves away from zero, with the locale's decimal sign. A float
// times ten is exact in a double, so halves stay halves.
QString oneDecimal(float value)
{
    const double tenths = std::round(double(value) * 10.0);
    if (!std::isfinite(tenths))
        return LocalNumberText(QString::number(double(value), 'f', 1), false);
    const long long whole = std::llabs(static_cast<long long>(tenths));
    const QString digits = QString::number(whole / 10) + u'.' + QString::number(whole % 10);
    return LocalNumberText(tenths < 0 ? u'-' + digits : digits, false);
}

// The amount above quota, to two decimals with halves to even, in its shortest form.
QString aboveQuotaText(float amount)
{
    const double rounded = std::nearbyint(double(amount) * 100.0) / 100.0;
    return LocalNumberText(QString::number(rounded, 'g', 15), false);
}

void showUsage(ctlUsageBar& bar, const ClassUsage& usage, const Settings& settings)
{
    bar.setCaption(progressBarCaption(usage.percent));

    const QString state = GetUsageStatus(usage.quota, usage.elapsed, usage.percent);
    if (state == u"ok"_s)
        bar.setColor(OkColour);
    else if (state == u"warn"_s)
        bar.setColor(WarnColour);
    else if (state == u"over"_s)
        bar.setColor(OverColour);

    bar.setValue(NumberConversions::toLong(double(usage.percent)));

    if (usage.percent > 100) {
        bar.setToolTip(aboveQuotaText(usage.total - usage.quota) + u" MB above quota"_s);
    } else if (usage.percent < 100) {
        // Target for this point of the month less what was used: positive means room to spare.
        const float d = usage.elapsed * usage.quota / 100.0f - usage.total;
        const QString amount =
            FormatTwoDecimals(singleText(std::fabs(d)), settings.hasOption(OptionFlag::CommaSeparators));
        bar.setToolTip(amount + u" MB "_s + (d > 0 ? u"below"_s : u"above"_s) + u" target quota"_s);
    } else {
        bar.setToolTip(u"zero quota remaining"_s);
    }
}

void updateBars(const qoMonth& month, ctlUsageBar& peak, ctlUsageBar& offPeak, const Settings& settings,
                LogFrontEnd& log)
{
    log.LogMessage(u"calling UpdateProgressBar"_s, 3);

    if (month.PeakQuota == 0) {
        peak.setValue(0);
        peak.setCaption(u"unlimited"_s);
        peak.setToolTip(QString());
        peak.setMarkerVisible(false);
    }

    if (month.AnniversaryDate.toSerial() > 0 && settings.hasOption(OptionFlag::ShowMarker)) {
        log.LogMessage(u"UpdateProgressBar: enabling elapsed time markers"_s, 6);
        peak.setMarker(month.ElapsedPeak);
        peak.setMarkerVisible(true);
        // Without its own quota the off-peak bar is not this month's to mark.
        if (month.OffPeakQuota > 0) {
            offPeak.setMarker(month.ElapsedOffpeak);
            offPeak.setMarkerVisible(true);
        }
    } else {
        peak.setMarkerVisible(false);
        offPeak.setMarkerVisible(false);
    }

    if (month.PeakQuota > 0) {
        log.LogMessage(u"UpdateProgressBar: setting properties for peak usage"_s, 6);
        showUsage(peak, {month.PeakQuota, month.TotalPeak, month.PercentPeak, month.ElapsedPeak}, settings);
    }

    if (month.OffPeakQuota > 0) {
        log.LogMessage(u"UpdateProgressBar: setting properties for offpeak usage"_s, 6);
        showUsage(offPeak, {month.OffPeakQuota, month.TotalOffpeak, month.PercentOffPeak, month.ElapsedOffpeak},
                  settings);
    }
}
} // namespace

QString progressBarCaption(float percent)
{
    QString pad;
    if (percent < 10)
        pad = u"  "_s;
    else if (percent < 100)
        pad = u" "_s;
    return pad + oneDecimal(percent) + u'%';
}

void UpdateProgressBar(const qoMonth& month, ctlUsageBar& peak, ctlUsageBar& offPeak, const Settings& settings,
                       LogFrontEnd& log)
{
    try {
        updateBars(month, peak, offPeak, settings, log);
    } catch (const RunTimeError& error) {
        log.LogMessage(u"Error while updating progress bars:\r\n"_s + error.text(), 1);
    }
}
