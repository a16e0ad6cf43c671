// SPDX-License-Identifier: MIT
// The windows the main window opens: message boxes, the dialogs and the graph window.
#include "MainWindowSeam.h"

#include "ModalDialog.h"
#include "RefreshCycle.h"
#include "frmAbout.h"
#include "frmConfig.h"
#include "frmMain.h"
#include "frmPasswordEntry.h"
#include "frmVersionCheck.h"
#include "modTeeGraph.h"
#include "modVersionCheck.h"

#include <QMessageBox>

namespace {
QMessageBox::Icon boxIcon(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Critical:
        return QMessageBox::Critical;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::Exclamation:
        return QMessageBox::Warning;
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(BoxButtons buttons)
{
    switch (buttons) {
    case BoxButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case BoxButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

BoxAnswer boxAnswer(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return BoxAnswer::Cancel;
    case QMessageBox::Yes:
        return BoxAnswer::Yes;
    case QMessageBox::No:
        return BoxAnswer::No;
    default:
        return BoxAnswer::Ok;
    }
}
} // namespace

BoxAnswer MainWindowSeam::messageBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons)
{
    QMessageBox box(boxIcon(icon), title, text, boxButtons(buttons), dialogOwner());
    // Texts carry what the provider and the web site sent: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    return boxAnswer(ModalDialog::exec(box));
}

void MainWindowSeam::showOptionsDialog(OptionsFocus focus)
{
    if (!m_services)
        return;
    // A second dialog would load the settings over what is being typed in the first, whose OK
    // would then save its stale fields over the second's.
    if (m_options) {
        m_options->bringForward(focus);
        return;
    }
    auto* options = new frmConfig(ConfigContext{*m_services, m_programArguments, m_programPath}, dialogOwner());
    options->setAttribute(Qt::WA_DeleteOnClose);
    m_options = options;
    if (m_form)
        QObject::connect(options, &frmConfig::escapeButtonChanged, m_form.get(), &frmMain::updateCancelButton);
    options->bringForward(focus);
    // Asked for while a refresh waits for the provider, this call runs inside that wait: a dialog
    // that waited here for its answer would hold the refresh until it closed. It opens at once
    // and leaves the refresh to go on; an account applied in it waits for the refresh to end.
    if (m_services->cycle.accountInUse() && m_form) {
        ModalDialog::open(*options);
        return;
    }
    ModalDialog::exec(*options);
}

QWidget* MainWindowSeam::dialogOwner() const
{
    return m_form.get();
}

void MainWindowSeam::showPasswordDialog()
{
    if (!m_services)
        return;
    frmPasswordEntry prompt(m_services->app, m_services->settings, m_services->log, dialogOwner());
    ModalDialog::exec(prompt);
}

void MainWindowSeam::showAboutDialog()
{
    if (!m_services)
        return;
    frmAbout about(m_services->app, m_services->log, m_services->links, m_versions, dialogOwner());
    ModalDialog::exec(about);
}

// The answer to a check the user asked for holds the main window only, as the other dialogs do, so
// the tray icon stays live while it is open.
void MainWindowSeam::presentVersionDialog(std::unique_ptr<frmVersionCheck> dialog, bool background) const
{
    QWidget* owner = dialogOwner();
    if (background || !owner) {
        modVersionCheck::presentDialog(std::move(dialog), background);
        return;
    }
    dialog->setParent(owner, dialog->windowFlags());
    ModalDialog::exec(*dialog);
}

void MainWindowSeam::DoVersionCheck(bool background, bool atStartup)
{
    if (m_versionCheck)
        m_versionCheck->DoVersionCheck(background, atStartup);
}

bool MainWindowSeam::isGraphWindowLoaded() const
{
    return m_graph && m_graph->isLoaded();
}

void MainWindowSeam::RefreshTeeGraph(const qoMonth& month)
{
    if (m_graph)
        m_graph->RefreshTeeGraph(month);
}

void MainWindowSeam::showGraphWindow(const qoMonth& month)
{
    if (m_graph)
        m_graph->cmdTeeGraph(month);
}

void MainWindowSeam::hideGraphCharts()
{
    if (m_graph)
        m_graph->hideCharts();
}
