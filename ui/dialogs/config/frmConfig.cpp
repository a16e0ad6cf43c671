// SPDX-License-Identifier: MIT
#include "frmConfig.h"

#include "AppInfo.h"
#include "AutoStartEntry.h"
#include "ConfigRules.h"
#include "Dates.h"
#include "LogFrontEnd.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "UpDownControl.h"
#include "WindowSeam.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace Qt::StringLiterals;

frmConfig::frmConfig(const ConfigContext& context, QWidget* owner) : QDialog(owner), m_ctx(context), m_applier(context)
{
    setObjectName(u"frmConfig"_s);
    m_ui.build(this, m_ctx.app.ProductName);
    m_applier.escapeButtonChanged = [this](bool minimiseToTray) { emit escapeButtonChanged(minimiseToTray); };
    Form_Load();
    connectControls();
}

void frmConfig::bringForward(OptionsFocus focus)
{
    if (isVisible()) {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
    }
    // The Account tab stays where it is while a version check has it locked.
    if (focus == OptionsFocus::Username && m_ui.tabConfig->isTabEnabled(0)) {
        m_ui.tabConfig->setCurrentIndex(0);
        m_ui.txtUsername->setFocus(Qt::OtherFocusReason);
    }
}

void frmConfig::connectControls()
{
    connect(m_ui.cmdOK, &QPushButton::clicked, this, &frmConfig::cmdOK_Click);
    connect(m_ui.cmdCancel, &QPushButton::clicked, this, &frmConfig::cmdCancel_Click);
    connect(m_ui.cmdApply, &QPushButton::clicked, this, &frmConfig::cmdApply_Click);
    connect(m_ui.cmdCheckVersion, &QPushButton::clicked, this, &frmConfig::cmdCheckNow_Click);
    connect(m_ui.cmdAbort, &QPushButton::clicked, this, &frmConfig::cmdAbort_Click);
    for (QLineEdit* box : {m_ui.txtUsername, m_ui.txtPassword, m_ui.txtProxy, m_ui.txtProxyUID, m_ui.txtProxyPwd,
                           m_ui.txtInterval, m_ui.txtDelay, m_ui.txtTimeout})
        box->installEventFilter(this);
}

// Connected before loading, so that values set by the load raise the handlers as a click does.
static void onToggle(QCheckBox* box, frmConfig* form, void (frmConfig::*handler)())
{
    QObject::connect(box, &QCheckBox::toggled, form, [form, handler] { (form->*handler)(); });
}

void frmConfig::Form_Load()
{
    using namespace ConfigRules;
    onToggle(m_ui.chkAutoRefresh, this, &frmConfig::chkAutoRefresh_Click);
    onToggle(m_ui.chkCSVExport, this, &frmConfig::chkCSVExport_Click);
    onToggle(m_ui.chkStartupRefresh, this, &frmConfig::chkStartupRefresh_Click);
    onToggle(m_ui.chkPwdPrompt, this, &frmConfig::chkPwdPrompt_Click);
    onToggle(m_ui.chkPwdToolbox, this, &frmConfig::chkPwdToolbox_Click);
    onToggle(m_ui.chkUseProxy, this, &frmConfig::chkUseProxy_Click);
    onToggle(m_ui.chkVerCheckTimed, this, &frmConfig::chkVerCheckTimed_Click);
    onToggle(m_ui.chkDelayRefresh, this, &frmConfig::chkDelayRefresh_Click);

    Settings& settings = m_ctx.settings;
    m_ui.lblStatus->clear();
    // The window icon is the application's, set once for all windows by the main window.
    setWindowTitle(m_ctx.app.ProductName + u" Configuration"_s);
    // The masked password boxes need no guard here: no other program can ask a Qt line edit for
    // its text.

    for (int16_t type = 0; type <= 4; ++type)
        m_ui.cboAccountType->addItem(GetAccountTypeName(type));
    settings.AccountType = static_cast<int16_t>(clampIndex(settings.AccountType, 4));
    m_ui.cboAccountType->setCurrentIndex(settings.AccountType);

    m_ui.cboDataSource->addItems({u"XML feed"_s, u"JSON feed"_s});
    m_ui.cboDataSource->setCurrentIndex(settings.UseJSONFeed ? 1 : 0);

    m_ui.txtUsername->setText(settings.Username);
    m_ui.txtPassword->setText(settings.Password);
    m_ui.chkUseProxy->setChecked(settings.UseProxy);
    m_ui.txtProxy->setText(settings.Proxy);
    m_ui.txtProxyUID->setText(settings.ProxyUID);
    m_ui.txtProxyPwd->setText(settings.ProxyPWD);

    const bool msxml = msxmlTransport();
    loadOptionBoxes();
    m_ui.chkUseXMLFeed->setChecked(true);
    m_ui.chkUseXMLFeed->setEnabled(false);
    chkCSVExport_Click();
    loadVersionCheck();
    m_ui.chkAutoStartup->setChecked(autoStartPresent());

    chkAutoRefresh_Click();
    chkUseProxy_Click();
    chkStartupRefresh_Click();
    chkDelayRefresh_Click();
    chkPwdPrompt_Click();
    chkPwdToolbox_Click();

    // The other transport takes no proxy settings, whatever the box shows.
    if (msxml) {
        for (QLabel* label : {m_ui.lblProxy1, m_ui.lblProxy2, m_ui.lblProxy3, m_ui.lblProxy4, m_ui.lblProxy5})
            label->setEnabled(false);
        for (QLineEdit* box : {m_ui.txtProxy, m_ui.txtProxyUID, m_ui.txtProxyPwd})
            ConfigControls::setBoxEnabled(box, false);
    }

    const struct
    {
        UpDownControl* upDown;
        int32_t minimum;
        int32_t maximum;
        int32_t value;
    } ranges[] = {{m_ui.udInterval, IntervalMinimum, IntervalMaximum, settings.Interval},
                  {m_ui.udDelay, DelayMinimum, DelayMaximum, settings.StartupRefreshDelay},
                  {m_ui.udTimeout, TimeoutMinimum, TimeoutMaximum, settings.Timeout}};
    for (const auto& range : ranges) {
        range.upDown->setMinimum(range.minimum);
        range.upDown->setMaximum(range.maximum);
        range.upDown->setValue(range.value);
    }

    QString lastCheck;
    const bool present = m_ctx.registry.GetRegValue(HKEY_CURRENT_USER, m_ctx.app.profileKey(m_ctx.run.ProfileNumber),
                                                    u"VerCheckLast"_s, lastCheck);
    std::optional<QString> validTime;
    LocalDateTime when;
    QString error;
    if (present && myCDate(lastCheck, when, error, m_ctx.log.dateSink()))
        validTime = when.toString();
    m_ui.lblStatus->setText(lastVersionCheckText(present, validTime));

    loadDataFolder();
    ShowDebugInfo();
    loadPlanDetails();
}

void frmConfig::loadOptionBoxes()
{
    for (const ConfigRules::OptionBox& option : ConfigRules::optionBoxes()) {
        if (QCheckBox* box = m_ui.optionBox(option.name))
            box->setChecked(m_ctx.settings.hasOption(option.bit));
    }
}

void frmConfig::loadVersionCheck()
{
    Settings& settings = m_ctx.settings;
    m_ui.chkVerCheckTimed->setChecked((settings.VerCheckOptions & 1) != 0);
    m_ui.chkVerCheckStartup->setChecked((settings.VerCheckOptions & 2) != 0);
    m_ui.cboVerCheckInterval->addItems({u"day"_s, u"week"_s, u"month"_s});
    settings.VerCheckInterval = static_cast<int16_t>(ConfigRules::clampIndex(settings.VerCheckInterval, 2));
    m_ui.cboVerCheckInterval->setCurrentIndex(settings.VerCheckInterval);
    chkVerCheckTimed_Click();
}

void frmConfig::loadDataFolder()
{
    m_ui.txtDataPath->setText(m_ctx.run.DataDir);
    int32_t status = -1;
    if (!m_ctx.registry.GetRegWordValue(HKEY_CURRENT_USER, m_ctx.app.configKey(), u"DataDirMigration"_s, status))
        status = -1;
    m_ui.lblMigrationStatus->setText(ConfigRules::migrationStatusText(status));
}

void frmConfig::loadPlanDetails()
{
    const qoMonth& month = m_ctx.run.CurrentMonth;
    m_ui.txtProductName->setText(month.ProductName.isEmpty() ? u"unknown"_s : month.ProductName);
    m_ui.txtPlanName->setText(month.PlanName.isEmpty() ? u"unknown"_s : month.PlanName);
    if (month.PeakQuota <= 0 || month.OffPeakQuota <= 0) {
        m_ui.lblPeakTimeName->setText(u"Peak time:"_s);
        m_ui.lblOffpeakTimeName->setText(u"Offpeak time:"_s);
        m_ui.txtPeakTime->setText(u"not specified"_s);
        m_ui.txtOffpeakTime->setText(u"not specified"_s);
        return;
    }
    m_ui.lblPeakTimeName->setText(mainWindowTitle(0) + u" time:"_s);
    m_ui.lblOffpeakTimeName->setText(mainWindowTitle(2) + u" time:"_s);
    m_ui.txtPeakTime->setText(ConfigRules::hourSpanText(month.PeakStart, month.PeakEnd));
    m_ui.txtOffpeakTime->setText(ConfigRules::hourSpanText(month.PeakEnd, month.PeakStart));
}

// The summary titles are looked up among the program's windows, as the window itself is not
// linked here.
QString frmConfig::mainWindowTitle(int index)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() != u"frmMain"_s)
            continue;
        if (const auto* title = widget->findChild<QLabel*>(u"lblTitle_"_s + QString::number(index)))
            return title->text();
    }
    return {};
}

bool frmConfig::msxmlTransport() const
{
    int32_t value = 0;
    if (m_ctx.registry.GetRegWordValue(HKEY_CURRENT_USER, u"Software\\Sarnick\\Config"_s, u"UseMSXML"_s, value))
        return value > 0;
    return m_ctx.registry.RegKeyExists(HKEY_CURRENT_USER, u"Software\\Wine"_s);
}

bool frmConfig::autoStartPresent() const
{
    return AutoStartEntry(AutoStartEntry::programName(), m_ctx.app.ProductName).exists();
}

void frmConfig::ShowDebugInfo()
{
    m_ui.lblDebugLevel->setText(u"unknown"_s);
    m_ui.lblMaxLogSize->setText(u"unknown"_s);
    m_ui.txtLogFile->setText(u"unknown"_s);
    m_ui.lblDebugLogEnable->setText(u"unknown"_s);
    int32_t value = 0;
    const QString key = m_ctx.app.appKey();
    m_ui.lblDebugLevel->setText(m_ctx.registry.GetRegWordValue(HKEY_CURRENT_USER, key, u"debug"_s, value)
                                    ? QString::number(value)
                                    : u"not defined"_s);
    m_ui.lblMaxLogSize->setText(m_ctx.registry.GetRegWordValue(HKEY_CURRENT_USER, key, u"logsize"_s, value)
                                    ? QString::number(value) + u" kbytes"_s
                                    : u"using default 1024 kbytes"_s);
    m_ui.txtLogFile->setText(m_ctx.run.DataDir + u"/debug.log"_s);
    m_ui.lblDebugLogEnable->setText(m_ctx.log.fileLoggingOn() ? u"enabled"_s : u"disabled"_s);
}

void frmConfig::chkAutoRefresh_Click()
{
    const bool on = m_ui.chkAutoRefresh->isChecked();
    ConfigControls::setBoxEnabled(m_ui.txtInterval, on);
    m_ui.lblRefresh2->setEnabled(on);
    m_ui.udInterval->setEnabled(on);
    // Automatic refreshes imply one at start-up.
    if (on)
        m_ui.chkStartupRefresh->setChecked(true);
    m_ui.chkStartupRefresh->setEnabled(!on);
}

void frmConfig::chkCSVExport_Click()
{
    m_ui.chkCSVExclude->setEnabled(m_ui.chkCSVExport->isChecked());
}

void frmConfig::chkStartupRefresh_Click()
{
    const bool on = m_ui.chkStartupRefresh->isChecked();
    if (!on)
        m_ui.chkDelayRefresh->setChecked(false);
    m_ui.chkDelayRefresh->setEnabled(on);
}

void frmConfig::chkDelayRefresh_Click()
{
    const bool on = m_ui.chkDelayRefresh->isChecked();
    ConfigControls::setBoxEnabled(m_ui.txtDelay, on);
    m_ui.udDelay->setEnabled(on);
    m_ui.lblDelay->setEnabled(on);
}

void frmConfig::chkUseProxy_Click()
{
    const bool on = m_ui.chkUseProxy->isChecked();
    for (QLineEdit* box : {m_ui.txtProxy, m_ui.txtProxyUID, m_ui.txtProxyPwd})
        ConfigControls::setBoxEnabled(box, on);
    for (QLabel* label : {m_ui.lblProxy3, m_ui.lblProxy4, m_ui.lblProxy5})
        label->setEnabled(on);
}

void frmConfig::chkPwdPrompt_Click()
{
    // Without a stored password there is nothing to put into the links.
    const bool on = m_ui.chkPwdPrompt->isChecked();
    if (on)
        m_ui.chkPwdToolbox->setChecked(false);
    m_ui.chkPwdToolbox->setEnabled(!on);
}

void frmConfig::chkPwdToolbox_Click()
{
    m_ui.lblPwdWarning->setVisible(m_ui.chkPwdToolbox->isChecked());
}

void frmConfig::chkVerCheckTimed_Click()
{
    m_ui.cboVerCheckInterval->setEnabled(m_ui.chkVerCheckTimed->isChecked());
}

void frmConfig::validate(QLineEdit* box, UpDownControl* upDown, int32_t floor)
{
    if (const std::optional<int32_t> number =
            ConfigRules::validatedNumber(box->text(), std::max(floor, upDown->minimum()), upDown->maximum()))
        upDown->setValue(*number);
    else
        return; // no number: the text stays for the user to correct
    box->setText(QString::number(upDown->value()));
}

void frmConfig::txtInterval_LostFocus()
{
    validate(m_ui.txtInterval, m_ui.udInterval, ConfigRules::IntervalMinimum);
}

void frmConfig::txtDelay_LostFocus()
{
    validate(m_ui.txtDelay, m_ui.udDelay, m_ui.udDelay->minimum());
}

void frmConfig::txtTimeout_LostFocus()
{
    validate(m_ui.txtTimeout, m_ui.udTimeout, m_ui.udTimeout->minimum());
}

bool frmConfig::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut))
        return QDialog::eventFilter(watched, event);
    // A context menu takes the focus only for a while, and so does another program's window as far
    // as the check goes: the box is still being edited.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (reason != Qt::ActiveWindowFocusReason) {
        if (box == m_ui.txtInterval)
            txtInterval_LostFocus();
        else if (box == m_ui.txtDelay)
            txtDelay_LostFocus();
        else if (box == m_ui.txtTimeout)
            txtTimeout_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

// A number box holding no number would otherwise be dropped without a word, the setting keeping
// its old value while the save is reported as done.
bool frmConfig::numbersReadable()
{
    const struct
    {
        QLineEdit* box;
        UpDownControl* upDown;
        const char* what;
    } boxes[] = {{m_ui.txtInterval, m_ui.udInterval, "the auto refresh interval"},
                 {m_ui.txtDelay, m_ui.udDelay, "the startup refresh delay"},
                 {m_ui.txtTimeout, m_ui.udTimeout, "the HTTP retrieve timeout"}};
    for (const auto& entry : boxes) {
        if (isNumericText(entry.box->text()))
            continue;
        if (!entry.box->isEnabled()) {
            // Greyed: nothing of it is applied but the up-down's value, which it now shows.
            entry.box->setText(QString::number(entry.upDown->value()));
            continue;
        }
        m_ui.tabConfig->setCurrentIndex(1);
        entry.box->setFocus();
        m_ctx.window.messageBox(u"Please enter a whole number for "_s + QLatin1String(entry.what) + u'.',
                                m_ctx.app.ProductName, BoxIcon::Exclamation, BoxButtons::Ok);
        return false;
    }
    return true;
}

ConfigInput frmConfig::input() const
{
    ConfigInput in;
    in.username = m_ui.txtUsername->text();
    in.password = m_ui.txtPassword->text();
    in.accountType = m_ui.cboAccountType->currentIndex();
    in.dataSource = m_ui.cboDataSource->currentIndex();
    in.useProxy = m_ui.chkUseProxy->isChecked();
    in.proxy = m_ui.txtProxy->text();
    in.proxyUID = m_ui.txtProxyUID->text();
    in.proxyPwd = m_ui.txtProxyPwd->text();
    for (const ConfigRules::OptionBox& option : ConfigRules::optionBoxes()) {
        if (const QCheckBox* box = m_ui.optionBox(option.name); box && box->isChecked())
            in.optionFlags |= option.bit;
    }
    in.verCheckTimed = m_ui.chkVerCheckTimed->isChecked();
    in.verCheckStartup = m_ui.chkVerCheckStartup->isChecked();
    in.verCheckInterval = m_ui.cboVerCheckInterval->currentIndex();
    in.interval = m_ui.udInterval->value();
    in.delay = m_ui.udDelay->value();
    in.timeout = m_ui.udTimeout->value();
    in.autoStartup = m_ui.chkAutoStartup->isChecked();
    return in;
}

void frmConfig::cmdApply_Click()
{
    if (!numbersReadable())
        return;
    txtInterval_LostFocus();
    txtDelay_LostFocus();
    txtTimeout_LostFocus();
    ConfigInput in = input();
    m_applier.Apply(in);
    m_ui.udInterval->setValue(in.interval);
    m_ui.udDelay->setValue(in.delay);
    m_ui.udTimeout->setValue(in.timeout);
}

void frmConfig::cmdOK_Click()
{
    if (!numbersReadable())
        return;
    txtInterval_LostFocus();
    txtDelay_LostFocus();
    txtTimeout_LostFocus();
    ConfigInput in = input();
    // Unsaved settings stay on the screen rather than being lost with the dialog.
    if (m_applier.Apply(in))
        accept();
}

void frmConfig::cmdCancel_Click()
{
    m_ctx.run.VerCheckAbort = true;
    reject();
}

void frmConfig::setCheckControlsEnabled(bool enabled)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{m_ui.cmdOK, m_ui.cmdApply, m_ui.cmdCancel,
                                                           m_ui.chkVerCheckTimed, m_ui.chkVerCheckStartup})
        widget->setEnabled(enabled);
    m_ui.cboVerCheckInterval->setEnabled(enabled && m_ui.chkVerCheckTimed->isChecked());
    for (int tab = 0; tab <= 2; ++tab)
        m_ui.tabConfig->setTabEnabled(tab, enabled);
}

void frmConfig::cmdCheckNow_Click()
{
    if (m_checkRunning)
        return;
    const QPointer<frmConfig> alive(this);
    try {
        setCursor(Qt::WaitCursor);
        setCheckControlsEnabled(false);
        // Abort takes the place of Check Now in the same row; Escape now aborts.
        m_ui.cmdCheckVersion->hide();
        m_ui.cmdAbort->show();
        m_ui.cmdAbort->setFocus();
        m_checkRunning = true;
        m_ctx.window.DoVersionCheck(false, false);
    } catch (const RunTimeError& error) {
        m_ctx.log.LogMessage(u"frmConfig.CheckVersion: runtime error:\r\n"_s + error.text(), 3, -1);
    }
    // The check waits with the event loop running: the dialog may have gone meanwhile.
    if (!alive)
        return;
    m_checkRunning = false;
    m_ui.cmdAbort->hide();
    m_ui.cmdCheckVersion->show();
    m_ui.cmdCheckVersion->setFocus();
    setCheckControlsEnabled(true);
    unsetCursor();
}

void frmConfig::cmdAbort_Click()
{
    m_ctx.run.VerCheckAbort = true;
    const QString text = u"version check aborted by user"_s;
    m_ui.lblStatus->setText(text);
    m_ctx.log.LogMessage(text, 2, -1);
    m_ui.cmdAbort->hide();
    m_ui.cmdCheckVersion->show();
    m_ui.cmdCheckVersion->setFocus();
}

void frmConfig::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_checkRunning) {
            if (!m_ui.cmdAbort->isHidden())
                cmdAbort_Click();
        } else {
            cmdCancel_Click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmConfig::closeEvent(QCloseEvent* event)
{
    // Closing by the window frame applies nothing; a running check is told to stop, as it has
    // nowhere left to report to.
    if (m_checkRunning)
        m_ctx.run.VerCheckAbort = true;
    QDialog::closeEvent(event);
}
