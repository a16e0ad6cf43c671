// SPDX-License-Identifier: MIT
#pragma once

class QDialog;

// How the program's dialogs wait for their answer. A dialog holds its owner, the main window
// (shown or hidden in the tray), and the owner's other dialogs, and nothing else: a dialog modal
// to the whole program would also hold the tray icon, which on X11 is a little window of the
// program's own, and leave its menu and clicks dead until the dialog closes.
namespace ModalDialog {

// Shows the dialog modal to its owner and waits for its answer; without an owner (before the
// main window exists) it holds the whole program.
int exec(QDialog& dialog);
// Shows the dialog modal as exec() does, and returns at once.
void open(QDialog& dialog);
// Brings the dialog that now takes the program's input, if any, to the front.
void raiseActive();

} // namespace ModalDialog
