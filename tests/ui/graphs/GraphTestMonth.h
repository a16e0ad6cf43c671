// SPDX-License-Identifier: MIT
#pragma once

#include "DisplayOptionBoxes.h"
#include "HistoryTestContext.h"

// The check boxes as plain state; a change of state runs nothing.
struct RecordedBoxes : DisplayOptionBoxes
{
    bool enabled = true;
    bool uploads = false;
    bool average = false;
    bool target = false;

    bool uploadsEnabled() const override { return enabled; }
    void setUploadsEnabled(bool on) override { enabled = on; }
    void setUploadsChecked(bool on) override { uploads = on; }
    void setAverageChecked(bool on) override { average = on; }
    void setTargetChecked(bool on) override { target = on; }
};

// May 2010, a month of 31 days, as the converters give it on the 3rd: days 1 to 3 only, last
// updated on the 3rd at 09:00. Peak 10, 20, 30; off-peak 1, 2, 3; free zone 100 a day; uploads 2 a
// day, unknown on day 2; peak quota 300, off-peak quota 30.
inline qoMonth graphMonth()
{
    qoMonth month = HistoryTestContext::sampleMonth(HistoryTestContext::day(2010, 5, 1), 3);
    month.PeakQuota = 300;
    month.OffPeakQuota = 30;
    month.LastUpdate = QStringLiteral("2010-05-03 09:00:00");
    for (int i = 0; i < 3; ++i) {
        month.DailyPeak[i] = float(10 * (i + 1));
        month.DailyOffpeak[i] = float(i + 1);
        month.DailyFreezone[i] = 100;
        month.DailyUploads[i] = i == 1 ? -1.0f : 2.0f;
    }
    month.TotalPeak = 60;
    month.TotalOffpeak = 6;
    return month;
}
