// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>

#include <memory>

// The application object of a run with windows, made only where a display can be reached.
namespace WindowedApplication {
// The application on the display the check found. Null when there is none, after the reason and
// what to do instead went to standard error; the program then ends with TallyProgram::NoDisplay.
// A platform that still cannot start once the check let it through ends the process with that
// status and message too, instead of Qt's abort.
std::unique_ptr<QApplication> open(int& argc, char** argv);
} // namespace WindowedApplication
