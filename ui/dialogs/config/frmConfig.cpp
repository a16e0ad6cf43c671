// SPDX-License-Identifier: MIT
#include "frmConfig.h"

#include "AppInfo.h"
#include "ConfigRules.h"
#include "Dates.h"
#include "LogFrontEnd.h"
#include "RefreshCycle.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "UpDownControl.h"
#include "WindowSeam.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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

bool frmConfig::takeTypedNumbers()
{
    if (!numbersReadable())
        return false;
    // Alt+A or Enter presses a button without taking the focus from a number box: what was typed
    // there is handed to its up-down here, as leaving the box would.
    txtInterval_LostFocus();
    txtDelay_LostFocus();
    txtTimeout_LostFocus();
    return true;
}

void frmConfig::cmdApply_Click()
{
    try {
        if (takeTypedNumbers())
            applyWhenAccountFree([this] { applyControls(false); });
    } catch (const RunTimeError& error) {
        m_ctx.log.LogMessage(u"frmConfig.Apply: runtime error:\r\n"_s + error.text(), 3, -1);
    }
}

void frmConfig::cmdOK_Click()
{
    try {
        if (takeTypedNumbers())
            applyWhenAccountFree([this] { applyControls(true); });
    } catch (const RunTimeError& error) {
        m_ctx.log.LogMessage(u"frmConfig.OK: runtime error:\r\n"_s + error.text(), 3, -1);
    }
}

void frmConfig::applyControls(bool close)
{
    ConfigInput in = input();
    QString refusal;
    const bool saved = m_applier.Apply(in, refusal);
    m_ui.udInterval->setValue(in.interval);
    m_ui.udDelay->setValue(in.delay);
    m_ui.udTimeout->setValue(in.timeout);
    if (saved) {
        if (close)
            accept();
        return;
    }
    // Unsaved settings stay on the screen rather than being lost with the dialog, and the box says
    // why over it, wherever the main window is. The box goes with the dialog should the program end
    // meanwhile.
    if (refusal.isEmpty())
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, m_ctx.app.ProductName, refusal, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::WindowModal);
    box->exec();
}

void frmConfig::applyWhenAccountFree(const std::function<void()>& apply)
{
    if (!m_ctx.cycle.accountInUse() ||
        !ConfigRules::accountChanged(m_ctx.settings.Username, m_ui.txtUsername->text())) {
        apply();
        return;
    }
    // A refresh is fetching for the account: another account applied now would have this month
    // stored and shown under it. The dialog waits, greyed, saying why (the status bar is the
    // refresh's), and applies once the refresh has ended; Cancel meanwhile drops what was pressed.
    m_ctx.log.LogMessage(u"waiting for the refresh to end before applying the new account..."_s, 2, -1);
    setWaitingForAccount(true);
    const QPointer<frmConfig> alive(this);
    m_ctx.cycle.whenAccountFree([alive, apply] {
        if (!alive)
            return;
        alive->setWaitingForAccount(false);
        try {
            apply();
        } catch (const RunTimeError& error) {
            alive->m_ctx.log.LogMessage(u"frmConfig.Apply: runtime error:\r\n"_s + error.text(), 3, -1);
        }
    });
}

void frmConfig::setWaitingForAccount(bool waiting)
{
    m_ui.tabConfig->setEnabled(!waiting);
    m_ui.cmdOK->setEnabled(!waiting);
    m_ui.cmdApply->setEnabled(!waiting);
    m_ui.lblWaiting->setVisible(waiting);
    if (waiting)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
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
