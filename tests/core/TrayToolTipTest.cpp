// SPDX-License-Identifier: MIT
#include "TrayToolTip.h"
#include "TestPrinters.h"
#include "qoMonth.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
qoMonth month(float quota, float total, float percent)
{
    qoMonth m;
    m.DailyHeaders = {u"Date"_s, u"Peak"_s, u"OffPeak"_s, u"Freezone"_s, u"Total"_s, u"Uploads"_s};
    m.PeakQuota = quota;
    m.TotalPeak = total;
    m.PercentPeak = percent;
    m.OffPeakQuota = 30000;
    m.TotalOffpeak = 1234.5f;
    m.PercentOffPeak = 4.115f;
    return m;
}
} // namespace

TEST(TrayToolTip, PrefixNamesTheUserWithoutDomain)
{
    EXPECT_EQ(TrayToolTip::prefix(u"Tallyroo"_s, u"fred@quolla.example"_s), u"Tallyroo [fred]: "_s);
    EXPECT_EQ(TrayToolTip::prefix(u"Tallyroo"_s, QString()), u"Tallyroo [unknown]: "_s);
}

TEST(TrayToolTip, PeakAndOffpeakLines)
{
    EXPECT_EQ(TrayToolTip::usageLines(month(20000, 4321.5f, 21.6075f), true),
              u"peak: 4,322 / 20,000 MB (22%)\r\noffpeak: 1,234 / 30,000 MB (4%)"_s);
    EXPECT_EQ(TrayToolTip::usageLines(month(20000, 4321.5f, 21.6075f), false),
              u"peak: 4322 / 20000 MB (22%)\r\noffpeak: 1234 / 30000 MB (4%)"_s);
}

TEST(TrayToolTip, UnlimitedAndShapedPeak)
{
    qoMonth m = month(0, 999.5f, 0);
    m.DailyHeaders[DailyHeader::Offpeak].clear();
    // Whole megabytes round halves to even.
    EXPECT_EQ(TrayToolTip::usageLines(m, true), u"peak: 1,000 MB / unlimited"_s);
    m.PeakShapeStatus = 1;
    m.ShapingSpeed = u"64"_s;
    EXPECT_EQ(TrayToolTip::usageLines(m, true), u"peak: Shaped to 64k"_s);
}

TEST(TrayToolTip, ShapedOffpeakHasNoUnlimitedForm)
{
    qoMonth m = month(20000, 100, 0.5f);
    m.OffpeakShapeStatus = -2;
    EXPECT_EQ(TrayToolTip::usageLines(m, false), u"peak: 100 / 20000 MB (1%)\r\noffpeak: Possible shaping (tier 2)"_s);
    m.OffpeakShapeStatus = 0;
    m.OffPeakQuota = 0;
    EXPECT_EQ(TrayToolTip::usageLines(m, false), u"peak: 100 / 20000 MB (1%)\r\noffpeak: 1234 / 0 MB (4%)"_s);
}

TEST(TrayToolTip, QuotaPlansShowOneLine)
{
    for (int16_t planType : {int16_t(4), int16_t(5)}) {
        qoMonth m = month(20000, 100, 0.5f);
        m.PlanType = planType;
        EXPECT_EQ(TrayToolTip::usageLines(m, false), u"quota: 100 / 20000 MB (1%)"_s) << planType;
    }
}

TEST(TrayToolTip, WholePercentRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(TrayToolTip::wholePercent(12.5f), u"13"_s);
    EXPECT_EQ(TrayToolTip::wholePercent(0.4f), u"0"_s);
    EXPECT_EQ(TrayToolTip::wholePercent(-0.4f), u"0"_s);
    EXPECT_EQ(TrayToolTip::wholePercent(150.2f), u"150"_s);
}

TEST(TrayToolTip, LastRefreshLine)
{
    qoMonth m;
    EXPECT_EQ(TrayToolTip::lastRefreshLine(m), QString());
    m.LastUpdate = u"2024-03-10 12:00:00"_s;
    EXPECT_EQ(TrayToolTip::lastRefreshLine(m), u"\r\nlast refresh: 2024-03-10 12:00:00"_s);
}
