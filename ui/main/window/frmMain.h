// SPDX-License-Identifier: MIT
#pragma once

#include "ExitRoutine.h"
#include "FormGeometry.h"
#include "MainControls.h"
#include "MainEditCommands.h"
#include "MainMenus.h"
#include "WindowSeam.h"

#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

class Clock;
class DailyGrid;
class FormPlacement;
class LogFrontEnd;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class RegistryAccess;
class ctlUsageBar;
class flexDisplay;
struct AppInfo;
struct RunState;
struct Settings;

struct MainWindowContext
{
    const AppInfo& app;
    Settings& settings;
    RunState& run;
    LogFrontEnd& log;
    RegistryAccess& registry;
    const Clock& clock;
};

// The program's main window: the summary, the daily grid, the usage bars, the month list and the
// status bar, in the normal or the double-width layout. It is a view: the commands behind its
// buttons and menus are signals that the program's glue connects, and it only hides itself in
// the tray while a tray is there to bring it back.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    // The point size the window's fixed layout was measured for.
    static constexpr double DialogPointSize = 8.0;

    explicit frmMain(MainWindowContext context, QWidget* parent = nullptr);
    ~frmMain() override;

    void SetFormLayout();
    void InitValueDisplay(bool bHistorical);
    // Ends the program, also with MinimiseToTray on.
    void mnuFile_Exit_Click();
    // The desktop session is ending: the program ends as with Exit, whatever the tray option says.
    void endOfSession();
    // Hides the window in the tray; without a tray it is minimised to the task bar instead.
    void mnuFile_MinToTray_Click();
    void mnuPopup_Show_Click();
    void cmdChangeLayout_Click();
    void SaveFormLocation();
    // The close box's path; cancel -1 comes from Exit and always ends. True when the window stays.
    bool Form_Unload(int cancel);

    // The Edit menu and the grid's popup menu.
    void mnuEdit_Select_Click() { m_edit->mnuEdit_Select_Click(); }
    void mnuEdit_Copy_Click() { m_edit->mnuEdit_Copy_Click(); }
    void mnuGridPopup_Add_Click() { m_edit->mnuGridPopup_Add_Click(); }
    // Right button over the grid: the popup menu when the grid holds days. True when shown.
    bool flexDisplay_MouseDown(const QPoint& globalPos)
    {
        return m_edit->flexDisplay_MouseDown(*m_menus.mnuGridPopup, globalPos);
    }

    bool bIgnoreHistoryClick = false;

    void setEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }
    void setTrayPresent(std::function<bool()> present) { m_trayPresent = std::move(present); }
    // Shows an information box (text, title); by default a QMessageBox owned by the window.
    void setInformationBox(MainEditCommands::InformationBox box) { m_edit->setInformationBox(std::move(box)); }

    // Controls by object name, and by index for the summary arrays; nullptr when none.
    QWidget* control(const ControlRef& ref) const { return m_ui.control(ref); }
    void setControlText(const ControlRef& ref, const QString& text) { MainControls::setText(control(ref), text); }
    void setControlToolTip(const ControlRef& ref, const QString& text) { MainControls::setToolTip(control(ref), text); }
    // 0xBBGGRR, or a system colour.
    void setControlTextColour(const ControlRef& ref, uint32_t bgr) { MainControls::setTextColour(control(ref), bgr); }
    void setControlVisible(const ControlRef& ref, bool visible) { MainControls::setVisible(control(ref), visible); }

    DailyGrid& dailyGrid() { return *m_dailyGrid; }
    flexDisplay& grid() { return *m_grid; }
    ctlUsageBar& prXPStatusPeak() { return *m_ui.prXPStatusPeak; }
    ctlUsageBar& prXPStatusOffPeak() { return *m_ui.prXPStatusOffPeak; }
    QComboBox& cboHistory() { return *m_ui.cboHistory; }
    QWidget& picHistory() { return *m_ui.picHistory; }
    QPlainTextEdit& txtDebugList() { return *m_ui.txtDebugList; }

    // Panel 2, repainted at once; panel 1's picture and tooltip.
    void setStatusText(const QString& text) { m_ui.setStatusText(text); }
    void setStatusPicture(const QPixmap& picture) { m_ui.setStatusPicture(picture); }
    void setStatusToolTip(const QString& text) { m_ui.setStatusToolTip(text); }
    void setRefreshControlsEnabled(bool enabled);
    bool refreshControlsEnabled() const;

    QTimer& tmrRefresh() { return m_tmrRefresh; }
    QTimer& tmrAnimate() { return m_tmrAnimate; }
    QTimer& tmrVerCheck() { return m_tmrVerCheck; }

    using ProfileItem = MainMenus::ProfileItem;
    void showProfileMenu(const QList<ProfileItem>& items, const QPoint& globalPos)
    {
        m_menus.showProfiles(items, globalPos);
    }

    // The Escape key's button: cmdMinimise with MinimiseToTray, else cmdClose.
    void updateCancelButton();
    QPushButton* cancelButton() const { return m_cancelButton; }

    const MainControls& controls() const { return m_ui; }
    const MainMenus& menus() const { return m_menus; }
    const FormGeometry& formGeometry() const { return m_geometry; }
    // The window's size and position in twips.
    int32_t widthTwips() const;
    int32_t heightTwips() const;

signals:
    void refreshRequested();
    void reloadRequested();
    void historyChosen(const QString& text, int index);
    void graphRequested();
    void profileMenuRequested(const QPoint& globalPos);
    void profileChosen(int index);
    void optionsRequested();
    void aboutRequested();
    void versionCheckRequested();
    void helpPageRequested(const QString& page);
    void aboutToEnd();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Minimised, maximised or full screen: no layout, no placement saved.
    static constexpr Qt::WindowStates NotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload(int unloadMode);
    void connectControls();
    void placeGridBesideTabs();
    void placeGridOnTab();
    void resetGrid();
    bool trayPresent() const;
    bool doubleWidth() const;
    void log(const QString& message, int16_t level) const;
    QString windowStateNumber() const;
    ExitRoutine exitRoutine() const;

    MainWindowContext m_context;
    FormGeometry m_geometry;
    std::unique_ptr<FormPlacement> m_placement;
    std::unique_ptr<DailyGrid> m_dailyGrid;
    std::unique_ptr<MainEditCommands> m_edit;
    MainControls m_ui;
    MainMenus m_menus;
    flexDisplay* m_grid = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QTimer m_tmrRefresh;
    QTimer m_tmrAnimate;
    QTimer m_tmrVerCheck;
    std::function<void()> m_endProgram;
    std::function<bool()> m_trayPresent;
    bool m_laying = false;
    bool m_ending = false;
};
