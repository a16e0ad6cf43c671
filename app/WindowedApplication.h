// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>

#include <memory>

// The application object of a run with windows, made only where a display can be reached.
namespace WindowedApplication {
// The application on the display the check found. Null when there is none, after the reason and
// what to do instead went to standard error (or, first, a command line that is not understood);
// the program then ends with the status left in failure.
// A platform that still cannot start once the check let it through ends the process with that
// status and message too, instead of Qt's abort.
std::unique_ptr<QApplication> open(int& argc, char** argv, int& failure);
} // namespace WindowedApplication
