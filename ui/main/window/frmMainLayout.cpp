// SPDX-License-Identifier: MIT
// frmMain's two layouts, its resize rules and where its placement is stored.
#include "frmMain.h"

#include "AppInfo.h"
#include "EditRouting.h"
#include "FormPlacement.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "flexDisplay.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QTabWidget>

using namespace Qt::StringLiterals;

void frmMain::placeGridBesideTabs()
{
    m_grid->setParent(m_ui.central);
    m_grid->move(m_geometry.pixelsX(FormGeometry::gridLeftBesideTabs(m_geometry.twipsX(m_ui.tabMain->x()),
                                                                     m_geometry.twipsX(m_ui.tabMain->width()))),
                 0);
    m_grid->show();
}

void frmMain::placeGridOnTab()
{
    m_grid->setParent(m_ui.tabMain);
    m_grid->move(m_geometry.pixelsX(FormGeometry::GridOnTabLeft), m_geometry.pixelsY(FormGeometry::GridOnTabTop));
    m_grid->raise();
    m_grid->setVisible(m_ui.tabMain->currentIndex() == EditRouting::GridTab);
}

void frmMain::SetFormLayout()
{
    const bool wide = doubleWidth();
    log(u"FormLayout("_s + (wide ? u"double width"_s : u"normal width"_s) + u")"_s, 5);
    QTabWidget* tabs = m_ui.tabMain;
    if (wide) {
        const int32_t width = m_placement->doubleWidth();
        resize(m_geometry.pixelsX(width), height());
        log(u"FormLayout: moving grid to main form"_s, 6);
        placeGridBesideTabs();
        log(u"FormLayout: hiding tab"_s, 6);
        log(u"FormLayout: tab count: "_s + QString::number(tabs->count()), 8);
        log(u"FormLayout: .TabVisible(1): "_s + BooleanText(tabs->isTabVisible(EditRouting::GridTab)), 8);
        tabs->setTabVisible(EditRouting::GridTab, false);
        log(u"FormLayout: finished hiding tab 1"_s, 8);
        log(u"FormLayout: adjusting form size & layout"_s, 6);
        m_ui.cmdChangeLayout->setText(u"<<"_s);
    } else if (!tabs->isTabVisible(EditRouting::GridTab)) {
        resize(m_geometry.pixelsAtLeastX(FormGeometry::NormalWidth), height());
        // Hidden while the grid moves, so the tabs are not drawn half-way through.
        log(u"FormLayout: disabling tab repaint"_s, 6);
        tabs->setUpdatesEnabled(false);
        tabs->setTabVisible(EditRouting::GridTab, true);
        log(u"FormLayout: moving grid onto tab"_s, 6);
        const int current = tabs->currentIndex();
        tabs->setCurrentIndex(EditRouting::GridTab);
        placeGridOnTab();
        tabs->setCurrentIndex(current);
        log(u"FormLayout: re-enabling tab repaint"_s, 6);
        tabs->setUpdatesEnabled(true);
        log(u"FormLayout: adjusting form size & layout"_s, 6);
        m_ui.cmdChangeLayout->setText(u">>"_s);
    }
    Form_Resize();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    if (m_laying || (windowState() & NotNormal))
        return;
    const QScopedValueRollback guard(m_laying, true);
    const FormGeometry& g = m_geometry;

    FormGeometry::Inputs in;
    in.width = widthTwips();
    in.height = heightTwips();
    in.doubleWidth = doubleWidth();
    in.debugMode = m_context.run.CmdLineDebug;
    in.statusBarHeight = g.twipsY(m_ui.staMain->sizeHint().height());
    in.menuBarHeight = g.twipsY(menuBar()->sizeHint().height());
    in.gridTop = in.doubleWidth ? 0 : FormGeometry::GridOnTabTop;
    const FormGeometry::Layout out = FormGeometry::resizeLayout(in);

    const int widthPixels = out.width != in.width ? g.pixelsAtLeastX(out.width) : width();
    const int heightPixels = out.height != in.height ? g.pixelsAtLeastY(out.height) : height();
    if (widthPixels != width() || heightPixels != height())
        resize(widthPixels, heightPixels);

    m_ui.applyLayout(g, in, out, *m_grid);
}

void frmMain::SaveFormLocation()
{
    if (windowState() & NotNormal) {
        log(u"calling SaveFormLocation: form already minimised"_s, 6);
        return;
    }
    log(u"calling SaveFormLocation: "_s + QString::number(widthTwips()) + u"x"_s + QString::number(heightTwips()), 6);
    std::optional<QPoint> position;
    if (FormPlacement::platformGivesPositions(QGuiApplication::platformName()))
        position = QPoint(m_geometry.twipsX(x()), m_geometry.twipsY(y()));
    m_placement->save(position, widthTwips(), heightTwips(), doubleWidth());
}

void frmMain::cmdChangeLayout_Click()
{
    Settings& settings = m_context.settings;
    if (doubleWidth()) {
        // Keeps the double width for the way back.
        SaveFormLocation();
        settings.OptionFlags = int32_t(uint32_t(settings.OptionFlags) & ~OptionFlag::DoubleWidth);
    } else {
        settings.OptionFlags = int32_t(uint32_t(settings.OptionFlags) | OptionFlag::DoubleWidth);
    }
    SetFormLayout();
    QString szErr;
    m_context.registry.WriteRegWordValue(HKEY_CURRENT_USER, m_context.app.configKey(), u"Options"_s,
                                         settings.OptionFlags, szErr);
}
