// SPDX-License-Identifier: MIT
#pragma once

// Whether the program's exit routine has begun. Asking the event loop to end is not enough: a
// fetch that waits for the network turns the events itself and would run on to its time-out, so
// the waits and the refresh look here and give up at once.
//
// Kept on the application object, the one thing the program and the components it loads share:
// each of them carries its own copy of the support code, and with it of any plain variable.
namespace ProgramExit {
void begin();
bool begun();
// Forgets a begun exit, for a host that runs the program's parts more than once in one process
// (the tests).
void reset();
} // namespace ProgramExit
