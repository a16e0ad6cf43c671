// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigApplier.h"
#include "ConfigContext.h"
#include "ConfigControls.h"
#include "WindowSeam.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class UpDownControl;

// The options dialog over the user's settings: every opening loads the settings afresh; Apply
// and OK write them back and bring the program up to date, Cancel drops what was typed.
// Tests drive the handlers directly instead of running the dialog's own loop.
class frmConfig : public QDialog
{
    Q_OBJECT

public:
    frmConfig(const ConfigContext& context, QWidget* owner);

    const ConfigControls& controls() const { return m_ui; }

    // To the front (when shown), with the focus on the box a request to show the dialog is about.
    void bringForward(OptionsFocus focus);

    void cmdOK_Click();
    void cmdApply_Click();
    void cmdCancel_Click();
    void cmdCheckNow_Click();
    void cmdCheckVersion_Click() { cmdCheckNow_Click(); }
    void cmdAbort_Click();

    // The dependants of the check boxes.
    void chkAutoRefresh_Click();
    void chkCSVExport_Click();
    void chkStartupRefresh_Click();
    void chkPwdPrompt_Click();
    void chkPwdToolbox_Click();
    void chkUseProxy_Click();
    void chkVerCheckTimed_Click();
    void chkDelayRefresh_Click();

    // The number boxes, when they lose the focus.
    void txtInterval_LostFocus();
    void txtDelay_LostFocus();
    void txtTimeout_LostFocus();

    void ShowDebugInfo();

    // True while Check Now waits for the version check.
    bool checkRunning() const { return m_checkRunning; }

signals:
    // The MinimiseToTray option as applied: the main window's Escape key follows it.
    void escapeButtonChanged(bool minimiseToTray);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showLogFile(const QString& path);
    void Form_Load();
    void connectControls();
    void loadOptionBoxes();
    void loadVersionCheck();
    void loadPlanDetails();
    void loadDataFolder();
    bool msxmlTransport() const;
    bool autoStartPresent() const;
    // The main window's summary title of a column, empty when there is no main window.
    static QString mainWindowTitle(int index);
    void validate(QLineEdit* box, UpDownControl* upDown, int32_t floor);
    // False, after telling the user, when an enabled number box holds no number.
    bool numbersReadable();
    ConfigInput input() const;
    void setCheckControlsEnabled(bool enabled);
    // The number boxes' texts handed to their up-downs; false when one holds no number.
    bool takeTypedNumbers();
    // Runs apply now, or, when it changes the account, once the refresh that is fetching for the
    // account has ended.
    void applyWhenAccountFree(const std::function<void()>& apply);
    // Greyed, with the line that says why, while a new account waits for the refresh.
    void setWaitingForAccount(bool waiting);
    // Apply's work for Apply and OK (close: once saved, the dialog closes).
    void applyControls(bool close);

    ConfigContext m_ctx;
    ConfigControls m_ui;
    ConfigApplier m_applier;
    bool m_checkRunning = false;
};
