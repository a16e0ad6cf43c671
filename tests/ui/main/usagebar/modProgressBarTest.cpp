// SPDX-License-Identifier: MIT
#include "modProgressBar.h"
#include "CoreTestContext.h"

#include "ctlUsageBar.h"
#include "qoMonth.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
constexpr uint32_t Green = 0x18EE00;
constexpr uint32_t Yellow = 0x00FFFF;
constexpr uint32_t Red = 0x0000FF;

class UpdateProgressBarTest : public ::testing::Test
{
protected:
    CoreTestContext context{u"UpdateProgressBarTest"_s};
    ctlUsageBar peak;
    ctlUsageBar offPeak;

    void SetUp() override { context.settings.OptionFlags = int32_t(OptionFlag::ShowMarker); }

    // A month half way through with a peak quota of 1000 MB and no off-peak quota.
    static qoMonth peakMonth(float percent, float total, float elapsed = 50)
    {
        qoMonth month;
        month.AnniversaryDate = LocalDateTime::fromDate(QDate(2008, 3, 1));
        month.PeakQuota = 1000;
        month.TotalPeak = total;
        month.PercentPeak = percent;
        month.ElapsedPeak = elapsed;
        return month;
    }

    void update(const qoMonth& month) { UpdateProgressBar(month, peak, offPeak, context.settings, context.log); }

    // The bar as a page of earlier values that an update must not touch.
    static void preset(ctlUsageBar& bar)
    {
        bar.setCaption(u"earlier"_s);
        bar.setColor(0x123456);
        bar.setValue(42);
        bar.setToolTip(u"earlier tip"_s);
        bar.setMarker(33.0f);
        bar.setMarkerVisible(true);
    }

    static void expectPreset(const ctlUsageBar& bar)
    {
        EXPECT_EQ(bar.Caption(), u"earlier"_s);
        EXPECT_EQ(bar.Color(), 0x123456u);
        EXPECT_EQ(bar.Value(), 42);
        EXPECT_EQ(bar.toolTip(), u"earlier tip"_s);
        EXPECT_FLOAT_EQ(bar.Marker(), 33.0f);
    }
};
} // namespace

TEST(progressBarCaption, PadsTheFiguresToLineUp)
{
    const QList<std::pair<float, QString>> cases =
        {
            {5.26f, u"  5.3%"_s},  {57.0f, u" 57.0%"_s},  {123.4f, u"123.4%"_s},
            {0.0f, u"  0.0%"_s},   {9.94f, u"  9.9%"_s},  {10.0f, u" 10.0%"_s},
            {99.94f, u" 99.9%"_s}, {100.0f, u"100.0%"_s}, {2.25f, u"  2.3%"_s}, // a half rounds away from zero
            {9.96f, u"  10.0%"_s}, // the pad goes by the figure before rounding
        };
    for (const auto& [percent, caption] : cases)
        EXPECT_EQ(progressBarCaption(percent), caption) << percent;
}

TEST(progressBarCaption, TakesTheDecimalSignOfTheLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString caption = progressBarCaption(57.25f);
    QLocale::setDefault(before);
    EXPECT_EQ(caption, u" 57,3%"_s);
}

TEST_F(UpdateProgressBarTest, TheBarShowsTheCaptionWithoutItsPadding)
{
    update(peakMonth(5.26f, 52.6f));
    EXPECT_EQ(peak.Caption(), u"5.3%"_s);
    update(peakMonth(123.4f, 1234.0f));
    EXPECT_EQ(peak.Caption(), u"123.4%"_s);
}

TEST_F(UpdateProgressBarTest, TheValueIsThePercentRoundedHalfToEven)
{
    update(peakMonth(2.5f, 25));
    EXPECT_EQ(peak.Value(), 2);
    update(peakMonth(3.5f, 35));
    EXPECT_EQ(peak.Value(), 4);
    update(peakMonth(57.6f, 576));
    EXPECT_EQ(peak.Value(), 58);
}

TEST_F(UpdateProgressBarTest, UsageAboveQuotaFillsTheBarInRed)
{
    update(peakMonth(123.4f, 1234.0f));
    EXPECT_EQ(peak.Value(), 100);
    EXPECT_EQ(peak.Color(), Red);
    EXPECT_EQ(peak.toolTip(), u"234 MB above quota"_s);
}

TEST_F(UpdateProgressBarTest, TheAmountAboveQuotaIsRoundedHalfToEvenWithoutTrailingZeros)
{
    update(peakMonth(100.1f, 1000.125f));
    EXPECT_EQ(peak.toolTip(), u"0.12 MB above quota"_s);
    update(peakMonth(100.1f, 1000.375f));
    EXPECT_EQ(peak.toolTip(), u"0.38 MB above quota"_s);
    update(peakMonth(100.1f, 1000.5f));
    EXPECT_EQ(peak.toolTip(), u"0.5 MB above quota"_s);
    context.settings.OptionFlags |= int32_t(OptionFlag::CommaSeparators);
    update(peakMonth(300.0f, 3000.25f));
    EXPECT_EQ(peak.toolTip(), u"2000.25 MB above quota"_s);
}

TEST_F(UpdateProgressBarTest, UsageExactlyAtQuotaLeavesZeroRemaining)
{
    update(peakMonth(100.0f, 1000, 100));
    EXPECT_EQ(peak.toolTip(), u"zero quota remaining"_s);
    EXPECT_EQ(peak.Color(), Green); // a past month
    update(peakMonth(100.0f, 1000, 80));
    EXPECT_EQ(peak.toolTip(), u"zero quota remaining"_s);
    EXPECT_EQ(peak.Color(), Yellow);
}

TEST_F(UpdateProgressBarTest, UsageBelowQuotaIsMeasuredAgainstTheTarget)
{
    update(peakMonth(40.0f, 400, 50));
    EXPECT_EQ(peak.toolTip(), u"100.00 MB below target quota"_s);
    EXPECT_EQ(peak.Color(), Green);
    update(peakMonth(40.0f, 400, 10));
    EXPECT_EQ(peak.toolTip(), u"300.00 MB above target quota"_s);
    EXPECT_EQ(peak.Color(), Yellow);
}

TEST_F(UpdateProgressBarTest, UsageExactlyOnTargetCountsAsAbove)
{
    update(peakMonth(40.0f, 400, 40));
    EXPECT_EQ(peak.toolTip(), u"0.00 MB above target quota"_s);
}

TEST_F(UpdateProgressBarTest, TheTargetFollowsTheThousandsSeparatorChoice)
{
    qoMonth month = peakMonth(10.0f, 10000, 50);
    month.PeakQuota = 100000;
    update(month);
    EXPECT_EQ(peak.toolTip(), u"40000.00 MB below target quota"_s);
    context.settings.OptionFlags |= int32_t(OptionFlag::CommaSeparators);
    update(month);
    EXPECT_EQ(peak.toolTip(), u"40,000.00 MB below target quota"_s);
}

TEST_F(UpdateProgressBarTest, NoPeakQuotaReadsUnlimitedAndKeepsTheMarker)
{
    preset(peak);
    qoMonth month = peakMonth(0, 5000, 65);
    month.PeakQuota = 0;
    update(month);
    EXPECT_EQ(peak.Caption(), u"unlimited"_s);
    EXPECT_EQ(peak.Value(), 0);
    EXPECT_TRUE(peak.toolTip().isEmpty());
    EXPECT_EQ(peak.Color(), 0x123456u);
    EXPECT_TRUE(peak.MarkerVisible());
    EXPECT_FLOAT_EQ(peak.Marker(), 65.0f);

    context.settings.OptionFlags = 0;
    update(month);
    EXPECT_FALSE(peak.MarkerVisible());
}

TEST_F(UpdateProgressBarTest, NoOffPeakQuotaLeavesTheOffPeakBarAsItWas)
{
    preset(offPeak);
    update(peakMonth(40.0f, 400));
    expectPreset(offPeak);
    EXPECT_TRUE(offPeak.MarkerVisible());

    context.settings.OptionFlags = 0;
    update(peakMonth(40.0f, 400));
    expectPreset(offPeak);
    EXPECT_FALSE(offPeak.MarkerVisible());
}

TEST_F(UpdateProgressBarTest, TheOffPeakBarShowsItsOwnClass)
{
    qoMonth month = peakMonth(10.0f, 100, 30);
    month.OffPeakQuota = 2000;
    month.TotalOffpeak = 2500;
    month.PercentOffPeak = 125.0f;
    month.ElapsedOffpeak = 70;
    update(month);
    EXPECT_EQ(offPeak.Caption(), u"125.0%"_s);
    EXPECT_EQ(offPeak.Color(), Red);
    EXPECT_EQ(offPeak.Value(), 100);
    EXPECT_EQ(offPeak.toolTip(), u"500 MB above quota"_s);
    EXPECT_TRUE(offPeak.MarkerVisible());
    EXPECT_FLOAT_EQ(offPeak.Marker(), 70.0f);
    EXPECT_EQ(peak.Caption(), u"10.0%"_s);
    EXPECT_FLOAT_EQ(peak.Marker(), 30.0f);
}

TEST_F(UpdateProgressBarTest, MarkersNeedTheOptionAndALoadedMonth)
{
    qoMonth month = peakMonth(10.0f, 100, 30);
    month.OffPeakQuota = 2000;
    month.ElapsedOffpeak = 70;
    peak.setMarkerVisible(true);
    offPeak.setMarkerVisible(true);
    context.settings.OptionFlags = int32_t(~OptionFlag::ShowMarker);
    update(month);
    EXPECT_FALSE(peak.MarkerVisible());
    EXPECT_FALSE(offPeak.MarkerVisible());

    peak.setMarkerVisible(true);
    offPeak.setMarkerVisible(true);
    context.settings.OptionFlags = int32_t(OptionFlag::ShowMarker);
    month.AnniversaryDate = LocalDateTime();
    update(month);
    EXPECT_FALSE(peak.MarkerVisible());
    EXPECT_FALSE(offPeak.MarkerVisible());
}

TEST_F(UpdateProgressBarTest, TheStepsAreLogged)
{
    qoMonth month = peakMonth(10.0f, 100, 30);
    month.OffPeakQuota = 2000;
    update(month);
    QStringList lines;
    for (const CoreTestContext::LogLine& line : context.logLines()) {
        if (line.text.contains(u"UpdateProgressBar"_s))
            lines.append(QString::number(line.level) + u' ' + line.text);
    }
    EXPECT_EQ(lines,
              (QStringList{u"3 calling UpdateProgressBar"_s, u"6 UpdateProgressBar: enabling elapsed time markers"_s,
                           u"6 UpdateProgressBar: setting properties for peak usage"_s,
                           u"6 UpdateProgressBar: setting properties for offpeak usage"_s}));
}

TEST_F(UpdateProgressBarTest, AnErrorStopsTheUpdateAndIsLogged)
{
    preset(offPeak);
    peak.setToolTip(u"earlier tip"_s);
    qoMonth month = peakMonth(1e10f, 1e10f);
    month.OffPeakQuota = 2000;
    month.PercentOffPeak = 10.0f;
    month.ElapsedOffpeak = 33;
    update(month);
    // Caption and colour were set before the value overflowed; the tooltip was not reached.
    EXPECT_EQ(peak.Caption(), u"10000000000.0%"_s);
    EXPECT_EQ(peak.Color(), Red);
    EXPECT_EQ(peak.toolTip(), u"earlier tip"_s);
    expectPreset(offPeak);

    bool logged = false;
    for (const CoreTestContext::LogLine& line : context.logLines())
        logged = logged || (line.level == 1 && line.text == u"Error while updating progress bars: [6] Overflow"_s);
    EXPECT_TRUE(logged) << context.logTexts().join(u'\n').toStdString();
    ASSERT_FALSE(context.window.messageBoxes.isEmpty());
    EXPECT_EQ(context.window.messageBoxes.last().text, u"Error while updating progress bars:\r\n[6] Overflow"_s);
}
