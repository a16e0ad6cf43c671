// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

struct qoMonth;

// Message-box icons and buttons, and the answers with the codes the log lines quote.
enum class BoxIcon { None, Critical, Question, Exclamation, Information };
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxAnswer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// The box of the options dialog a request to show it is about: it gets the focus.
enum class OptionsFocus { None, Username };

// A control of the main window by its object name, with the element number for the summary
// arrays (lblTitle(0..2), txtQuota(0..2), ...) and -1 for a single control.
struct ControlRef
{
    QString name;
    int index = -1;

    friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

// Everything the core asks of the windows: the main window, its tray icon, the modal dialogs and
// the graph window. The widget layer implements it; the hidden run-once mode and the tests use
// implementations without a display. The core holds no widget of its own.
class WindowSeam
{
public:
    virtual ~WindowSeam() = default;

    // The main window. isFormLoaded: any window of the program exists (false before start-up has
    // loaded one; the hidden run-once mode has one that is loaded but never shown).
    virtual bool isFormLoaded() const = 0;
    virtual bool isMainWindowVisible() const = 0;
    // The main window is where the user sees it: shown, neither hidden in the tray nor minimised.
    virtual bool isMainWindowInView() const { return isMainWindowVisible(); }
    // Runs `then` once, when the main window next comes into view (brought back from the tray or
    // the task bar). A run whose window is never shown never runs it.
    virtual void whenMainWindowInView(std::function<void()> then) { (void)then; }
    // Start-up: show the main window, or load it minimised and off the task bar.
    virtual void showMainWindow(bool startMinimised) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void repaintMainWindow() = 0;
    virtual void setBusyPointer(bool busy) = 0;
    // Restore from the tray and bring to the front (mnuPopup_Show_Click).
    virtual void restoreMainWindow() = 0;
    // The exit routine (mnuFile_Exit_Click): unload the windows, remove the tray icon, end the run.
    virtual void exitProgram() = 0;
    // The web links of the run state were filled again: set up the tray's link menu (its caption
    // for the brand and one item per link that is set).
    virtual void linksChanged() = 0;
    // Let waiting window events run (the refresh waits in the same thread).
    virtual void processPendingEvents() = 0;

    // Status bar: panel 2 text (repainted at once); panel 1 picture (image key) and tooltip.
    virtual void setStatusText(const QString& text) = 0;
    virtual void setStatusPicture(const QString& imageKey) = 0;
    virtual void setStatusToolTip(const QString& text) = 0;

    // The debug log box (txtDebugList). Setting the text leaves the newest line in view.
    virtual QString debugLogText() const = 0;
    virtual void setDebugLogText(const QString& text) = 0;

    // A modal message box; the answer is the button the user chose.
    virtual BoxAnswer messageBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons) = 0;

    // Tray icon, its pictures keyed as in the tray image list ("none_none", "error", "ok_warn", ...).
    virtual void AddTrayIcon(const QString& imageKey, const QString& toolTip) = 0;
    virtual void ModifyTrayIcon(const QString& imageKey) = 0;
    virtual void ModifyTrayToolTip(const QString& toolTip) = 0;
    virtual void setTrayAnimation(bool running) = 0; // tmrAnimate
    // A notification from the tray icon; false where no icon is in a notification area to show it.
    virtual bool ShowTrayMessage(const QString& title, const QString& text)
    {
        (void)title;
        (void)text;
        return false;
    }

    // cmdRefresh, mnuReload, mnuRefresh, mnuPopup_Refresh and cboHistory together.
    virtual void setRefreshControlsEnabled(bool enabled) = 0;

    // The history month list (cboHistory) and its holder (picHistory). The window's own flag is
    // raised around a selection the core makes, so it can tell it from the user's.
    virtual void setMonthListVisible(bool visible) = 0;
    virtual void clearMonthList() = 0;
    virtual void addMonthListItem(const QString& text) = 0;
    virtual void setMonthListSelecting(bool selecting) = 0;
    virtual void setMonthListIndex(int index) = 0;

    // Showing a month: the window's reset, its value boxes by control name, the usage bars, the grid.
    virtual void InitValueDisplay(bool bHistorical) = 0;
    // Applies the layout of the DoubleWidth option (after the options dialog changed it).
    virtual void SetFormLayout() = 0;
    virtual void setControlText(const ControlRef& control, const QString& text) = 0;
    virtual void setControlToolTip(const ControlRef& control, const QString& text) = 0;
    // Colour as 0xBBGGRR.
    virtual void setControlTextColour(const ControlRef& control, uint32_t colour) = 0;
    virtual void setControlVisible(const ControlRef& control, bool visible) = 0;
    virtual void UpdateProgressBar(const qoMonth& month) = 0;
    virtual bool ParseArrays(bool quiet, const qoMonth& month, QString& szErr) = 0;

    // Modal dialogs: when they return, the settings hold what the user saved or entered. There is
    // one options dialog at most: a request while it is open brings it to the front and returns.
    virtual void showOptionsDialog(OptionsFocus focus) = 0; // frmConfig
    virtual void showPasswordDialog() = 0;                  // frmPasswordEntry
    virtual void showAboutDialog() = 0;                     // frmAbout

    // Ask the program's web site for a newer version; atStartup skips a check made in the last
    // two hours.
    virtual void DoVersionCheck(bool background, bool atStartup) = 0;

    // The graph window (frmTeeGraph).
    virtual bool isGraphWindowLoaded() const = 0;
    virtual void RefreshTeeGraph(const qoMonth& month) = 0;
    // The graph command: load the graph window, bring it back and to the front, draw the month.
    virtual void showGraphWindow(const qoMonth& month) = 0;
    // After a failed profile switch: the loaded graph window's two charts are hidden.
    virtual void hideGraphCharts() = 0;
};
