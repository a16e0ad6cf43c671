// SPDX-License-Identifier: MIT
#include "MainEditCommands.h"

#include "DailyGrid.h"
#include "MainControls.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "flexDisplay.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <exception>

using namespace Qt::StringLiterals;

namespace {

// The hourglass for the length of a command, put back on every way out.
class BusyPointer
{
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

QString errorText(const std::exception& error)
{
    if (const auto* runTime = dynamic_cast<const RunTimeError*>(&error))
        return runTime->text();
    return bracketedError(0, QString::fromUtf8(error.what()));
}

} // namespace

MainEditCommands::MainEditCommands(const MainControls& ui, flexDisplay& grid, const DailyGrid& logic,
                                   const Settings& settings, QString title, LogSink log)
    : m_ui(ui), m_grid(grid), m_logic(logic), m_settings(settings), m_title(std::move(title)), m_log(std::move(log))
{}

EditRouting::Situation MainEditCommands::situation() const
{
    // The window's focus child, also while another window is active.
    const QWidget* focus = m_ui.window ? m_ui.window->focusWidget() : nullptr;
    EditRouting::Situation s;
    s.currentTab = m_ui.tabMain->currentIndex();
    s.doubleWidth = m_settings.hasOption(OptionFlag::DoubleWidth);
    s.debugLogHasFocus = focus && focus == m_ui.txtDebugList;
    s.gridHasFocus = focus && focus == &m_grid;
    s.gridRows = m_logic.contents().rowCount();
    s.gridColumns = m_logic.contents().columnCount();
    return s;
}

void MainEditCommands::mnuEdit_Select_Click()
{
    switch (EditRouting::selectAllTarget(situation())) {
    case EditRouting::Target::DebugLog:
        m_ui.txtDebugList->selectAll();
        m_ui.txtDebugList->setFocus();
        break;
    case EditRouting::Target::Grid:
        m_grid.selectAll();
        break;
    default:
        break;
    }
}

void MainEditCommands::mnuEdit_Copy_Click()
{
    const EditRouting::Situation s = situation();
    if (s.gridRows < 2 || s.gridColumns < 2)
        return;
    const BusyPointer busy;
    try {
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->clear();
        switch (EditRouting::copyTarget(s)) {
        case EditRouting::Target::DebugLog:
            clipboard->setText(
                m_ui.txtDebugList->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
            break;
        case EditRouting::Target::Grid:
            m_grid.copyToClipboard();
            break;
        case EditRouting::Target::Summary:
            if (const auto* box = qobject_cast<const QLineEdit*>(m_ui.window->focusWidget()))
                clipboard->setText(box->selectedText());
            break;
        default:
            break;
        }
    } catch (const std::exception& error) {
        m_log(u"Error while copying data to clipboard:\r\n"_s + errorText(error), 1);
    }
}

void MainEditCommands::mnuGridPopup_Add_Click()
{
    QString totals;
    try {
        totals = m_grid.addUpSelection();
    } catch (const std::exception& error) {
        m_log(u"Error while summing selected data:\r\n"_s + errorText(error), 1);
        return;
    }
    if (m_box)
        m_box(totals, m_title);
}

bool MainEditCommands::flexDisplay_MouseDown(QMenu& popup, const QPoint& globalPos)
{
    if (m_logic.contents().rowCount() <= 1 || m_logic.contents().columnCount() < 2)
        return false;
    popup.popup(globalPos);
    return true;
}
