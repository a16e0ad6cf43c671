// SPDX-License-Identifier: MIT
#include "MainWindowSeam.h"

#include "DailyGrid.h"
#include "ExitRoutine.h"
#include "LogFrontEnd.h"
#include "ProgramExit.h"
#include "ProviderLinks.h"
#include "QtTrayBackend.h"
#include "RunState.h"
#include "Settings.h"
#include "TrayMenu.h"
#include "flexDisplay.h"
#include "frmMain.h"
#include "frmVersionCheck.h"
#include "imgTray.h"
#include "modProgressBar.h"
#include "modSysTray.h"
#include "modTeeGraph.h"
#include "modVersionCheck.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include <utility>

using namespace Qt::StringLiterals;

namespace {
// Reports each time the watched window comes into view: shown, or brought back from minimised.
class InViewWatch : public QObject
{
public:
    InViewWatch(QWidget& window, std::function<void()> cameIntoView)
        : QObject(&window), m_window(window), m_cameIntoView(std::move(cameIntoView))
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == &m_window && (type == QEvent::Show || type == QEvent::WindowStateChange) &&
            m_window.isVisible() && !m_window.isMinimized())
            m_cameIntoView();
        return false;
    }

private:
    QWidget& m_window;
    std::function<void()> m_cameIntoView;
};
} // namespace

MainWindowSeam::MainWindowSeam() = default;

// The windows go before the tray and the commands they signal to.
MainWindowSeam::~MainWindowSeam()
{
    m_graph.reset();
    m_form.reset();
}

void MainWindowSeam::attach(const CommandContext& services)
{
    m_services = std::make_unique<CommandContext>(services);
    m_commands = std::make_unique<MainCommands>(*m_services);
    m_versionCheck = std::make_unique<modVersionCheck>(
        VersionCheckContext{services.app, services.settings, services.run, services.log, services.registry,
                            services.clock, services.links, *this});
    m_versionCheck->setDialogPresenter([this](std::unique_ptr<frmVersionCheck> dialog, bool background) {
        presentVersionDialog(std::move(dialog), background);
    });
    m_graph = std::make_unique<modTeeGraph>(GraphContext{services.app, services.settings, services.run, services.log,
                                                         services.registry, services.clock, services.history,
                                                         services.store});
    m_trayBackend = std::make_unique<QtTrayBackend>();
    m_tray = std::make_unique<modSysTray>(services.app, services.run, services.log, *m_trayBackend);
    m_trayMenu = std::make_unique<TrayMenu>();
    connectTray();
}

void MainWindowSeam::log(const QString& text, int16_t level) const
{
    if (m_services)
        m_services->log.LogMessage(text, level);
}

bool MainWindowSeam::isFormLoaded() const
{
    return m_form != nullptr;
}

bool MainWindowSeam::isMainWindowVisible() const
{
    return m_form && m_form->isVisible();
}

bool MainWindowSeam::isMainWindowInView() const
{
    return isMainWindowVisible() && !m_form->isMinimized();
}

void MainWindowSeam::whenMainWindowInView(std::function<void()> then)
{
    m_whenInView.push_back(std::move(then));
}

void MainWindowSeam::cameIntoView()
{
    if (m_whenInView.empty())
        return;
    QTimer::singleShot(0, m_form.get(), [this] {
        // Gone again at once: a minimised window that hides in the tray is restored on its way.
        if (!isMainWindowInView())
            return;
        for (const std::function<void()>& then : std::exchange(m_whenInView, {}))
            then();
    });
}

void MainWindowSeam::loadForm()
{
    if (m_form || !m_services)
        return;
    const CommandContext& s = *m_services;
    m_form = std::make_unique<frmMain>(MainWindowContext{s.app, s.settings, s.run, s.log, s.registry, s.clock});
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // The dialogs and message boxes take the program's icon too.
        QApplication::setWindowIcon(imgTray::applicationIcon());
        // A tray program lives on when its windows close, the main window hidden in the tray
        // included: only Exit, the end of the desktop session or a signal ends it.
        QApplication::setQuitOnLastWindowClosed(false);
        QObject::connect(application, &QGuiApplication::commitDataRequest, m_form.get(),
                         [this] { m_form->endOfSession(); });
    }
    m_form->setWindowIcon(imgTray::applicationIcon());
    m_form->setTrayPresent([this] { return m_trayBackend && m_trayBackend->isShown(); });
    new InViewWatch(*m_form, [this] { cameIntoView(); });
    if (!m_caption.isEmpty())
        m_form->setWindowTitle(m_caption);
    if (!m_debugLog.isEmpty())
        setDebugLogText(m_debugLog);
    connectForm();
}

void MainWindowSeam::connectForm()
{
    frmMain* form = m_form.get();
    MainCommands* commands = m_commands.get();
    QObject::connect(form, &frmMain::refreshRequested, form, [commands] { commands->cmdRefresh_Click(); });
    QObject::connect(form, &frmMain::reloadRequested, form, [commands] { commands->mnuReload_Click(); });
    QObject::connect(form, &frmMain::historyChosen, form,
                     [commands](const QString& text, int index) { commands->cboHistory_Click(text, index); });
    QObject::connect(form, &frmMain::graphRequested, form, [commands] { commands->cmdTeeGraph_Click(); });
    QObject::connect(form, &frmMain::profileMenuRequested, form, [this](const QPoint& position) {
        if (!m_form->refreshControlsEnabled())
            return;
        int count = 0;
        QList<frmMain::ProfileItem> items;
        for (const MainCommands::ProfileEntry& entry : m_commands->profileMenu(count))
            items.append({entry.caption, entry.visible, entry.checked});
        if (count > 1)
            m_form->showProfileMenu(items, position);
    });
    QObject::connect(form, &frmMain::profileChosen, form, [commands](int index) { commands->mnuProfile_Click(index); });
    QObject::connect(form, &frmMain::optionsRequested, form, [commands] { commands->mnuConfig_Click(); });
    QObject::connect(form, &frmMain::aboutRequested, form, [commands] { commands->mnuAbout_Click(); });
    QObject::connect(form, &frmMain::versionCheckRequested, form, [commands] { commands->mnuVersionCheck_Click(); });
    QObject::connect(form, &frmMain::helpPageRequested, form,
                     [commands](const QString& page) { commands->helpPage(page); });
    QObject::connect(form, &frmMain::aboutToEnd, form, [this] {
        m_tray->RemoveTrayIcon();
        m_graph->unload();
    });
    QObject::connect(&form->tmrRefresh(), &QTimer::timeout, form, [commands] { commands->tmrRefresh_Timer(); });
    QObject::connect(&form->tmrAnimate(), &QTimer::timeout, form, [commands] { commands->tmrAnimate_Timer(); });
    QObject::connect(&form->tmrVerCheck(), &QTimer::timeout, form, [commands] { commands->tmrVerCheck_Timer(); });
}

void MainWindowSeam::showMainWindow(bool startMinimised)
{
    loadForm();
    if (!m_form)
        return;
    if (!startMinimised) {
        m_form->show();
        return;
    }
    // Started hidden, the window comes back through the tray icon; with no notification area it
    // waits minimised on the task bar instead, from the moment the desktop has told.
    m_trayBackend->whenAreaKnown(m_form.get(), [this] {
        if (m_trayBackend->trayAvailable() || m_form->isVisible() || ProgramExit::begun())
            return;
        log(u"Main: no notification area to start in, starting minimised on the task bar"_s, 6);
        m_form->showMinimized();
    });
}

void MainWindowSeam::setCaption(const QString& caption)
{
    m_caption = caption;
    if (m_form)
        m_form->setWindowTitle(caption);
}

void MainWindowSeam::repaintMainWindow()
{
    if (m_form && m_form->isVisible())
        m_form->repaint();
}

void MainWindowSeam::setBusyPointer(bool busy)
{
    if (busy == m_busy || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindowSeam::restoreMainWindow()
{
    // A window that is ending does not come back.
    if (m_form && !ProgramExit::begun())
        m_form->mnuPopup_Show_Click();
}

void MainWindowSeam::exitProgram()
{
    if (m_form) {
        m_form->mnuFile_Exit_Click();
        return;
    }
    // Before the window is loaded (a signal while start-up asks a question) the routine runs all
    // the same, without the window's steps.
    ExitRoutine::WindowSteps steps;
    steps.release = [this] {
        if (m_tray)
            m_tray->RemoveTrayIcon();
    };
    steps.end = [] { QCoreApplication::exit(0); };
    if (m_services) {
        ExitRoutine(m_services->app, m_services->log).runWithoutWindow(steps);
        return;
    }
    ProgramExit::begin();
    steps.release();
    steps.end();
}

void MainWindowSeam::linksChanged()
{
    if (m_trayMenu && m_services)
        m_trayMenu->setLinks(ProviderLinks::menuCaption(m_services->settings.AccountType), m_services->run);
}

void MainWindowSeam::processPendingEvents()
{
    QCoreApplication::processEvents();
}

void MainWindowSeam::setStatusText(const QString& text)
{
    if (m_form)
        m_form->setStatusText(text);
}

void MainWindowSeam::setStatusPicture(const QString& imageKey)
{
    if (m_form)
        m_form->setStatusPicture(imgTray::pixmap(imageKey, 16, m_form->devicePixelRatioF()));
}

void MainWindowSeam::setStatusToolTip(const QString& text)
{
    if (m_form)
        m_form->setStatusToolTip(text);
}

QString MainWindowSeam::debugLogText() const
{
    return m_form ? m_form->txtDebugList().toPlainText() : m_debugLog;
}

void MainWindowSeam::setDebugLogText(const QString& text)
{
    m_debugLog = text;
    if (!m_form)
        return;
    QPlainTextEdit& box = m_form->txtDebugList();
    box.setPlainText(text);
    box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
}

void MainWindowSeam::setRefreshControlsEnabled(bool enabled)
{
    if (m_form)
        m_form->setRefreshControlsEnabled(enabled);
    if (m_trayMenu)
        m_trayMenu->setRefreshEnabled(enabled);
}

void MainWindowSeam::setMonthListVisible(bool visible)
{
    if (m_form)
        m_form->picHistory().setVisible(visible);
}

void MainWindowSeam::clearMonthList()
{
    if (m_form)
        m_form->cboHistory().clear();
}

void MainWindowSeam::addMonthListItem(const QString& text)
{
    if (m_form)
        m_form->cboHistory().addItem(text);
}

void MainWindowSeam::setMonthListSelecting(bool selecting)
{
    if (m_form)
        m_form->bIgnoreHistoryClick = selecting;
}

void MainWindowSeam::setMonthListIndex(int index)
{
    if (m_form)
        m_form->cboHistory().setCurrentIndex(index);
}

void MainWindowSeam::InitValueDisplay(bool bHistorical)
{
    if (m_form)
        m_form->InitValueDisplay(bHistorical);
}

void MainWindowSeam::SetFormLayout()
{
    if (m_form)
        m_form->SetFormLayout();
}

void MainWindowSeam::setControlText(const ControlRef& control, const QString& text)
{
    if (m_form)
        m_form->setControlText(control, text);
}

void MainWindowSeam::setControlToolTip(const ControlRef& control, const QString& text)
{
    if (m_form)
        m_form->setControlToolTip(control, text);
}

void MainWindowSeam::setControlTextColour(const ControlRef& control, uint32_t colour)
{
    if (m_form)
        m_form->setControlTextColour(control, colour);
}

void MainWindowSeam::setControlVisible(const ControlRef& control, bool visible)
{
    if (m_form)
        m_form->setControlVisible(control, visible);
}

void MainWindowSeam::UpdateProgressBar(const qoMonth& month)
{
    if (m_form)
        ::UpdateProgressBar(month, m_form->prXPStatusPeak(), m_form->prXPStatusOffPeak(), m_services->settings,
                            m_services->log);
}

bool MainWindowSeam::ParseArrays(bool quiet, const qoMonth& month, QString& szErr)
{
    if (!m_form)
        return true;
    if (!m_form->dailyGrid().ParseArrays(quiet, month, szErr))
        return false;
    m_form->grid().afterFill();
    if (const auto today = m_form->dailyGrid().todayTexts()) {
        for (int column = 0; column < int(today->size()); ++column)
            m_form->setControlText({u"txtToday"_s, column}, (*today)[size_t(column)]);
    }
    return true;
}
