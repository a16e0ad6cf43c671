// SPDX-License-Identifier: MIT
#include "ModalDialog.h"

#include <QApplication>
#include <QDialog>

namespace ModalDialog {

namespace {
void holdOwner(QDialog& dialog)
{
    dialog.setWindowModality(dialog.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
}
} // namespace

int exec(QDialog& dialog)
{
    holdOwner(dialog);
    return dialog.exec();
}

void open(QDialog& dialog)
{
    holdOwner(dialog);
    dialog.show();
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
