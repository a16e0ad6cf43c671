// SPDX-License-Identifier: MIT
#pragma once

class QLineEdit;

// Makes a text box a password box whose every character shows as "*", whatever mask character
// the desktop style would use.
void maskPassword(QLineEdit* box);
