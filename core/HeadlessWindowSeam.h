// SPDX-License-Identifier: MIT
#pragma once

#include "WindowSeam.h"

#include <QString>

#include <cstdint>
#include <functional>

// The windows of the hidden run-once mode, and of tests and benchmarks that need none: a main
// window that is loaded but never shown, so the status line of every log message below level 3
// reaches standard error; message boxes go to standard error and the log and answer as if the
// user had cancelled; the modal dialogs close at once unchanged; there is no tray icon, grid or
// graph window. The tray picture, tooltips and status texts are kept as state.
class HeadlessWindowSeam final : public WindowSeam
{
public:
    using TextSink = std::function<void(const QString& text)>;
    using LogSink = std::function<void(const QString& text, int16_t level)>;

    // errorOutput: standard error unless given.
    explicit HeadlessWindowSeam(TextSink errorOutput = {});

    // Where message boxes are logged (the log front end's file writer); none until set, since
    // the log front end is made with this seam.
    void setLogSink(LogSink log) { m_log = std::move(log); }
    // What exitProgram runs: the exit routine's steps that need no window. Nothing until set; the
    // run ends when its caller returns.
    void setExitRoutine(std::function<void()> routine) { m_exitRoutine = std::move(routine); }

    // The answer a person who is not there gives: Cancel, else No, else OK.
    static BoxAnswer cancelAnswer(BoxButtons buttons);

    const QString& caption() const { return m_caption; }
    const QString& statusText() const { return m_statusText; }
    const QString& statusToolTip() const { return m_statusToolTip; }
    const QString& trayPicture() const { return m_trayPicture; }
    const QString& trayToolTip() const { return m_trayToolTip; }

    bool isFormLoaded() const override { return true; }
    bool isMainWindowVisible() const override { return false; }
    void showMainWindow(bool) override {}
    void setCaption(const QString& caption) override { m_caption = caption; }
    void repaintMainWindow() override {}
    void setBusyPointer(bool) override {}
    void restoreMainWindow() override {}
    void exitProgram() override
    {
        if (m_exitRoutine)
            m_exitRoutine();
    }
    // No link menu.
    void linksChanged() override {}
    void processPendingEvents() override {}
    void setStatusText(const QString& text) override;
    void setStatusPicture(const QString&) override {}
    void setStatusToolTip(const QString& text) override { m_statusToolTip = text; }
    QString debugLogText() const override { return m_debugLog; }
    void setDebugLogText(const QString& text) override { m_debugLog = text; }
    BoxAnswer messageBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons) override;
    void AddTrayIcon(const QString&, const QString&) override {}
    void ModifyTrayIcon(const QString& imageKey) override { m_trayPicture = imageKey; }
    void ModifyTrayToolTip(const QString& toolTip) override { m_trayToolTip = toolTip; }
    void setTrayAnimation(bool) override {}
    void setRefreshControlsEnabled(bool) override {}
    void setMonthListVisible(bool) override {}
    void clearMonthList() override {}
    void addMonthListItem(const QString&) override {}
    void setMonthListSelecting(bool) override {}
    void setMonthListIndex(int) override {}
    void InitValueDisplay(bool) override {}
    void SetFormLayout() override {}
    void setControlText(const ControlRef&, const QString&) override {}
    void setControlToolTip(const ControlRef&, const QString&) override {}
    void setControlTextColour(const ControlRef&, uint32_t) override {}
    void setControlVisible(const ControlRef&, bool) override {}
    void UpdateProgressBar(const qoMonth&) override {}
    bool ParseArrays(bool, const qoMonth&, QString&) override { return true; }
    void showOptionsDialog(OptionsFocus) override {}
    void showPasswordDialog() override {}
    void showAboutDialog() override {}
    void DoVersionCheck(bool, bool) override {}
    bool isGraphWindowLoaded() const override { return false; }
    void RefreshTeeGraph(const qoMonth&) override {}
    void showGraphWindow(const qoMonth&) override {}
    void hideGraphCharts() override {}

private:
    TextSink m_errorOutput;
    LogSink m_log;
    std::function<void()> m_exitRoutine;
    QString m_caption;
    QString m_statusText;
    QString m_statusToolTip;
    QString m_debugLog;
    QString m_trayPicture;
    QString m_trayToolTip;
};
