// SPDX-License-Identifier: MIT
#include "frmMain.h"

#include "AppInfo.h"
#include "ContentWidths.h"
#include "DailyGrid.h"
#include "EditRouting.h"
#include "FormPlacement.h"
#include "LogFrontEnd.h"
#include "MainEditCommands.h"
#include "ModalDialog.h"
#include "RegistryAccess.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "ctlUsageBar.h"
#include "flexDisplay.h"
#include "modMultiMonitor.h"
#include "modScroll.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

using namespace Qt::StringLiterals;

frmMain::frmMain(MainWindowContext context, QWidget* parent)
    : QMainWindow(parent), m_context(context),
      m_geometry(TwipsPerPixel::ofPrimaryScreen().x, TwipsPerPixel::ofPrimaryScreen().y),
      m_placement(std::make_unique<FormPlacement>(context.app, context.registry, context.log, context.run)),
      m_dailyGrid(std::make_unique<DailyGrid>(context.app, context.registry, context.settings, context.clock,
                                              [this](const QString& message, int16_t level) { log(message, level); }))
{
    setObjectName(u"frmMain"_s);
    // The layout is measured in twips for a small dialog font; a larger desktop font would clip
    // the figures in the fixed-width boxes.
    QFont small = font();
    if (small.pointSizeF() > DialogPointSize) {
        small.setPointSizeF(DialogPointSize);
        setFont(small);
    }
    m_endProgram = [] { QCoreApplication::exit(0); };
    // Only the owner of the tray icon knows whether it is in a notification area.
    m_trayPresent = [] { return false; };

    m_menus.build(*this, m_context.app.ProductName);
    m_ui.build(*this);
    ContentWidths::fitBoxes(m_ui);
    const double wider = ContentWidths::widening(m_ui, m_geometry.pixelsX(FormGeometry::TabWidth));
    m_geometry = FormGeometry(m_geometry.twipsPerPixelX() / wider, m_geometry.twipsPerPixelY());
    // The layout rules size the window; the bars' own wishes must not hold it wider or taller.
    setMinimumSize(1, 1);
    m_grid = new flexDisplay(*m_dailyGrid, m_ui.tabMain);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    m_edit = std::make_unique<MainEditCommands>(m_ui, *m_grid, *m_dailyGrid, m_context.settings, m_context.app.Title,
                                                [this](const QString& message, int16_t level) { log(message, level); });
    m_edit->setInformationBox([this](const QString& text, const QString& title) {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, this);
        // The totals carry the provider's class titles: never read them as markup.
        box.setTextFormat(Qt::PlainText);
        ModalDialog::exec(box);
    });
    placeGridOnTab();

    m_tmrRefresh.setObjectName(u"tmrRefresh"_s);
    m_tmrRefresh.setInterval(55000);
    m_tmrAnimate.setObjectName(u"tmrAnimate"_s);
    m_tmrAnimate.setInterval(500);
    m_tmrVerCheck.setObjectName(u"tmrVerCheck"_s);
    m_tmrVerCheck.setInterval(60000);

    connectControls();
    Form_Load();
    m_tmrRefresh.start();
    m_tmrVerCheck.start();
}

frmMain::~frmMain()
{
    m_tmrRefresh.stop();
    m_tmrAnimate.stop();
    m_tmrVerCheck.stop();
    // The view draws the grid logic's model, which goes before the window's children do.
    delete m_grid;
    m_grid = nullptr;
}

void frmMain::log(const QString& message, int16_t level) const
{
    m_context.log.LogMessage(message, level);
}

bool frmMain::doubleWidth() const
{
    return m_context.settings.hasOption(OptionFlag::DoubleWidth);
}

bool frmMain::trayPresent() const
{
    return m_trayPresent && m_trayPresent();
}

int32_t frmMain::widthTwips() const
{
    return m_geometry.twipsX(width());
}

int32_t frmMain::heightTwips() const
{
    return m_geometry.twipsY(height());
}

QString frmMain::windowStateNumber() const
{
    if (windowState() & Qt::WindowMinimized)
        return u"1"_s;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return u"2"_s;
    return u"0"_s;
}

void frmMain::connectControls()
{
    const auto on = [this](QAction* action, auto handler) { connect(action, &QAction::triggered, this, handler); };
    const auto click = [this](QAbstractButton* button, auto handler) {
        connect(button, &QAbstractButton::clicked, this, handler);
    };

    click(m_ui.cmdRefresh, [this] { emit refreshRequested(); });
    on(m_menus.mnuRefresh, [this] { emit refreshRequested(); });
    on(m_menus.mnuReload, [this] { emit reloadRequested(); });
    click(m_ui.cmdTeeGraph, [this] { emit graphRequested(); });
    on(m_menus.mnuGraph, [this] { emit graphRequested(); });
    on(m_menus.mnuConfig, [this] { emit optionsRequested(); });
    on(m_menus.mnuAbout, [this] { emit aboutRequested(); });
    on(m_menus.mnuVersionCheck, [this] { emit versionCheckRequested(); });
    on(m_menus.mnuHelp_Website, [this] { emit helpPageRequested(u"Website"_s); });
    on(m_menus.mnuHelp_Usage, [this] { emit helpPageRequested(u"Usage"_s); });
    on(m_menus.mnuHelp_FAQ, [this] { emit helpPageRequested(u"FAQ"_s); });
    on(m_menus.mnuHelp_Appreciation, [this] { emit helpPageRequested(u"Appreciation"_s); });

    click(m_ui.cmdClose, [this] { mnuFile_Exit_Click(); });
    on(m_menus.mnuFile_Exit, [this] { mnuFile_Exit_Click(); });
    click(m_ui.cmdMinimise, [this] { mnuFile_MinToTray_Click(); });
    on(m_menus.mnuFile_MinToTray, [this] { mnuFile_MinToTray_Click(); });
    click(m_ui.cmdChangeLayout, [this] { cmdChangeLayout_Click(); });

    on(m_menus.mnuEdit_Select, [this] { mnuEdit_Select_Click(); });
    on(m_menus.mnuGridPopup_Select, [this] { mnuEdit_Select_Click(); });
    on(m_menus.mnuEdit_Copy, [this] { mnuEdit_Copy_Click(); });
    on(m_menus.mnuGridPopup_Copy, [this] { mnuEdit_Copy_Click(); });
    on(m_menus.mnuGridPopup_Add, [this] { mnuGridPopup_Add_Click(); });
    for (int i = 0; i < m_menus.mnuProfile.size(); ++i)
        on(m_menus.mnuProfile.at(i), [this, i] { emit profileChosen(i); });

    connect(m_ui.cboHistory, &QComboBox::activated, this, [this](int index) {
        if (!bIgnoreHistoryClick)
            emit historyChosen(m_ui.cboHistory->itemText(index), index);
    });
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { flexDisplay_MouseDown(m_grid->viewport()->mapToGlobal(pos)); });
    // On the tabs the grid belongs to the tab control itself and shows with tab 1 only.
    connect(m_ui.tabMain, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_grid && m_grid->parentWidget() == m_ui.tabMain)
            m_grid->setVisible(index == EditRouting::GridTab);
    });
    // The account panel: its labels, its frame and the background box under them.
    for (const char16_t* name : {u"lblUsername", u"Frame3", u"label100", u"Label7", u"Picture1"})
        m_ui.control({QString::fromUtf16(name)})->installEventFilter(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            // The profile menu waits while a refresh runs.
            if (refreshControlsEnabled())
                emit profileMenuRequested(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::Form_Load()
{
    log(u"frmMain.Load: loading form"_s, 8);
    // The window icons come from the application icon the program sets for all its windows.
    SetFormLayout();

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const FormPlacementValues values =
        m_placement->load(widthTwips(), m_geometry.twipsX(screenSize.width()), m_geometry.twipsY(screenSize.height()));
    resize(width(), m_geometry.pixelsY(values.height));
    int32_t left = values.left;
    int32_t top = values.top;
    MonitorBounds unionBounds;
    MonitorBounds desktop;
    GetMonitorBounds(unionBounds, desktop);
    FormPlacement::KeepFormOnScreen(left, top, widthTwips(), heightTwips(), unionBounds,
                                    TwipsPerPixel{m_geometry.twipsPerPixelX(), m_geometry.twipsPerPixelY()});
    log(u"frmMain.Load: setting form location: left="_s + QString::number(left) + u", top="_s + QString::number(top) +
            u", height="_s + QString::number(values.height),
        8);
    move(m_geometry.pixelsX(left), m_geometry.pixelsY(top));
    Form_Resize();

    resetGrid();
    for (QLineEdit* box : m_ui.valueBoxes()) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        box->setPalette(palette);
    }
    InitValueDisplay(false);

    for (ctlUsageBar* bar : {m_ui.prXPStatusPeak, m_ui.prXPStatusOffPeak}) {
        bar->setCaptionStyle(1);
        bar->setScrolling(9);
        bar->setMarkerColor(0xE16941);
    }
    m_ui.prXPStatusPeak->setMarkerPosition(1);
    m_ui.prXPStatusOffPeak->setMarkerPosition(0);

    if (!m_context.run.CmdLineDebug)
        m_ui.tabMain->setTabVisible(EditRouting::DebugTab, false);
    updateCancelButton();
    setWindowState(windowState() & ~NotNormal);
    m_grid->setScrollSettings(LoadScrollSettings(m_context.registry, m_context.app, QApplication::wheelScrollLines()));
}

void frmMain::updateCancelButton()
{
    m_cancelButton = m_context.settings.hasOption(OptionFlag::MinimiseToTray) ? m_ui.cmdMinimise : m_ui.cmdClose;
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && m_cancelButton && !m_ending) {
        m_cancelButton->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmMain::InitValueDisplay(bool bHistorical)
{
    log(u"calling InitValueDisplay(bHistorical="_s + BooleanText(bHistorical) + u")"_s, 3);
    try {
        m_ui.resetValues(bHistorical);
        resetGrid();
    } catch (const RunTimeError& error) {
        log(u"frmMain.InitValueDisplay: runtime error:\r\n"_s + error.text(), 1);
    }
}

void frmMain::resetGrid()
{
    // One title cell in the hidden column: no days, nothing to select, copy or add up.
    GridContents empty;
    empty.cells = {{GridCell{}}};
    m_dailyGrid->model().setContents(empty);
    m_grid->setColumnHidden(0, true);
}

void frmMain::setRefreshControlsEnabled(bool enabled)
{
    m_ui.cmdRefresh->setEnabled(enabled);
    m_menus.mnuReload->setEnabled(enabled);
    m_menus.mnuRefresh->setEnabled(enabled);
    m_ui.cboHistory->setEnabled(enabled);
}

bool frmMain::refreshControlsEnabled() const
{
    return m_ui.cmdRefresh->isEnabled();
}
