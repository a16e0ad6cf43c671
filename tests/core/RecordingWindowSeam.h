// SPDX-License-Identifier: MIT
#pragma once

#include "WindowSeam.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// A window seam without a display: it keeps what the core asked for, so tests can read it back,
// and answers message boxes from a queue.
class RecordingWindowSeam : public WindowSeam
{
public:
    struct MessageBox
    {
        QString text;
        QString title;
        BoxIcon icon = BoxIcon::None;
        BoxButtons buttons = BoxButtons::Ok;
    };

    // What the window reports.
    bool formLoaded = true;
    bool mainWindowVisible = true;
    bool graphWindowLoaded = false;
    // Answers for the next message boxes, first in first out; Ok when empty.
    QList<BoxAnswer> nextAnswers;
    // Run when a modal dialog opens, standing for what the user does in it.
    std::function<void()> onOptionsDialog;
    // The box the last request to show the options dialog was about.
    OptionsFocus optionsFocus = OptionsFocus::None;
    std::function<void()> onPasswordDialog;
    // What the grid fill reports.
    bool parseArraysResult = true;
    QString parseArraysError;
    // A seam call to make fail with a run-time error, by method name ("setStatusText", ...).
    QString failingCall;

    // What the core did.
    QStringList calls; // method names in call order
    QString caption;
    QString statusText;
    QString statusPicture;
    QString statusToolTip;
    QString debugLog;
    QList<MessageBox> messageBoxes;
    bool trayAdded = false;
    QString trayPicture;
    QString trayToolTip;
    bool trayAnimating = false;
    bool refreshControlsEnabled = true;
    bool monthListVisible = false;
    bool monthListSelecting = false;
    QStringList monthList;
    int monthListIndex = -1;
    bool monthListSelectingWhenIndexSet = false;
    QMap<QString, QString> controlTexts;
    QMap<QString, QString> controlToolTips;
    QMap<QString, uint32_t> controlColours;
    QMap<QString, bool> controlVisible;
    QList<qoMonth> graphedMonths;

    static QString keyOf(const ControlRef& control);

    bool isFormLoaded() const override;
    bool isMainWindowVisible() const override;
    void showMainWindow(bool startMinimised) override;
    void setCaption(const QString& text) override;
    void repaintMainWindow() override;
    void setBusyPointer(bool busy) override;
    void restoreMainWindow() override;
    void exitProgram() override;
    void linksChanged() override;
    void processPendingEvents() override;
    void setStatusText(const QString& text) override;
    void setStatusPicture(const QString& imageKey) override;
    void setStatusToolTip(const QString& text) override;
    QString debugLogText() const override;
    void setDebugLogText(const QString& text) override;
    BoxAnswer messageBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons) override;
    void AddTrayIcon(const QString& imageKey, const QString& toolTip) override;
    void ModifyTrayIcon(const QString& imageKey) override;
    void ModifyTrayToolTip(const QString& toolTip) override;
    void setTrayAnimation(bool running) override;
    void setRefreshControlsEnabled(bool enabled) override;
    void setMonthListVisible(bool visible) override;
    void clearMonthList() override;
    void addMonthListItem(const QString& text) override;
    void setMonthListSelecting(bool selecting) override;
    void setMonthListIndex(int index) override;
    void InitValueDisplay(bool bHistorical) override;
    void setControlText(const ControlRef& control, const QString& text) override;
    void setControlToolTip(const ControlRef& control, const QString& text) override;
    void setControlTextColour(const ControlRef& control, uint32_t colour) override;
    void setControlVisible(const ControlRef& control, bool visible) override;
    void UpdateProgressBar(const qoMonth& month) override;
    bool ParseArrays(bool quiet, const qoMonth& month, QString& szErr) override;
    void showOptionsDialog(OptionsFocus focus) override;
    void showPasswordDialog() override;
    void showAboutDialog() override;
    void SetFormLayout() override;
    void DoVersionCheck(bool background, bool atStartup) override;
    bool isGraphWindowLoaded() const override;
    void RefreshTeeGraph(const qoMonth& month) override;
    void showGraphWindow(const qoMonth& month) override;
    void hideGraphCharts() override;

private:
    void record(const QString& call);
};
