// SPDX-License-Identifier: MIT
#pragma once

#include "ComponentVersions.h"
#include "MainCommands.h"
#include "WindowSeam.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QWidget;
class QtTrayBackend;
class TrayMenu;
class frmConfig;
class frmMain;
class frmVersionCheck;
class modSysTray;
class modTeeGraph;
class modVersionCheck;

// The windows of a run with a display: the main window, its tray icon and menu, and the
// commands and timers behind them. The core reaches all of them through this one object. The
// main window is made when start-up shows it; until then the seam keeps what it is told and
// message boxes have no owner.
class MainWindowSeam final : public WindowSeam
{
public:
    MainWindowSeam();
    ~MainWindowSeam() override;
    MainWindowSeam(const MainWindowSeam&) = delete;
    MainWindowSeam& operator=(const MainWindowSeam&) = delete;

    // The program's services, once they all exist (they are made with this seam).
    void attach(const CommandContext& services);
    // The version texts the about box lists.
    void setComponentVersions(ComponentVersions versions) { m_versions = std::move(versions); }
    // How the program was started, for the start-with-the-desktop entry the options may write.
    void setProgramCommand(const QString& programPath, const QStringList& arguments)
    {
        m_programPath = programPath;
        m_programArguments = arguments;
    }

    frmMain* form() const { return m_form.get(); }
    modSysTray* tray() const { return m_tray.get(); }
    QtTrayBackend* trayBackend() const { return m_trayBackend.get(); }
    TrayMenu* trayMenu() const { return m_trayMenu.get(); }
    MainCommands* commands() const { return m_commands.get(); }
    modVersionCheck* versionCheck() const { return m_versionCheck.get(); }

    bool isFormLoaded() const override;
    bool isMainWindowVisible() const override;
    bool isMainWindowInView() const override;
    void whenMainWindowInView(std::function<void()> then) override;
    void showMainWindow(bool startMinimised) override;
    void setCaption(const QString& caption) override;
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
    bool ShowTrayMessage(const QString& title, const QString& text) override;
    void setRefreshControlsEnabled(bool enabled) override;
    void setMonthListVisible(bool visible) override;
    void clearMonthList() override;
    void addMonthListItem(const QString& text) override;
    void setMonthListSelecting(bool selecting) override;
    void setMonthListIndex(int index) override;
    void InitValueDisplay(bool bHistorical) override;
    void SetFormLayout() override;
    void setControlText(const ControlRef& control, const QString& text) override;
    void setControlToolTip(const ControlRef& control, const QString& text) override;
    void setControlTextColour(const ControlRef& control, uint32_t colour) override;
    void setControlVisible(const ControlRef& control, bool visible) override;
    void UpdateProgressBar(const qoMonth& month) override;
    bool ParseArrays(bool quiet, const qoMonth& month, QString& szErr) override;
    void showOptionsDialog(OptionsFocus focus) override;
    void showPasswordDialog() override;
    void showAboutDialog() override;
    void DoVersionCheck(bool background, bool atStartup) override;
    bool isGraphWindowLoaded() const override;
    void RefreshTeeGraph(const qoMonth& month) override;
    void showGraphWindow(const qoMonth& month) override;
    void hideGraphCharts() override;

private:
    void loadForm();
    void connectForm();
    void connectTray();
    void prepareTrayMenu();
    bool trayInUse() const;
    // A window hidden in a notification area that is gone (or never took the icon) could not be
    // brought back: it waits minimised on the task bar instead.
    void keepWindowReachable();
    // Dialogs belong to the main window, also while it is hidden in the tray: they hold it, and
    // only it, until they close (ModalDialog).
    QWidget* dialogOwner() const;
    void presentVersionDialog(std::unique_ptr<frmVersionCheck> dialog, bool background) const;
    void log(const QString& text, int16_t level) const;
    // The main window was shown or brought back from minimised: what waits for it runs once the
    // window has settled there.
    void cameIntoView();

    std::unique_ptr<CommandContext> m_services;
    std::unique_ptr<frmMain> m_form;
    std::unique_ptr<QtTrayBackend> m_trayBackend;
    std::unique_ptr<modSysTray> m_tray;
    std::unique_ptr<TrayMenu> m_trayMenu;
    std::unique_ptr<MainCommands> m_commands;
    std::unique_ptr<modVersionCheck> m_versionCheck;
    std::unique_ptr<modTeeGraph> m_graph;

    // The options dialog while it is open.
    QPointer<frmConfig> m_options;
    ComponentVersions m_versions;
    QString m_programPath;
    QStringList m_programArguments;
    // Kept until the main window exists.
    QString m_caption;
    QString m_debugLog;
    bool m_busy = false;
    std::vector<std::function<void()>> m_whenInView;
};
