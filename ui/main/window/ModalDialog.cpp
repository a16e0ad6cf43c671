// SPDX-License-Identifier: MIT
#include "ModalDialog.h"

#include <QApplication>
#include <QDialog>

namespace ModalDialog {

int exec(QDialog& dialog)
{
    dialog.setWindowModality(dialog.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog.exec();
}

void raiseActive()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (modal->isMinimized())
        modal->showNormal();
    modal->raise();
    modal->activateWindow();
}

} // namespace ModalDialog
