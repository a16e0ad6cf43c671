// SPDX-License-Identifier: MIT
#pragma once

#include "EditRouting.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>

class DailyGrid;
class QMenu;
class flexDisplay;
struct MainControls;
struct Settings;

// The main window's Edit menu and the grid's popup menu: select all, copy and add up, on the
// debug log, the grid or the summary's focused box, whichever is on show.
class MainEditCommands
{
public:
    using InformationBox = std::function<void(const QString& text, const QString& title)>;
    using LogSink = std::function<void(const QString& message, int16_t level)>;

    MainEditCommands(const MainControls& ui, flexDisplay& grid, const DailyGrid& logic, const Settings& settings,
                     QString title, LogSink log);

    void setInformationBox(InformationBox box) { m_box = std::move(box); }

    void mnuEdit_Select_Click();
    void mnuEdit_Copy_Click();
    void mnuGridPopup_Add_Click();
    // The popup opens only over a grid that holds at least a day and a value column.
    bool flexDisplay_MouseDown(QMenu& popup, const QPoint& globalPos);

    EditRouting::Situation situation() const;

private:
    const MainControls& m_ui;
    flexDisplay& m_grid;
    const DailyGrid& m_logic;
    const Settings& m_settings;
    QString m_title;
    LogSink m_log;
    InformationBox m_box;
};
