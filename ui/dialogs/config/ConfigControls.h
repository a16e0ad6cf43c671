// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class UpDownControl;

// The options dialog's controls, each under the object name the rest of the program and the
// tests look for, laid out on the six tabs.
struct ConfigControls
{
    // Builds every control into the dialog; productName goes into the texts that name the program.
    void build(QDialog* dialog, const QString& productName);

    QTabWidget* tabConfig = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;
    // Above the buttons, shown only while a new account waits for the refresh to end.
    QLabel* lblWaiting = nullptr;

    // Account
    QLineEdit* txtUsername = nullptr;
    QLineEdit* txtPassword = nullptr;
    QCheckBox* chkPwdPrompt = nullptr;
    QCheckBox* chkPwdToolbox = nullptr;
    QLabel* lblPwdWarning = nullptr;
    QComboBox* cboAccountType = nullptr;
    QComboBox* cboDataSource = nullptr;
    QCheckBox* chkUseXMLFeed = nullptr;

    // Refresh
    QCheckBox* chkUseProxy = nullptr;
    QLineEdit* txtProxy = nullptr;
    QLineEdit* txtProxyUID = nullptr;
    QLineEdit* txtProxyPwd = nullptr;
    QLabel* lblProxy1 = nullptr;
    QLabel* lblProxy2 = nullptr;
    QLabel* lblProxy3 = nullptr;
    QLabel* lblProxy4 = nullptr;
    QLabel* lblProxy5 = nullptr;
    QCheckBox* chkStartupRefresh = nullptr;
    QCheckBox* chkDelayRefresh = nullptr;
    QLineEdit* txtDelay = nullptr;
    UpDownControl* udDelay = nullptr;
    QLabel* lblDelay = nullptr;
    QCheckBox* chkAutoRefresh = nullptr;
    QLineEdit* txtInterval = nullptr;
    UpDownControl* udInterval = nullptr;
    QLabel* lblRefresh2 = nullptr;
    QLineEdit* txtTimeout = nullptr;
    UpDownControl* udTimeout = nullptr;

    // History
    QCheckBox* chkXMLExport = nullptr;
    QCheckBox* chkCSVExport = nullptr;
    QCheckBox* chkCSVExclude = nullptr;
    QCheckBox* chkHistory = nullptr;

    // Options
    QCheckBox* chkStartMinimised = nullptr;
    QCheckBox* chkMultInstances = nullptr;
    QCheckBox* chkMinimiseToTray = nullptr;
    QCheckBox* chkAutoStartup = nullptr;
    QCheckBox* chkQuietMode = nullptr;
    QCheckBox* chkCommaSeparators = nullptr;
    QCheckBox* chkDoubleWidth = nullptr;
    QCheckBox* chkSortRemember = nullptr;
    QCheckBox* chkShowMarker = nullptr;
    QCheckBox* chkEstShaping = nullptr;

    // Updates
    QCheckBox* chkVerCheckStartup = nullptr;
    QCheckBox* chkVerCheckTimed = nullptr;
    QComboBox* cboVerCheckInterval = nullptr;
    QPushButton* cmdCheckVersion = nullptr;
    QPushButton* cmdAbort = nullptr;
    QLabel* lblStatus = nullptr;

    // Other
    QLineEdit* txtProductName = nullptr;
    QLineEdit* txtPlanName = nullptr;
    QLineEdit* txtPeakTime = nullptr;
    QLineEdit* txtOffpeakTime = nullptr;
    QLabel* lblPeakTimeName = nullptr;
    QLabel* lblOffpeakTimeName = nullptr;
    QLabel* lblDebugLevel = nullptr;
    QLabel* lblMaxLogSize = nullptr;
    QLineEdit* txtLogFile = nullptr;
    QLabel* lblDebugLogEnable = nullptr;
    QLineEdit* txtDataPath = nullptr;
    QLabel* lblMigrationStatus = nullptr;

    // An option box by its object name (chkPwdPrompt ...); null for another name.
    QCheckBox* optionBox(const char* name) const;

    // Greys or enables a text box: disabled boxes take the button-face background.
    static void setBoxEnabled(QLineEdit* box, bool enabled);
    // The read-only value boxes: button-face background.
    static void makeReadOnly(QLineEdit* box);

private:
    QDialog* m_dialog = nullptr;
};
