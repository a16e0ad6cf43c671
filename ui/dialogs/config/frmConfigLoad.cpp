// SPDX-License-Identifier: MIT
// The options dialog's loading: every opening shows the settings and the registry afresh.
#include "frmConfig.h"

#include "AppInfo.h"
#include "AutoStartEntry.h"
#include "ConfigRules.h"
#include "Dates.h"
#include "LogFrontEnd.h"
#include "PlainText.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "UpDownControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

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

void frmConfig::showLogFile(const QString& path)
{
    // The start of a long path says where it is; the whole of it is in the tooltip.
    m_ui.txtLogFile->setText(path);
    m_ui.txtLogFile->setCursorPosition(0);
    PlainText::setToolTip(m_ui.txtLogFile, path);
}

void frmConfig::ShowDebugInfo()
{
    m_ui.lblDebugLevel->setText(u"unknown"_s);
    m_ui.lblMaxLogSize->setText(u"unknown"_s);
    showLogFile(u"unknown"_s);
    m_ui.lblDebugLogEnable->setText(u"unknown"_s);
    int32_t value = 0;
    const QString key = m_ctx.app.appKey();
    m_ui.lblDebugLevel->setText(m_ctx.registry.GetRegWordValue(HKEY_CURRENT_USER, key, u"debug"_s, value)
                                    ? QString::number(value)
                                    : u"not defined"_s);
    m_ui.lblMaxLogSize->setText(m_ctx.registry.GetRegWordValue(HKEY_CURRENT_USER, key, u"logsize"_s, value)
                                    ? QString::number(value) + u" kbytes"_s
                                    : u"using default 1024 kbytes"_s);
    showLogFile(m_ctx.run.DataDir + u"/debug.log"_s);
    m_ui.lblDebugLogEnable->setText(m_ctx.log.fileLoggingOn() ? u"enabled"_s : u"disabled"_s);
}
