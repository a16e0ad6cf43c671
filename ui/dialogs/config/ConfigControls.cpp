// SPDX-License-Identifier: MIT
#include "ConfigControls.h"

#include "PasswordMask.h"
#include "UpDownControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

template <class Widget>
Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel* label(const QString& name, const QString& text, bool wrap = false)
{
    auto* widget = named(new QLabel(text), name);
    // Shown as they stand: a status text from the web site must not turn into markup.
    widget->setTextFormat(Qt::PlainText);
    widget->setWordWrap(wrap);
    return widget;
}

QCheckBox* check(const QString& name, const QString& text)
{
    return named(new QCheckBox(text), name);
}

QLineEdit* textBox(const QString& name, bool password = false)
{
    auto* box = named(new QLineEdit, name);
    // The masked boxes' text stays inside this process: Qt offers no message through which
    // another program could read it out.
    if (password)
        maskPassword(box);
    return box;
}

QComboBox* dropDown(const QString& name)
{
    // A drop-down list: choosing only, no typing.
    auto* list = named(new QComboBox, name);
    list->setEditable(false);
    return list;
}

// A frame of a tab, its controls on a grid.
QGridLayout* frame(QVBoxLayout* tab, const QString& name, const QString& title)
{
    auto* box = named(new QGroupBox(title), name);
    auto* grid = new QGridLayout(box);
    tab->addWidget(box);
    return grid;
}

QVBoxLayout* addTab(QTabWidget* tabs, const QString& caption)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    tabs->addTab(page, caption);
    return layout;
}

// A number box with its up-down and the unit label after it, in one row.
QHBoxLayout* numberRow(QWidget* before, QLineEdit* box, UpDownControl* upDown, QLabel* unit)
{
    auto* row = new QHBoxLayout;
    row->addWidget(before);
    box->setMaximumWidth(90);
    row->addWidget(box);
    row->addWidget(upDown);
    row->addWidget(unit);
    row->addStretch();
    return row;
}

} // namespace

void ConfigControls::build(QDialog* dialog, const QString& productName)
{
    m_dialog = dialog;
    const QString& p = productName;
    auto* outer = new QVBoxLayout(dialog);
    tabConfig = named(new QTabWidget, u"tabConfig"_s);
    outer->addWidget(tabConfig);

    // Account
    QVBoxLayout* tab = addTab(tabConfig, u"Account"_s);
    QGridLayout* g = frame(tab, u"Frame1"_s, u"Account Details"_s);
    txtUsername = textBox(u"txtUsername"_s);
    txtPassword = textBox(u"txtPassword"_s, true);
    chkPwdPrompt = check(u"chkPwdPrompt"_s, u"Prompt for password"_s);
    chkPwdToolbox = check(u"chkPwdToolbox"_s, u"Use username/password to open Toolbox pages"_s);
    lblPwdWarning =
        label(u"lblPwdWarning"_s,
              u"Note: your username and password will be visible in your web browser's address bar."_s, true);
    cboAccountType = dropDown(u"cboAccountType"_s);
    cboDataSource = dropDown(u"cboDataSource"_s);
    chkUseXMLFeed = check(u"chkUseXMLFeed"_s, u"use XML feed"_s);
    g->addWidget(label(u"Label1"_s, u"Username:"_s), 0, 0);
    g->addWidget(txtUsername, 0, 1);
    g->addWidget(label(u"Label2"_s, u"Password:"_s), 1, 0);
    g->addWidget(txtPassword, 1, 1);
    g->addWidget(chkPwdPrompt, 2, 1);
    g->addWidget(chkPwdToolbox, 3, 1);
    g->addWidget(lblPwdWarning, 4, 1);
    g->addWidget(label(u"Label6"_s, u"Account type:"_s), 5, 0);
    g->addWidget(cboAccountType, 5, 1);
    g->addWidget(label(u"Label12"_s,
                       u"Specify your email address in the username field if you have an account with an Quolla "
                       "acquisition (Corvo, Dapple, Brindle, Emberly, Ostrel, etc)."_s,
                       true),
                 6, 0, 1, 2);
    g->addWidget(label(u"Label13"_s, u"Data source:"_s), 7, 0);
    g->addWidget(cboDataSource, 7, 1);
    g->addWidget(chkUseXMLFeed, 8, 1);
    g->addWidget(label(u"Label14"_s,
                       u"Use the JSON feed, as it will provide additional functionality, including ability to fetch "
                       "volume usage for additional services associated with your account in a future version of "_s +
                           p + u"."_s,
                       true),
                 9, 0, 1, 2);
    tab->addStretch();

    // Refresh
    tab = addTab(tabConfig, u"Refresh"_s);
    g = frame(tab, u"frameWebProxy"_s, u"Web Proxy"_s);
    chkUseProxy = check(u"chkUseProxy"_s, u"Use proxy server"_s);
    txtProxy = textBox(u"txtProxy"_s);
    txtProxyUID = textBox(u"txtProxyUID"_s);
    txtProxyPwd = textBox(u"txtProxyPwd"_s, true);
    lblProxy1 = label(u"lblProxy1"_s,
                      u"If required, "_s + p +
                          u" can be configured to retrieve data from Toolbox through a web proxy server."_s,
                      true);
    lblProxy2 = label(u"lblProxy2"_s, u"Server must be specified as \"host:port\", ie \"server:8080\""_s, true);
    lblProxy3 = label(u"lblProxy3"_s, u"Server:"_s);
    lblProxy4 = label(u"lblProxy4"_s, u"Username:"_s);
    lblProxy5 = label(u"lblProxy5"_s, u"Password:"_s);
    g->addWidget(lblProxy1, 0, 0, 1, 2);
    g->addWidget(chkUseProxy, 1, 0, 1, 2);
    g->addWidget(lblProxy3, 2, 0);
    g->addWidget(txtProxy, 2, 1);
    g->addWidget(lblProxy2, 3, 1);
    g->addWidget(lblProxy4, 4, 0);
    g->addWidget(txtProxyUID, 4, 1);
    g->addWidget(lblProxy5, 5, 0);
    g->addWidget(txtProxyPwd, 5, 1);

    g = frame(tab, u"Frame4"_s, u"Refresh Options"_s);
    chkStartupRefresh = check(u"chkStartupRefresh"_s, u"Refresh on startup"_s);
    chkDelayRefresh = check(u"chkDelayRefresh"_s, u"Delay startup refresh by"_s);
    txtDelay = textBox(u"txtDelay"_s);
    udDelay = named(new UpDownControl(txtDelay, nullptr), u"udDelay"_s);
    lblDelay = label(u"lblDelay"_s, u"minutes"_s);
    chkAutoRefresh = check(u"chkAutoRefresh"_s, u"Auto refresh data every"_s);
    txtInterval = textBox(u"txtInterval"_s);
    udInterval = named(new UpDownControl(txtInterval, nullptr), u"udInterval"_s);
    lblRefresh2 = label(u"lblRefresh2"_s, u"minutes"_s);
    txtTimeout = textBox(u"txtTimeout"_s);
    udTimeout = named(new UpDownControl(txtTimeout, nullptr), u"udTimeout"_s);
    g->addWidget(label(u"Label7"_s,
                       u"These options allow you to configure "_s + p +
                           u" to periodically refresh your volume usage data from Quolla."_s,
                       true),
                 0, 0);
    g->addWidget(chkStartupRefresh, 1, 0);
    g->addLayout(numberRow(chkDelayRefresh, txtDelay, udDelay, lblDelay), 2, 0);
    g->addLayout(numberRow(chkAutoRefresh, txtInterval, udInterval, lblRefresh2), 3, 0);
    g->addLayout(numberRow(label(u"Label11"_s, u"HTTP Retrieve timeout"_s), txtTimeout, udTimeout,
                           label(u"Label10"_s, u"seconds"_s)),
                 4, 0);
    tab->addStretch();

    // History
    tab = addTab(tabConfig, u"History"_s);
    g = frame(tab, u"Frame7"_s, u"Data Export"_s);
    chkXMLExport = check(u"chkXMLExport"_s, u"Export results to XML"_s);
    chkCSVExport = check(u"chkCSVExport"_s, u"Export results to CSV"_s);
    chkCSVExclude = check(u"chkCSVExclude"_s, u"Exclude future dates"_s);
    g->addWidget(label(u"Label9"_s,
                       u"These options will cause "_s + p +
                           u" to export data to the specified file format each time data is refreshed.  Output "
                           "files will be located in your "_s +
                           p + u" data directory."_s,
                       true),
                 0, 0, 1, 2);
    g->addWidget(chkXMLExport, 1, 0);
    g->addWidget(chkCSVExport, 2, 0);
    g->addWidget(chkCSVExclude, 2, 1);
    g = frame(tab, u"Frame8"_s, u"Historical Data"_s);
    chkHistory = check(u"chkHistory"_s, u"Retain Historical Data"_s);
    g->addWidget(label(u"Label17"_s,
                       u"These options allow you to specify whether "_s + p +
                           u" should retain all historical volume usage data in a database."_s,
                       true),
                 0, 0);
    g->addWidget(label(u"Label18"_s, u"Historical data can then be viewed and graphed in "_s + p + u"."_s, true), 1, 0);
    g->addWidget(chkHistory, 2, 0);
    tab->addStretch();

    // Options
    tab = addTab(tabConfig, u"Options"_s);
    g = frame(tab, u"Frame3"_s, u"Other Options"_s);
    chkStartMinimised = check(u"chkStartMinimised"_s, u"Start minimised in systray"_s);
    chkMultInstances = check(u"chkMultInstances"_s, u"Allow multiple instances"_s);
    chkMinimiseToTray = check(u"chkMinimiseToTray"_s, u"Minimise to systray on close"_s);
    // The desktop session's autostart stands in for starting with the operating system.
    chkAutoStartup = check(u"chkAutoStartup"_s, u"Start "_s + p + u" at desktop login"_s);
    int row = 0;
    for (QCheckBox* box : {chkStartMinimised, chkMultInstances, chkMinimiseToTray, chkAutoStartup})
        g->addWidget(box, row++, 0);
    g = frame(tab, u"Frame2"_s, u"User Interface"_s);
    chkQuietMode = check(u"chkQuietMode"_s, u"Suppress all error message boxes"_s);
    chkCommaSeparators = check(u"chkCommaSeparators"_s, u"Use commas in numeric values"_s);
    chkDoubleWidth = check(u"chkDoubleWidth"_s, u"Use double-width form for summary and data grid"_s);
    chkSortRemember = check(u"chkSortRemember"_s, u"Remember data grid sort column"_s);
    chkShowMarker = check(u"chkShowMarker"_s, u"Show elapsed time markers on progress bars"_s);
    chkEstShaping = check(u"chkEstShaping"_s, u"Show estimated shaping date"_s);
    g->addWidget(label(u"Label8"_s,
                       u"These options provide some level of customisation of the "_s + p + u" user interface."_s,
                       true),
                 0, 0);
    row = 1;
    for (QCheckBox* box :
         {chkQuietMode, chkCommaSeparators, chkDoubleWidth, chkSortRemember, chkShowMarker, chkEstShaping})
        g->addWidget(box, row++, 0);
    tab->addStretch();

    // Updates
    tab = addTab(tabConfig, u"Updates"_s);
    g = frame(tab, u"Frame5"_s, u"Version Check"_s);
    chkVerCheckStartup = check(u"chkVerCheckStartup"_s, u"check on startup"_s);
    chkVerCheckTimed = check(u"chkVerCheckTimed"_s, u"check every"_s);
    cboVerCheckInterval = dropDown(u"cboVerCheckInterval"_s);
    cmdCheckVersion = named(new QPushButton(u"Check Now"_s), u"cmdCheckVersion"_s);
    cmdAbort = named(new QPushButton(u"Abort"_s), u"cmdAbort"_s);
    cmdAbort->setVisible(false);
    lblStatus = label(u"lblStatus"_s, QString(), true);
    g->addWidget(label(u"Label4"_s,
                       u"Tallyroo can automatically check the Tallyroo website, and notify you of the availabilty "
                       "of new versions."_s.replace(u"Tallyroo"_s, p),
                       true),
                 0, 0, 1, 3);
    g->addWidget(label(u"Label3"_s, u"Check for new version:"_s), 1, 0);
    g->addWidget(chkVerCheckStartup, 1, 1);
    g->addWidget(chkVerCheckTimed, 2, 1);
    g->addWidget(cboVerCheckInterval, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCheckVersion);
    buttons->addWidget(cmdAbort);
    buttons->addStretch();
    g->addLayout(buttons, 3, 0, 1, 3);
    g->addWidget(lblStatus, 4, 0, 1, 3);
    g->addWidget(label(u"Label5"_s,
                       u"Note that anonymous information will be collected, including your IP address, "_s + p +
                           u" version, and the operating system version information."_s,
                       true),
                 5, 0, 1, 3);
    tab->addStretch();

    // Other
    tab = addTab(tabConfig, u"Other"_s);
    g = frame(tab, u"framePlanDetails"_s, u"Plan Details"_s);
    txtProductName = textBox(u"txtProductName"_s);
    txtPlanName = textBox(u"txtPlanName"_s);
    txtPeakTime = textBox(u"txtPeakTime"_s);
    txtOffpeakTime = textBox(u"txtOffpeakTime"_s);
    lblPeakTimeName = label(u"lblPeakTimeName"_s, QString());
    lblOffpeakTimeName = label(u"lblOffpeakTimeName"_s, QString());
    g->addWidget(label(u"Label28"_s, u"Product name:"_s), 0, 0);
    g->addWidget(txtProductName, 0, 1);
    g->addWidget(label(u"Label30"_s, u"Plan name:"_s), 1, 0);
    g->addWidget(txtPlanName, 1, 1);
    g->addWidget(lblPeakTimeName, 2, 0);
    g->addWidget(txtPeakTime, 2, 1);
    g->addWidget(lblOffpeakTimeName, 3, 0);
    g->addWidget(txtOffpeakTime, 3, 1);

    g = frame(tab, u"Frame11"_s, u"Logging"_s);
    lblDebugLevel = label(u"lblDebugLevel"_s, QString());
    lblMaxLogSize = label(u"lblMaxLogSize"_s, QString());
    txtLogFile = textBox(u"txtLogFile"_s);
    lblDebugLogEnable = label(u"lblDebugLogEnable"_s, QString());
    g->addWidget(label(u"Label21"_s, u"Debug level:"_s), 0, 0);
    g->addWidget(lblDebugLevel, 0, 1);
    g->addWidget(label(u"Label22"_s, u"Max log size:"_s), 1, 0);
    g->addWidget(lblMaxLogSize, 1, 1);
    g->addWidget(label(u"Label23"_s, u"Debug log file:"_s), 2, 0);
    g->addWidget(txtLogFile, 2, 1);
    g->addWidget(label(u"Label24"_s, u"Debug logging:"_s), 3, 0);
    g->addWidget(lblDebugLogEnable, 3, 1);

    g = frame(tab, u"Frame9"_s, u"Data Directory"_s);
    txtDataPath = textBox(u"txtDataPath"_s);
    lblMigrationStatus = label(u"lblMigrationStatus"_s, QString());
    g->addWidget(label(u"Label19"_s, u"This is the location "_s + p + u" will use to store all data files:"_s, true), 0,
                 0, 1, 2);
    g->addWidget(txtDataPath, 1, 0, 1, 2);
    g->addWidget(label(u"Label20"_s, u"Directory status:"_s), 2, 0);
    g->addWidget(lblMigrationStatus, 2, 1);
    tab->addStretch();

    for (QLineEdit* box : {txtDataPath, txtLogFile, txtPlanName, txtProductName, txtPeakTime, txtOffpeakTime})
        makeReadOnly(box);
    // The plan details are skipped when tabbing; the two paths can still be reached to copy them.
    for (QLineEdit* box : {txtPlanName, txtProductName, txtPeakTime, txtOffpeakTime})
        box->setFocusPolicy(Qt::NoFocus);

    // The buttons below the tabs.
    cmdOK = named(new QPushButton(u"OK"_s), u"cmdOK"_s);
    cmdCancel = named(new QPushButton(u"Cancel"_s), u"cmdCancel"_s);
    cmdApply = named(new QPushButton(u"&Apply"_s), u"cmdApply"_s);
    cmdOK->setDefault(true);
    // Its room is kept while it is hidden, so that the dialog does not change size under the pointer.
    lblWaiting = label(u"lblWaiting"_s, u"Waiting for the refresh to end before applying the new account..."_s, true);
    QSizePolicy keepRoom = lblWaiting->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    lblWaiting->setSizePolicy(keepRoom);
    lblWaiting->hide();
    outer->addWidget(lblWaiting);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK);
    bottom->addWidget(cmdCancel);
    bottom->addWidget(cmdApply);
    outer->addLayout(bottom);
}

QCheckBox* ConfigControls::optionBox(const char* name) const
{
    return m_dialog ? m_dialog->findChild<QCheckBox*>(QLatin1String(name)) : nullptr;
}

void ConfigControls::setBoxEnabled(QLineEdit* box, bool enabled)
{
    box->setEnabled(enabled);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, enabled ? box->style()->standardPalette().color(QPalette::Base)
                                             : box->style()->standardPalette().color(QPalette::Button));
    box->setPalette(palette);
}

void ConfigControls::makeReadOnly(QLineEdit* box)
{
    box->setReadOnly(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, box->style()->standardPalette().color(QPalette::Button));
    box->setPalette(palette);
}
