// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QString>

#include <cstdint>

class LogFrontEnd;
class MainRoutines;
class WindowSeam;
struct Settings;
struct qoMonth;

// Text colours of the shaping boxes, 0xBBGGRR.
namespace ShapingColour {
inline constexpr uint32_t Shaped = 0x0000FF;   // red
inline constexpr uint32_t Unshaped = 0x008000; // dark green
} // namespace ShapingColour

// The single route from a month record to the main window (qoMonth2Form): every text, colour,
// visible column, the tray picture, the plan sentence and the reset day are decided here and
// handed through the window seam, which only draws them; the bars, the grid and the graph get
// the month itself.
class MonthDisplay
{
public:
    MonthDisplay(const Settings& settings, WindowSeam& window, LogFrontEnd& log, MainRoutines& mainRoutines,
                 const Clock& clock);

    // bHistorical: not the current month, so the connection boxes, reset day, time to reset,
    // shaping states and tray picture stay as they are. False when the grid fill failed (its
    // text in szError) or a seam call failed ("qoMonth2Form failed: [n] description"); what was
    // shown by then stays. Logs nothing on failure.
    bool qoMonth2Form(const qoMonth& month, bool bHistorical, QString& szError);

    // The sentence that describes the plan; empty for a month without quota unless it is the
    // unlimited-but-shaped plan type 2.
    static QString PlanSentence(const qoMonth& month);
    // The reset that ends the month: where the month calculations end it, or now once that has passed.
    static LocalDateTime NextResetDate(const qoMonth& month, const LocalDateTime& now);
    // The tray picture of the month: peak state "_" off-peak state ("ok_ok" .. "over_over").
    static QString TrayPictureKey(const qoMonth& month);
    // A usage amount as the summary shows it.
    static QString amountText(float amount, bool commaSeparators);

private:
    void connectionInfo(const qoMonth& month);
    void quotas(const qoMonth& month, bool bHistorical);
    void columns(const qoMonth& month);
    void amounts(const qoMonth& month);
    QString amount(float value) const;
    void setText(const QString& control, int index, const QString& text);

    const Settings& m_settings;
    WindowSeam& m_window;
    LogFrontEnd& m_log;
    MainRoutines& m_mainRoutines;
    const Clock& m_clock;
};
