// SPDX-License-Identifier: MIT
#include "TrayToolTip.h"

#include "MonthStatus.h"
#include "NumberConversions.h"
#include "RunTimeError.h"
#include "TextRoutines.h"
#include "qoMonth.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {
const QString crlf = u"\r\n"_s;

bool quotaOnlyPlan(const qoMonth& month)
{
    return month.PlanType == 4 || month.PlanType == 5;
}

// An amount in whole megabytes as the main window writes them.
QString megabytes(float amount, bool commaSeparators)
{
    int32_t whole = 0;
    try {
        whole = NumberConversions::toLong(double(amount));
    } catch (const RunTimeError&) {
        // Beyond 2^31 MB no tooltip figure is meaningful; the bound says "a lot".
        whole = amount < 0 ? INT32_MIN : INT32_MAX;
    }
    return FormatWholeNumber(whole, commaSeparators);
}
} // namespace

namespace TrayToolTip {
QString prefix(const QString& productName, const QString& username)
{
    return productName + u" ["_s + StripDomain(username) + (username.isEmpty() ? u"unknown"_s : QString()) + u"]: "_s;
}

QString wholePercent(float percent)
{
    const double rounded = std::round(double(percent));
    return LocalNumberText(QString::number(rounded == 0 ? 0.0 : rounded, 'f', 0), false);
}

QString usageLines(const qoMonth& month, bool commaSeparators)
{
    const auto used = [commaSeparators](float total, float quota, float percent) -> QString {
        return megabytes(total, commaSeparators) + u" / "_s + megabytes(quota, commaSeparators) + u" MB ("_s +
               wholePercent(percent) + u"%)"_s;
    };

    QString text = quotaOnlyPlan(month) ? u"quota: "_s : month.DailyHeaders[DailyHeader::Peak].toLower() + u": "_s;
    if (month.PeakShapeStatus != 0)
        text += GetShapingStatusText(month.PeakShapeStatus, month.ShapingSpeed);
    else if (month.PeakQuota != 0)
        text += used(month.TotalPeak, month.PeakQuota, month.PercentPeak);
    else
        text += megabytes(month.TotalPeak, commaSeparators) + u" MB / unlimited"_s;

    const QString& offpeakTitle = month.DailyHeaders[DailyHeader::Offpeak];
    if (!offpeakTitle.isEmpty() && !quotaOnlyPlan(month)) {
        text += crlf + offpeakTitle.toLower() + u": "_s;
        if (month.OffpeakShapeStatus != 0)
            text += GetShapingStatusText(month.OffpeakShapeStatus, month.ShapingSpeed);
        else
            text += used(month.TotalOffpeak, month.OffPeakQuota, month.PercentOffPeak);
    }
    return text;
}

QString lastRefreshLine(const qoMonth& month)
{
    return month.LastUpdate.isEmpty() ? QString() : crlf + u"last refresh: "_s + month.LastUpdate;
}
} // namespace TrayToolTip
